#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include <QDir>
#include <QTemporaryFile>

#include "engine/codecs/Codecs.h"
#include "engine/cut/Drawing.h"
#include "engine/cut/Tartan.h"
#include "engine/text/TextDrawing.h"
#include "support/TestFiles.h"

using namespace engine;
using image::Image;

namespace {

// A tool run on one file: what it writes; `check` adds what it says on its
// error stream and its status (a missing tool's "not found" and 127).
QByteArray runTool(const QStringList& command, const QByteArray& file, const char* suffix,
                   bool check = false) {
    QTemporaryFile saved(QDir::tempPath() + "/velmora-XXXXXX." + suffix);
    if (!saved.open() || saved.write(file) != file.size() || !saved.flush())
        return "cannot save the file";
    if (!check)
        return testfiles::runTool(command.first(), command.mid(1), {saved.fileName()});
    return testfiles::runTool("sh", QStringList{"-c", "\"$@\" 2>&1; echo \"status $?\"", "sh"} + command,
                              {saved.fileName()});
}

// A picture a renderer made of the file, laid over white where it is transparent.
Image rendered(const QStringList& command, const QByteArray& file, const char* suffix) {
    const QByteArray png = runTool(command, file, suffix);
    Image picture;
    EXPECT_TRUE(codecs::decodePicture(png, picture))
        << command.join(' ').toStdString() << ": " << png.left(200).toStdString();
    picture.layOver(image::rgb(255, 255, 255));
    return picture;
}

// Strong, saturated colours changing from each pixel to the next, far from
// white and from the grey ground: a shifted tile shows at once.
Image testPattern(int w, int h) {
    Image pattern(w, h, image::Format::Rgb32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int v = (x * 37 + y * 59) % 256;
            const int k = (x * 7 + y * 13) % 3;
            reinterpret_cast<image::Rgb*>(pattern.scanLine(y))[x] = k == 0 ? image::rgb(255, v, 0)
                                                                    : k == 1
                                                                        ? image::rgb(0, 255, v)
                                                                        : image::rgb(v, 0, 255);
        }
    return pattern;
}

// How far each pixel is from the ground towards the pattern's colour there:
// the ink, 0 to 1, whichever way the edges were blended.
std::vector<float> inkOf(const Image& picture, const Image& pattern, image::Rgb ground, int zoom) {
    std::vector<float> ink(size_t(picture.width()) * size_t(picture.height()));
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const image::Rgb p = picture.pixel(x, y);
            const image::Rgb t = pattern.isNull() ? image::rgb(0, 0, 0)
                                                  : pattern.pixel(x / zoom % pattern.width(),
                                                                  y / zoom % pattern.height());
            float dot = 0, norm = 0;
            for (int shift : {0, 8, 16}) {
                const int g = int(ground >> shift & 0xFF);
                dot += float((int(p >> shift & 0xFF) - g) * (int(t >> shift & 0xFF) - g));
                norm += float((int(t >> shift & 0xFF) - g) * (int(t >> shift & 0xFF) - g));
            }
            ink[size_t(y) * size_t(picture.width()) + size_t(x)] = std::clamp(dot / norm, 0.f, 1.f);
        }
    return ink;
}

double intersectionOverUnion(const std::vector<float>& a, const std::vector<float>& b) {
    size_t both = 0, either = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        both += a[i] >= 0.5f && b[i] >= 0.5f;
        either += a[i] >= 0.5f || b[i] >= 0.5f;
    }
    return either ? double(both) / double(either) : 0;
}

// Pixels within the edge's blend against the edges between ink and ground: a
// vector's edges blend over about a pixel, however far it is zoomed; a picture
// of the letters blends over none (hard edges) or over the zoom (smoothed).
double blendPerEdge(const std::vector<float>& ink, int w) {
    size_t blended = 0, edges = 0;
    for (size_t i = 0; i < ink.size(); ++i) {
        blended += ink[i] > 0.1f && ink[i] < 0.9f;
        if (i % size_t(w) + 1 < size_t(w))
            edges += (ink[i] >= 0.5f) != (ink[i + 1] >= 0.5f);
        if (i + size_t(w) < ink.size())
            edges += (ink[i] >= 0.5f) != (ink[i + size_t(w)] >= 0.5f);
    }
    return double(blended) / double(std::max<size_t>(edges, 1));
}

} // namespace

