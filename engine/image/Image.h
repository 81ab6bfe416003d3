#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// The engine's pictures: a block of rows with a stride, in one of the four
// layouts the program needs. Rows are 32-bit aligned and the 32-bit layouts
// hold native 0xAARRGGBB words, so the window can show one without a copy.
namespace engine::image {

// 0xAARRGGBB, alpha not premultiplied.
using Rgb = std::uint32_t;

constexpr Rgb rgb(int r, int g, int b) {
    return 0xFF000000u | Rgb(r & 0xFF) << 16 | Rgb(g & 0xFF) << 8 | Rgb(b & 0xFF);
}
constexpr Rgb rgba(int r, int g, int b, int a) {
    return Rgb(a & 0xFF) << 24 | Rgb(r & 0xFF) << 16 | Rgb(g & 0xFF) << 8 | Rgb(b & 0xFF);
}
constexpr int red(Rgb c) {
    return static_cast<int>((c >> 16) & 0xFF);
}
constexpr int green(Rgb c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int blue(Rgb c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int alpha(Rgb c) {
    return static_cast<int>(c >> 24);
}
// A colour made opaque as over black: its channels premultiplied by its alpha.
constexpr Rgb opaque(Rgb c) {
    const int a = alpha(c);
    const auto over = [a](int v) { return (v * a + 127) / 255; };
    return a == 255 ? c : rgb(over(red(c)), over(green(c)), over(blue(c)));
}

enum class Format {
    Grey8,    // one byte a pixel: coverage or grey level
    Indexed8, // one byte a pixel into the colour table
    Rgb32,    // opaque 0xFFRRGGBB
    Argb32,   // 0xAARRGGBB
};

class Image {
  public:
    Image() = default;
    // Every byte starts as 0; a size that cannot be allocated gives a null image.
    Image(int width, int height, Format format);
    // The same without clearing: for pictures whose every row the caller writes
    // whole at once, so that no byte is written twice.
    static Image uninitialized(int width, int height, Format format);
    Image(const Image& other);
    Image& operator=(const Image& other);
    Image(Image&& other) noexcept;
    Image& operator=(Image&& other) noexcept;
    ~Image() = default;

    bool isNull() const { return !m_data; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    Format format() const { return m_format; }
    std::ptrdiff_t bytesPerLine() const { return m_stride; }
    int depth() const { return m_format == Format::Rgb32 || m_format == Format::Argb32 ? 32 : 8; }

    std::uint8_t* bits() { return m_data.get(); }
    const std::uint8_t* constBits() const { return m_data.get(); }
    std::uint8_t* scanLine(int y) { return m_data.get() + y * m_stride; }
    const std::uint8_t* constScanLine(int y) const { return m_data.get() + y * m_stride; }

    const std::vector<Rgb>& colorTable() const { return m_table; }
    void setColorTable(std::vector<Rgb> table) { m_table = std::move(table); }

    // A byte for the 8-bit layouts, a pixel for the 32-bit ones.
    void fill(std::uint32_t value);
    // The colour of one pixel in any layout (grey as grey, an index outside
    // the table as opaque black).
    Rgb pixel(int x, int y) const;

    // The top-left width x height of the picture, in its layout.
    Image copied(int width, int height) const;

    // Transparency laid over `ground`: the picture becomes Rgb32, a 32-bit
    // one in place, without a second copy of its pixels.
    void layOver(Rgb ground);

    // The same picture as Rgb32 or Argb32 (other layouts give a null image).
    // Transparency turned opaque is laid over black, as a premultiplied copy.
    Image convertedTo(Format format) const;

    bool operator==(const Image& other) const;

  private:
    Image(int width, int height, Format format, bool cleared);
    struct Free {
        void operator()(std::uint8_t* p) const;
    };
    std::unique_ptr<std::uint8_t[], Free> m_data;
    int m_width = 0;
    int m_height = 0;
    std::ptrdiff_t m_stride = 0;
    Format m_format = Format::Rgb32;
    std::vector<Rgb> m_table;
};

} // namespace engine::image
