#pragma once

#include <cstdint>
#include <vector>

#include "engine/image/Image.h"

namespace engine::cut {

// Where copies of the pattern go on a W x H work surface: one copy when the
// pattern covers the text, else columns left to right, each top to bottom,
// W / PW + 1 by H / PH + 1 tiles from the top-left corner.
struct TileCopy {
    std::int32_t x;
    std::int32_t y;
    std::int32_t width;
    std::int32_t height;
};

// A pattern with no pixels tiles nothing.
std::vector<TileCopy> planTiles(std::int32_t W, std::int32_t H, std::int32_t PW, std::int32_t PH);

// The Rgb32 pattern tiled over a black W x H work surface by those copies,
// each clipped to the surface.
image::Image tile(const image::Image& pattern, int W, int H);

} // namespace engine::cut
