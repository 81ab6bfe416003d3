#include "Image.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace engine::image {

void Image::Free::operator()(std::uint8_t* p) const {
    std::free(p);
}

Image::Image(int width, int height, Format format) : Image(width, height, format, true) {}

Image Image::uninitialized(int width, int height, Format format) {
    return Image(width, height, format, false);
}

Image::Image(int width, int height, Format format, bool cleared) : m_format(format) {
    if (width <= 0 || height <= 0)
        return;
    const std::ptrdiff_t bytes = format == Format::Rgb32 || format == Format::Argb32 ? 4 : 1;
    const std::ptrdiff_t stride = (width * bytes + 3) & ~std::ptrdiff_t(3);
    // calloc: large pictures get their zero pages lazily from the system.
    const auto rows = static_cast<std::size_t>(height), row = static_cast<std::size_t>(stride);
    m_data.reset(static_cast<std::uint8_t*>(cleared                  ? std::calloc(row, rows)
                                            : rows <= SIZE_MAX / row ? std::malloc(row * rows)
                                                                     : nullptr));
    if (!m_data)
        return;
    m_width = width;
    m_height = height;
    m_stride = stride;
}

Image::Image(const Image& other)
    : m_width(other.m_width), m_height(other.m_height), m_stride(other.m_stride),
      m_format(other.m_format), m_table(other.m_table) {
    if (!other.m_data)
        return;
    const auto bytes = static_cast<std::size_t>(m_stride) * static_cast<std::size_t>(m_height);
    m_data.reset(static_cast<std::uint8_t*>(std::malloc(bytes)));
    if (m_data)
        std::memcpy(m_data.get(), other.m_data.get(), bytes);
    else
        m_width = m_height = 0, m_stride = 0;
}

Image& Image::operator=(const Image& other) {
    if (this != &other)
        *this = Image(other);
    return *this;
}

Image::Image(Image&& other) noexcept
    : m_data(std::move(other.m_data)), m_width(other.m_width), m_height(other.m_height),
      m_stride(other.m_stride), m_format(other.m_format), m_table(std::move(other.m_table)) {
    other.m_width = other.m_height = 0;
    other.m_stride = 0;
}

Image& Image::operator=(Image&& other) noexcept {
    m_data = std::move(other.m_data);
    m_width = other.m_width;
    m_height = other.m_height;
    m_stride = other.m_stride;
    m_format = other.m_format;
    m_table = std::move(other.m_table);
    other.m_width = other.m_height = 0;
    other.m_stride = 0;
    return *this;
}

void Image::fill(std::uint32_t value) {
    for (int y = 0; y < m_height; ++y) {
        if (depth() == 8) {
            std::memset(scanLine(y), static_cast<int>(value & 0xFF),
                        static_cast<std::size_t>(m_width));
            continue;
        }
        auto* row = reinterpret_cast<std::uint32_t*>(scanLine(y));
        std::fill(row, row + m_width, value);
    }
}

Rgb Image::pixel(int x, int y) const {
    const std::uint8_t* row = constScanLine(y);
    switch (m_format) {
    case Format::Grey8:
        return rgb(row[x], row[x], row[x]);
    case Format::Indexed8:
        return row[x] < m_table.size() ? m_table[row[x]] : rgb(0, 0, 0);
    case Format::Rgb32:
        return reinterpret_cast<const Rgb*>(row)[x] | 0xFF000000u;
    case Format::Argb32:
        break;
    }
    return reinterpret_cast<const Rgb*>(row)[x];
}

Image Image::copied(int width, int height) const {
    width = std::min(width, m_width);
    height = std::min(height, m_height);
    Image out(width, height, m_format);
    if (out.isNull())
        return out;
    out.m_table = m_table;
    const size_t row = static_cast<size_t>(width) * static_cast<size_t>(depth() / 8);
    for (int y = 0; y < height; ++y)
        std::memcpy(out.scanLine(y), constScanLine(y), row);
    return out;
}

void Image::layOver(Rgb ground) {
    if (depth() == 8) {
        *this = convertedTo(Format::Argb32);
        if (isNull())
            return;
    }
    for (int y = 0; y < m_height; ++y) {
        auto* row = reinterpret_cast<Rgb*>(scanLine(y));
        for (int x = 0; x < m_width; ++x) {
            const Rgb c = m_format == Format::Rgb32 ? row[x] | 0xFF000000u : row[x];
            const int a = alpha(c);
            if (a == 255) {
                row[x] = c;
                continue;
            }
            const auto over = [a](int fg, int bg) { return (fg * a + bg * (255 - a) + 127) / 255; };
            row[x] = rgb(over(red(c), red(ground)), over(green(c), green(ground)),
                         over(blue(c), blue(ground)));
        }
    }
    m_format = Format::Rgb32;
}

Image Image::convertedTo(Format format) const {
    if (format == m_format || isNull())
        return *this;
    if (format != Format::Rgb32 && format != Format::Argb32)
        return Image();
    Image out(m_width, m_height, format);
    if (out.isNull())
        return out;
    const auto converted = [format](Rgb c) { return format == Format::Rgb32 ? opaque(c) : c; };
    if (depth() == 8) {
        // One lookup a pixel: every byte's colour worked out once.
        Rgb lut[256];
        for (int i = 0; i < 256; ++i)
            lut[i] = converted(m_format == Format::Grey8    ? rgb(i, i, i)
                               : size_t(i) < m_table.size() ? m_table[size_t(i)]
                                                            : rgb(0, 0, 0));
        for (int y = 0; y < m_height; ++y) {
            const std::uint8_t* in = constScanLine(y);
            auto* o = reinterpret_cast<Rgb*>(out.scanLine(y));
            for (int x = 0; x < m_width; ++x)
                o[x] = lut[in[x]];
        }
        return out;
    }
    for (int y = 0; y < m_height; ++y) {
        const auto* in = reinterpret_cast<const Rgb*>(constScanLine(y));
        auto* o = reinterpret_cast<Rgb*>(out.scanLine(y));
        for (int x = 0; x < m_width; ++x)
            o[x] = converted(m_format == Format::Rgb32 ? in[x] | 0xFF000000u : in[x]);
    }
    return out;
}

bool Image::operator==(const Image& other) const {
    if (m_width != other.m_width || m_height != other.m_height || m_format != other.m_format ||
        isNull() != other.isNull())
        return false;
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x)
            if (pixel(x, y) != other.pixel(x, y))
                return false;
    return true;
}

} // namespace engine::image
