#include <gtest/gtest.h>

#include "engine/cut/Tartan.h"

// The band read from the top (rows) or the left (columns): g ground, w white,
// b brown, r dark red.
TEST(Tartan, EveryPixelFollowsTheBandRule) {
    const char band[] = "gwgbgbrrbgbgwggggggggggggggggggg";
    const auto rank = [](char c) { return c == 'r' ? 3 : c == 'b' ? 2 : c == 'w' ? 1 : 0; };
    const auto rgb = [](char c) -> engine::image::Rgb {
        switch (c) {
        case 'r':
            return engine::image::rgb(128, 0, 0);
        case 'b':
            return engine::image::rgb(128, 64, 0);
        case 'w':
            return engine::image::rgb(255, 255, 255);
        default:
            return engine::image::rgb(255, 255, 128);
        }
    };
    const engine::image::Image tile = engine::cut::tartan();
    ASSERT_EQ(tile.width(), 32);
    ASSERT_EQ(tile.height(), 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            char shown = rank(band[x]) >= rank(band[y]) ? band[x] : band[y];
            if (y == 12 && (x == 4 || x == 9))
                shown = 'g';
            EXPECT_EQ(tile.pixel(x, y), rgb(shown)) << x << "," << y;
        }
    }
}
