// SPDX-License-Identifier: MIT
// PNG output for the pictures that need a see-through background (the
// desktop icons).
#pragma once

#include <cstdint>
#include <vector>

#include "raster.h"

namespace pg {

// RGBA when the image has an alpha channel, RGB otherwise; zlib's best
// compression, so the same image always gives the same bytes.
std::vector<std::uint8_t> encodePng(const Image& img);

}  // namespace pg
