#pragma once

#include <vector>

#include "engine/image/Rows.h"

namespace engine::codecs {

// A picture's rows as opaque colours, whatever its layout, transparency laid
// over black as convertedTo(Rgb32) lays it; Rgb32 rows are read as they come
// and the others made opaque one at a time, so that writers copy no whole image.
class OpaqueRows {
  public:
    explicit OpaqueRows(const image::Rows& picture);
    // Row y; only its red, green and blue are meant to be read.
    const image::Rgb* row(int y);

  private:
    const image::Rows& m_picture;
    std::vector<image::Rgb> m_colours; // each byte's colour, for the 8-bit layouts
    std::vector<image::Rgb> m_row;
};

} // namespace engine::codecs
