#include <gtest/gtest.h>

#include <cstdlib>

#include <QDir>
#include <QTemporaryDir>
#include <QSize>

#include "engine/codecs/Codecs.h"
#include "engine/codecs/Orientation.h"
#include "support/TestFiles.h"
#include "support/TestSupport.h"

using namespace engine;
using image::Image;

namespace {

// A seed of the fuzz corpus: the PNG files lie in png/ alone.
QString seed(const QString& name) {
    return QStringLiteral(VELMORA_CORPUS_DIR "/%1/%2")
        .arg(QLatin1String(name.endsWith(QLatin1String(".png")) ? "png" : "picture"), name);
}

// Our picture against ImageMagick's reading of the same file.
void expectSame(const Image& ours, const Image& theirs) {
    ASSERT_EQ(theirs.width(), ours.width());
    ASSERT_EQ(theirs.height(), ours.height());
    // Alpha counts only where our picture has it.
    const image::Rgb opaque = ours.format() == image::Format::Argb32 ? 0 : 0xFF000000u;
    // Fully transparent pixels are alike whatever colour they carry; 5- and
    // 6-bit channels may be widened to 8 bits one apart.
    const auto seen = [opaque](image::Rgb c) { return image::alpha(c | opaque) ? c | opaque : 0; };
    const auto near = [](image::Rgb a, image::Rgb b) {
        for (int shift : {0, 8, 16, 24})
            if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 1)
                return false;
        return true;
    };
    for (int y = 0; y < ours.height(); ++y)
        for (int x = 0; x < ours.width(); ++x)
            ASSERT_PRED2(near, seen(ours.pixel(x, y)), seen(theirs.pixel(x, y))) << x << "," << y;
}

void expectSameAsImageMagick(const QString& path, int frame = 0) {
    Image ours;
    ASSERT_TRUE(codecs::loadPicture(path, ours)) << "refused";
    expectSame(ours, testfiles::readByImageMagick(path, frame));
}

} // namespace

// The fuzz seeds and the hostile files found, read by the picture loader and
// by ImageMagick as an independent reader. Skipped and missing pixels of RLE
// bitmaps must be palette entry 0 (as ImageMagick makes them), never memory.
TEST(PictureCorpus, LoadsAsAnIndependentReaderSeesItOrIsRefused) {
    const QStringList sameAsImageMagick =
        QStringLiteral(
            "bmp-1bit.bmp bmp-16bit-555.bmp bmp-16bit-565-bitfields.bmp bmp-32bit.bmp bmp-4bit.bmp "
            "bmp-8bit.bmp bmp-24bit.bmp bmp-32bit-v5-alpha.bmp bmp-os2-8bit.bmp bmp-rle4.bmp "
            "bmp-rle8.bmp bmp-rle4-delta.bmp bmp-rle8-ends-early.bmp bmp-topdown-24bit.bmp "
            "ico-entry-length-short.ico gif-static.gif gif-animated.gif "
            "gif-interlaced-transparent.gif ico-single-32bit.ico ico-4bit-mask.ico cur-4bit.cur "
            "jpeg-cmyk.jpg jpeg-baseline.jpg jpeg-progressive.jpg jpeg-grey.jpg png-palette.png "
            "png-rgba.png")
            .split(' ');
    for (const QString& name : sameAsImageMagick) {
        SCOPED_TRACE(name.toStdString());
        expectSameAsImageMagick(seed(name));
    }
    // Of two entries of one size the deeper is taken, of equal depths the first.
    expectSameAsImageMagick(seed("ico-equal-sizes.ico"), 1);
    expectSameAsImageMagick(seed("ico-equal-twins.ico"), 0);
    // A colour count beyond the bit depth reads the palette the depth allows; a
    // pixel offset into the palette (ImageMagick 6 draws the palette's bytes)
    // reads the pixels after it: each as the same picture written right.
    for (const auto& [odd, plain] : {std::pair{"bmp-4bit-300-colours.bmp", "bmp-4bit.bmp"},
                                     std::pair{"bmp-offset-into-palette.bmp", "bmp-8bit.bmp"}}) {
        Image a, b;
        ASSERT_TRUE(codecs::loadPicture(seed(odd), a) && codecs::loadPicture(seed(plain), b));
        EXPECT_EQ(a, b) << odd;
    }
    // A GIF frame smaller than its screen lies at its place on a transparent screen.
    Image screen;
    ASSERT_TRUE(codecs::loadPicture(seed("gif-frame-inside-screen.gif"), screen));
    const Image frame = testfiles::readByImageMagick(seed("gif-frame-inside-screen.gif"));
    ASSERT_EQ(QSize(screen.width(), screen.height()), QSize(64, 48));
    ASSERT_EQ(QSize(frame.width(), frame.height()), QSize(48, 40));
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            const bool inside = x >= 8 && x < 56 && y >= 4 && y < 44;
            ASSERT_EQ(screen.pixel(x, y), inside ? frame.pixel(x - 8, y - 4) : 0u) << x << "," << y;
        }
    // The largest image of an icon, chosen from the entries' own headers.
    const struct {
        const char* name;
        QSize size;
    } largest[] = {{"ico-multi-size.ico", {32, 32}},
                   {"ico-png-entry.ico", {48, 40}},
                   {"ico-bitmap-vs-png.ico", {48, 40}},
                   {"ico-40-entries-one-png.ico", {48, 40}}};
    for (const auto& icon : largest) {
        Image ours;
        ASSERT_TRUE(codecs::loadPicture(seed(icon.name), ours)) << icon.name;
        EXPECT_EQ(QSize(ours.width(), ours.height()), icon.size) << icon.name;
    }
    // Beyond the limits on work, cut short, or with sides that overflow row arithmetic.
    for (const char* name : {"jpeg-300-scans.jpg", "ico-300-entries.ico", "bmp-os2-cut-short.bmp",
                             "bmp-overflowing-header.bmp", "gif-clear-code-flood.gif"}) {
        Image ours;
        EXPECT_FALSE(codecs::loadPicture(seed(name), ours)) << name;
    }
}

