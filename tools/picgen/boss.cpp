// SPDX-License-Identifier: MIT
// The fortress at the end of a wave: a wide grey hull, flying down the screen,
// with armour in layers, two gun turrets on each side, a main cannon under the
// bow, vents and running lights.
#include <cmath>

#include "art.h"
#include "pictures.h"

namespace pg {
namespace {

void turret(Canvas& c, Vec2 at, float r, const Material& armour, const Material& gun) {
    // Twin barrels point down, at the player.
    barrel(c, {at.x - r * 0.38f, at.y}, {at.x - r * 0.38f, at.y + r * 2.0f}, r * 0.2f, gun);
    barrel(c, {at.x + r * 0.38f, at.y}, {at.x + r * 0.38f, at.y + r * 2.0f}, r * 0.2f, gun);
    c.fill(circle(at, r + 0.8f), hex(0x1c1d20));
    body(c, circle(at, r), armour, r * 0.8f);
    plate(c, circle(at, r * 0.45f), gun, 0.8f);
    panelLine(c, circle(at, r), {at.x - r, at.y - r * 0.35f}, {at.x + r, at.y - r * 0.35f}, 0.35f);
    lamp(c, {at.x, at.y + r * 0.05f}, r * 0.18f, hex(0xff3020), 1.0f);
}

}  // namespace

void drawBoss(Canvas& c) {
    const float ax = 76.5f;
    const Material grey = metal(hex(0x868a91), 701, 0.09f);
    const Material greyLight = metal(hex(0xaeb2b8), 702, 0.07f);
    const Material greyDark = metal(hex(0x55595f), 703, 0.09f);
    const Material gun = metal(hex(0x46484c), 704, 0.03f);
    const Material warn = metal(hex(0xd89a1c), 705, 0.05f);

    const Sdf wings = mirrorX(polygon({{104, 12}, {133, 17}, {149, 27}, {150, 41}, {143, 50}, {124, 52},
                                       {104, 48}}),
                              ax);
    const Sdf wingArmour = mirrorX(polygon({{112, 19}, {132, 22}, {144, 30}, {145, 40}, {140, 45},
                                            {114, 44}}),
                                   ax);
    const Sdf hull = mirroredPolygon(ax, {{76.5f, 3}, {94, 3.5f}, {108, 9}, {113, 21}, {111, 40}, {103, 56},
                                          {90, 68}, {76.5f, 72}});
    const Sdf deck = mirroredPolygon(ax, {{76.5f, 8}, {91, 8.5f}, {101, 14}, {104, 26}, {101, 41}, {93, 53},
                                          {84, 60}, {76.5f, 62}});
    const Sdf bridge = mirroredPolygon(ax, {{76.5f, 18}, {84, 19}, {88, 25}, {88, 36}, {83, 43}, {76.5f, 45}});
    const Sdf sidePods = mirrorX(box({118, 47}, {5, 7.5f}, 2.5f), ax);

    // Engines along the stern, glowing blue under the hull's edge.
    for (float x : {64.0f, 89.0f, 52.0f, 101.0f}) exhaust(c, {x, 5.2f}, 2.6f, {0, -1}, 3.4f, hex(0x5ab8ff));

    // Wing guns hang below the wings.
    for (float side : {1.0f, -1.0f}) {
        auto at = [&](float x, float y) { return Vec2{ax + side * (x - ax), y}; };
        barrel(c, at(118, 50), at(118, 62), 1.6f, gun);
        barrel(c, at(141, 45), at(141, 55), 1.1f, gun);
    }
    plate(c, wings, greyDark, 2.0f);
    plate(c, wingArmour, grey, 1.8f);
    body(c, sidePods, greyDark, 3.0f);
    for (float side : {1.0f, -1.0f}) {
        auto at = [&](float x, float y) { return Vec2{ax + side * (x - ax), y}; };
        panelLine(c, wingArmour, at(113, 32), at(145, 35));
        panelLine(c, wingArmour, at(128, 20), at(127, 44));
        panelLine(c, wingArmour, at(138, 26), at(137, 44));
        for (float x : {116.0f, 121.0f, 126.0f, 131.0f}) rivet(c, at(x, 42.2f), 0.45f);
        vent(c, at(120, 26.5f), {4.2f, 3.0f}, 3, hex(0xff6418));
        decal(c, wings, bar(at(143, 28), at(149.5f, 34), 0.9f), warn, 2.0f);
        decal(c, wings, bar(at(142, 32), at(149.5f, 39), 0.9f), warn, 2.0f);
        lamp(c, at(147.2f, 42), 1.1f, side > 0 ? hex(0x3aff5a) : hex(0xff3a2a), 2.2f);
    }

    plate(c, hull, grey, 2.6f);
    plate(c, deck, greyLight, 2.0f);
    for (float side : {1.0f, -1.0f}) {
        auto at = [&](float x, float y) { return Vec2{ax + side * (x - ax), y}; };
        panelLine(c, deck, at(88, 9), at(98, 50));
        panelLine(c, hull, at(104, 12), at(110, 24));
        vent(c, at(96, 13.5f), {4.5f, 2.4f}, 2, hex(0xff7a20));
        for (float y : {20.0f, 26.0f, 32.0f, 38.0f}) rivet(c, at(101.5f, y), 0.45f);
        for (float y : {48.0f, 54.0f}) lamp(c, at(95 - (y - 48) * 0.9f, y), 0.8f, hex(0xffd040), 1.3f);
    }
    panelLine(c, deck, {60, 47}, {93, 47});
    panelLine(c, deck, {58, 14}, {95, 14});
    // Armour strips down the deck's flanks, and a belt of darker plate.
    for (float side : {1.0f, -1.0f}) {
        auto at = [&](float x, float y) { return Vec2{ax + side * (x - ax), y}; };
        const Sdf strip = polygon({at(89, 17), at(99, 17), at(100.5f, 26), at(89, 26)});
        plate(c, strip, grey, 1.0f);
        panelLine(c, strip, at(94, 17), at(94, 26), 0.35f);
        const Sdf belt = polygon({at(82, 47.5f), at(97, 41.5f), at(93.5f, 50), at(84, 57)});
        plate(c, belt, greyDark, 1.2f);
        rivet(c, at(88, 50), 0.5f);
        rivet(c, at(92, 47), 0.5f);
        panelLine(c, hull, at(104, 44), at(96, 60), 0.4f);
    }

    // Turrets: two big ones on the wings, two small ones beside the bridge.
    turret(c, {133, 33}, 6.0f, grey, gun);
    turret(c, {20, 33}, 6.0f, grey, gun);
    turret(c, {95, 33}, 4.4f, greyLight, gun);
    turret(c, {58, 33}, 4.4f, greyLight, gun);

    // Main cannon under the bow.
    barrel(c, {ax, 55}, {ax, 74.6f}, 2.4f, gun);
    plate(c, box({ax, 58.5f}, {5.5f, 4.5f}, 1.5f), greyDark, 1.6f);
    c.fill(circle({ax, 58.5f}, 2.6f), hex(0x200a06));
    glow(c, {ax, 58.5f}, 6.0f, hex(0xff5a1a), 0.7f);
    lamp(c, {ax, 58.5f}, 1.8f, hex(0xff7a2a), 0);

    // The bridge with its windows.
    plate(c, bridge, greyDark, 2.0f);
    plate(c, grow(bridge, -3.0f), grey, 1.4f);
    const Sdf windows = box({ax, 39}, {5.5f, 1.1f}, 0.8f);
    c.fill(grow(windows, 0.5f), hex(0x15161a));
    canopy(c, windows, hex(0x39c8ff), 1.0f);
    glow(c, {ax, 39}, 6, hex(0x39c8ff), 0.25f);
    // A sensor dish on the bridge roof.
    body(c, circle({ax, 27}, 3.6f), greyLight, 3.0f);
    c.fill(ring({ax, 27}, 2.2f, 0.3f), hex(0x3a3c40), 0.8f);
    lamp(c, {ax, 27}, 1.1f, hex(0xff2a2a), 2.5f);
    panelLine(c, bridge, {ax - 8, 33.5f}, {ax + 8, 33.5f}, 0.4f);
    for (float y : {23.0f, 31.0f}) {
        rivet(c, {ax - 6, y}, 0.5f);
        rivet(c, {ax + 6, y}, 0.5f);
    }
}

}  // namespace pg
