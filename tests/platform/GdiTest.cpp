#include <gtest/gtest.h>

#include <QImage>

#include "platform/Gdi.h"
#include "render/basGrphc.h"

namespace {

struct Surface {
    QImage image;
    gdi::HDC dc;
    Surface(int w, int h, QRgb fill) : image(w, h, QImage::Format_RGB32) {
        image.fill(fill);
        dc = gdi::RegisterSurface(&image);
    }
    ~Surface() { gdi::UnregisterSurface(dc); }
};

} // namespace

TEST(Gdi, RasterOperationsActBitByBitOnColour) {
    Surface dst(2, 1, 0xFF123456u);
    Surface src(2, 1, 0xFF0F0F0Fu);
    ASSERT_TRUE(gdi::BitBlt(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, gdi::SRCAND));
    EXPECT_EQ(dst.image.pixel(0, 0), 0xFF020406u);
    ASSERT_TRUE(gdi::BitBlt(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, gdi::SRCINVERT));
    EXPECT_EQ(dst.image.pixel(0, 0), 0xFF0D0B09u);
    ASSERT_TRUE(gdi::BitBlt(dst.dc, 1, 0, 1, 1, src.dc, 0, 0, gdi::SRCCOPY));
    EXPECT_EQ(dst.image.pixel(1, 0), 0xFF0F0F0Fu);
    EXPECT_FALSE(gdi::BitBlt(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, 0x00EE0086)); // SRCPAINT: not ours
}

TEST(Gdi, CopiesAreClippedToBothSurfaces) {
    Surface dst(4, 4, 0xFF000000u);
    Surface src(2, 2, 0xFFFFFFFFu);
    EXPECT_TRUE(gdi::BitBlt(dst.dc, 3, 3, 5, 5, src.dc, 0, 0, gdi::SRCCOPY));
    EXPECT_TRUE(gdi::BitBlt(dst.dc, -1, -1, 2, 2, src.dc, 0, 0, gdi::SRCCOPY));
    EXPECT_TRUE(gdi::BitBlt(dst.dc, 1, 0, 2, 2, src.dc, -1, 1, gdi::SRCCOPY));
    EXPECT_TRUE(gdi::BitBlt(dst.dc, 40000, 0, 2, 2, src.dc, 0, 0, gdi::SRCCOPY));
    int lit = 0;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            lit += dst.image.pixel(x, y) == 0xFFFFFFFFu;
    // (3,3) from the first copy, (0,0) from the second, (2,0) from the third.
    EXPECT_EQ(lit, 3);
    EXPECT_EQ(dst.image.pixel(3, 3), 0xFFFFFFFFu);
    EXPECT_EQ(dst.image.pixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(dst.image.pixel(2, 0), 0xFFFFFFFFu);
}

TEST(Gdi, WorkSurfaceIsReleasedContextFirst) {
    Surface board(10, 10, 0xFF000000u);
    const int live = gdi::LiveObjectCount();
    gdi::HDC dc = 0;
    gdi::HBITMAP bmp = 0;
    CreateWorkBitmap(board.dc, 7, 3, dc, bmp);
    ASSERT_NE(dc, 0u);
    ASSERT_NE(bmp, 0u);
    ASSERT_NE(gdi::SurfaceOf(dc), nullptr);
    EXPECT_EQ(gdi::SurfaceOf(dc)->size(), QSize(7, 3));
    EXPECT_EQ(gdi::SurfaceOf(dc)->format(), board.image.format());
    EXPECT_EQ(gdi::LiveObjectCount(), live + 2);
    EXPECT_FALSE(gdi::DeleteObject(bmp)); // still selected
    DeleteWorkBitmap(dc, bmp);
    EXPECT_EQ(gdi::LiveObjectCount(), live);

    DeleteWorkBitmap(0, 0);
    bmp = gdi::CreateCompatibleBitmap(board.dc, 2, 2);
    DeleteWorkBitmap(0, bmp);
    EXPECT_EQ(gdi::LiveObjectCount(), live);
    EXPECT_EQ(gdi::CreateCompatibleBitmap(board.dc, 0, 5), 0u);
}
