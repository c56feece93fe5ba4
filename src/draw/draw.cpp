// SPDX-License-Identifier: MIT
#include "draw/draw.h"

#include <algorithm>

#include "draw/text_wrap.h"

using namespace hvezda;

namespace draw {

namespace {

bool visible(const ElementRef& e) {
    return std::visit(
        [](const auto* p) {
            if constexpr (requires { p->Visible; }) return p->Visible;
            return false;  // timers and forms draw nothing
        },
        e.ptr);
}

}  // namespace

void forEachShown(Scene& scene, const std::function<void(const ElementRef&, const Placement&)>& visit) {
    const Placement window;
    for (const ElementRef& e : drawingOrder(scene)) {
        if (!visible(e)) continue;
        visit(e, window);
        if (e.kind() != Kind::Sprite || std::get<Sprite*>(e.ptr) != &scene.Picture2) continue;
        // The panel's children, on it and clipped to it.
        const PanelFrame panel = panelFrame(scene.Picture2);
        const Placement inPanel{panel.originX, panel.originY, panel.clip};
        for (const ElementRef& c : panelDrawingOrder(scene))
            if (visible(c)) visit(c, inPanel);
    }
}

void Painter::fill(const Rect& r, Rgb c) {
    if (!r.empty()) canvas_.fill(r, c);
}

void Painter::draw(Scene& scene) {
    canvas_.clear(Rgb{0, 0, 0});
    forEachShown(scene, [this](const ElementRef& e, const Placement& at) { drawElement(e, at); });
}

void Painter::drawElement(const ElementRef& e, const Placement& at) {
    switch (e.kind()) {
        case Kind::Sprite: drawSprite(*std::get<Sprite*>(e.ptr), at.clip); break;
        case Kind::Label: drawLabel(*std::get<Label*>(e.ptr), at); break;
        case Kind::Image: drawImage(*std::get<Image*>(e.ptr), at); break;
        case Kind::Line: drawLine(*std::get<Line*>(e.ptr), at); break;
        case Kind::Star: drawStar(*std::get<Star*>(e.ptr), at.clip); break;
        default: break;
    }
}

void Painter::drawSprite(const Sprite& s, const Rect& clip) {
    const Rect box = pixelBox(s);
    const Rect visible = intersect(box, clip);
    if (visible.empty()) return;
    fill(visible, resolveColor(s.BackColor));
    const int frame = s.border ? 1 : 0;
    if (s.border) {
        const Rgb fc = resolveColor(kFrameColor);
        fill(intersect(Rect{box.x, box.y, box.w, 1}, clip), fc);
        fill(intersect(Rect{box.x, box.y + box.h - 1, box.w, 1}, clip), fc);
        fill(intersect(Rect{box.x, box.y, 1, box.h}, clip), fc);
        fill(intersect(Rect{box.x + box.w - 1, box.y, 1, box.h}, clip), fc);
    }
    if (!s.picture) return;
    const Rect inside{box.x + frame, box.y + frame, box.w - 2 * frame, box.h - 2 * frame};
    drawPicture(*s.picture, inside.x, inside.y, intersect(inside, clip));
}

void Painter::drawPicture(const Picture& p, int x, int y, const Rect& clip) {
    if (!clip.empty()) canvas_.picture(p, x, y, clip);
}

void Painter::drawImage(const Image& i, const Placement& at) {
    if (i.picture) drawPicture(*i.picture, at.originX + px(i.Left), at.originY + px(i.Top), at.clip);
}

void Painter::drawLine(const Line& l, const Placement& at) {
    canvas_.line(Point{at.originX + px(l.X1), at.originY + px(l.Y1)}, Point{at.originX + px(l.X2), at.originY + px(l.Y2)},
                 resolveColor(l.color), at.clip);
}

void Painter::drawStar(const Star& s, const Rect& clip) {
    const int x = px(s.Left), y = px(s.Top);
    const int d = std::max(1, px(s.diameter));
    const double r = d / 2.0;
    points_.clear();
    for (int j = 0; j < d; ++j) {
        for (int i = 0; i < d; ++i) {
            const double cx = i + 0.5 - r, cy = j + 0.5 - r;
            if (cx * cx + cy * cy <= r * r && clip.contains(x + i, y + j)) points_.push_back(Point{x + i, y + j});
        }
    }
    if (!points_.empty()) canvas_.points(points_, resolveColor(s.color));
}

Rect Painter::labelBox(const Label& l, const Placement& at) {
    Rect box{at.originX + px(l.Left), at.originY + px(l.Top), px(l.Width), px(l.Height)};
    if (l.autoSize) {
        const auto metrics = canvas_.fontMetrics(l.font);
        box.w = metrics && !l.Caption.empty() ? canvas_.textWidth(l.font, l.Caption) : 0;
        box.h = metrics ? metrics->height : 0;
    }
    return box;
}

void Painter::drawLabel(const Label& l, const Placement& at) {
    const Rect box = labelBox(l, at);
    const Rect visible = intersect(box, at.clip);
    if (visible.empty()) return;
    if (!l.transparent) fill(visible, resolveColor(l.BackColor));
    const Rgb fore = resolveColor(l.ForeColor);
    if (!l.wordWrap) {
        if (!l.Caption.empty()) canvas_.text(l.font, l.Caption, fore, box.x, box.y, visible);
        return;
    }
    const auto metrics = canvas_.fontMetrics(l.font);
    if (!metrics) return;
    int y = box.y;
    for (const std::string& line : wrapped(l.font, l.Caption, box.w)) {
        if (y >= visible.y + visible.h) break;
        if (!line.empty()) canvas_.text(l.font, line, fore, box.x, y, visible);
        y += metrics->lineSkip;
    }
}

const std::vector<std::string>& Painter::wrapped(const Font& font, const std::string& text, int width) {
    const int pixels = fontPixels(font.size);
    if (wrap_.font != font.name || wrap_.pixels != pixels || wrap_.text != text || wrap_.width != width) {
        const MeasureText measure = [this, &font](std::string_view s) { return canvas_.textWidth(font, s); };
        wrap_.font = font.name;
        wrap_.pixels = pixels;
        wrap_.text = text;
        wrap_.width = width;
        wrap_.lines = wrapText(text, width, measure);
    }
    return wrap_.lines;
}

}  // namespace draw
