// SPDX-License-Identifier: MIT
#include "raster.h"

#include <algorithm>
#include <cmath>
#include <fstream>

namespace pg {

float dot(Vec2 a, Vec2 b) { return a.x * b.x + a.y * b.y; }
float length(Vec2 a) { return std::sqrt(dot(a, a)); }
Vec2 rotate(Vec2 p, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    return {p.x * c - p.y * s, p.x * s + p.y * c};
}

Vec3 normalize(Vec3 v) {
    const float l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (l <= 0) return {0, 0, 1};
    return {v.x / l, v.y / l, v.z / l};
}
float dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Rgb mix(Rgb a, Rgb b, float t) { return a + (b - a) * t; }
Rgb hex(std::uint32_t rgb) {
    return {static_cast<float>((rgb >> 16) & 0xff) / 255.0f, static_cast<float>((rgb >> 8) & 0xff) / 255.0f,
            static_cast<float>(rgb & 0xff) / 255.0f};
}

float clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
float smoothstep(float e0, float e1, float x) {
    const float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}
float lerp(float a, float b, float t) { return a + (b - a) * t; }

std::uint64_t Rng::next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}
float Rng::uniform() { return static_cast<float>(next() >> 40) / 16777216.0f; }
float Rng::range(float lo, float hi) { return lo + (hi - lo) * uniform(); }
int Rng::below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }

namespace {
float lattice(int x, int y, std::uint32_t seed) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 0x8da6b343u ^ static_cast<std::uint32_t>(y) * 0xd8163841u ^
                      seed * 0xcb1ab31fu;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return static_cast<float>(h & 0xffffffu) / 16777215.0f;
}
}  // namespace

float valueNoise(Vec2 p, std::uint32_t seed) {
    const float fx = std::floor(p.x), fy = std::floor(p.y);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    float tx = p.x - fx, ty = p.y - fy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    const float a = lattice(ix, iy, seed), b = lattice(ix + 1, iy, seed);
    const float c = lattice(ix, iy + 1, seed), d = lattice(ix + 1, iy + 1, seed);
    return lerp(lerp(a, b, tx), lerp(c, d, tx), ty);
}

float fbm(Vec2 p, int octaves, std::uint32_t seed) {
    float sum = 0, amp = 0.5f, norm = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * valueNoise(p, seed + static_cast<std::uint32_t>(i) * 7919u);
        norm += amp;
        p = p * 2.03f;
        amp *= 0.5f;
    }
    return sum / norm;
}

// ---- shapes ---------------------------------------------------------------

Sdf circle(Vec2 c, float r) {
    return [=](Vec2 p) { return length(p - c) - r; };
}

Sdf ellipse(Vec2 c, Vec2 radii) {
    return [=](Vec2 p) {
        const Vec2 q = p - c;
        const float k0 = length({q.x / radii.x, q.y / radii.y});
        const float k1 = length({q.x / (radii.x * radii.x), q.y / (radii.y * radii.y)});
        if (k1 <= 0) return -std::min(radii.x, radii.y);
        return k0 * (k0 - 1) / k1;
    };
}

Sdf capsule(Vec2 a, Vec2 b, float r) { return taperedCapsule(a, b, r, r); }

Sdf taperedCapsule(Vec2 a, Vec2 b, float ra, float rb) {
    return [=](Vec2 p) {
        const Vec2 pa = p - a, ba = b - a;
        const float den = dot(ba, ba);
        const float h = den > 0 ? clamp01(dot(pa, ba) / den) : 0;
        return length(pa - ba * h) - lerp(ra, rb, h);
    };
}

Sdf box(Vec2 centre, Vec2 half, float corner) {
    return [=](Vec2 p) {
        const float qx = std::fabs(p.x - centre.x) - half.x + corner;
        const float qy = std::fabs(p.y - centre.y) - half.y + corner;
        const float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
        return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - corner;
    };
}

