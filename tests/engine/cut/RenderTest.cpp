#include <gtest/gtest.h>

#include "engine/codecs/Codecs.h"
#include "engine/cut/Render.h"
#include "engine/text/TextDrawing.h"

using namespace engine;
using image::Image;

namespace {

// A pattern whose pixels take `colours` different colours, none of them the ground's.
Image patternOf(int colours) {
    Image pattern(37, 11, image::Format::Rgb32);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 37; ++x) {
            const int i = (y * 37 + x) % colours;
            reinterpret_cast<image::Rgb*>(pattern.scanLine(y))[x] =
                image::rgb(i % 256, i / 256 * 50 + 100, 7);
        }
    return pattern;
}

} // namespace

// Every pixel by the formula: the tiled pattern inside the letters, the ground
// outside, for patterns of 1, 255, 256 and 257 colours (the indexed path and
// the truecolour one on either side of the palette's size).
TEST(Render, LettersShowThePatternAndTheGroundAround) {
    const text::FontSpec font{"IPA Pゴシック", 30};
    const image::COLORREF ground = 0x00C08040;
    const Image cover = text::coverage("Wg永", font, false);
    for (int colours : {1, 255, 256, 257}) {
        SCOPED_TRACE(colours);
        const Image pattern = patternOf(colours);
        Image out;
        QSize size;
        ASSERT_TRUE(cut::render({"Wg永", font, std::make_shared<const Image>(pattern), ground}, out, size));
        ASSERT_EQ(QSize(out.width(), out.height()), QSize(cover.width(), cover.height()));
        for (int y = 0; y < out.height(); ++y)
            for (int x = 0; x < out.width(); ++x)
                ASSERT_EQ(out.pixel(x, y), cover.constScanLine(y)[x] ? pattern.pixel(x % 37, y % 11)
                                                                     : image::rgbOf(ground))
                    << x << "," << y;
    }
}

// Smooth edges lay the pattern over the ground by the glyphs' coverage.
TEST(Render, SmoothEdgesBlendPatternOverGround) {
    const text::FontSpec font{"DejaVu Sans", 30};
    const Image cover = text::coverage("Ro", font, true);
    Image pattern(1, 1, image::Format::Rgb32);
    pattern.fill(image::rgb(200, 100, 0));
    Image out;
    QSize size;
    ASSERT_TRUE(cut::render({"Ro", font, std::make_shared<const Image>(pattern), 0x00FF0000, true}, out,
                            size)); // blue ground
    int edges = 0;
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) {
            const int a = cover.constScanLine(y)[x];
            // Pattern 200, 100, 0 over ground 0, 0, 255 at coverage a of 255.
            const image::Rgb want = image::rgb((200 * a + 127) / 255, (100 * a + 127) / 255,
                                               (255 * (255 - a) + 127) / 255);
            edges += a > 0 && a < 255;
            ASSERT_EQ(out.pixel(x, y), want) << x << "," << y << " coverage " << a;
        }
    EXPECT_GT(edges, 20);
}

// The rows made as a writer asks for them give the very file the whole image
// gives, in every format and PNG level, indexed or not, smooth or transparent.
TEST(Render, RowsWriteTheFileTheImageWrites) {
    const text::FontSpec font{"DejaVu Sans", 20};
    for (int colours : {1, 3, 257}) {
        for (const auto& [smooth, transparent] :
             {std::pair{false, false}, {true, false}, {false, true}, {true, true}}) {
            const cut::Request request{
                "Wg Ro",    font,   std::make_shared<const Image>(patternOf(colours)),
                0x00C08040, smooth, transparent};
            Image whole;
            image::Rows rows;
            QSize size;
            ASSERT_TRUE(cut::render(request, whole, size) && cut::render(request, rows, size));
            for (int level : {-1, 0, 1, 2}) { // -1: BMP and JPEG
                SCOPED_TRACE(testing::Message()
                             << colours << " colours, smooth " << smooth << ", transparent "
                             << transparent << ", " << level);
                const codecs::EncodeOptions options{30, level == 0, std::max(level, 0)};
                for (auto format :
                     level < 0 ? std::vector{codecs::ImageFormat::Bmp, codecs::ImageFormat::Jpeg}
                               : std::vector{codecs::ImageFormat::Png}) {
                    QByteArray fromRows, fromImage;
                    ASSERT_TRUE(codecs::encode(rows, format, options, fromRows));
                    ASSERT_TRUE(codecs::encode(whole, format, options, fromImage));
                    EXPECT_EQ(fromRows, fromImage);
                }
            }
        }
    }
}
