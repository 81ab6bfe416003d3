#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include <QFile>
#include <QTemporaryDir>

#include "engine/codecs/Codecs.h"
#include "engine/cut/Render.h"
#include "engine/cut/Tartan.h"
#include "engine/files/AtomicFile.h"
#include "support/TestFiles.h"
#include "support/TestSupport.h"

using namespace engine;
using image::Image;

namespace {

// Sharp edges and gradients, as cut letters give; `width` columns of them.
Image picture(int width = 300, int height = 120) {
    Image image(width, height, image::Format::Rgb32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<image::Rgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            row[x] =
                ((x / 9 + y / 7) % 3) ? image::rgb(x % 256, y * 2, 90) : image::rgb(10, 20, 200);
    }
    return image;
}

int maxDifference(const Image& a, const Image& b) {
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const image::Rgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max({worst, std::abs(image::red(p) - image::red(q)),
                              std::abs(image::green(p) - image::green(q)),
                              std::abs(image::blue(p) - image::blue(q))});
        }
    return worst;
}

// Every pixel as the independent reader sees the file.
void expectReadsBack(const QByteArray& file, const char* suffix, const Image& want) {
    const Image back = testfiles::readByImageMagick(file, suffix);
    ASSERT_EQ(back.width(), want.width());
    ASSERT_EQ(back.height(), want.height());
    for (int y = 0; y < want.height(); ++y)
        for (int x = 0; x < want.width(); ++x) {
            const image::Rgb w = want.pixel(x, y), got = back.pixel(x, y);
            ASSERT_EQ(image::alpha(got), image::alpha(w)) << x << "," << y;
            if (image::alpha(w)) {
                ASSERT_EQ(got, w) << x << "," << y;
            }
        }
}

QByteArray jpeg(const Image& image, int rate, bool progressive = false) {
    QByteArray out;
    EXPECT_TRUE(codecs::encodeJpeg(image, rate, progressive, out));
    return out;
}

// The values of a JPEG's 8-bit quantisation tables, from its DQT segments.
std::vector<int> quantValues(const QByteArray& jpeg) {
    std::vector<int> values;
    const auto byte = [&jpeg](qsizetype i) { return static_cast<unsigned char>(jpeg[i]); };
    for (qsizetype at = 2; at + 4 <= jpeg.size() && byte(at) == 0xFF && byte(at + 1) != 0xDA;) {
        const qsizetype end = at + 2 + byte(at + 2) * 256 + byte(at + 3);
        for (qsizetype t = at + 4; byte(at + 1) == 0xDB && t + 65 <= end; t += 65)
            for (qsizetype i = t + 1; i <= t + 64; ++i)
                values.push_back(byte(t) >> 4 ? -1 : byte(i));
        at = end;
    }
    return values;
}

} // namespace

TEST(Writers, BmpAndPngReadBackExactly) {
    // BMP rows of 1 to 3 pixels end in 1 to 3 bytes of padding; 300 pixels need none.
    for (int width : {1, 2, 3, 300}) {
        const Image part = picture(width, 119);
        QByteArray bmp;
        ASSERT_TRUE(codecs::encodeBmp(part, bmp));
        EXPECT_EQ(bmp[28], 24); // bits per pixel
        EXPECT_EQ(bmp.size(), 54 + (width * 3 + 3) / 4 * 4 * 119) << width;
        expectReadsBack(bmp, "bmp", part);
        for (int level : {0, 1, 2}) {
            QByteArray png;
            ASSERT_TRUE(codecs::encodePng(part, level, png));
            expectReadsBack(png, "png", part);
        }
    }
    // Truecolour rows too many to hold filtered beside the picture (over 48
    // MiB) are streamed instead.
    const Image tall = picture(4096, 4352);
    QByteArray png;
    ASSERT_TRUE(codecs::encodePng(tall, 1, png));
    expectReadsBack(png, "png", tall);
}

// On real images, cut letters over the tartan (indexed) and a photo-like
// picture (truecolour), each level is smaller than the faster one: each asks
// its compressor for more, indexed rows as well as truecolour ones.
TEST(Writers, PngLevelsRunFromFastToSmall) {
    Image letters;
    QSize size;
    ASSERT_TRUE(cut::render({QStringLiteral("切り文字 Cut letters 永"),
                             {"IPA Pゴシック", 60},
                             std::make_shared<const Image>(cut::tartan()),
                             0x00402010},
                            letters, size));
    Image photo(300, 200, image::Format::Rgb32);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x)
            reinterpret_cast<image::Rgb*>(photo.scanLine(y))[x] = image::rgb(
                x * 255 / 300, (x * y / 97 + (x * 7919 + y * 104729) % 13) % 256, y * 255 / 200);
    for (const Image* picture : {&letters, &photo}) {
        qsizetype sizes[3];
        for (int level : {0, 1, 2}) {
            QByteArray png;
            ASSERT_TRUE(codecs::encodePng(*picture, level, png));
            sizes[level] = png.size();
        }
        EXPECT_GT(sizes[1], sizes[0]) << (picture == &letters ? "indexed" : "truecolour");
        EXPECT_GT(sizes[0], sizes[2]) << (picture == &letters ? "indexed" : "truecolour");
    }
}

