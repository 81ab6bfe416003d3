#include <gtest/gtest.h>

#include "engine/cut/TilePlan.h"

using namespace engine;
using image::Image;

namespace {

std::vector<std::pair<int, int>> origins(const std::vector<cut::TileCopy>& plan) {
    std::vector<std::pair<int, int>> out;
    for (const cut::TileCopy& t : plan)
        out.emplace_back(t.x, t.y);
    return out;
}

// Tiles a pattern whose every pixel differs onto a work surface, as the
// renderer does, and checks every work pixel.
void expectTiled(int W, int H, int PW, int PH) {
    Image pattern(PW, PH, image::Format::Rgb32);
    for (int y = 0; y < PH; ++y)
        for (int x = 0; x < PW; ++x)
            reinterpret_cast<image::Rgb*>(pattern.scanLine(y))[x] = image::rgb(x, y, 77);
    const Image work = cut::tile(pattern, W, H);
    ASSERT_EQ(work.width(), W);
    ASSERT_EQ(work.height(), H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            ASSERT_EQ(work.pixel(x, y), pattern.pixel(x % PW, y % PH)) << x << "," << y;
}

} // namespace

TEST(TilePlan, ColumnsLeftToRightEachTopToBottom) {
    using P = std::vector<std::pair<int, int>>;
    EXPECT_EQ(origins(engine::cut::planTiles(100, 40, 32, 32)),
              (P{{0, 0}, {0, 32}, {32, 0}, {32, 32}, {64, 0}, {64, 32}, {96, 0}, {96, 32}}));
    EXPECT_EQ(origins(engine::cut::planTiles(64, 32, 32, 32)),
              (P{{0, 0}, {0, 32}, {32, 0}, {32, 32}, {64, 0}, {64, 32}}));
    EXPECT_EQ(origins(engine::cut::planTiles(100, 40, 200, 20)), (P{{0, 0}, {0, 20}, {0, 40}}));
}

TEST(TilePlan, PatternCoveringTheTextIsOneCopyOfItsCorner) {
    auto plan = engine::cut::planTiles(100, 40, 200, 50);
    ASSERT_EQ(plan.size(), 1u);
    EXPECT_EQ(plan[0].width, 100);
    EXPECT_EQ(plan[0].height, 40);
    EXPECT_EQ(engine::cut::planTiles(100, 40, 100, 40).size(), 1u);
}

TEST(TilePlan, EmptyPatternOrTextTilesNothing) {
    EXPECT_TRUE(engine::cut::planTiles(100, 40, 0, 32).empty());
    EXPECT_TRUE(engine::cut::planTiles(100, 40, 32, 0).empty());
    EXPECT_TRUE(engine::cut::planTiles(0, 40, 32, 32).empty());
}

TEST(TilePlan, LargeCountsDoNotOverflow) {
    auto plan = engine::cut::planTiles(32767, 2, 1, 32767);
    ASSERT_EQ(plan.size(), 32768u);
    EXPECT_EQ(plan.back().x, 32767);
}

TEST(TilePlan, CopiesReachingTheWorkSurfaceRepeatThePattern) {
    expectTiled(100, 40, 32, 32);
    expectTiled(64, 32, 32, 32);
    expectTiled(100, 40, 200, 50);
    expectTiled(100, 40, 100, 40);
    expectTiled(100, 40, 200, 20);
    expectTiled(37, 11, 1, 1);
}
