// SPDX-License-Identifier: MIT
#include "platform/clicks.h"

#include "platform/draw.h"
#include "shell/shell.h"

using namespace hvezda;

namespace plat {

PanelLabel labelAt(Scene& scene, int x, int y) {
    if (!kWindowRect.contains(x, y)) return PanelLabel::None;
    // Back to front, so the last element that takes the point is on top. Only
    // sprites cover anything; of the rest only the panel's labels take clicks.
    PanelLabel top = PanelLabel::None;
    forEachShown(scene, [&](const ElementRef& e, const Placement& at) {
        if (e.kind() == Kind::Sprite) {
            if (pixelBox(*std::get<Sprite*>(e.ptr)).contains(x, y)) top = PanelLabel::None;
            return;
        }
        if (e.kind() != Kind::Label || !e.inPanel || !at.clip.contains(x, y)) return;
        const Label& l = *std::get<Label*>(e.ptr);
        const Rect box{at.originX + px(l.Left), at.originY + px(l.Top), px(l.Width), px(l.Height)};
        if (!box.contains(x, y)) return;
        if (&l == &scene.Label4) top = PanelLabel::Exit;
        else if (&l == &scene.Label5) top = PanelLabel::Controls;
        else if (&l == &scene.Label6) top = PanelLabel::Credits;
        else top = PanelLabel::None;
    });
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
