#include <gtest/gtest.h>

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QPushButton>
#include <png.h>

#include "engine/codecs/Codecs.h"
#include "engine/image/Colors.h"
#include "engine/settings/Settings.h"
#include "support/MainWindowFixture.h"
#include "support/TestFiles.h"
#include "support/TestSupport.h"
#include "support/WidgetSupport.h"
#include "ui/widgets/PictureBox.h"

using testsupport::writeAll;

namespace {

QRgb patternPixel(int x, int y) {
    return qRgb(x * 2, y * 4, (x + y) % 256);
}

class Pictures : public MainWindowFixture {
  protected:
    void SetUp() override { start(); }

    PictureBox& holder() { return *form->Dot[0]; }
    QString file(const QString& name) { return dir.filePath(name); }

    // Loads through both ways a file reaches the holder, from the same state.
    void expectRefusedUnchanged(const QString& path) {
        SCOPED_TRACE(path.toStdString());
        const QImage before = holder().image();
        const QSize outer = holder().size();
        EXPECT_EQ(form->LoadDotPicture(path, 0), 1);
        form->Area_OLEDragDrop(0, {path});
        EXPECT_EQ(holder().image(), before);
        EXPECT_EQ(holder().size(), outer);
        EXPECT_TRUE(holder().isVisible());
    }

    // A decode that fails after the header passed: resized, background colour only.
    void expectResizedBlank(const QString& path, QSize inner) {
        SCOPED_TRACE(path.toStdString());
        for (int way = 0; way < 2; ++way) {
            holder().setPicture(engine::image::Image(3, 3, engine::image::Format::Rgb32));
            if (way == 0)
                EXPECT_EQ(form->LoadDotPicture(path, 0), 1);
            else
                form->Dot_OLEDragDrop(0, {path});
            ASSERT_EQ(holder().image().size(), inner);
            const QRgb ground = engine::image::rgbOf(holder().backColor());
            for (int y = 0; y < inner.height(); ++y)
                for (int x = 0; x < inner.width(); ++x)
                    ASSERT_EQ(holder().image().pixel(x, y), ground);
            EXPECT_TRUE(holder().isVisible());
        }
    }

    void expectPattern(int width, int height, const std::function<QRgb(int, int)>& pixel) {
        ASSERT_EQ(holder().size(), QSize(width + 2, height + 2));
        ASSERT_EQ(holder().image().size(), QSize(width, height));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(holder().image().pixel(x, y) & 0xFFFFFF, pixel(x, y) & 0xFFFFFF)
                    << x << "," << y;
    }
};

} // namespace

TEST_F(Pictures, EveryKindOfPngDecodes) {
    const struct {
        int colorType, bitDepth;
        bool interlaced;
    } kinds[] = {
        {PNG_COLOR_TYPE_RGB, 8, false},         {PNG_COLOR_TYPE_RGB, 16, false},
        {PNG_COLOR_TYPE_RGB, 8, true},          {PNG_COLOR_TYPE_RGBA, 8, false},
        {PNG_COLOR_TYPE_PALETTE, 8, false},     {PNG_COLOR_TYPE_GRAY, 8, true},
        {PNG_COLOR_TYPE_GRAY_ALPHA, 16, false},
    };
    for (const auto& k : kinds) {
        SCOPED_TRACE(std::to_string(k.colorType) + "/" + std::to_string(k.bitDepth));
        const bool grey =
            k.colorType == PNG_COLOR_TYPE_GRAY || k.colorType == PNG_COLOR_TYPE_GRAY_ALPHA;
        const bool few = k.colorType == PNG_COLOR_TYPE_PALETTE;
        auto pixel = [&](int x, int y) -> QRgb {
            if (few)
                return (x / 10 + y / 10) % 2 ? qRgb(200, 30, 40) : qRgb(10, 220, 90);
            return grey ? qRgb(x * 2, x * 2, x * 2) : patternPixel(x, y);
        };
        testfiles::writePng(file("p.png"), 100, 50, k.colorType, k.bitDepth, k.interlaced, pixel);
        EXPECT_EQ(form->LoadDotPicture(file("p.png"), 0), 0);
        expectPattern(100, 50, pixel);
    }
}