// Each drawing as SVG and PDF, read by independent renderers (rsvg-convert,
// pdftoppm, mutool) at the image's size: the ink where the smooth raster's
// is, the pattern's own colours well inside the letters, and at four times
// the size edges that blend over a pixel, not a staircase. The files are
// valid for xmllint and qpdf, and the same drawing gives the same bytes.
TEST(VectorImages, RenderersDrawWhatTheRasterDraws) {
    const auto tile = std::make_shared<const Image>(testPattern(23, 17));
    const auto tartan = std::make_shared<const Image>(cut::tartan());
    const struct {
        const char* text;
        const char* face;
        double size;
        bool bold, italic, transparent;
        std::shared_ptr<const Image> pattern;
        image::COLORREF ground;
        // The ink's intersection over union with the raster's: 0.97 from 36 pt
        // up and 0.85 at 12 pt, less where the face's hints still move its
        // edges by up to half a pixel (the raster is hinted, the outlines not).
        double iou;
    } rows[] = {
        {"Cut letters Wg", "DejaVu Serif", 36, false, false, false, tile, 0x808080, 0.85},
        {"Small type, 12 pt", "DejaVu Sans", 12, false, false, false, tile, 0x808080, 0.85},
        {"切り文字のサンプル", "IPA Pゴシック", 48, false, false, false, tartan, 0xFF0000, 0.96},
        {"مرحبا بالعالم", "DejaVu Sans", 40, false, false, false, tile, 0x808080, 0.97},
        {"Emoji 😀🎉 ok", "DejaVu Sans", 48, false, false, true, tile, 0, 0.97},
        {"Bold Italic", "DejaVu Serif", 40, true, true, false, nullptr, 0x808080, 0.94},
        {"切り文字😀 Bold", "IPA Pゴシック", 36, true, true, false, tile, 0x808080, 0.97},
        {"縦書き１２ab", "@IPAゴシック", 40, false, false, false, nullptr, 0x808080, 0.91},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        const cut::Request request{
            QString::fromUtf8(row.text),
            text::fontRequest(QString::fromUtf8(row.face), row.size, row.bold, row.italic),
            row.pattern,
            row.ground,
            true,
            row.transparent};
        Image raster;
        QSize size;
        ASSERT_TRUE(cut::render(request, raster, size));
        raster.layOver(image::rgb(255, 255, 255));
        cut::Drawing drawing, again;
        ASSERT_TRUE(cut::draw(request, drawing) && cut::draw(request, again));
        ASSERT_EQ(drawing.size, size);
        const Image pattern = row.pattern ? cut::holderPattern(*row.pattern) : Image();
        const image::Rgb ground =
            row.transparent ? image::rgb(255, 255, 255) : image::rgbOf(row.ground);
        const std::vector<float> want = inkOf(raster, pattern, ground, 1);
        const Image cover = text::coverage(request.text, request.font, true);
        QByteArray svg, pdf, svgAgain, pdfAgain;
        ASSERT_TRUE(codecs::encodeVector(drawing, codecs::VectorFormat::Svg, 0, svg));
        ASSERT_TRUE(codecs::encodeVector(drawing, codecs::VectorFormat::Pdf, 0, pdf));
        ASSERT_TRUE(codecs::encodeVector(again, codecs::VectorFormat::Svg, 0, svgAgain));
        ASSERT_TRUE(codecs::encodeVector(again, codecs::VectorFormat::Pdf, 0, pdfAgain));
        EXPECT_EQ(svg, svgAgain);
        EXPECT_EQ(pdf, pdfAgain);
        EXPECT_EQ(runTool({"xmllint", "--noout", "--xpath", "namespace-uri(/*)"}, svg, "svg", true),
                  "http://www.w3.org/2000/svg\nstatus 0\n");
        const QByteArray qpdf = runTool({"qpdf", "--check"}, pdf, "pdf", true);
        EXPECT_TRUE(qpdf.contains("No syntax or stream encoding errors") &&
                    qpdf.endsWith("status 0\n"))
            << qpdf.toStdString();
        const struct {
            QStringList command, zoomed;
            const QByteArray& file;
            const char* suffix;
        } readers[] = {
            {{"rsvg-convert"}, {"rsvg-convert", "-z", "4"}, svg, "svg"},
            {{"pdftoppm", "-r", "96", "-png", "-singlefile"},
             {"pdftoppm", "-r", "384", "-png", "-singlefile"},
             pdf,
             "pdf"},
            {{"mutool", "draw", "-q", "-r", "96", "-F", "png", "-o", "-"}, {}, pdf, "pdf"},
        };
        for (const auto& reader : readers) {
            SCOPED_TRACE(reader.command.first().toStdString());
            const Image seen = rendered(reader.command, reader.file, reader.suffix);
            ASSERT_EQ(QSize(seen.width(), seen.height()), size);
            EXPECT_GE(intersectionOverUnion(inkOf(seen, pattern, ground, 1), want), row.iou);
            // Well inside the letters (three by three pixels of full ink), the
            // pattern's colour at that place.
            int inside = 0, wrong = 0;
            for (int y = 1; y + 1 < size.height(); ++y)
                for (int x = 1; x + 1 < size.width(); ++x) {
                    bool deep = true;
                    for (int k = 0; k < 9 && deep; ++k)
                        deep = cover.constScanLine(y + k / 3 - 1)[x + k % 3 - 1] == 255;
                    if (!deep)
                        continue;
                    ++inside;
                    const image::Rgb a = seen.pixel(x, y), b = raster.pixel(x, y);
                    wrong += std::max({std::abs(image::red(a) - image::red(b)),
                                       std::abs(image::green(a) - image::green(b)),
                                       std::abs(image::blue(a) - image::blue(b))}) > 8;
                }
            EXPECT_EQ(wrong, 0) << "of " << inside;
            // Black letters: a zoomed pattern's own pixels blend too.
            if (reader.zoomed.isEmpty() || row.pattern)
                continue;
            const Image zoomed = rendered(reader.zoomed, reader.file, reader.suffix);
            const double blend = blendPerEdge(inkOf(zoomed, pattern, ground, 4), zoomed.width());
            EXPECT_TRUE(blend > 0.3 && blend < 1.6) << blend;
        }
    }
}

// Bad input gets what the raster gets: a size refused alike, and an empty
// text no image to write.
TEST(VectorImages, RefuseWhatTheRasterRefuses) {
    cut::Request request{"Wg", {"DejaVu Sans", 30000}, nullptr};
    Image raster;
    QSize size;
    cut::Drawing drawing;
    EXPECT_FALSE(cut::render(request, raster, size));
    EXPECT_FALSE(cut::draw(request, drawing));
    EXPECT_EQ(drawing.size, size);
    request.text.clear();
    request.font.pointSize = 30;
    ASSERT_TRUE(cut::draw(request, drawing));
    QByteArray out;
    QString why;
    EXPECT_FALSE(codecs::encodeVector(drawing, codecs::VectorFormat::Pdf, 0, out, &why));
    EXPECT_EQ(why, "there is no image to write");
}