Sdf bar(Vec2 a, Vec2 b, float hw) {
    const float len = length(b - a);
    const Vec2 dir = len > 0 ? (b - a) * (1.0f / len) : Vec2{1, 0};
    const Vec2 mid = (a + b) * 0.5f;
    return [=](Vec2 p) {
        const Vec2 q = p - mid;
        const float u = std::fabs(q.x * dir.x + q.y * dir.y) - len * 0.5f;
        const float v = std::fabs(-q.x * dir.y + q.y * dir.x) - hw;
        const float ou = std::max(u, 0.0f), ov = std::max(v, 0.0f);
        return std::sqrt(ou * ou + ov * ov) + std::min(std::max(u, v), 0.0f);
    };
}

Sdf polygon(std::vector<Vec2> pts) {
    return [v = std::move(pts)](Vec2 p) {
        const std::size_t n = v.size();
        float d = dot(p - v[0], p - v[0]);
        float s = 1;
        for (std::size_t i = 0, j = n - 1; i < n; j = i, ++i) {
            const Vec2 e = v[j] - v[i];
            const Vec2 w = p - v[i];
            const float ee = dot(e, e);
            const Vec2 b = w - e * (ee > 0 ? clamp01(dot(w, e) / ee) : 0);
            d = std::min(d, dot(b, b));
            const bool c1 = p.y >= v[i].y, c2 = p.y < v[j].y, c3 = e.x * w.y > e.y * w.x;
            if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) s = -s;
        }
        return s * std::sqrt(d);
    };
}

Sdf mirroredPolygon(float axis, std::vector<Vec2> rightHalf) {
    std::vector<Vec2> all = rightHalf;
    for (auto it = rightHalf.rbegin(); it != rightHalf.rend(); ++it) {
        const Vec2 m{2 * axis - it->x, it->y};
        // A point on the axis is already there once.
        if (it->x == axis) continue;
        all.push_back(m);
    }
    return polygon(std::move(all));
}

Sdf ring(Vec2 c, float r, float hw) {
    return [=](Vec2 p) { return std::fabs(length(p - c) - r) - hw; };
}

Sdf unite(Sdf a, Sdf b) {
    return [a = std::move(a), b = std::move(b)](Vec2 p) { return std::min(a(p), b(p)); };
}
Sdf unite(std::vector<Sdf> parts) {
    return [v = std::move(parts)](Vec2 p) {
        float d = 1e9f;
        for (const Sdf& s : v) d = std::min(d, s(p));
        return d;
    };
}
Sdf intersect(Sdf a, Sdf b) {
    return [a = std::move(a), b = std::move(b)](Vec2 p) { return std::max(a(p), b(p)); };
}
Sdf subtract(Sdf a, Sdf b) {
    return [a = std::move(a), b = std::move(b)](Vec2 p) { return std::max(a(p), -b(p)); };
}
Sdf grow(Sdf a, float by) {
    return [a = std::move(a), by](Vec2 p) { return a(p) - by; };
}
Sdf outline(Sdf a, float hw) {
    return [a = std::move(a), hw](Vec2 p) { return std::fabs(a(p)) - hw; };
}
Sdf translate(Sdf a, Vec2 by) {
    return [a = std::move(a), by](Vec2 p) { return a(p - by); };
}
Sdf mirrorX(Sdf a, float axis) {
    return [a = std::move(a), axis](Vec2 p) { return a({axis + std::fabs(p.x - axis), p.y}); };
}
Sdf rotateAbout(Sdf a, Vec2 centre, float angle) {
    const float c = std::cos(-angle), s = std::sin(-angle);
    return [a = std::move(a), centre, c, s](Vec2 p) {
        const Vec2 q = p - centre;
        return a(Vec2{centre.x + q.x * c - q.y * s, centre.y + q.x * s + q.y * c});
    };
}
Sdf scaleAbout(Sdf a, Vec2 centre, Vec2 scale) {
    const float k = std::min(scale.x, scale.y);
    return [a = std::move(a), centre, scale, k](Vec2 p) {
        const Vec2 q = p - centre;
        return a(Vec2{centre.x + q.x / scale.x, centre.y + q.y / scale.y}) * k;
    };
}