// ImageMagick writing the same pixels (zlib 7, filters chosen row by row) is
// the yardstick. Over a small full-colour tile the writer keeps the tile's
// repeats, which filters would break at each letter's edge, and comes out well
// under it at every level; over a smooth picture wider than the image, which
// has no such repeats, it filters its rows as ImageMagick does and comes out
// about the same (bench/compare.sh measures real patterns against it).
TEST(Writers, PngIsNoLargerThanImageMagicksAtAnyLevel) {
    std::uint32_t seed = 7;
    const auto noise = [&seed] { return (seed = seed * 1664525u + 1013904223u) >> 29; };
    Image tile(32, 32, image::Format::Rgb32), photo(900, 120, image::Format::Rgb32);
    for (Image* p : {&tile, &photo})
        for (int y = 0; y < p->height(); ++y)
            for (int x = 0; x < p->width(); ++x) {
                const int n = static_cast<int>(noise());
                reinterpret_cast<image::Rgb*>(p->scanLine(y))[x] =
                    p == &tile ? image::rgb(n * 30, int(seed >> 21) & 255, x * 8)
                               : image::rgb(x * 255 / 900, (y * 2 + n) % 256, (x * y / 97) % 256);
            }
    QTemporaryDir dir;
    for (const Image* pattern : {&tile, &photo}) {
        Image letters;
        QSize size;
        ASSERT_TRUE(cut::render({QStringLiteral("切り文字 Cut letters 永"),
                                 {"IPA Pゴシック", 60},
                                 std::make_shared<const Image>(*pattern),
                                 0x00402010},
                                letters, size));
        ASSERT_LT(letters.width(), photo.width());
        qsizetype theirs = 0;
        for (int level : {1, 0, 2}) {
            QByteArray png;
            ASSERT_TRUE(codecs::encodePng(letters, level, png));
            expectReadsBack(png, "png", letters);
            if (!theirs) {
                const QString file = dir.filePath("letters.png");
                QFile out(file);
                ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(png) == png.size());
                out.close();
                theirs = testfiles::runTool("convert-im6.q16", {}, {file}, {"png:-"}).size();
                ASSERT_GT(theirs, 0);
            }
            // The tile's repeats kept; the photo's rows filtered (unfiltered
            // they would take over half as much again).
            EXPECT_LT(double(png.size()) / double(theirs), pattern == &tile ? 0.8 : 1.01)
                << (pattern == &tile ? "tile" : "photo") << " at level " << level;
        }
    }
}

TEST(Writers, JpegRateAndProgressive) {
    const Image pic = picture();
    const QByteArray fine = jpeg(pic, 1), mid = jpeg(pic, 50), small = jpeg(pic, 100);
    EXPECT_GT(fine.size(), mid.size());
    EXPECT_GT(mid.size(), small.size());
    EXPECT_LE(maxDifference(testfiles::readByImageMagick(fine, "jpg"), pic), 12);
    // The ends of the scale, read from the files: rate 1 is quality 100, rate 100 quality 1.
    EXPECT_EQ(quantValues(fine), std::vector(128, 1));
    EXPECT_EQ(quantValues(small), std::vector(128, 255));
    EXPECT_TRUE(mid.contains("\xFF\xC0"));
    EXPECT_FALSE(mid.contains("\xFF\xC2"));
    const QByteArray progressive = jpeg(pic, 50, true);
    EXPECT_TRUE(progressive.contains("\xFF\xC2"));
    EXPECT_EQ(testfiles::readByImageMagick(progressive, "jpg").width(), 300);
}

TEST(Writers, FailuresSayWhyAndLeaveTheOldFileIntact) {
    QTemporaryDir dir;
    const Image pic = picture();
    const QString target = dir.filePath("old.png");
    testsupport::writeAll(target, "old content");
    QByteArray data;
    QString why;
    for (int level : {-1, 3}) {
        EXPECT_FALSE(codecs::encodePng(pic, level, data, &why));
        EXPECT_TRUE(why.contains(QString::number(level))) << why.toStdString();
    }
    for (int rate : {0, 101}) {
        EXPECT_FALSE(codecs::encodeJpeg(pic, rate, false, data, &why));
        EXPECT_TRUE(why.contains(QString::number(rate))) << why.toStdString();
    }
    why.clear();
    EXPECT_FALSE(codecs::encodeBmp(Image(), data, &why));
    EXPECT_FALSE(why.isEmpty());
#ifndef Q_OS_WIN
    {
        // A file larger than Qt's write buffer comes up short, as on a full disk.
        testsupport::FileSizeLimit fullDisk(1000);
        EXPECT_FALSE(files::writeFileAtomically(target, jpeg(pic, 1)));
    }
#endif
    QFile::setPermissions(target, QFile::ReadOwner);
    EXPECT_FALSE(files::writeFileAtomically(target, jpeg(pic, 1)));
    EXPECT_FALSE(files::writeFileAtomically(dir.filePath("missing/x.bmp"), jpeg(pic, 1)));
    EXPECT_EQ(testsupport::readAll(target), "old content");
    EXPECT_EQ(testsupport::fileCount(dir.path()), 1);
}

