#include "platform/clicks.h"

#include "platform/geometry.h"
#include "shell/shell.h"

using namespace hvezda;

namespace plat {

PanelLabel labelAt(Scene& scene, int x, int y) {
    if (!kWindowRect.contains(x, y)) return PanelLabel::None;
    // Back to front, so the last element that contains the point is on top.
    PanelLabel top = PanelLabel::None;
    for (const ElementRef& e : drawingOrder(scene)) {
        if (e.kind() != Kind::Sprite) continue;
        const Sprite& s = *std::get<Sprite*>(e.ptr);
        if (!s.Visible || !pixelBox(s).contains(x, y)) continue;
        top = PanelLabel::None;
        if (&s != &scene.Picture2) continue;
        const PanelFrame panel = panelFrame(s);
        if (!panel.clip.contains(x, y)) continue;
        for (const ElementRef& c : panelDrawingOrder(scene)) {
            if (c.kind() != Kind::Label) continue;
            const Label& l = *std::get<Label*>(c.ptr);
            const Rect box{panel.originX + px(l.Left), panel.originY + px(l.Top), px(l.Width), px(l.Height)};
            if (!l.Visible || !box.contains(x, y)) continue;
            if (&l == &scene.Label4) top = PanelLabel::Exit;
            else if (&l == &scene.Label5) top = PanelLabel::Controls;
            else if (&l == &scene.Label6) top = PanelLabel::Credits;
            else top = PanelLabel::None;
        }
    }
    return top;
}

bool clickLabel(Game& g, PanelLabel label) {
    switch (label) {
        case PanelLabel::Exit: Label4_Click(g); return true;
        case PanelLabel::Controls: Label5_Click(g); return true;
        case PanelLabel::Credits: Label6_Click(g); return true;
        case PanelLabel::None: break;
    }
    return false;
}

}  // namespace plat
