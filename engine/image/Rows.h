#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "engine/image/Image.h"

namespace engine::image {

// A picture given a row at a time, in one of the Image layouts, for writers
// that take rows as they are made: no whole image of it need exist. A row
// holds until the next one is asked for; rows may be asked for more than once.
struct Rows {
    int width = 0;
    int height = 0;
    Format format = Format::Rgb32;
    std::vector<Rgb> colorTable;
    std::function<const std::uint8_t*(int y)> row;
};

// A picture's own rows, read where they are.
inline Rows rowsOf(const Image& picture) {
    return {picture.width(), picture.height(), picture.format(), picture.colorTable(),
            [&picture](int y) { return picture.constScanLine(y); }};
}

} // namespace engine::image