// ---- painting -------------------------------------------------------------

Vec2 Frag::grad() const {
    const float e = 0.2f;
    const Sdf& s = *sdf;
    const float gx = s({p.x + e, p.y}) - s({p.x - e, p.y});
    const float gy = s({p.x, p.y + e}) - s({p.x, p.y - e});
    const float l = std::sqrt(gx * gx + gy * gy);
    if (l <= 0) return {0, 0};
    return {gx / l, gy / l};
}

Canvas::Canvas(int width, int height, int samples)
    : width_(width),
      height_(height),
      samples_(samples),
      sw_(width * samples),
      sh_(height * samples),
      px_(static_cast<std::size_t>(sw_) * sh_),
      cover_(px_.size()) {}

void Canvas::setWarp(std::function<Vec2(Vec2)> toModel, float scale) {
    warp_ = std::move(toModel);
    warpScale_ = scale;
}

void Canvas::clearWarp() {
    warp_ = nullptr;
    warpScale_ = 1;
}

void Canvas::paint(const Sdf& shape, const Shader& shader, Blend blend) {
    const float inv = 1.0f / static_cast<float>(samples_);
    // Distance (in shape units) to coverage: one sample wide ramp.
    const float k = static_cast<float>(samples_) * warpScale_;
    for (int sy = 0; sy < sh_; ++sy) {
        for (int sx = 0; sx < sw_; ++sx) {
            Vec2 p{(static_cast<float>(sx) + 0.5f) * inv, (static_cast<float>(sy) + 0.5f) * inv};
            if (warp_) p = warp_(p);
            const float d = shape(p);
            const float cov = clamp01(0.5f - d * k);
            if (cov <= 0) continue;
            const Frag f{p, d, &shape};
            const Paint pt = shader(f);
            const float a = cov * pt.a;
            if (a <= 0) continue;
            const std::size_t at = static_cast<std::size_t>(sy) * sw_ + sx;
            Rgb& dst = px_[at];
            switch (blend) {
                case Blend::Over:
                    dst = dst * (1 - a) + pt.c * a;
                    cover_[at] = cover_[at] * (1 - a) + a;
                    break;
                case Blend::Add: dst = dst + pt.c * a; break;
                case Blend::Multiply: dst = dst * mix(Rgb{1, 1, 1}, pt.c, a); break;
            }
        }
    }
}

void Canvas::fill(const Sdf& shape, Rgb colour, float alpha, Blend blend) {
    paint(shape, [colour, alpha](const Frag&) { return Paint{colour, alpha}; }, blend);
}

namespace {

// Overbright light bleeds into the other channels: hot cores go white.
void storePixel(Rgb c, std::uint8_t* out) {
    const float m = std::max(c.r, std::max(c.g, c.b));
    if (m > 1) {
        const float spill = (m - 1) * 0.5f;
        c = c + Rgb{spill, spill, spill};
    }
    out[0] = static_cast<std::uint8_t>(clamp01(c.r) * 255.0f + 0.5f);
    out[1] = static_cast<std::uint8_t>(clamp01(c.g) * 255.0f + 0.5f);
    out[2] = static_cast<std::uint8_t>(clamp01(c.b) * 255.0f + 0.5f);
}

}  // namespace

Image Canvas::resolveTransparent() const {
    Image img;
    img.width = width_;
    img.height = height_;
    img.rgb.resize(static_cast<std::size_t>(width_) * height_ * 3);
    img.alpha.resize(static_cast<std::size_t>(width_) * height_);
    const float n = static_cast<float>(samples_ * samples_);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            Rgb sum;
            float cover = 0;
            for (int j = 0; j < samples_; ++j)
                for (int i = 0; i < samples_; ++i) {
                    const std::size_t at = static_cast<std::size_t>(y * samples_ + j) * sw_ + x * samples_ + i;
                    sum = sum + px_[at];
                    cover += cover_[at];
                }
            // Painted over nothing, the colour is already weighted by how
            // much is there: divide that out again.
            const Rgb c = sum * (1.0f / n);
            const float a = std::max(cover / n, clamp01(std::max(c.r, std::max(c.g, c.b))));
            const std::size_t at = static_cast<std::size_t>(y) * width_ + x;
            storePixel(a > 0 ? c * (1.0f / a) : Rgb{}, &img.rgb[at * 3]);
            img.alpha[at] = static_cast<std::uint8_t>(clamp01(a) * 255.0f + 0.5f);
        }
    }
    return img;
}

