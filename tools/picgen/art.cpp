// SPDX-License-Identifier: MIT
#include "art.h"

#include <algorithm>
#include <cmath>

namespace pg {

Material metal(Rgb base, std::uint32_t seed, float grain) {
    Material m;
    m.base = base;
    m.grain = grain;
    m.seed = seed;
    return m;
}

Material glass(Rgb tint) {
    Material m;
    m.base = tint;
    m.ambient = 0.35f;
    m.diffuse = 0.65f;
    m.specular = 1.1f;
    m.shininess = 18;
    return m;
}

void plate(Canvas& c, const Sdf& s, const Material& m, float bevel, Vec2 tilt) {
    c.paint(s, bevelled(m, bevel, 1.2f, tilt));
}

void body(Canvas& c, const Sdf& s, const Material& m, float radius, Vec2 tilt) {
    c.paint(s, rounded(m, radius, tilt));
}

void decal(Canvas& c, const Sdf& part, const Sdf& mark, const Material& m, float bevel, Vec2 tilt) {
    const Shader lightPart = bevelled(m, bevel, 1.2f, tilt);
    c.paint(intersect(part, mark), [part, lightPart](const Frag& f) {
        const Frag onPart{f.p, part(f.p), &part};
        return lightPart(onPart);
    });
}

void canopy(Canvas& c, const Sdf& s, Rgb tint, float radius, Vec2 tilt) {
    c.paint(s, rounded(glass(tint), radius, tilt));
}

void lamp(Canvas& c, Vec2 at, float r, Rgb colour, float halo) {
    c.fill(circle(at, r + 0.5f), Rgb{0.05f, 0.05f, 0.06f});
    c.paint(circle(at, r), radialGradient(at + Vec2{-0.25f * r, -0.3f * r}, r * 1.3f,
                                          Ramp{{{0, mix(colour, Rgb{1, 1, 1}, 0.7f)}, {0.45f, colour},
                                                {1, colour * 0.35f}}}));
    if (halo > 0) glow(c, at, r + halo, colour, 0.55f);
}

void barrel(Canvas& c, Vec2 a, Vec2 b, float r, const Material& m) {
    const Sdf tube = capsule(a, b, r);
    c.paint(tube, rounded(m, r));
    const Vec2 d = b - a;
    const float l = length(d);
    const Vec2 u = d * (1.0f / l);
    // Muzzle ring and bore.
    c.paint(bar(b - u * (1.6f * r), b - u * (0.9f * r), r * 1.15f), rounded(m, r));
    c.fill(circle(b - u * (0.2f * r), r * 0.5f), Rgb{0.03f, 0.03f, 0.03f});
}

void vent(Canvas& c, Vec2 centre, Vec2 half, int slats, Rgb heat) {
    const Sdf frame = box(centre, half, 0.4f);
    c.fill(frame, Rgb{0.06f, 0.05f, 0.05f});
    // Heat glows in the gaps, hotter in the middle.
    c.paint(grow(frame, -0.3f), [=](const Frag& f) {
        const float u = std::fabs(f.p.x - centre.x) / half.x;
        return Paint{heat * (1.0f - 0.7f * u * u)};
    });
    const float pitch = 2 * half.y / static_cast<float>(slats);
    Material slat = metal(Rgb{0.32f, 0.33f, 0.35f}, 77, 0);
    for (int i = 0; i < slats; ++i) {
        const float y = centre.y - half.y + pitch * (static_cast<float>(i) + 0.5f);
        c.paint(box({centre.x, y - pitch * 0.1f}, {half.x - 0.3f, pitch * 0.28f}, 0.1f), bevelled(slat, 0.5f));
    }
}

void exhaust(Canvas& c, Vec2 at, float r, Vec2 dir, float flameLength, Rgb flame) {
    const Vec2 u = dir * (1.0f / length(dir));
    // Outer flame, then a hot core.
    const float ang = std::atan2(u.y, u.x);
    auto flameAt = [&](float lenScale, float widthScale, Rgb col, float k) {
        const Vec2 radii{flameLength * 0.5f * lenScale, r * widthScale};
        const Vec2 centre = at + u * (flameLength * 0.5f * lenScale);
        c.paint(rotateAbout(ellipse(centre, radii), centre, ang), [=](const Frag& f) {
            const Vec2 q = rotate(f.p - centre, -ang);
            const float v = length({q.x / radii.x, q.y / radii.y});
            const float t = v < 1 ? (1 - v) : 0;
            return Paint{col * (k * t * (0.6f + 0.4f * t))};
        }, Blend::Add);
    };
    flameAt(1.0f, 1.0f, flame, 1.6f);
    flameAt(0.55f, 0.6f, Rgb{1, 0.95f, 0.8f}, 1.5f);
    // The nozzle itself.
    c.paint(circle(at, r), radialGradient(at, r, Ramp{{{0, Rgb{1, 0.95f, 0.8f}},
                                                       {0.55f, flame},
                                                       {0.8f, Rgb{0.25f, 0.22f, 0.22f}},
                                                       {1, Rgb{0.45f, 0.45f, 0.48f}}}}));
}

}  // namespace pg