// A pattern PNG or JPEG decoded only as far as an image shows it is the
// top-left of the whole picture, cut to that size at least a pixel each way;
// an interlaced PNG is decoded whole.
TEST(PictureCorpus, PatternDecodedOnlyAsFarAsShown) {
    QStringList names =
        QDir(QStringLiteral(VELMORA_CORPUS_DIR "/png")).entryList({"png-*.png"}) +
        QDir(QStringLiteral(VELMORA_CORPUS_DIR "/picture")).entryList({"jpeg-*.jpg"});
    for (const char* refused : {"png-chunk-before-ihdr.png", "jpeg-300-scans.jpg"})
        names.removeAll(refused);
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        Image whole;
        ASSERT_TRUE(codecs::loadPattern(seed(name), whole));
        const int w = whole.width(), h = whole.height();
        for (const QSize shown : {QSize(0, 0), QSize(1, 1), QSize(w / 2 + 1, h / 3 + 1),
                                  QSize(w, h - 1), QSize(w + 7, h + 7)}) {
            Image part;
            ASSERT_TRUE(
                codecs::loadPattern(seed(name), part, nullptr, [&](QSize) { return shown; }));
            const Image want =
                name.contains("interlaced")
                    ? whole
                    : whole.copied(std::max(shown.width(), 1), std::max(shown.height(), 1));
            EXPECT_EQ(part, want) << shown.width() << "x" << shown.height();
        }
    }
}

// The orientation tag read from an Exif block of either byte order; 1 where
// the block is not one, the directory lies past its end or the value is no
// orientation.
TEST(PictureOrientation, TagReadInEitherByteOrder) {
    const QByteArray big("MM\0*\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\x06\0\0\0\0\0\0", 26),
        little("II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0\x06\0\0\0\0\0\0\0", 26);
    const struct {
        QByteArray tiff;
        int orientation;
    } rows[] = {{big, 6},
                {little, 6},
                {QByteArray(big).replace(19, 1, "\x09"), 1},
                {QByteArray(big).replace(7, 1, "\x40"), 1},
                {QByteArray(big).replace(3, 1, "+"), 1},
                {big.left(12), 1}};
    for (const auto& row : rows)
        EXPECT_EQ(codecs::exifOrientation(row.tiff), row.orientation)
            << row.tiff.toHex().toStdString();
}

// A photo's orientation, in a JPEG's Exif block or a PNG's eXIf chunk: each of
// the eight turns the picture as ImageMagick's -auto-orient turns it, and
// decoded only as far as a part is shown it is that part of the turned picture.
TEST(PictureOrientation, TurnedAsViewersTurnIt) {
    QTemporaryDir dir;
    const QString plainPng = dir.filePath("plain.png"), plainJpeg = dir.filePath("plain.jpg");
    testfiles::writePng(plainPng, 37, 23, 2 /* RGB */, 8, false, [](int x, int y) {
        return image::rgb(7 * x, 11 * y, x < 9 && y < 6 ? 255 : 40);
    });
    testfiles::runTool("convert-im6.q16", {}, {plainPng, plainJpeg});
    const char* names[] = {"", "TopLeft", "TopRight", "BottomRight", "BottomLeft",
                           "LeftTop", "RightTop", "RightBottom", "LeftBottom"};
    for (const QString& plain : {plainPng, plainJpeg}) {
        for (int orientation = 1; orientation <= 8; ++orientation) {
            SCOPED_TRACE((plain + " " + names[orientation]).toStdString());
            const QString file = dir.filePath(QString::number(orientation) + plain.right(4));
            testsupport::writeAll(
                file, testfiles::withOrientation(testsupport::readAll(plain), orientation));
            Image whole, part;
            ASSERT_TRUE(codecs::loadPattern(file, whole));
            expectSame(whole, testfiles::readByImageMagick(
                                  plain, 0, {"-orient", names[orientation], "-auto-orient"}));
            ASSERT_TRUE(
                codecs::loadPattern(file, part, nullptr, [](QSize) { return QSize(9, 5); }));
            EXPECT_EQ(part, whole.copied(9, 5));
        }
    }
}

