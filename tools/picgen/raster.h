// SPDX-License-Identifier: MIT
// A small software rasteriser for the game's pictures.
//
// Shapes are signed distance functions in picture pixels (negative inside).
// The canvas keeps a float RGB buffer at several samples per pixel; every
// sample takes the coverage of a shape from its distance, and resolve()
// box-filters the samples down to 8-bit pixels. Everything here is plain
// float arithmetic with a fixed evaluation order, so the same program always
// produces the same bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace pg {

struct Vec2 {
    float x = 0, y = 0;
};
inline Vec2 operator+(Vec2 a, Vec2 b) { return {a.x + b.x, a.y + b.y}; }
inline Vec2 operator-(Vec2 a, Vec2 b) { return {a.x - b.x, a.y - b.y}; }
inline Vec2 operator*(Vec2 a, float s) { return {a.x * s, a.y * s}; }
inline Vec2 operator*(float s, Vec2 a) { return {a.x * s, a.y * s}; }
float dot(Vec2 a, Vec2 b);
float length(Vec2 a);
Vec2 rotate(Vec2 p, float angle);

struct Vec3 {
    float x = 0, y = 0, z = 0;
};
Vec3 normalize(Vec3 v);
float dot(Vec3 a, Vec3 b);

struct Rgb {
    float r = 0, g = 0, b = 0;
};
inline Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb operator-(Rgb a, Rgb b) { return {a.r - b.r, a.g - b.g, a.b - b.b}; }
inline Rgb operator*(Rgb a, float s) { return {a.r * s, a.g * s, a.b * s}; }
inline Rgb operator*(float s, Rgb a) { return {a.r * s, a.g * s, a.b * s}; }
inline Rgb operator*(Rgb a, Rgb b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }
Rgb mix(Rgb a, Rgb b, float t);
// 0xRRGGBB as a float colour.
Rgb hex(std::uint32_t rgb);

float clamp01(float v);
float smoothstep(float e0, float e1, float x);
float lerp(float a, float b, float t);

// splitmix64: tiny, fixed-seed and the same on every platform.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next();
    float uniform();                 // [0, 1)
    float range(float lo, float hi);  // [lo, hi)
    int below(int n);                // [0, n)
private:
    std::uint64_t state_;
};

// Lattice value noise in [0, 1], smooth between integer points.
float valueNoise(Vec2 p, std::uint32_t seed);
// A few octaves of value noise, still in [0, 1].
float fbm(Vec2 p, int octaves, std::uint32_t seed);

// ---- shapes -------------------------------------------------------------

using Sdf = std::function<float(Vec2)>;

Sdf circle(Vec2 c, float r);
Sdf ellipse(Vec2 c, Vec2 radii);
Sdf capsule(Vec2 a, Vec2 b, float r);
// A capsule whose radius changes from ra at a to rb at b.
Sdf taperedCapsule(Vec2 a, Vec2 b, float ra, float rb);
Sdf box(Vec2 centre, Vec2 half, float corner = 0);
// A rectangle of half width hw along the segment a-b, square ends.
Sdf bar(Vec2 a, Vec2 b, float hw);
Sdf polygon(std::vector<Vec2> pts);
// A polygon given by its right half (x >= axis), mirrored onto the left.
Sdf mirroredPolygon(float axis, std::vector<Vec2> rightHalf);
// An annulus: points whose distance from c lies within r +- hw.
Sdf ring(Vec2 c, float r, float hw);

Sdf unite(Sdf a, Sdf b);
Sdf unite(std::vector<Sdf> parts);
Sdf intersect(Sdf a, Sdf b);
Sdf subtract(Sdf a, Sdf b);
Sdf grow(Sdf a, float by);  // negative shrinks
Sdf outline(Sdf a, float hw);  // a band of half width hw along the edge
Sdf translate(Sdf a, Vec2 by);
Sdf mirrorX(Sdf a, float axis);  // reflect the right half onto the left
Sdf rotateAbout(Sdf a, Vec2 centre, float angle);
Sdf scaleAbout(Sdf a, Vec2 centre, Vec2 scale);  // distances stay approximate

