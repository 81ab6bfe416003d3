#include <gtest/gtest.h>

#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QImage>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
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

    PictureBox& holder() { return *patternView(); }
    QString file(const QString& name) { return dir.filePath(name); }

    // Loaded directly and dropped, from the same state: the pattern stays, and
    // a dropped file of a kind the drop takes says on the status line why not.
    void expectRefusedUnchanged(const QString& path) {
        SCOPED_TRACE(path.toStdString());
        const QImage before = holder().image();
        const QSize outer = holder().size();
        QString why;
        EXPECT_FALSE(form->loadPattern(path, &why));
        EXPECT_FALSE(why.isEmpty());
        settle([&] { form->dropPatternFiles({path}); });
        EXPECT_EQ(holder().image(), before);
        EXPECT_EQ(holder().size(), outer);
        EXPECT_TRUE(holder().isVisible());
        if (!path.endsWith(".txt")) {
            EXPECT_EQ(form->status(), "×" + QFileInfo(path).fileName() + ": " + why);
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
        EXPECT_TRUE(form->loadPattern(file("p.png")));
        expectPattern(100, 50, pixel);
    }
}

TEST_F(Pictures, TransparencyShowsTheHolderColour) {
    testfiles::writePng(file("a.Png"), 4, 4, PNG_COLOR_TYPE_RGBA, 8, false,
                        [](int x, int) { return x < 2 ? qRgba(0, 0, 0, 0) : qRgb(255, 0, 0); });
    ASSERT_TRUE(form->loadPattern(file("a.Png")));
    EXPECT_EQ(holder().image().pixel(0, 0), engine::image::rgbOf(holder().backColor()));
    EXPECT_EQ(holder().image().pixel(3, 0), qRgb(255, 0, 0));

    QImage alpha(4, 4, QImage::Format_ARGB32);
    alpha.fill(Qt::transparent);
    ASSERT_TRUE(alpha.save(file("a.ico"), "ICO"));
    ASSERT_TRUE(form->loadPattern(file("a.ico")));
    EXPECT_EQ(holder().image().pixel(1, 1), engine::image::rgbOf(holder().backColor()));
}

