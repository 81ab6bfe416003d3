#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "platform/Gdi.h"
#include "platform/ImageLib.h"
#include "support/TestSupport.h"

namespace {

// A surface with sharp edges and gradients, as cut letters give.
struct Picture {
    QImage image{300, 120, QImage::Format_RGB32};
    gdi::HDC dc;
    Picture() {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(
                    x, y, ((x / 9 + y / 7) % 3) ? qRgb(x % 256, y * 2, 90) : qRgb(10, 20, 200));
        dc = gdi::RegisterSurface(&image);
    }
    ~Picture() { gdi::UnregisterSurface(dc); }
};

int maxDifference(const QImage& a, const QImage& b) {
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    return worst;
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

TEST(ImageLib, BmpAndPngDecodeBackExactly) {
    QTemporaryDir dir;
    Picture pic;
    // BMP rows of 1 to 3 pixels end in 1 to 3 bytes of padding; 300 pixels need none.
    for (int width : {1, 2, 3, 300}) {
        const QImage part = pic.image.copy(0, 0, width, 119);
        ASSERT_EQ(imagelib::SavePicture(part, dir.filePath("a.bmp")), 0);
        const QByteArray bmp = testsupport::readAll(dir.filePath("a.bmp"));
        EXPECT_EQ(bmp[28], 24); // bits per pixel
        EXPECT_EQ(bmp.size(), 54 + (width * 3 + 3) / 4 * 4 * 119) << width;
        EXPECT_EQ(QImage(dir.filePath("a.bmp"), "BMP").convertToFormat(QImage::Format_RGB32), part)
            << width;
        for (std::uint8_t level : {0, 1, 2}) {
            ASSERT_EQ(imagelib::DCSavetoPNG(pic.dc, width, 119, dir.filePath("a.png"), level), 0);
            EXPECT_EQ(QImage(dir.filePath("a.png"), "PNG").convertToFormat(QImage::Format_RGB32),
                      part);
        }
    }
}

TEST(ImageLib, PngLevelsRunFromFastToSmall) {
    QTemporaryDir dir;
    Picture pic;
    qint64 sizes[3];
    const std::uint8_t levelForPosition[3] = {1, 0, 2};
    for (int i = 0; i < 3; ++i) {
        const QString name = dir.filePath(QString("p%1.png").arg(i));
        ASSERT_EQ(imagelib::DCSavetoPNG(pic.dc, 300, 120, name, levelForPosition[i]), 0);
        sizes[i] = QFile(name).size();
    }
    EXPECT_GE(sizes[0], sizes[1]);
    EXPECT_GE(sizes[1], sizes[2]);
}

TEST(ImageLib, JpegRateAndProgressive) {
    QTemporaryDir dir;
    Picture pic;
    ASSERT_EQ(imagelib::DCSavetoJPEG(pic.dc, 300, 120, dir.filePath("fine.jpg"), 1, 0), 0);
    ASSERT_EQ(imagelib::DCSavetoJPEG(pic.dc, 300, 120, dir.filePath("mid.jpg"), 50, 0), 0);
    ASSERT_EQ(imagelib::DCSavetoJPEG(pic.dc, 300, 120, dir.filePath("small.jpg"), 100, 0), 0);
    EXPECT_GT(QFile(dir.filePath("fine.jpg")).size(), QFile(dir.filePath("mid.jpg")).size());
    EXPECT_GT(QFile(dir.filePath("mid.jpg")).size(), QFile(dir.filePath("small.jpg")).size());
    EXPECT_LE(maxDifference(QImage(dir.filePath("fine.jpg")), pic.image), 12);
    // The ends of the scale, read from the files: rate 1 is quality 100, rate 100 quality 1.
    EXPECT_EQ(quantValues(testsupport::readAll(dir.filePath("fine.jpg"))), std::vector(128, 1));
    EXPECT_EQ(quantValues(testsupport::readAll(dir.filePath("small.jpg"))), std::vector(128, 255));

    const QByteArray baseline = testsupport::readAll(dir.filePath("mid.jpg"));
    EXPECT_TRUE(baseline.contains("\xFF\xC0"));
    EXPECT_FALSE(baseline.contains("\xFF\xC2"));
    ASSERT_EQ(imagelib::DCSavetoJPEG(pic.dc, 300, 120, dir.filePath("prog.jpg"), 50, -1), 0);
    EXPECT_TRUE(testsupport::readAll(dir.filePath("prog.jpg")).contains("\xFF\xC2"));
    EXPECT_EQ(QImage(dir.filePath("prog.jpg")).size(), QSize(300, 120));
}

TEST(ImageLib, FailuresAreReportedAndLeaveOldFileIntact) {
    QTemporaryDir dir;
    Picture pic;
    const QString target = dir.filePath("old.png");
    testsupport::writeAll(target, "old content");
    {
        // A file larger than Qt's write buffer comes up short, as on a full disk.
        testsupport::FileSizeLimit fullDisk(1000);
        EXPECT_NE(imagelib::DCSavetoJPEG(pic.dc, 300, 120, target, 1, 0), 0);
    }
    EXPECT_NE(imagelib::DCSavetoPNG(pic.dc, 300, 120, target, 7), 0);
    EXPECT_FALSE(imagelib::LastError().isEmpty());
    EXPECT_NE(imagelib::DCSavetoJPEG(pic.dc, 300, 120, target, 0, 0), 0);
    EXPECT_NE(imagelib::DCSavetoJPEG(pic.dc, 301, 120, target, 50, 0), 0);
    EXPECT_NE(imagelib::DCSavetoPNG(0, 300, 120, target, 0), 0);
    QFile::setPermissions(target, QFile::ReadOwner);
    EXPECT_NE(imagelib::DCSavetoPNG(pic.dc, 300, 120, target, 0), 0);
    EXPECT_NE(imagelib::SavePicture(pic.image, dir.filePath("missing/x.bmp")), 0);
    EXPECT_NE(imagelib::SavePicture(QImage(), dir.filePath("empty.bmp")), 0);
    EXPECT_EQ(testsupport::readAll(target), "old content");
    EXPECT_EQ(testsupport::fileCount(dir.path()), 1);
}

// The picture as colour indexes in the order its colours are met, so that a
// transparent colour need not come first in the table.
QImage asIndexed(const QImage& image) {
    QImage indexed(image.size(), QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            if (!table.contains(c))
                table.append(c);
            indexed.scanLine(y)[x] = static_cast<uchar>(table.indexOf(c));
        }
    indexed.setColorTable(table);
    return indexed;
}

// Up to 256 colours give a palette PNG of the smallest depth; more give
// truecolour. Every pixel, odd widths and transparency included, reads back.
TEST(ImageLib, PngKeepsEveryPixelAtTheSmallestDepth) {
    const struct {
        int colours, depth, type;
    } kinds[] = {{2, 1, 3}, {3, 2, 3}, {16, 4, 3}, {17, 8, 3}, {256, 8, 3}, {257, 8, 2}};
    for (const auto& k : kinds) {
        for (int width : {1, 3, 13}) {
            for (bool alpha : {false, true}) {
                SCOPED_TRACE(QString("%1 colours, width %2, alpha %3")
                                 .arg(k.colours)
                                 .arg(width)
                                 .arg(alpha)
                                 .toStdString());
                QImage image(width, k.colours / width + 2,
                             alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
                for (int y = 0; y < image.height(); ++y)
                    for (int x = 0; x < width; ++x) {
                        const int c = (y * width + x) % k.colours;
                        const int a = !alpha ? 255 : c == 1 ? 0 : c % 5 == 2 ? 128 : 255;
                        image.setPixel(x, y,
                                       qRgba(c & 0xFF, (c >> 8) * 100 + 7, (c * 37) & 0xFF, a));
                    }
                // Indexed pictures go by their colour table, the others by their pixels.
                const QImage indexed = k.colours <= 256 ? asIndexed(image) : image;
                for (int level : {1, 0, 2}) {
                    QByteArray png;
                    ASSERT_TRUE(imagelib::EncodePng(level == 0 ? indexed : image, level, png));
                    EXPECT_EQ(png[24], k.depth);
                    EXPECT_EQ(png[25], alpha && k.type == 2 ? 6 : k.type);
                    const QImage back =
                        QImage::fromData(png, "PNG").convertToFormat(QImage::Format_ARGB32);
                    ASSERT_EQ(back.size(), image.size());
                    for (int y = 0; y < image.height(); ++y)
                        for (int x = 0; x < width; ++x) {
                            const QRgb want = image.pixel(x, y), got = back.pixel(x, y);
                            ASSERT_EQ(qAlpha(got), qAlpha(want)) << x << "," << y;
                            if (qAlpha(want)) {
                                ASSERT_EQ(got, want) << x << "," << y;
                            }
                        }
                }
            }
        }
    }
}