// The picture as colour indexes in the order its colours are met, so that a
// transparent colour need not come first in the table.
Image asIndexed(const Image& image) {
    Image indexed(image.width(), image.height(), image::Format::Indexed8);
    std::vector<image::Rgb> table;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const image::Rgb c = image.pixel(x, y);
            const auto at = std::find(table.begin(), table.end(), c);
            indexed.scanLine(y)[x] = static_cast<uchar>(at - table.begin());
            if (at == table.end())
                table.push_back(c);
        }
    indexed.setColorTable(table);
    return indexed;
}

// Every layout is written as the same picture made Rgb32 (transparency over
// black) is, whether its rows are read where they are or made one at a time.
TEST(Writers, BmpAndJpegOfEachLayoutAreThoseOfItsRgb32) {
    Image argb = picture(37, 6).convertedTo(image::Format::Argb32);
    for (int y = 0; y < argb.height(); ++y)
        argb.scanLine(y)[3 + 4 * y] = static_cast<uchar>(40 * y); // alpha of one pixel a row
    Image grey(37, 6, image::Format::Grey8);
    for (int y = 0; y < grey.height(); ++y)
        for (int x = 0; x < grey.width(); ++x)
            grey.scanLine(y)[x] = static_cast<uchar>(x * 7 + y);
    for (const Image& image : {picture(37, 6), argb, asIndexed(argb), grey}) {
        const Image rgb = image.convertedTo(image::Format::Rgb32);
        QByteArray bmp, want;
        ASSERT_TRUE(codecs::encodeBmp(image, bmp) && codecs::encodeBmp(rgb, want));
        EXPECT_EQ(bmp, want) << int(image.format());
        EXPECT_EQ(jpeg(image, 20, true), jpeg(rgb, 20, true)) << int(image.format());
    }
}

// Up to 256 colours give a palette PNG of the smallest depth; more give
// truecolour. Every pixel, odd widths and transparency included, reads back;
// an indexed picture gives the very file its colours give.
TEST(Writers, PngKeepsEveryPixelAtTheSmallestDepth) {
    const struct {
        int colours, depth, type;
    } kinds[] = {{2, 1, 3}, {3, 2, 3}, {16, 4, 3}, {17, 8, 3}, {256, 8, 3}, {257, 8, 2}};
    for (const auto& k : kinds) {
        for (int width : {1, 3, 13, 40}) {
            // Width 40: eight pixels of colour 0 before each pixel of the next colour.
            const int run = width == 40 ? 9 : 1;
            for (bool alpha : {false, true}) {
                SCOPED_TRACE(QString("%1 colours, width %2, alpha %3")
                                 .arg(k.colours)
                                 .arg(width)
                                 .arg(alpha)
                                 .toStdString());
                Image image(width, k.colours * run / width + 2,
                            alpha ? image::Format::Argb32 : image::Format::Rgb32);
                for (int y = 0; y < image.height(); ++y)
                    for (int x = 0; x < width; ++x) {
                        const int i = y * width + x;
                        const int c = run == 1    ? i % k.colours
                                      : i % 9 < 8 ? 0
                                                  : 1 + i / 9 % (k.colours - 1);
                        const int a = !alpha ? 255 : c == 1 ? 0 : c % 5 == 2 ? 128 : 255;
                        reinterpret_cast<image::Rgb*>(image.scanLine(y))[x] =
                            image::rgba(c & 0xFF, (c >> 8) * 100 + 7, (c * 37) & 0xFF, a);
                    }
                for (int level : {1, 0, 2}) {
                    QByteArray png;
                    ASSERT_TRUE(codecs::encodePng(image, level, png));
                    EXPECT_EQ(png[24], k.depth);
                    EXPECT_EQ(png[25], alpha && k.type == 2 ? 6 : k.type);
                    expectReadsBack(png, "png", image);
                    if (k.colours <= 256) {
                        QByteArray fromIndexes;
                        ASSERT_TRUE(codecs::encodePng(asIndexed(image), level, fromIndexes));
                        EXPECT_EQ(fromIndexes, png);
                    }
                }
            }
        }
    }
}

// Indexes past the table show black, met after every entry of the table has
// been, with black among the table's colours or not: the file is that of the
// picture's colours.
TEST(Writers, PngOfIndexesPastTheTableIsThatOfTheirColours) {
    for (const image::Rgb second : {image::rgb(0, 90, 0), image::rgb(0, 0, 0)}) {
        Image indexed(5, 4, image::Format::Indexed8);
        indexed.setColorTable({image::rgb(200, 0, 0), second});
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 5; ++x)
                indexed.scanLine(y)[x] = static_cast<uchar>(y < 2 ? (x + y) % 2 : x == 3 ? 7 : 1);
        QByteArray png, want;
        ASSERT_TRUE(codecs::encodePng(indexed, 1, png));
        ASSERT_TRUE(codecs::encodePng(indexed.convertedTo(image::Format::Rgb32), 1, want));
        EXPECT_EQ(png, want) << image::green(second);
    }
}
