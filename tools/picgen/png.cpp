// SPDX-License-Identifier: MIT
#include "png.h"

#include <zlib.h>

#include <string_view>

namespace pg {
namespace {

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void chunk(std::vector<std::uint8_t>& out, std::string_view type, const std::vector<std::uint8_t>& data) {
    put32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    // The checksum covers the type and the data.
    const uLong crc = crc32(0, out.data() + start, static_cast<uInt>(out.size() - start));
    put32(out, static_cast<std::uint32_t>(crc));
}

}  // namespace

std::vector<std::uint8_t> encodePng(const Image& img) {
    const bool alpha = !img.alpha.empty();
    const int channels = alpha ? 4 : 3;
    // Each row: filter type 0 (none), then the pixels.
    std::vector<std::uint8_t> raw;
    raw.reserve(static_cast<std::size_t>(img.height) * (1 + img.width * channels));
    for (int y = 0; y < img.height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < img.width; ++x) {
            const std::size_t at = static_cast<std::size_t>(y) * img.width + x;
            raw.insert(raw.end(), &img.rgb[at * 3], &img.rgb[at * 3] + 3);
            if (alpha) raw.push_back(img.alpha[at]);
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION) != Z_OK)
        return {};
    packed.resize(packedSize);

    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<std::uint8_t> header;
    put32(header, static_cast<std::uint32_t>(img.width));
    put32(header, static_cast<std::uint32_t>(img.height));
    // 8 bits a channel, colour (with alpha or not), deflate, no interlace.
    header.insert(header.end(), {8, static_cast<std::uint8_t>(alpha ? 6 : 2), 0, 0, 0});
    chunk(out, "IHDR", header);
    chunk(out, "IDAT", packed);
    chunk(out, "IEND", {});
    return out;
}

}  // namespace pg