Image Canvas::resolve() const {
    Image img;
    img.width = width_;
    img.height = height_;
    img.rgb.resize(static_cast<std::size_t>(width_) * height_ * 3);
    const float n = static_cast<float>(samples_ * samples_);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            Rgb sum;
            for (int j = 0; j < samples_; ++j)
                for (int i = 0; i < samples_; ++i) sum = sum + sample(x * samples_ + i, y * samples_ + j);
            const Rgb c = sum * (1.0f / n);
            storePixel(c, &img.rgb[(static_cast<std::size_t>(y) * width_ + x) * 3]);
        }
    }
    return img;
}

// ---- gradients and light --------------------------------------------------

Rgb Ramp::at(float t) const {
    if (stops.empty()) return {};
    if (t <= stops.front().first) return stops.front().second;
    for (std::size_t i = 1; i < stops.size(); ++i) {
        if (t <= stops[i].first) {
            const float span = stops[i].first - stops[i - 1].first;
            const float u = span > 0 ? (t - stops[i - 1].first) / span : 1;
            return mix(stops[i - 1].second, stops[i].second, u);
        }
    }
    return stops.back().second;
}

Shader linearGradient(Vec2 from, Vec2 to, Ramp ramp) {
    const Vec2 d = to - from;
    const float dd = dot(d, d);
    return [=](const Frag& f) { return Paint{ramp.at(dd > 0 ? dot(f.p - from, d) / dd : 0)}; };
}

Shader radialGradient(Vec2 centre, float radius, Ramp ramp) {
    return [=](const Frag& f) { return Paint{ramp.at(length(f.p - centre) / radius)}; };
}

Vec3 lightDir() { return normalize({-0.45f, -0.6f, 0.66f}); }

namespace {
float ipow(float v, int n) {
    float r = 1;
    for (int i = 0; i < n; ++i) r *= v;
    return r;
}
}  // namespace

Rgb lit(const Material& m, Vec3 n, Vec2 p) {
    const Vec3 l = lightDir();
    Rgb base = m.base;
    if (m.grain > 0) base = base * (1 + m.grain * (fbm(p * m.grainScale, 3, m.seed) - 0.5f) * 2);
    const float diff = std::max(0.0f, dot(n, l)) / l.z;
    Rgb c = base * (m.ambient + m.diffuse * diff);
    // Highlights only where the surface leans towards the light more than a
    // flat plate does, so flat plates keep their own colour.
    const Vec3 h = normalize({l.x, l.y, l.z + 1});
    const float flat = ipow(h.z, m.shininess);
    const float s = ipow(std::max(0.0f, dot(n, h)), m.shininess);
    if (s > flat && m.specular > 0) {
        const float k = m.specular * (s - flat) / (1 - flat);
        c = c + Rgb{k, k, k};
    }
    return c;
}

Shader bevelled(Material m, float bevel, float steepness, Vec2 tilt) {
    return [=](const Frag& f) {
        const float t = -f.d;
        Vec3 n{tilt.x, tilt.y, 1};
        if (t < bevel) {
            const Vec2 g = f.grad();
            const float s = steepness * (1 - std::max(t, 0.0f) / bevel);
            n.x += g.x * s;
            n.y += g.y * s;
        }
        return Paint{lit(m, normalize(n), f.p)};
    };
}