TEST_F(Pictures, TransparencyShowsTheHolderColour) {
    testfiles::writePng(file("a.Png"), 4, 4, PNG_COLOR_TYPE_RGBA, 8, false,
                        [](int x, int) { return x < 2 ? qRgba(0, 0, 0, 0) : qRgb(255, 0, 0); });
    ASSERT_EQ(form->LoadDotPicture(file("a.Png"), 0), 0);
    EXPECT_EQ(holder().image().pixel(0, 0), engine::image::rgbOf(holder().backColor()));
    EXPECT_EQ(holder().image().pixel(3, 0), qRgb(255, 0, 0));

    QImage alpha(4, 4, QImage::Format_ARGB32);
    alpha.fill(Qt::transparent);
    ASSERT_TRUE(alpha.save(file("a.ico"), "ICO"));
    ASSERT_EQ(form->LoadDotPicture(file("a.ico"), 0), 0);
    EXPECT_EQ(holder().image().pixel(1, 1), engine::image::rgbOf(holder().backColor()));
}

TEST_F(Pictures, OtherFormatsGoThroughThePictureLoader) {
    QImage picture(40, 30, QImage::Format_RGB32);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            picture.setPixel(x, y, patternPixel(x, y));
    ASSERT_TRUE(picture.save(file("b.bmp"), "BMP"));
    ASSERT_EQ(form->LoadDotPicture(file("b.bmp"), 0), 0);
    expectPattern(40, 30, patternPixel);

    ASSERT_TRUE(picture.save(file("c.JPG"), "JPEG", 100));
    ASSERT_EQ(form->LoadDotPicture(file("c.JPG"), 0), 0);
    EXPECT_EQ(holder().image().size(), QSize(40, 30));
    // A .jpeg name is not a recognised extension, but the loader reads the content.
    QFile::copy(file("c.JPG"), file("c.jpeg"));
    holder().setPicture(engine::image::Image(3, 3, engine::image::Format::Rgb32));
    ASSERT_EQ(form->LoadDotPicture(file("c.jpeg"), 0), 0);
    EXPECT_EQ(holder().image().size(), QSize(40, 30));

    writeAll(file("anim.gif"), testfiles::twoFrameGif());
    ASSERT_EQ(form->LoadDotPicture(file("anim.gif"), 0), 0);
    expectPattern(1, 1, [](int, int) { return qRgb(255, 0, 0); });

    writeAll(file("two.ico"), testfiles::twoSizeIcon());
    ASSERT_EQ(form->LoadDotPicture(file("two.ico"), 0), 0);
    expectPattern(32, 32, [](int, int) { return qRgb(0, 255, 0); });
}

TEST_F(Pictures, BadFilesAreRefusedWithoutHarm) {
    testfiles::writePng(file("good.png"), 100, 50, PNG_COLOR_TYPE_RGB, 8, false, patternPixel);
    const QByteArray good = testsupport::readAll(file("good.png"));
    writeAll(file("zero.png"), "");
    writeAll(file("wrongsig.png"), QByteArray(good).replace(0, 1, "\x88"));
    writeAll(file("sigonly.png"), good.left(8));
    writeAll(file("huge.png"), testfiles::pngHeaderOnly(20000, 20000));
    writeAll(file("zerow.png"), testfiles::pngHeaderOnly(0, 50));
    writeAll(file("wide.png"), testfiles::pngHeaderOnly(65536, 10));
    QDir(dir.path()).mkdir("dir.png");
    writeAll(file("garbage.bmp"), QByteArray(300, 'x'));
    writeAll(file("garbage.jpg"), "\xFF\xD8\xFF garbage");
    writeAll(file("garbage.gif"), "GIF89a garbage");
    writeAll(file("garbage.ico"), QByteArray("\0\0\1\0\5\0", 6) + QByteArray(40, '\xff'));
    writeAll(file("notes.txt"), "just text");
    QImage bmp(200, 100, QImage::Format_RGB32);
    bmp.fill(Qt::red);
    ASSERT_TRUE(bmp.save(file("cut.bmp"), "BMP"));
    QFile::resize(file("cut.bmp"), 54 + 600 * 50);
    for (const char* name : {"zero.png", "wrongsig.png", "sigonly.png", "huge.png", "zerow.png",
                             "wide.png", "dir.png", "garbage.bmp", "garbage.jpg", "garbage.gif",
                             "garbage.ico", "notes.txt", "cut.bmp", "missing.png"})
        expectRefusedUnchanged(file(name));

    if (geteuid() != 0) {
        QFile::copy(file("good.png"), file("locked.png"));
        QFile::setPermissions(file("locked.png"), {});
        expectRefusedUnchanged(file("locked.png"));
    }
}