// ---- painting -----------------------------------------------------------

// What a shader sees for one sample inside a shape.
struct Frag {
    Vec2 p;           // position in shape space
    float d;          // signed distance to the shape's edge
    const Sdf* sdf;   // for the gradient, computed only when asked for
    Vec2 grad() const;  // unit-ish outward direction of the edge
};

struct Paint {
    Rgb c;
    float a = 1;
    Paint() = default;
    Paint(Rgb colour, float alpha = 1) : c(colour), a(alpha) {}
};

using Shader = std::function<Paint(const Frag&)>;

enum class Blend { Over, Add, Multiply };

struct Image {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;    // top row first, 3 bytes a pixel
    std::vector<std::uint8_t> alpha;  // a byte a pixel, or empty: all opaque
};

class Canvas {
public:
    Canvas(int width, int height, int samples = 4);

    int width() const { return width_; }
    int height() const { return height_; }

    // Maps a picture position to the position in shape space, for pictures
    // that show the same model bent (a banked ship). scale is roughly how many
    // picture pixels one shape-space unit covers, for the edge smoothing.
    void setWarp(std::function<Vec2(Vec2)> toModel, float scale);
    void clearWarp();

    void paint(const Sdf& shape, const Shader& shader, Blend blend = Blend::Over);
    void fill(const Sdf& shape, Rgb colour, float alpha = 1, Blend blend = Blend::Over);

    // The colour of one sample; for tests and for effects that read back.
    Rgb sample(int sx, int sy) const { return px_[static_cast<std::size_t>(sy) * sw_ + sx]; }

    // Averages the samples of each pixel, lets overbright colours spill into
    // white and rounds to 8 bits.
    Image resolve() const;
    // The same for a picture with a see-through background: a pixel is as
    // opaque as the shapes laid over it, or as its added light is bright.
    Image resolveTransparent() const;

private:
    int width_, height_, samples_, sw_, sh_;
    std::vector<Rgb> px_;
    std::vector<float> cover_;  // per sample: how much of it shapes cover
    std::function<Vec2(Vec2)> warp_;
    float warpScale_ = 1;
};

// ---- gradients and light ------------------------------------------------

struct Ramp {
    std::vector<std::pair<float, Rgb>> stops;  // ascending positions
    Rgb at(float t) const;
};

Shader linearGradient(Vec2 from, Vec2 to, Ramp ramp);
Shader radialGradient(Vec2 centre, float radius, Ramp ramp);

struct Material {
    Rgb base;
    float ambient = 0.45f;
    float diffuse = 0.55f;
    float specular = 0.35f;
    int shininess = 12;
    float grain = 0;           // strength of the noise mottling
    std::uint32_t seed = 1;    // for that noise
    float grainScale = 0.35f;  // noise frequency in 1/px
};

// Light from the upper left, slightly above: the game's sun.
Vec3 lightDir();

// Lights a surface with normal n; flat surfaces (0,0,1) show the base colour.
Rgb lit(const Material& m, Vec3 n, Vec2 p);

// A plate whose edges are bevelled over `bevel` pixels; tilt leans the whole
// plate (used by banked pictures).
Shader bevelled(Material m, float bevel, float steepness = 1.2f, Vec2 tilt = {});
// A rounded body: the bevel reaches the middle, so it looks like a tube or dome.
Shader rounded(Material m, float radius, Vec2 tilt = {});

// Additive glow around a point, falling off to exactly zero at `radius`.
void glow(Canvas& c, Vec2 centre, float radius, Rgb colour, float strength = 1);
void glowEllipse(Canvas& c, Vec2 centre, Vec2 radii, Rgb colour, float strength = 1);

// Engraves a line into whatever is under `clip`: a dark groove with a light
// lip below it.
void panelLine(Canvas& c, const Sdf& clip, Vec2 a, Vec2 b, float depth = 0.45f);
// A small bolt head.
void rivet(Canvas& c, Vec2 at, float r = 0.45f);

// ---- output -------------------------------------------------------------

// An uncompressed 24-bit bottom-up BMP.
std::vector<std::uint8_t> encodeBmp(const Image& img);
bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace pg