Shader rounded(Material m, float radius, Vec2 tilt) {
    return [=](const Frag& f) {
        const float t = std::max(-f.d, 0.0f);
        Vec3 n{tilt.x, tilt.y, 1};
        if (t < radius) {
            const Vec2 g = f.grad();
            const float u = 1 - t / radius;
            const float s = u / std::sqrt(std::max(1 - u * u, 0.12f));
            n.x += g.x * s;
            n.y += g.y * s;
        }
        return Paint{lit(m, normalize(n), f.p)};
    };
}

void glow(Canvas& c, Vec2 centre, float radius, Rgb colour, float strength) {
    glowEllipse(c, centre, {radius, radius}, colour, strength);
}

void glowEllipse(Canvas& c, Vec2 centre, Vec2 radii, Rgb colour, float strength) {
    c.paint(
        ellipse(centre, radii),
        [=](const Frag& f) {
            const Vec2 q = f.p - centre;
            const float u = length({q.x / radii.x, q.y / radii.y});
            const float k = u < 1 ? (1 - u) * (1 - u) : 0;
            return Paint{colour * (strength * k)};
        },
        Blend::Add);
}

void panelLine(Canvas& c, const Sdf& clip, Vec2 a, Vec2 b, float depth) {
    const Vec2 lip{0.4f, 0.4f};
    c.fill(intersect(bar(a + lip, b + lip, 0.22f), clip), Rgb{1, 1, 1}, 0.13f, Blend::Add);
    c.fill(intersect(bar(a, b, 0.26f), clip), Rgb{1 - depth, 1 - depth, 1 - depth}, 1, Blend::Multiply);
}

void rivet(Canvas& c, Vec2 at, float r) {
    const Vec3 l = lightDir();
    c.paint(circle(at, r), [=](const Frag& f) {
        const Vec2 q = (f.p - at) * (1 / r);
        const float v = -(q.x * l.x + q.y * l.y) / std::sqrt(l.x * l.x + l.y * l.y);
        return Paint{mix(Rgb{0.15f, 0.15f, 0.17f}, Rgb{0.95f, 0.95f, 0.9f}, clamp01(0.5f - v * 0.6f)), 0.7f};
    });
}

// ---- output ---------------------------------------------------------------

std::vector<std::uint8_t> encodeBmp(const Image& img) {
    const std::uint32_t stride = (static_cast<std::uint32_t>(img.width) * 3 + 3) & ~3u;
    const std::uint32_t dataSize = stride * static_cast<std::uint32_t>(img.height);
    const std::uint32_t offset = 14 + 40;
    std::vector<std::uint8_t> out;
    out.reserve(offset + dataSize);
    auto u16 = [&](std::uint32_t v) {
        out.push_back(static_cast<std::uint8_t>(v & 0xff));
        out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xff));
    };
    auto u32 = [&](std::uint32_t v) {
        u16(v & 0xffff);
        u16(v >> 16);
    };
    out.push_back('B');
    out.push_back('M');
    u32(offset + dataSize);
    u32(0);  // reserved
    u32(offset);
    u32(40);  // BITMAPINFOHEADER
    u32(static_cast<std::uint32_t>(img.width));
    u32(static_cast<std::uint32_t>(img.height));  // positive: bottom-up rows
    u16(1);                                       // planes
    u16(24);                                      // bits per pixel
    u32(0);                                       // no compression
    u32(dataSize);
    u32(2835);  // 72 dpi, in pixels per metre
    u32(2835);
    u32(0);  // palette colours
    u32(0);  // important colours
    for (int y = img.height - 1; y >= 0; --y) {
        const std::uint8_t* row = &img.rgb[static_cast<std::size_t>(y) * img.width * 3];
        for (int x = 0; x < img.width; ++x) {
            out.push_back(row[x * 3 + 2]);
            out.push_back(row[x * 3 + 1]);
            out.push_back(row[x * 3 + 0]);
        }
        for (std::uint32_t i = static_cast<std::uint32_t>(img.width) * 3; i < stride; ++i) out.push_back(0);
    }
    return out;
}

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    if (!f) return false;
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(f);
}

}  // namespace pg
