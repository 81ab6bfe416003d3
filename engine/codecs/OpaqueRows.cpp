#include "OpaqueRows.h"

namespace engine::codecs {

OpaqueRows::OpaqueRows(const image::Rows& picture) : m_picture(picture) {
    if (picture.format == image::Format::Rgb32)
        return;
    m_row.resize(static_cast<size_t>(picture.width));
    if (picture.format == image::Format::Argb32)
        return;
    // Every byte's colour worked out once, as an image's own pixel() reads it.
    image::Image bytes(256, 1, picture.format);
    bytes.setColorTable(picture.colorTable);
    for (int i = 0; i < 256; ++i)
        bytes.scanLine(0)[i] = static_cast<std::uint8_t>(i);
    for (int i = 0; i < 256; ++i)
        m_colours.push_back(image::opaque(bytes.pixel(i, 0)));
}

const image::Rgb* OpaqueRows::row(int y) {
    const std::uint8_t* in = m_picture.row(y);
    if (m_picture.format == image::Format::Rgb32)
        return reinterpret_cast<const image::Rgb*>(in);
    const int w = m_picture.width;
    if (m_picture.format != image::Format::Argb32) {
        for (int x = 0; x < w; ++x)
            m_row[static_cast<size_t>(x)] = m_colours[in[x]];
    } else {
        const auto* argb = reinterpret_cast<const image::Rgb*>(in);
        for (int x = 0; x < w; ++x)
            m_row[static_cast<size_t>(x)] = image::opaque(argb[x]);
    }
    return m_row.data();
}

} // namespace engine::codecs
