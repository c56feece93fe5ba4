// The generator's rasteriser: file layout, coverage, colour and the promises
// the pictures rely on (glows end in true black, the dice are repeatable).
#include <gtest/gtest.h>

#include <cmath>

#include "bmp_reader.h"
#include "art.h"
#include "raster.h"

using namespace pg;

namespace {

// Share of the canvas covered by white paint, from the resolved 8-bit pixels.
double coveredArea(const Canvas& c) {
    const Image img = c.resolve();
    double sum = 0;
    for (std::size_t i = 0; i < img.rgb.size(); i += 3) sum += img.rgb[i] / 255.0;
    return sum;
}

TEST(Raster, BmpRowsAreBottomUpBgrAndPaddedToFourBytes) {
    Image img;
    img.width = 3;  // 9 bytes a row, padded to 12
    img.height = 2;
    img.rgb = {10, 20, 30, 40, 50, 60, 70, 80, 90,  // top row
               1,  2,  3,  4,  5,  6,  7,  8,  9};  // bottom row
    const std::vector<std::uint8_t> bytes = encodeBmp(img);
    ASSERT_EQ(bytes.size(), 54u + 2 * 12);
    // Bottom row first, blue byte first, then three bytes of padding.
    EXPECT_EQ(bytes[54], 3);
    EXPECT_EQ(bytes[55], 2);
    EXPECT_EQ(bytes[56], 1);
    EXPECT_EQ(bytes[63], 0);
    EXPECT_EQ(bytes[66], 30);
    // 2835 pixels per metre in both resolution fields.
    EXPECT_EQ(bytes[38] | (bytes[39] << 8), 2835);
    EXPECT_EQ(bytes[42] | (bytes[43] << 8), 2835);
    const std::optional<Bmp> back = parseBmp(bytes.data(), bytes.size());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->at(2, 0).b, 90);
    EXPECT_EQ(back->at(0, 1).r, 1);
}

TEST(Raster, PolygonCoverageMatchesItsArea) {
    Canvas c(40, 40);
    // A right triangle of legs 20 and 30: area 300, edges off the pixel grid.
    c.fill(polygon({{5.3f, 4.7f}, {25.3f, 4.7f}, {5.3f, 34.7f}}), Rgb{1, 1, 1});
    EXPECT_NEAR(coveredArea(c), 300.0, 3.0);
}

TEST(Raster, CircleAndCapsuleCoverageMatchTheirAreas) {
    Canvas c(40, 40);
    c.fill(circle({20.2f, 19.6f}, 9.5f), Rgb{1, 1, 1});
    EXPECT_NEAR(coveredArea(c), 3.14159265 * 9.5 * 9.5, 3.0);
    Canvas d(40, 40);
    d.fill(capsule({10, 20}, {30, 20}, 4), Rgb{1, 1, 1});
    EXPECT_NEAR(coveredArea(d), 20 * 8 + 3.14159265 * 16, 3.0);
}

TEST(Raster, EdgesAreSmoothedNotStepped) {
    Canvas c(10, 4);
    // A vertical edge a quarter of the way into pixel 4.
    c.fill(box({2.125f, 2}, {2.125f, 3}), Rgb{1, 1, 1});
    const Image img = c.resolve();
    const int row = 1 * 10 * 3;
    EXPECT_EQ(img.rgb[row + 3 * 3], 255);
    EXPECT_NEAR(img.rgb[row + 4 * 3], 64, 2);  // a quarter covered
    EXPECT_EQ(img.rgb[row + 5 * 3], 0);
}

TEST(Raster, SubtractAndMirrorShapes) {
    const Sdf ringShape = subtract(circle({0, 0}, 5), circle({0, 0}, 3));
    EXPECT_LT(ringShape({4, 0}), 0);
    EXPECT_GT(ringShape({1, 0}), 0);
    EXPECT_GT(ringShape({6, 0}), 0);
    const Sdf half = mirrorX(circle({8, 5}, 1), 5);
    EXPECT_LT(half({2, 5}), 0);  // the reflection of (8,5) about x=5
    EXPECT_LT(half({8, 5}), 0);
    EXPECT_GT(half({5, 5}), 0);
    const Sdf poly = mirroredPolygon(10, {{10, 0}, {14, 4}, {10, 8}});
    EXPECT_LT(poly({7, 4}), 0);
    EXPECT_NEAR(poly({3, 4}), 3, 1e-4);
}

TEST(Raster, GlowFadesToExactBlack) {
    Canvas c(21, 21);
    glow(c, {10.5f, 10.5f}, 6, Rgb{1, 0.8f, 0.2f}, 2);
    const Image img = c.resolve();
    auto px = [&](int x, int y) { return img.rgb[(static_cast<std::size_t>(y) * 21 + x) * 3]; };
    EXPECT_EQ(px(10, 10), 255);  // overbright middle
    EXPECT_GT(px(13, 10), 0);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(px(x, 10), 0) << x;
    EXPECT_EQ(px(0, 0), 0);
}

