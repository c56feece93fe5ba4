// SPDX-License-Identifier: MIT
#include "platform/clicks.h"

#include "draw/draw.h"

using namespace hvezda;

namespace platform {

using namespace ::draw;

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
        top = PanelLabel::None;
        for (const PanelLabel clickable : kClickable)
            if (&l == &labelOf(scene, clickable)) top = clickable;
    });
    return top;
}

}  // namespace platform