TEST_F(Pictures, OtherFormatsGoThroughThePictureLoader) {
    QImage picture(40, 30, QImage::Format_RGB32);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            picture.setPixel(x, y, patternPixel(x, y));
    ASSERT_TRUE(picture.save(file("b.bmp"), "BMP"));
    ASSERT_TRUE(form->loadPattern(file("b.bmp")));
    expectPattern(40, 30, patternPixel);

    ASSERT_TRUE(picture.save(file("c.JPG"), "JPEG", 100));
    ASSERT_TRUE(form->loadPattern(file("c.JPG")));
    EXPECT_EQ(holder().image().size(), QSize(40, 30));
    // A .jpeg name is not a recognised extension, but the loader reads the content.
    QFile::copy(file("c.JPG"), file("c.jpeg"));
    form->setPattern(engine::image::Image(3, 3, engine::image::Format::Rgb32));
    ASSERT_TRUE(form->loadPattern(file("c.jpeg")));
    EXPECT_EQ(holder().image().size(), QSize(40, 30));

    writeAll(file("anim.gif"), testfiles::twoFrameGif());
    ASSERT_TRUE(form->loadPattern(file("anim.gif")));
    expectPattern(1, 1, [](int, int) { return qRgb(255, 0, 0); });

    writeAll(file("two.ico"), testfiles::twoSizeIcon());
    ASSERT_TRUE(form->loadPattern(file("two.ico")));
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

TEST_F(Pictures, DecodeFailureAfterTheHeaderKeepsThePattern) {
    testfiles::writePng(file("good.png"), 100, 50, PNG_COLOR_TYPE_RGB, 8, false, patternPixel);
    const QByteArray good = testsupport::readAll(file("good.png"));
    writeAll(file("truncated.png"), good.left(good.size() / 2));
    QByteArray badCrc = good;
    badCrc[29] = static_cast<char>(badCrc[29] ^ 0x55); // IHDR's CRC
    writeAll(file("badcrc.png"), badCrc);
    // Real width 65,636: the header check sees 100, the decoder the truth.
    writeAll(file("sneaky.png"), testfiles::pngHeaderOnly(65636, 50) + good.mid(33));
    for (const char* name : {"truncated.png", "badcrc.png", "sneaky.png"})
        expectRefusedUnchanged(file(name));
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
    settle([&] { form->dropPatternFiles({file("notes.txt"), file("bad.PNG"), file("red.bmp")}); });
    EXPECT_EQ(holder().image().size(), QSize(7, 5));
    EXPECT_EQ(status()->text(), "ベルモラ");
    settle([&] { form->dropPatternFiles({file("blue.bmp"), file("red.bmp")}); });
    EXPECT_EQ(holder().image().size(), QSize(9, 3));

    // Names the walk does not accept, whatever their content.
    QFile::copy(file("red.bmp"), file("red.tif"));
    ASSERT_TRUE(red.save(file("red.jpeg"), "JPEG"));
    settle([&] { form->dropPatternFiles({file("red.tif"), file("red.jpeg")}); });
    EXPECT_EQ(holder().image().size(), QSize(9, 3));

    // The colour swatch takes a drop and holds no pattern.
    const unsigned swatch = colorSwatch()->backColor();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file("red.bmp"))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(colorSwatch(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(colorSwatch(), &drop);
    EXPECT_EQ(holder().image().size(), QSize(9, 3));
    EXPECT_EQ(colorSwatch()->backColor(), swatch);
}

TEST_F(Pictures, DroppedGifOnlyWhenTheSettingIsOne) {
    writeAll(file("anim.GIF"), testfiles::twoFrameGif());
    using engine::settings::GifUse;
    for (GifUse setting : {GifUse::None, GifUse::ChosenOnly, GifUse::DroppedAndChosen}) {
        settings().gif = setting;
        form->setPattern(engine::image::Image(3, 3, engine::image::Format::Rgb32));
        settle([&] { form->dropPatternFiles({file("anim.GIF")}); });
        EXPECT_EQ(holder().image().size(), setting == GifUse::DroppedAndChosen ? QSize(1, 1) : QSize(3, 3))
            << static_cast<int>(setting);
    }
}

TEST_F(Pictures, LoadingNeverTouchesTheRenderingOrSettings) {
    press("renderButton");
    const QImage board = result()->image();
    const QByteArray file = testsupport::readAll(ini);
    testfiles::writePng(this->file("p.png"), 10, 10, PNG_COLOR_TYPE_RGB, 8, false, patternPixel);
    // The picture is read off the window's thread: the drop returns at once and
    // the window answers meanwhile, saying what it reads.
    QSignalSpy settled(form.get(), &MainWindow::patternSettled);
    form->dropPatternFiles({this->file("p.png")});
    EXPECT_TRUE(settled.isEmpty());
    EXPECT_EQ(status()->text(), "読み込み中 p.png");
    ASSERT_TRUE(settled.wait(60000));
    EXPECT_EQ(status()->text(), "ベルモラ");
    EXPECT_EQ(holder().image().size(), QSize(10, 10));
    EXPECT_EQ(result()->image(), board);
    EXPECT_EQ(testsupport::readAll(ini), file);
}

// Of two drops in a row the later wins, and "開始" right after draws with it,
// read or not yet; a window closed while it reads goes cleanly.
TEST_F(Pictures, LaterDropWinsAndTheNextRenderingUsesIt) {
    QImage red(7, 5, QImage::Format_RGB32), blue(9, 3, QImage::Format_RGB32);
    red.fill(Qt::red);
    blue.fill(Qt::blue);
    ASSERT_TRUE(red.save(file("red.bmp"), "BMP") && blue.save(file("blue.bmp"), "BMP"));
    form->dropPatternFiles({file("red.bmp")});
    form->dropPatternFiles({file("blue.bmp")});
    textEdit()->setText("WW");
    press("renderButton");
    EXPECT_EQ(holder().image().size(), QSize(9, 3));
    int blueInLetters = 0;
    for (int y = 0; y < result()->innerHeight(); ++y)
        for (int x = 0; x < result()->innerWidth(); ++x) {
            const unsigned colour = rgbAt(result()->image(), x, y);
            ASSERT_NE(colour, 0xFF0000u) << x << "," << y;
            blueInLetters += colour == 0x0000FFu;
        }
    EXPECT_GT(blueInLetters, 0);
    form->dropPatternFiles({file("red.bmp")});
    form.reset();
}
