// SPDX-License-Identifier: MIT
// Enemy craft, seen from above and flying down the screen: noses at the
// bottom, engines at the top. Each has its own outline and paint so the player
// can tell them apart at a glance.
#include <cmath>

#include "art.h"
#include "pictures.h"

namespace pg {
namespace {

Vec2 mirrorPt(Vec2 p, float axis) { return {2 * axis - p.x, p.y}; }

}  // namespace

// A heavy olive gunship with engine pods on its wingtips.
void drawCraftA(Canvas& c) {
    const float ax = 41.5f;
    const Material olive = metal(hex(0x5f6b3a), 101, 0.1f);
    const Material oliveLight = metal(hex(0x7c8a4c), 102, 0.08f);
    const Material oliveDark = metal(hex(0x3d4526), 103, 0.1f);
    const Material gun = metal(hex(0x4a4d50), 104, 0.03f);
    const Material khaki = metal(hex(0xb9a76a), 105, 0.06f);

    const Sdf wings = mirrorX(polygon({{52, 14}, {70, 22}, {73, 34}, {70, 43}, {54, 44}}), ax);
    const Sdf pods = mirrorX(capsule({71.5f, 12}, {71.5f, 42}, 5.2f), ax);
    const Sdf hull = mirroredPolygon(ax, {{41.5f, 5}, {49, 5.5f}, {55, 10}, {57.5f, 22}, {56, 38}, {50, 51},
                                          {45.5f, 59}, {41.5f, 61}});
    const Sdf centrePlate = mirroredPolygon(ax, {{41.5f, 9}, {47.5f, 10}, {51, 16}, {51, 34}, {46, 44},
                                                 {41.5f, 46}});
    const Sdf sidePlates = mirrorX(polygon({{52.5f, 13}, {55.5f, 22}, {54.5f, 36}, {51.5f, 40}, {52.5f, 30}}), ax);

    // Exhausts first: the hull covers the nozzles' roots.
    exhaust(c, {71.5f, 8.2f}, 2.4f, {0, -1}, 6.5f, hex(0x58c8ff));
    exhaust(c, mirrorPt({71.5f, 8.2f}, ax), 2.4f, {0, -1}, 6.5f, hex(0x58c8ff));
    exhaust(c, {36.5f, 5.5f}, 2.0f, {0, -1}, 4.2f, hex(0x58c8ff));
    exhaust(c, {46.5f, 5.5f}, 2.0f, {0, -1}, 4.2f, hex(0x58c8ff));

    plate(c, wings, olive, 1.8f);
    for (float side : {1.0f, -1.0f}) {
        auto at = [&](float x, float y) { return Vec2{ax + side * (x - ax), y}; };
        panelLine(c, wings, at(56, 24), at(68, 27));
        panelLine(c, wings, at(60, 20), at(58, 43));
        rivet(c, at(55.5f, 40.5f));
        rivet(c, at(59, 41));
        rivet(c, at(63, 41));
    }
    // Wing guns under the pods' inner side.
    barrel(c, {62, 36}, {62, 55}, 1.3f, gun);
    barrel(c, mirrorPt({62, 36}, ax), mirrorPt({62, 55}, ax), 1.3f, gun);
    body(c, pods, oliveDark, 4.5f);
    for (float side : {1.0f, -1.0f}) {
        const float px = ax + side * 30;
        panelLine(c, pods, {px - 6, 20}, {px + 6, 20});
        panelLine(c, pods, {px - 6, 33}, {px + 6, 33});
        decal(c, pods, box({px, 26.5f}, {6, 2.2f}), khaki, 4.5f);
        lamp(c, {px, 40.5f}, 1.6f, hex(0xff3b1f), 2.0f);
    }

    plate(c, hull, olive, 2.2f);
    plate(c, centrePlate, oliveLight, 1.6f);
    plate(c, sidePlates, oliveDark, 1.0f);
    panelLine(c, centrePlate, {ax, 10}, {ax, 40});
    panelLine(c, centrePlate, {36, 24}, {47, 24});
    for (float y : {14.0f, 19.0f, 29.0f, 34.0f}) {
        rivet(c, {ax - 4.5f, y});
        rivet(c, {ax + 4.5f, y});
    }
    // Hull vents behind the cockpit.
    vent(c, {ax, 16.5f}, {3.4f, 3.0f}, 3, hex(0xff6a1a));
    // A chin turret with twin guns.
    barrel(c, {39.6f, 52}, {39.6f, 62}, 0.9f, gun);
    barrel(c, {43.4f, 52}, {43.4f, 62}, 0.9f, gun);
    // Cockpit: amber glass.
    const Sdf cockpit = ellipse({ax, 49}, {3.6f, 5.5f});
    c.fill(grow(cockpit, 0.8f), hex(0x23281a));
    canopy(c, cockpit, hex(0xff9a2a), 3.0f);
    glow(c, {ax, 50}, 6.5f, hex(0xff8a20), 0.35f);
}

// A purple claw: a pod between two curved pincers, one green eye.
void drawCraftB(Canvas& c) {
    const float ax = 33;
    const Material purple = metal(hex(0x6a3a8c), 201, 0.08f);
    const Material lavender = metal(hex(0x9c6cc0), 202, 0.06f);
    const Material plum = metal(hex(0x3e2056), 203, 0.08f);
    const Material gun = metal(hex(0x55505c), 204, 0.03f);

    const Sdf pincers = mirrorX(polygon({{38, 13}, {47, 8.5f}, {55, 11}, {60.5f, 20}, {62, 33}, {58.5f, 46},
                                         {51.5f, 56}, {52.5f, 45}, {53, 34}, {50, 25}, {44, 22}, {38, 25}}),
                                ax);
    const Sdf pincerInner = mirrorX(polygon({{47.5f, 12}, {54, 14.5f}, {58, 22}, {59, 33}, {56, 43},
                                             {55, 34}, {53, 25}, {49.5f, 19}}),
                                    ax);
    const Sdf pod = ellipse({ax, 26}, {10.5f, 18});
    const Sdf engine = box({ax, 8}, {7, 5}, 2);

    exhaust(c, {29.5f, 4.5f}, 1.8f, {0, -1}, 3.0f, hex(0x6affb0));
    exhaust(c, {36.5f, 4.5f}, 1.8f, {0, -1}, 3.0f, hex(0x6affb0));
    plate(c, engine, plum, 1.5f);
    panelLine(c, engine, {ax - 6, 9}, {ax + 6, 9});

    plate(c, pincers, purple, 2.0f);
    plate(c, pincerInner, lavender, 1.2f);
    for (float side : {1.0f, -1.0f}) {
        auto at = [&](float x, float y) { return Vec2{ax + side * (x - ax), y}; };
        panelLine(c, pincers, at(55, 24), at(61.5f, 23));
        panelLine(c, pincers, at(53.5f, 37), at(61, 38));
        rivet(c, at(51, 20));
        rivet(c, at(47, 16));
        lamp(c, at(52.7f, 51.5f), 1.0f, hex(0x7dff8a), 1.8f);
    }
    // Spines between pod and pincers.
    body(c, mirrorX(bar({40, 30}, {50, 27}, 1.2f), ax), plum, 1.2f);

    body(c, pod, purple, 7.0f);
    plate(c, intersect(pod, box({ax, 20}, {12, 2.2f})), plum, 0.8f);
    plate(c, intersect(pod, box({ax, 12}, {12, 1.2f})), plum, 0.6f);
    panelLine(c, pod, {ax, 22}, {ax, 30});
    barrel(c, {ax, 38}, {ax, 52}, 1.5f, gun);
    // The eye.
    c.fill(circle({ax, 32}, 5.2f), hex(0x1a0d24));
    lamp(c, {ax, 32}, 4.0f, hex(0x39ff6a), 4.0f);
}

// A rust-brown dart with gun pods on both flanks.
void drawCraftC(Canvas& c) {
    const float ax = 23.5f;
    const Material rust = metal(hex(0x8e4a26), 301, 0.18f);
    const Material rustDark = metal(hex(0x5a2c18), 302, 0.15f);
    const Material rustLight = metal(hex(0xb86a36), 303, 0.12f);
    const Material gun = metal(hex(0x54504c), 304, 0.05f);

    const Sdf fins = mirrorX(polygon({{27, 10}, {39, 3.5f}, {41, 6}, {30, 20}}), ax);
    const Sdf pods = mirrorX(capsule({36.5f, 16}, {36.5f, 40}, 4.4f), ax);
    const Sdf struts = mirrorX(bar({27, 26}, {34, 26}, 2.4f), ax);
    const Sdf hull = mirroredPolygon(ax, {{23.5f, 3}, {27.5f, 4}, {29.5f, 12}, {29.5f, 34}, {28, 48},
                                          {25.5f, 58}, {23.5f, 63}});
    const Sdf spine = mirroredPolygon(ax, {{23.5f, 7}, {26, 8}, {26.5f, 30}, {25.5f, 44}, {23.5f, 47}});

    exhaust(c, {ax, 4.6f}, 2.6f, {0, -1}, 3.0f, hex(0xff8a2a));
    plate(c, fins, rustDark, 1.3f);
    decal(c, fins, mirrorX(box({38.5f, 5}, {2.5f, 3}), ax), rustLight, 1.3f);
    barrel(c, {36.5f, 34}, {36.5f, 50}, 1.2f, gun);
    barrel(c, mirrorPt({36.5f, 34}, ax), mirrorPt({36.5f, 50}, ax), 1.2f, gun);
    plate(c, struts, rustDark, 1.0f);
    body(c, pods, rust, 3.8f);
    for (float side : {1.0f, -1.0f}) {
        const float px = ax + side * 13;
        panelLine(c, pods, {px - 5, 24}, {px + 5, 24});
        panelLine(c, pods, {px - 5, 31}, {px + 5, 31});
        lamp(c, {px, 19}, 1.2f, hex(0xffc23a), 1.5f);
    }
    plate(c, hull, rust, 2.0f);
    plate(c, spine, rustLight, 1.4f);
    panelLine(c, hull, {17, 36}, {30, 36});
    panelLine(c, hull, {17, 15}, {30, 15});
    for (float y : {11.0f, 19.0f, 27.0f, 39.0f}) {
        rivet(c, {ax - 4.2f, y}, 0.4f);
        rivet(c, {ax + 4.2f, y}, 0.4f);
    }
    vent(c, {ax, 25}, {1.8f, 4.0f}, 4, hex(0xff5a14));
    // A cyan slit of a cockpit near the nose.
    const Sdf slit = ellipse({ax, 50.5f}, {2.2f, 5.0f});
    c.fill(grow(slit, 0.7f), hex(0x2a140c));
    canopy(c, slit, hex(0x38d8e8), 2.0f);
    glow(c, {ax, 51}, 5.5f, hex(0x38d8e8), 0.3f);
}

// A teal armoured saucer with a glowing dome and four guns.
void drawCraftD(Canvas& c) {
    const float ax = 32;
    const Vec2 mid{ax, 23};
    const Material teal = metal(hex(0x23807c), 401, 0.08f);
    const Material tealDark = metal(hex(0x14514f), 402, 0.08f);
    const Material tealLight = metal(hex(0x4fb3a8), 403, 0.06f);
    const Material gun = metal(hex(0x4c5556), 404, 0.03f);

    std::vector<Vec2> rim;
    for (int i = 0; i < 10; ++i) {
        const float a = 6.2831853f * static_cast<float>(i) / 10.0f + 0.31415927f;
        rim.push_back({mid.x + 29.5f * std::cos(a), mid.y + 20.5f * std::sin(a)});
    }
    const Sdf disc = polygon(rim);
    const Sdf inner = ellipse(mid, {19, 13.5f});

    for (float x : {26.0f, 38.0f}) barrel(c, {x, 36}, {x, 48.5f}, 1.3f, gun);
    for (float x : {14.0f, 50.0f}) barrel(c, {x, 33}, {x, 44.5f}, 1.0f, gun);
    exhaust(c, {25, 4.5f}, 1.6f, {0, -1}, 3.2f, hex(0x7affe0));
    exhaust(c, {39, 4.5f}, 1.6f, {0, -1}, 3.2f, hex(0x7affe0));

    plate(c, disc, teal, 2.2f);
    // Rim plates split by radial seams, every other one darker.
    for (int i = 0; i < 10; ++i) {
        const float a0 = 6.2831853f * static_cast<float>(i) / 10.0f + 0.31415927f;
        const float a1 = a0 + 6.2831853f / 10.0f;
        const Sdf wedge = polygon({mid, {mid.x + 40 * std::cos(a0), mid.y + 40 * std::sin(a0)},
                                   {mid.x + 40 * std::cos(a1), mid.y + 40 * std::sin(a1)}});
        if (i % 2 == 0) decal(c, disc, subtract(wedge, grow(inner, 1.5f)), tealDark, 2.2f);
        panelLine(c, subtract(disc, inner), mid, {mid.x + 40 * std::cos(a0), mid.y + 40 * std::sin(a0)}, 0.6f);
    }
    plate(c, inner, tealLight, 2.0f);
    panelLine(c, inner, {mid.x - 19, mid.y}, {mid.x + 19, mid.y}, 0.35f);
    for (int i = 0; i < 10; ++i) {
        const float a = 6.2831853f * (static_cast<float>(i) + 0.5f) / 10.0f + 0.31415927f;
        const Vec2 p{mid.x + 24.5f * std::cos(a), mid.y + 17 * std::sin(a)};
        if (i % 2 == 0)
            lamp(c, p, 0.9f, hex(0xff4040), 1.4f);
        else
            rivet(c, p, 0.5f);
    }
    vent(c, {ax, 11}, {5, 1.8f}, 2, hex(0xff7a20));
    // The dome.
    const Sdf dome = circle({ax, 24}, 7.5f);
    c.fill(grow(dome, 1.0f), hex(0x0c2a28));
    canopy(c, dome, hex(0xffc83a), 6.5f);
    glow(c, {ax, 24}, 11, hex(0xffb030), 0.25f);
}

// A small steel-blue interceptor with four swept blades and orange stripes.
void drawCraftE(Canvas& c) {
    const float ax = 22.5f;
    const Material steel = metal(hex(0x3d5a86), 501, 0.08f);
    const Material steelDark = metal(hex(0x24344f), 502, 0.08f);
    const Material orange = metal(hex(0xe8751e), 503, 0.05f);
    const Material gun = metal(hex(0x50545a), 504, 0.03f);

    const Sdf front = mirrorX(polygon({{26, 24}, {40.5f, 33}, {41.5f, 38.5f}, {38, 39}, {26, 32}}), ax);
    const Sdf back = mirrorX(polygon({{26, 17.5f}, {36.5f, 4.5f}, {41.5f, 6.5f}, {37.5f, 16}, {27, 24}}), ax);
    const Sdf hull = ellipse({ax, 22}, {6.2f, 14.5f});

    exhaust(c, {ax, 8.5f}, 2.2f, {0, -1}, 6.0f, hex(0xff9a3a));
    plate(c, back, steelDark, 1.3f);
    decal(c, back, mirrorX(bar({35, 5}, {42, 8}, 1.6f), ax), orange, 1.3f);
    barrel(c, {39.5f, 34}, {39.5f, 44}, 0.9f, gun);
    barrel(c, mirrorPt({39.5f, 34}, ax), mirrorPt({39.5f, 44}, ax), 0.9f, gun);
    plate(c, front, steel, 1.4f);
    decal(c, front, mirrorX(bar({31, 29}, {34, 36}, 1.1f), ax), orange, 1.4f);
    for (float side : {1.0f, -1.0f}) {
        auto at = [&](float x, float y) { return Vec2{ax + side * (x - ax), y}; };
        panelLine(c, front, at(28, 27.5f), at(40, 35));
        lamp(c, at(40.6f, 36.6f), 0.8f, hex(0xff4a2a), 1.2f);
    }
    body(c, hull, steel, 5.0f);
    decal(c, hull, box({ax, 14}, {8, 1.2f}), orange, 5.0f);
    panelLine(c, hull, {ax - 6, 27}, {ax + 6, 27});
    const Sdf cockpit = ellipse({ax, 31}, {2.6f, 4.2f});
    c.fill(grow(cockpit, 0.6f), hex(0x10141c));
    canopy(c, cockpit, hex(0xff3a3a), 2.4f);
    glow(c, {ax, 32}, 5, hex(0xff3030), 0.3f);
}

// A crimson mine-drone: an armoured orb with spikes and a magenta core.
void drawCraftF(Canvas& c) {
    const Vec2 mid{23.5f, 22.5f};
    const Material crimson = metal(hex(0x8c1c2c), 601, 0.08f);
    const Material grey = metal(hex(0x55585e), 602, 0.06f);
    const Material greyLight = metal(hex(0x8a8e95), 603, 0.05f);

    // Eight spikes, the one pointing down longest: it is the gun.
    for (int i = 0; i < 8; ++i) {
        const float a = 6.2831853f * static_cast<float>(i) / 8.0f;
        const float len = (i == 2) ? 22.0f : (i % 2 == 0 ? 19.5f : 17.5f);
        const Vec2 dir{std::cos(a), std::sin(a)};
        const Vec2 tip = mid + dir * len;
        const Vec2 side{-dir.y, dir.x};
        const Sdf spike = polygon({mid + dir * 12.0f + side * 2.6f, tip, mid + dir * 12.0f - side * 2.6f});
        plate(c, spike, i % 2 == 0 ? greyLight : grey, 1.0f);
    }
    const Sdf orb = circle(mid, 14.5f);
    body(c, orb, grey, 7.0f);
    // Crimson armour segments around the core.
    for (int i = 0; i < 4; ++i) {
        const float a = 6.2831853f * (static_cast<float>(i) + 0.5f) / 4.0f;
        const Sdf seg = intersect(ring(mid, 10.5f, 3.4f),
                                  polygon({mid, mid + Vec2{30 * std::cos(a - 0.62f), 30 * std::sin(a - 0.62f)},
                                           mid + Vec2{30 * std::cos(a + 0.62f), 30 * std::sin(a + 0.62f)}}));
        plate(c, seg, crimson, 1.4f);
        rivet(c, mid + Vec2{10.5f * std::cos(a), 10.5f * std::sin(a)}, 0.6f);
    }
    const Sdf coreRing = circle(mid, 6.5f);
    plate(c, coreRing, greyLight, 1.5f);
    c.fill(circle(mid, 4.8f), hex(0x1a0612));
    lamp(c, mid, 3.8f, hex(0xff2ad0), 4.5f);
}

}  // namespace pg
