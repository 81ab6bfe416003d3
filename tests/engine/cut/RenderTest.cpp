#include <gtest/gtest.h>

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
