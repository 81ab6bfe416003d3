#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <tuple>
#include <vector>

#include <QTemporaryDir>

#include "engine/codecs/Codecs.h"
#include "engine/image/Image.h"
#include "support/TestFiles.h"

using namespace engine;
using image::Format;
using image::Image;
using image::Rgb;

namespace {

// ImageMagick's composition of a picture file, read in 16 bits a sample and
// rounded to 8: its own 8-bit output drops the fraction the engine rounds.
std::vector<Rgb> composedByImageMagick(const QString& file, const QStringList& options) {
    const QByteArray out =
        testfiles::runTool("convert-im6.q16", {}, {file},
                           options + QStringList{"-depth", "16", "-alpha", "on", "PAM:-"});
    const auto sample = [&out](qsizetype at) {
        return qRound((uchar(out[at]) << 8 | uchar(out[at + 1])) / 257.0);
    };
    std::vector<Rgb> pixels;
    for (qsizetype at = out.indexOf("ENDHDR\n") + 7; at > 6 && at + 8 <= out.size(); at += 8)
        pixels.push_back(image::rgba(sample(at), sample(at + 2), sample(at + 4), sample(at + 6)));
    return pixels;
}

} // namespace

// Each layout made 32-bit, and laid over a ground, as ImageMagick composes the
// colours it stands for: every alpha, over a ground whose channels all differ,
// so that a channel taken for another or a rounding gone astray shows.
TEST(ImageConversion, AsImageMagickComposesTheColoursEachLayoutHolds) {
    const std::vector<Rgb> table{image::rgba(255, 0, 0, 255), image::rgba(0, 0, 255, 128),
                                 image::rgba(10, 200, 30, 0), image::rgba(90, 91, 92, 1)};
    // Six colours whose channels all differ, each under every alpha.
    const auto argb = [](int x, int y) {
        return image::rgba(255 - 50 * y, 37 * y + 10, (90 * y + 3) % 256, x);
    };
    const struct {
        const char* name;
        Format format;
        std::function<Rgb(int, int)> stored; // a byte or a word
        std::function<Rgb(int, int)> meant;
    } sources[] = {
        {"Argb32", Format::Argb32, argb, argb},
        {"Rgb32", Format::Rgb32, [](int x, int y) { return image::rgba(x, 255 - x, 40 * y, 0x5A); },
         [](int x, int y) { return image::rgb(x, 255 - x, 40 * y); }},
        {"Grey8", Format::Grey8, [](int x, int) { return Rgb(x); },
         [](int x, int) { return image::rgb(x, x, x); }},
        // Bytes past the table stand for opaque black.
        {"Indexed8", Format::Indexed8, [](int x, int) { return Rgb(x % 6); },
         [&table](int x, int) { return x % 6 < 4 ? table[x % 6] : image::rgb(0, 0, 0); }},
    };
    const struct {
        const char* name;
        std::function<Image(Image)> ours;
        QStringList theirs;
        Format format;
    } operations[] = {
        {"as Argb32", [](Image p) { return p.convertedTo(Format::Argb32); }, {}, Format::Argb32},
        {"as Rgb32",
         [](Image p) { return p.convertedTo(Format::Rgb32); },
         {"-background", "black", "-alpha", "remove"},
         Format::Rgb32},
        {"over #2040C0",
         [](Image p) { return p.layOver(image::rgb(0x20, 0x40, 0xC0)), p; },
         {"-background", "#2040C0", "-alpha", "remove"},
         Format::Rgb32},
    };
    QTemporaryDir dir;
    const QString meant = dir.filePath("meant.png");
    for (const auto& source : sources) {
        Image picture(256, 6, source.format);
        picture.setColorTable(table); // only Indexed8 reads it
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 256; ++x)
                if (picture.depth() == 8)
                    picture.scanLine(y)[x] = std::uint8_t(source.stored(x, y));
                else
                    reinterpret_cast<Rgb*>(picture.scanLine(y))[x] = source.stored(x, y);
        testfiles::writePng(meant, 256, 6, 6 /* RGBA */, 8, false, source.meant);
        for (const auto& operation : operations) {
            SCOPED_TRACE(std::string(source.name) + " " + operation.name);
            const Image ours = operation.ours(picture);
            EXPECT_EQ(ours.format(), operation.format);
            const std::vector<Rgb> theirs = composedByImageMagick(meant, operation.theirs);
            ASSERT_EQ(theirs.size(), 256u * 6);
            for (int y = 0; y < 6; ++y)
                for (int x = 0; x < 256; ++x)
                    ASSERT_EQ(QString::number(ours.pixel(x, y), 16).toStdString(),
                              QString::number(theirs[size_t(y * 256 + x)], 16).toStdString())
                        << x << "," << y;
        }
    }
}