// Why a picture is refused, one row a reason, each from a file made for it;
// and a damaged file gets one verdict however much of it a path shows: whole
// (a batch, the window) or only its top-left pixel (one image).
TEST(PictureRefusal, EachReasonSaidAndOneVerdictOnEveryPath) {
    const auto bytes = [](const char* name) { return testsupport::readAll(seed(name)); };
    const auto cut = [](QByteArray b, int percent) { return b.left(b.size() * percent / 100); };
    const auto patched = [](QByteArray b, qsizetype at, QByteArray with) {
        return b.replace(at, with.size(), with);
    };
    QByteArray flipped = bytes("png-rgb.png");
    flipped[flipped.indexOf("IDAT") + 40] ^= 0x55; // the data no longer matches its checksum
    const auto le32 = [](qint32 v) { return QByteArray(reinterpret_cast<const char*>(&v), 4); };
    const QByteArray bmp = bytes("bmp-24bit.bmp"), jpeg = bytes("jpeg-baseline.jpg");
    const qsizetype sof = jpeg.indexOf("\xFF\xC0");
    QByteArray sof3 = bytes("jpeg-baseline.jpg");
    sof3[sof3.indexOf("\xFF\xC0") + 1] = '\xC3';
    const struct {
        const char* name;
        QByteArray file;
        const char* reason;
    } rows[] = {
        {"cut.png", cut(bytes("png-rgb.png"), 60), "the file ends early: it has been cut off"},
        {"flipped.png", flipped, "the picture's data is damaged"},
        {"cut.jpg", cut(bytes("jpeg-progressive.jpg"), 60), "it has been cut off"},
        {"no-end.jpg", bytes("jpeg-baseline.jpg").chopped(2), "it has been cut off"},
        {"cut.gif", cut(bytes("gif-static.gif"), 60), "it has been cut off"},
        {"cut.bmp", cut(bytes("bmp-24bit.bmp"), 60), "it has been cut off"},
        {"wide.png", testfiles::pngHeaderOnly(40000, 10) + QByteArray(20, 0),
         "the picture is 40000 x 10 pixels, over 32,767 a side"},
        {"big.png", testfiles::pngHeaderOnly(20000, 20000) + QByteArray(20, 0),
         "the picture is 20000 x 20000 pixels, over 256 MiB"},
        {"flat.png", testfiles::pngHeaderOnly(0, 10) + QByteArray(20, 0), "the picture has no pixels"},
        // Absurd sizes in one direction, past what the limits' own table reaches: a
        // name's .png takes the classic 16-bit check, but says the whole size.
        {"tall.png", testfiles::pngHeaderOnly(1, 0x80000000u) + QByteArray(20, 0),
         "1 x 2147483648 pixels, over 32,767 a side"},
        {"deep.bmp", patched(bmp, 22, le32(INT32_MIN)), "13 x 2147483648 pixels, over 32,767"},
        {"backwards.bmp", patched(bmp, 18, le32(-13)), "the picture's data is damaged"},
        {"low.jpg", patched(jpeg, sof + 5, QByteArray(2, 0)), "follows its data (DNL) is not"},
        {"scans.jpg", bytes("jpeg-300-scans.jpg"), "the JPEG has more than 100 scans"},
        {"many.ico", bytes("ico-300-entries.ico"), "the icon holds 300 pictures, more than 256"},
        {"jpeg.bmp", patched(bytes("bmp-24bit.bmp"), 30, QByteArray("\x04\0\0\0", 4)),
         "a bitmap holding a JPEG or PNG is not supported"},
        {"rle16.bmp", patched(bytes("bmp-24bit.bmp"), 28, QByteArray("\x10\0\x01\0\0\0", 6)),
         "a bitmap of 16 bits a pixel in compression 1 is not supported"},
        {"lossless.jpg", sof3,
         "a JPEG of the lossless or hierarchical kind (SOF3) is not supported"},
        {"notes.bmp", "plain text", "the file is no BMP, ICO, JPEG, GIF or PNG picture"},
        {"text.png", "plain text, named as a PNG", "the name ends in .png, but the file is no PNG"},
    };
    QTemporaryDir dir;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QString file = dir.filePath(row.name);
        testsupport::writeAll(file, row.file);
        for (const bool whole : {true, false}) {
            Image picture;
            QString why = "a reason from before";
            EXPECT_FALSE(codecs::loadPattern(
                file, picture, &why,
                whole ? codecs::ShownPart() : [](QSize) { return QSize(1, 1); }))
                << (whole ? "whole" : "one pixel shown");
            EXPECT_TRUE(why.contains(row.reason)) << why.toStdString();
        }
    }
}