TEST(Raster, OverbrightSpillsTowardsWhite) {
    Canvas c(2, 2, 2);
    c.fill(box({1, 1}, {1, 1}), Rgb{2.0f, 0.6f, 0.0f}, 1, Blend::Add);
    const Image img = c.resolve();
    EXPECT_EQ(img.rgb[0], 255);
    EXPECT_EQ(img.rgb[1], 255);                 // 0.6 + half the overflow
    EXPECT_NEAR(img.rgb[2], 0.5 * 255, 1);      // the blue got the spill too
}

TEST(Raster, RampInterpolatesAndClamps) {
    const Ramp r{{{0, Rgb{0, 0, 0}}, {1, Rgb{1, 0.5f, 0}}, {2, Rgb{1, 1, 1}}}};
    EXPECT_FLOAT_EQ(r.at(-1).r, 0);
    EXPECT_FLOAT_EQ(r.at(0.5f).g, 0.25f);
    EXPECT_FLOAT_EQ(r.at(1.5f).b, 0.5f);
    EXPECT_FLOAT_EQ(r.at(9).g, 1);
}

TEST(Raster, FlatPlatesKeepTheirColourAndBevelsCatchTheLight) {
    Material m;
    m.base = Rgb{0.5f, 0.4f, 0.3f};
    const Rgb flat = lit(m, {0, 0, 1}, {0, 0});
    EXPECT_FLOAT_EQ(flat.r, 0.5f);
    EXPECT_FLOAT_EQ(flat.b, 0.3f);
    // A face turned towards the upper left is brighter than one turned away.
    const Rgb toLight = lit(m, normalize({-0.5f, -0.6f, 0.6f}), {0, 0});
    const Rgb away = lit(m, normalize({0.5f, 0.6f, 0.6f}), {0, 0});
    EXPECT_GT(toLight.r, flat.r);
    EXPECT_LT(away.r, flat.r);
}

TEST(Raster, RandomNumbersRepeatForASeedAndStayInRange) {
    Rng a(42), b(42), c(43);
    bool differs = false;
    for (int i = 0; i < 1000; ++i) {
        const std::uint64_t x = a.next();
        EXPECT_EQ(x, b.next());
        differs = differs || x != c.next();
        const float u = a.uniform();
        b.uniform();
        EXPECT_GE(u, 0.0f);
        EXPECT_LT(u, 1.0f);
    }
    EXPECT_TRUE(differs);
    // splitmix64's first output for seed 0, a fixed point other builds must hit.
    EXPECT_EQ(Rng(0).next(), 0xE220A8397B1DCDAFull);
}

TEST(Raster, NoiseIsSmoothAndBounded) {
    float lo = 1, hi = 0;
    for (int i = 0; i < 400; ++i) {
        const Vec2 p{static_cast<float>(i) * 0.37f, static_cast<float>(i % 17) * 0.53f};
        const float n = fbm(p, 4, 7);
        lo = std::min(lo, n);
        hi = std::max(hi, n);
        EXPECT_LT(std::fabs(valueNoise(p, 3) - valueNoise(p + Vec2{0.01f, 0}, 3)), 0.05f);
    }
    EXPECT_GE(lo, 0.0f);
    EXPECT_LE(hi, 1.0f);
    EXPECT_GT(hi - lo, 0.3f);  // not a constant
}

TEST(Raster, WarpDrawsTheModelSqueezed) {
    Canvas c(40, 40);
    // Picture x = 20 + (model x - 20) / 2: everything half as wide.
    c.setWarp([](Vec2 p) { return Vec2{20 + (p.x - 20) * 2, p.y}; }, 0.5f);
    c.fill(circle({20, 20}, 12), Rgb{1, 1, 1});
    c.clearWarp();
    EXPECT_NEAR(coveredArea(c), 3.14159265 * 12 * 12 / 2, 4.0);
    const Image img = c.resolve();
    EXPECT_EQ(img.rgb[(20 * 40 + 24) * 3], 255);  // inside the narrowed shape
    EXPECT_EQ(img.rgb[(20 * 40 + 28) * 3], 0);    // the unsqueezed circle would reach here
}

TEST(Raster, DecalsStayOnTheirPart) {
    Canvas c(30, 10);
    const Sdf part = box({10, 5}, {5, 3});
    decal(c, part, box({20, 5}, {10, 10}), metal(Rgb{1, 0, 0}, 1, 0), 1);
    const Image img = c.resolve();
    auto red = [&](int x) { return img.rgb[(5 * 30 + x) * 3]; };
    EXPECT_GT(red(12), 200);  // under both the part and the mark
    EXPECT_EQ(red(7), 0);     // on the part, off the mark
    EXPECT_EQ(red(20), 0);    // on the mark, off the part
}

}  // namespace