TEST_F(Pictures, DecodeFailureAfterTheHeaderLeavesABlankHolder) {
    testfiles::writePng(file("good.png"), 100, 50, PNG_COLOR_TYPE_RGB, 8, false, patternPixel);
    const QByteArray good = testsupport::readAll(file("good.png"));
    writeAll(file("truncated.png"), good.left(good.size() / 2));
    QByteArray badCrc = good;
    badCrc[29] = static_cast<char>(badCrc[29] ^ 0x55); // IHDR's CRC
    writeAll(file("badcrc.png"), badCrc);
    // Real width 65,636: the header check sees 100, the decoder the truth.
    writeAll(file("sneaky.png"), testfiles::pngHeaderOnly(65636, 50) + good.mid(33));
    expectResizedBlank(file("truncated.png"), {100, 50});
    expectResizedBlank(file("badcrc.png"), {100, 50});
    expectResizedBlank(file("sneaky.png"), {100, 50});
}

TEST_F(Pictures, DropTakesTheFirstAcceptedFileThatLoads) {
    QImage red(7, 5, QImage::Format_RGB32);
    red.fill(Qt::red);
    QImage blue(9, 3, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    ASSERT_TRUE(red.save(file("red.bmp"), "BMP"));
    ASSERT_TRUE(blue.save(file("blue.bmp"), "BMP"));
    writeAll(file("notes.txt"), "text");
    writeAll(file("bad.PNG"), "\x88PNG not really");
    form->Area_OLEDragDrop(0, {file("notes.txt"), file("bad.PNG"), file("red.bmp")});
    EXPECT_EQ(holder().image().size(), QSize(7, 5));
    form->Dot_OLEDragDrop(0, {file("blue.bmp"), file("red.bmp")});
    EXPECT_EQ(holder().image().size(), QSize(9, 3));

    // Names the walk does not accept, whatever their content.
    QFile::copy(file("red.bmp"), file("red.tif"));
    ASSERT_TRUE(red.save(file("red.jpeg"), "JPEG"));
    form->Area_OLEDragDrop(0, {file("red.tif"), file("red.jpeg")});
    EXPECT_EQ(holder().image().size(), QSize(9, 3));

    // A drop on the colour swatch names a holder that does not exist.
    const unsigned swatch = form->Area[1]->backColor();
    form->Area_OLEDragDrop(1, {file("red.bmp")});
    EXPECT_EQ(holder().image().size(), QSize(9, 3));
    EXPECT_EQ(form->Area[1]->backColor(), swatch);
}

TEST_F(Pictures, DroppedGifOnlyWhenTheSettingIsOne) {
    writeAll(file("anim.GIF"), testfiles::twoFrameGif());
    for (std::int16_t setting : {0, 2, 1}) {
        gOptionsGif = setting;
        holder().setPicture(engine::image::Image(3, 3, engine::image::Format::Rgb32));
        form->Area_OLEDragDrop(0, {file("anim.GIF")});
        EXPECT_EQ(holder().image().size(), setting == 1 ? QSize(1, 1) : QSize(3, 3)) << setting;
    }
}

TEST_F(Pictures, LoadingNeverTouchesTheRenderingOrSettings) {
    form->BTN[0]->click();
    const QImage board = form->Board->image();
    const QByteArray settings = testsupport::readAll(ini);
    testfiles::writePng(file("p.png"), 10, 10, PNG_COLOR_TYPE_RGB, 8, false, patternPixel);
    form->Area_OLEDragDrop(0, {file("p.png")});
    EXPECT_EQ(holder().image().size(), QSize(10, 10));
    EXPECT_EQ(form->Board->image(), board);
    EXPECT_EQ(testsupport::readAll(ini), settings);
}
