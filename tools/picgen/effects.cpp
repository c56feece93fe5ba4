// SPDX-License-Identifier: MIT
// Explosions, shots, the shield token and the shield gauge.
#include <algorithm>
#include <cmath>
#include <vector>

#include "art.h"
#include "pictures.h"

namespace pg {
namespace {

struct Blob {
    Vec2 c;
    float r;
};

// Overlapping puffs that make up one fireball, all inside `radius`.
std::vector<Blob> puffs(Vec2 centre, float radius, int count, std::uint64_t seed) {
    Rng rng(seed);
    std::vector<Blob> out;
    out.push_back({centre, radius * 0.5f});
    for (int i = 1; i < count; ++i) {
        const float a = rng.range(0, 6.2831853f);
        const float r = radius * rng.range(0.22f, 0.42f);
        const float reach = (radius - r) * std::sqrt(rng.uniform());
        out.push_back({centre + Vec2{reach * std::cos(a), reach * std::sin(a)}, r});
    }
    return out;
}

// Each puff is a cone, brightest at its own middle, so overlapping puffs read
// as separate billows.
float billow(const std::vector<Blob>& blobs, Vec2 p) {
    float best = 0;
    for (const Blob& b : blobs) best = std::max(best, 1 - length(p - b.c) / b.r);
    return best;
}

const Ramp& fireRamp() {
    static const Ramp r{{{0, Rgb{0, 0, 0}},
                         {0.12f, hex(0x3a0804)},
                         {0.3f, hex(0xa11a06)},
                         {0.5f, hex(0xf0600e)},
                         {0.7f, hex(0xffb428)},
                         {0.88f, hex(0xfff08a)},
                         {1.0f, Rgb{1.2f, 1.2f, 1.1f}}}};
    return r;
}

struct FireStyle {
    float heat;        // how hot the middle burns
    float lumpiness;   // how much the noise eats into the cloud
    float smoke;       // share of sooty grey mixed into cool parts
    float noiseScale;  // noise frequency in 1/px
};

void fireball(Canvas& c, Vec2 centre, float radius, int count, std::uint64_t seed, FireStyle s,
              Blend blend = Blend::Over) {
    const std::vector<Blob> blobs = puffs(centre, radius, count, seed);
    const std::uint32_t nseed = static_cast<std::uint32_t>(seed & 0xffffu);
    c.paint(circle(centre, radius), [=](const Frag& f) {
        const float b = billow(blobs, f.p);
        if (b <= 0) return Paint{Rgb{}, 0};
        const float n = fbm(f.p * s.noiseScale, 4, nseed);
        const float body = b * (1 - s.lumpiness + 2 * s.lumpiness * n);
        if (body <= 0.02f) return Paint{Rgb{}, 0};
        const float r = length(f.p - centre) / radius;
        const float t = body * s.heat * (1.15f - 0.6f * r);
        Rgb col = fireRamp().at(t);
        if (s.smoke > 0) {
            // Soot where the cloud has cooled.
            const float soot = s.smoke * (1 - smoothstep(0.2f, 0.5f, t)) * smoothstep(0.35f, 0.65f, n);
            col = mix(col, hex(0x3a3330) * smoothstep(0.02f, 0.3f, body), soot);
        }
        return Paint{col, smoothstep(0.02f, 0.1f, body)};
    }, blend);
}

// Bright flecks thrown outwards, each with a short trail towards the centre.
void sparks(Canvas& c, Vec2 centre, float inner, float outer, int count, std::uint64_t seed, Rgb colour) {
    Rng rng(seed);
    for (int i = 0; i < count; ++i) {
        const float a = rng.range(0, 6.2831853f);
        const float dist = rng.range(inner, outer);
        const Vec2 dir{std::cos(a), std::sin(a)};
        const Vec2 p = centre + dir * dist;
        const float trail = rng.range(1.5f, 4.0f);
        c.paint(taperedCapsule(p - dir * trail, p, 0.15f, 0.55f), [=](const Frag& f) {
            const float k = clamp01(dot(f.p - (p - dir * trail), dir) / trail);
            return Paint{colour * (0.3f + 0.9f * k)};
        }, Blend::Add);
        glow(c, p, rng.range(1.2f, 2.0f), colour, 0.8f);
    }
}

}  // namespace

// The first instant: a small white-hot core with a flash of rays.
void drawBoom1(Canvas& c) {
    const Vec2 mid{35.5f, 35};
    glow(c, mid, 30, hex(0xff7a18), 0.45f);
    for (int i = 0; i < 8; ++i) {
        const float a = 6.2831853f * static_cast<float>(i) / 8.0f + 0.2f;
        const float len = (i % 2 == 0) ? 30.0f : 21.0f;
        const Vec2 dir{std::cos(a), std::sin(a)};
        c.paint(taperedCapsule(mid, mid + dir * len, 2.2f, 0.2f), [=](const Frag& f) {
            const float k = 1 - clamp01(length(f.p - mid) / len);
            return Paint{hex(0xffd060) * (1.1f * k * k)};
        }, Blend::Add);
    }
    fireball(c, mid, 19, 9, 1001, {1.5f, 0.3f, 0, 0.2f}, Blend::Add);
    glow(c, mid, 10, Rgb{1, 0.95f, 0.8f}, 1.0f);
    sparks(c, mid, 20, 31, 10, 1002, hex(0xffd060));
}

// Full bloom: a big billowing orange and yellow cloud.
void drawBoom2(Canvas& c) {
    const Vec2 mid{33.5f, 32};
    fireball(c, mid, 29.5f, 18, 2001, {1.15f, 0.35f, 0.2f, 0.15f});
    glow(c, mid + Vec2{-1, -1}, 14, hex(0xffc040), 0.5f);
    sparks(c, mid, 25, 30, 7, 2003, hex(0xffc050));
}

// Burning out: dark red embers in drifting smoke, the last sparks flying.
void drawBoom3(Canvas& c) {
    const Vec2 mid{40, 39.5f};
    fireball(c, mid, 35.5f, 24, 3001, {0.6f, 0.55f, 0.9f, 0.12f});
    sparks(c, mid, 18, 36, 18, 3003, hex(0xffa040));
}

// The player's shot: two small glowing yellow pellets, one at each end.
void drawShot(Canvas& c) {
    for (float x : {3.5f, 19.5f}) {
        const Vec2 p{x, 3};
        c.paint(ellipse(p, {2.4f, 2.0f}), [=](const Frag& f) {
            const Vec2 q = f.p - p;
            const float u = length({q.x / 2.4f, q.y / 2.0f});
            return Paint{Ramp{{{0, Rgb{1, 1, 0.85f}}, {0.45f, hex(0xffe640)}, {1, hex(0xe07a10)}}}.at(u)};
        });
        glowEllipse(c, p, {2.4f, 2.0f}, Rgb{1, 0.9f, 0.4f}, 0.6f);
    }
}

// The enemies' shot: a glowing yellow ball.
void drawEnemyShot(Canvas& c) {
    const Vec2 mid{5.5f, 5.5f};
    glow(c, mid, 4.4f, hex(0xff9a18), 0.9f);
    c.paint(circle(mid, 2.7f), radialGradient(mid + Vec2{-0.6f, -0.6f}, 3.2f,
                                              Ramp{{{0, Rgb{1, 1, 0.9f}}, {0.4f, hex(0xfff050)},
                                                    {1, hex(0xffa020)}}}));
}

// The shield refill: a glossy blue capsule standing upright.
void drawToken(Canvas& c) {
    const Sdf pill = capsule({10, 8.6f}, {10, 23.4f}, 7.0f);
    Material blue = glass(hex(0x1e5ee8));
    blue.specular = 0.9f;
    c.paint(pill, rounded(blue, 6.0f));
    // A pale band round the middle with a plus on it: this one gives shield back.
    const Material band = glass(hex(0x9cd0ff));
    c.paint(intersect(pill, box({10, 16}, {8, 2.2f})), [pill, band](const Frag& f) {
        const Frag onPill{f.p, pill(f.p), &pill};
        return rounded(band, 6.0f)(onPill);
    });
    c.fill(unite(box({10, 16}, {2.6f, 0.75f}), box({10, 16}, {0.75f, 2.6f})), hex(0x0c2a78));
    // Gloss on the upper left and a rim of reflected light on the right.
    c.fill(capsule({6.8f, 7.5f}, {6.8f, 12.0f}, 1.1f), Rgb{1, 1, 1}, 0.75f);
    c.fill(circle({6.8f, 20.5f}, 0.8f), Rgb{1, 1, 1}, 0.45f);
    c.paint(subtract(pill, translate(pill, {-1.0f, -0.6f})), [](const Frag&) {
        return Paint{hex(0x6ab8ff), 0.5f};
    });
}

// The shield gauge: a column of small bevelled bars, bright orange at the top
// to dark red at the bottom, 3 px bars with 1 px gaps.
void drawGauge(Canvas& c) {
    const Ramp ramp{{{0, hex(0xffa22a)}, {0.35f, hex(0xf06018)}, {0.7f, hex(0xc02010)}, {1, hex(0x6a0c08)}}};
    const int bars = 100;
    for (int i = 0; i < bars; ++i) {
        const float top = 2.0f + 4.0f * static_cast<float>(i);
        Material m = metal(ramp.at(static_cast<float>(i) / (bars - 1)), 900, 0);
        m.specular = 0.5f;
        const Sdf seg = box({10, top + 1.5f}, {8, 1.5f}, 0.5f);
        c.paint(seg, bevelled(m, 1.1f, 1.6f));
    }
}

}  // namespace pg
