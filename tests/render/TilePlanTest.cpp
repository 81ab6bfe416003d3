#include <gtest/gtest.h>

#include <QImage>

#include "platform/Gdi.h"
#include "render/TilePlan.h"
#include "render/basGrphc.h"

namespace {

std::vector<std::pair<int, int>> origins(const std::vector<TileCopy>& plan) {
    std::vector<std::pair<int, int>> out;
    for (const TileCopy& t : plan)
        out.emplace_back(t.x, t.y);
    return out;
}

// Tiles a pattern whose every pixel differs onto a work surface, as the
// renderer does, and checks every work pixel.
void expectTiled(int W, int H, int PW, int PH) {
    QImage pattern(PW, PH, QImage::Format_RGB32);
    for (int y = 0; y < PH; ++y)
        for (int x = 0; x < PW; ++x)
            pattern.setPixel(x, y, qRgb(x, y, 77));
    gdi::HDC patternDC = gdi::RegisterSurface(&pattern);
    gdi::HDC dc = 0;
    gdi::HBITMAP bmp = 0;
    CreateWorkBitmap(patternDC, W, H, dc, bmp);
    for (const TileCopy& t : PlanTiles(W, H, PW, PH))
        gdi::BitBlt(dc, t.x, t.y, t.width, t.height, patternDC, 0, 0, gdi::SRCCOPY);
    const QImage& work = *gdi::SurfaceOf(dc);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            ASSERT_EQ(work.pixel(x, y), pattern.pixel(x % PW, y % PH)) << x << "," << y;
    DeleteWorkBitmap(dc, bmp);
    gdi::UnregisterSurface(patternDC);
}

} // namespace

TEST(TilePlan, ColumnsLeftToRightEachTopToBottom) {
    using P = std::vector<std::pair<int, int>>;
    EXPECT_EQ(origins(PlanTiles(100, 40, 32, 32)),
              (P{{0, 0}, {0, 32}, {32, 0}, {32, 32}, {64, 0}, {64, 32}, {96, 0}, {96, 32}}));
    EXPECT_EQ(origins(PlanTiles(64, 32, 32, 32)),
              (P{{0, 0}, {0, 32}, {32, 0}, {32, 32}, {64, 0}, {64, 32}}));
    EXPECT_EQ(origins(PlanTiles(100, 40, 200, 20)), (P{{0, 0}, {0, 20}, {0, 40}}));
}

TEST(TilePlan, PatternCoveringTheTextIsOneCopyOfItsCorner) {
    auto plan = PlanTiles(100, 40, 200, 50);
    ASSERT_EQ(plan.size(), 1u);
    EXPECT_EQ(plan[0].width, 100);
    EXPECT_EQ(plan[0].height, 40);
    EXPECT_EQ(PlanTiles(100, 40, 100, 40).size(), 1u);
}

TEST(TilePlan, EmptyPatternOrTextTilesNothing) {
    EXPECT_TRUE(PlanTiles(100, 40, 0, 32).empty());
    EXPECT_TRUE(PlanTiles(100, 40, 32, 0).empty());
    EXPECT_TRUE(PlanTiles(0, 40, 32, 32).empty());
}

TEST(TilePlan, LargeCountsDoNotOverflow) {
    auto plan = PlanTiles(32767, 2, 1, 32767);
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