// Each limit on a picture in each reader, at it and one past it, and sides of
// nought: a picture within the limits is taken, or refused for another reason
// (most of these files are headers alone), never for its size or its work.
TEST(ImageLimits, EachReaderTakesThePictureAtALimitAndRefusesOnePast) {
    const auto le = [](quint32 v, int bytes) {
        QByteArray b;
        for (int i = 0; i < bytes; ++i)
            b += char(v >> 8 * i);
        return b;
    };
    const QByteArray jpeg = testfiles::runTool(
        "convert-im6.q16", {"-size", "8x8", "xc:gray", "-interlace", "JPEG"}, {}, {"JPEG:-"});
    const qsizetype frame = jpeg.indexOf("\xFF\xC2"), lastScan = jpeg.lastIndexOf("\xFF\xDA");
    ASSERT_TRUE(frame > 0 && lastScan > frame && jpeg.endsWith("\xFF\xD9"));
    // Headers alone, but for the JPEG, whose frame header is given another size.
    const std::pair<const char*, std::function<QByteArray(quint32, quint32)>> readers[] = {
        {"PNG",
         [](quint32 w, quint32 h) { return testfiles::pngHeaderOnly(w, h) + QByteArray(20, 0); }},
        {"BMP",
         [&](quint32 w, quint32 h) {
             return "BM" + le(54, 4) + le(0, 4) + le(54, 4) + le(40, 4) + le(w, 4) + le(h, 4) +
                    le(1, 2) + le(24, 2) + QByteArray(24, 0);
         }},
        {"GIF", [&](quint32 w,
                    quint32 h) { return "GIF89a" + le(w, 2) + le(h, 2) + QByteArray(3, 0) + ";"; }},
        {"JPEG",
         [&](quint32 w, quint32 h) {
             QByteArray size = le(h << 16 | w, 4);
             std::reverse(size.begin(), size.end()); // big-endian
             return QByteArray(jpeg).replace(frame + 5, 4, size);
         }},
    };
    struct Row {
        QString name;
        QByteArray file;
        const char* reason; // none: taken, or refused for another reason
    };
    const std::tuple<int, int, const char*> sizes[] = {{32767, 1, nullptr},
                                                       {32768, 1, "over 32,767 a side"},
                                                       {1, 32768, "over 32,767 a side"},
                                                       {8192, 8192, nullptr},
                                                       {8192, 8193, "over 256 MiB"},
                                                       {32767, 2048, nullptr},
                                                       {32767, 2049, "over 256 MiB"},
                                                       {0, 5, "no pixels"},
                                                       {5, 0, "no pixels"}};
    std::vector<Row> rows;
    // A JPEG's height of 0 is one given after its data (DNL), which is not supported.
    for (const auto& [format, header] : readers)
        for (const auto& [w, h, reason] : sizes)
            rows.push_back({QString("%1 of %2 x %3").arg(format).arg(w).arg(h), header(w, h),
                            QString(format) == "JPEG" && h == 0 && w > 0 ? "(DNL) is not supported"
                                                                         : reason});
    const auto icon = [&](quint32 count) { return le(0, 2) + le(1, 2) + le(count, 2); };
    rows.push_back({"icon of 256", icon(256), nullptr});
    rows.push_back({"icon of 257", icon(257), "the icon holds 257 pictures, more than 256"});
    // Scans past its last one repeat that one.
    const QByteArray last = jpeg.mid(lastScan, jpeg.size() - 2 - lastScan);
    const auto scans = [&](int n) {
        return jpeg.chopped(2) + last.repeated(n - int(jpeg.count("\xFF\xDA"))) + "\xFF\xD9";
    };
    rows.push_back({"JPEG of 100 scans", scans(100), nullptr});
    rows.push_back({"JPEG of 101 scans", scans(101), "the JPEG has more than 100 scans"});
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name.toStdString());
        Image picture;
        QString why;
        const bool taken =
            codecs::decodePicture(row.file, picture, &why, [](QSize) { return QSize(1, 1); });
        if (row.reason)
            EXPECT_TRUE(!taken && why.contains(row.reason)) << why.toStdString();
        else
            EXPECT_TRUE(taken || !(why.contains("pixels") || why.contains("more than")))
                << why.toStdString();
    }
}
