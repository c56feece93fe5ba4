// SPDX-License-Identifier: MIT
// Just enough of a BMP reader for the tests: uncompressed 24-bit files with a
// BITMAPINFOHEADER, as the game's pictures are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct Bmp {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;  // top row first
    struct Px {
        std::uint8_t r, g, b;
        bool black() const { return r == 0 && g == 0 && b == 0; }
    };
    Px at(int x, int y) const {
        const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
        return {rgb[i], rgb[i + 1], rgb[i + 2]};
    }
};

// Returns nothing and sets `why` when the bytes are not such a BMP.
inline std::optional<Bmp> parseBmp(const unsigned char* data, std::size_t size, std::string* why = nullptr) {
    auto fail = [&](const char* reason) -> std::optional<Bmp> {
        if (why) *why = reason;
        return std::nullopt;
    };
    auto u16 = [&](std::size_t at) { return static_cast<std::uint32_t>(data[at] | (data[at + 1] << 8)); };
    auto u32 = [&](std::size_t at) { return u16(at) | (u16(at + 2) << 16); };
    if (size < 54) return fail("shorter than the two headers");
    if (data[0] != 'B' || data[1] != 'M') return fail("no BM signature");
    if (u32(2) != size) return fail("file size field disagrees with the data");
    if (u32(14) != 40) return fail("not a BITMAPINFOHEADER");
    const std::int32_t w = static_cast<std::int32_t>(u32(18));
    const std::int32_t h = static_cast<std::int32_t>(u32(22));
    if (w <= 0 || h <= 0) return fail("not a bottom-up picture with a positive size");
    if (u16(26) != 1) return fail("planes is not 1");
    if (u16(28) != 24) return fail("not 24 bits per pixel");
    if (u32(30) != 0) return fail("compressed");
    const std::uint32_t offset = u32(10);
    const std::size_t stride = (static_cast<std::size_t>(w) * 3 + 3) & ~static_cast<std::size_t>(3);
    if (offset + stride * static_cast<std::size_t>(h) != size) return fail("pixel data has the wrong length");
    Bmp bmp;
    bmp.width = w;
    bmp.height = h;
    bmp.rgb.resize(static_cast<std::size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y) {
        const unsigned char* row = data + offset + stride * static_cast<std::size_t>(h - 1 - y);
        for (int x = 0; x < w; ++x) {
            std::uint8_t* out = &bmp.rgb[(static_cast<std::size_t>(y) * w + x) * 3];
            out[0] = row[x * 3 + 2];
            out[1] = row[x * 3 + 1];
            out[2] = row[x * 3 + 0];
        }
    }
    return bmp;
}
