#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRect>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "engine/text/Faces.h"
#include "engine/text/Shaping.h"
#include "engine/text/TextDrawing.h"
#include "support/TestFiles.h"
#include "support/TestSupport.h"

using namespace engine;

namespace {

// The test's own FreeType, apart from the engine's faces.
FT_Face openFont(const QString& file) {
    static FT_Library library = nullptr;
    if (!library)
        FT_Init_FreeType(&library);
    FT_Face ft = nullptr;
    return FT_New_Face(library, QFile::encodeName(file).constData(), 0, &ft) == 0 ? ft : nullptr;
}

// The suite's font file a face was opened from, known by its family and style.
QString fileOf(const text::Face* face) {
    static std::map<std::string, QString> files;
    const QDir folder(QFileInfo(VELMORA_TEST_FONTCONFIG).path() + "/files");
    for (const QFileInfo& file :
         files.empty() ? folder.entryInfoList(QDir::Files) : QFileInfoList())
        if (FT_Face ft = openFont(file.filePath())) {
            files[std::string(ft->family_name) + '/' + ft->style_name] = file.filePath();
            FT_Done_Face(ft);
        }
    return files[std::string(face->ft->family_name) + '/' + face->ft->style_name];
}

// hb-shape's glyphs for the text alone, in 26.6 pixels at the size in points at
// 96 dots per inch, hinted for one-bit glyphs as the engine loads them.
QJsonArray hbShape(const QString& file, double pointSize, const QString& text) {
    QStringList codes;
    for (char32_t c : text.toUcs4())
        codes << QString("U+%1").arg(uint(c), 4, 16, QChar('0'));
    const QStringList options{"--font-funcs=ft",
                              "--ft-load-flags=" + QString::number(FT_LOAD_TARGET_MONO),
                              "--font-size=" + QString::number(qRound(pointSize * 96 / 72 * 64)),
                              "--no-glyph-names",
                              "--output-format=json",
                              "--unicodes=" + codes.join(',')};
    return QJsonDocument::fromJson(testfiles::runTool("hb-shape", options, {file})).array();
}

// The box of a glyph's inked pixels as FreeType draws it alone in one bit,
// from the pen; a null box where it draws nothing.
QRect inkOf(const QString& file, double pointSize, unsigned glyph) {
    QRect ink;
    FT_Face ft = openFont(file);
    if (!ft)
        return ink;
    FT_Set_Char_Size(ft, 0, FT_F26Dot6(qRound(pointSize * 64)), 96, 96);
    if (FT_Load_Glyph(ft, glyph, FT_LOAD_TARGET_MONO) == 0 &&
        FT_Render_Glyph(ft->glyph, FT_RENDER_MODE_MONO) == 0) {
        const FT_Bitmap& b = ft->glyph->bitmap;
        for (int y = 0; y < int(b.rows); ++y)
            for (int x = 0; x < int(b.width); ++x)
                if (b.buffer[y * b.pitch + x / 8] & (0x80 >> (x % 8)))
                    ink |= QRect(ft->glyph->bitmap_left + x, y - ft->glyph->bitmap_top, 1, 1);
    }
    FT_Done_Face(ft);
    return ink;
}

} // namespace

// A line's pieces, as they show from left to right, are the glyphs hb-shape
// gives for each piece alone in the face the engine drew it with. That face is
// the line's own wherever it has every character of the piece, else one that
// has. The line's image is its advance box grown by exactly its ink, on each
// side: each glyph as FreeType draws it alone, where hb-shape puts it.
TEST(TextShaping, EachPieceAsHbShapeShapesItAndTheImageHoldsItsInk) {
    const struct {
        const char* family;
        const char16_t* text;
        std::vector<const char16_t*> pieces; // none: the line is one
    } rows[] = {
        {"DejaVu Sans", u"AVATAR Wolf", {}},
        {"IPA Pゴシック", u"日本語のテキスト", {u"日本語", u"の", u"テキスト"}},
        {"DejaVu Sans", u"مرحبا بالعالم", {}},
        {"DejaVu Sans", u"שָׁלוֹם", {}},
        {"DejaVu Sans", u"q\u0307\u0323 e\u0301", {}},
        // One right-to-left run of two scripts: each shaped as its own, the first at the right.
        {"DejaVu Sans", u"שלום مرحبا", {u"مرحبا", u"שלום "}},
        {"IPA Pゴシック", u"Velmora 字", {u"Velmora ", u"字"}},
        // Clusters the line's face lacks, each drawn whole by another face.
        {"DejaVu Sans", u"Aあ字b", {u"A", u"あ", u"字", u"b"}},
        {"IPAゴシック", u"xq\u0323y", {u"x", u"q\u0323", u"y"}},
        {"IPA Pゴシック", u"日本 שלום", {u"日本 ", u"שלום"}},
        // Ink beyond the advance box, left, right, above and below.
        {"DejaVu Serif", u"jf", {}},
        {"DejaVu Serif", u"A\u0338", {}},
        {"DejaVu Sans", u"x\u0308\u0308\u0308\u0308\u0301", {}},
        {"IPA Pゴシック", u"gjpqy \u00C5\u00C9\u00CE", {}},
    };
    // A glyph as its font file's name, its number and its place in 26.6 pixels.
    using Glyph = std::tuple<std::string, int, long, long>;
    const auto described = [](const text::Face* face, int glyph, long x, long y) {
        return Glyph{QFileInfo(fileOf(face)).fileName().toStdString(), glyph, x, y};
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(QString::fromUtf16(row.text).toStdString());
        const text::FontSpec font{QString::fromUtf8(row.family), 30};
        const text::Line line = text::layout(QString::fromUtf16(row.text), font, 0);
        const text::Face* own = text::match(font).face;
        std::vector<Glyph> drawn, expected;
        for (const text::Placed& g : line.glyphs)
            drawn.push_back(described(g.face, int(g.glyph), g.x, g.y));
        FT_Pos pen = 0;
        QRect ink;
        for (const char16_t* p : row.pieces.empty() ? std::vector{row.text} : row.pieces) {
            const QString piece = QString::fromUtf16(p);
            ASSERT_LT(expected.size(), line.glyphs.size()) << "nothing drawn from here on";
            const text::Face* face = line.glyphs[expected.size()].face;
            bool ownHasAll = true;
            for (char32_t c : piece.toUcs4()) {
                EXPECT_NE(FT_Get_Char_Index(face->ft, c), 0u) << piece.toStdString();
                ownHasAll = ownHasAll && FT_Get_Char_Index(own->ft, c) != 0;
            }
            EXPECT_EQ(face == own, ownHasAll) << piece.toStdString();
            for (const QJsonValue& v : hbShape(fileOf(face), font.pointSize, piece)) {
                const QJsonObject g = v.toObject();
                expected.push_back(
                    described(face, g["g"].toInt(), pen + g["dx"].toInt(), g["dy"].toInt()));
                ink |= inkOf(fileOf(face), font.pointSize, g["g"].toInt())
                           .translated(int(pen + g["dx"].toInt() + 32) >> 6,
                                       line.ascent - ((g["dy"].toInt() + 32) >> 6));
                pen += g["ax"].toInt();
            }
        }
        EXPECT_EQ(drawn, expected);
        EXPECT_EQ(line.advance, pen);

        // The image's size, then its ink's box in it.
        const QRect image = ink | QRect(0, 0, int(pen + 32) >> 6, line.ascent + line.descent);
        const image::Image cover = text::coverage(QString::fromUtf16(row.text), font, false);
        QRect inked;
        for (int y = 0; y < cover.height(); ++y)
            for (int x = 0; x < cover.width(); ++x)
                if (cover.constScanLine(y)[x])
                    inked |= QRect(x, y, 1, 1);
        ink.translate(-image.topLeft());
        EXPECT_EQ((std::array{cover.width(), cover.height(), inked.x(), inked.y(), inked.width(),
                              inked.height()}),
                  (std::array{image.width(), image.height(), ink.x(), ink.y(), ink.width(),
                              ink.height()}));
    }
}

// The glyphs stand in the order FriBidi shows the characters, brackets
// mirrored, at every depth of embeddings and isolates; format codes draw
// nothing. Letters are compared in their plain forms: the table above checks
// how they join.
TEST(TextBidi, VisualOrderAsFriBidiReordersIt) {
    const struct {
        const char16_t* text;
        int deepest; // FriBidi's deepest level, which the row is there to reach
    } rows[] = {
        {u"שלום مرحبا ورد עולם", 1},
        {u"שלום 123 עולם 4.5% מ-2024 (ראה [7])", 2},
        {u"مرحبا 2024 عالم", 2},
        {u"abc שלום def", 1},
        {u"אבג \u202Adef \u202Bדה \u202A12 xy\u202C gh\u202C וז\u202C ij", 4},
        {u"abc \u2067אב \u2066de \u2067גד \u2066fg\u2069 הו\u2069 hi\u2069 זח\u2069 xyz", 4},
        {u"abc \u202Bאב \u202Ade \u202Bגד \u202Ahi\u202C\u202C\u202C\u202C", 4}};
    const auto plain = [](QString s) {
        s.remove(QRegularExpression(QStringLiteral("[\u202A-\u202E\u2066-\u2069]")));
        return s.normalized(QString::NormalizationForm_KC).toStdString();
    };
    QTemporaryDir dir;
    for (const auto& row : rows) {
        const QString text = QString::fromUtf16(row.text);
        SCOPED_TRACE(text.toStdString());
        testsupport::writeAll(dir.filePath("line"), text.toUtf8() + '\n');
        const QList<QByteArray> out =
            testfiles::runTool("fribidi", {"--nopad", "--nobreak", "--levels"},
                               {dir.filePath("line")})
                .split('\n');
        ASSERT_GE(out.size(), 2);
        int deepest = 0;
        for (const QByteArray& level : out[1].split(' '))
            deepest = std::max(deepest, level.toInt());
        EXPECT_EQ(deepest, row.deepest);

        // Each glyph that advances as the character its face maps to it.
        const text::Line line = text::layout(text, {"DejaVu Sans", 30}, 0);
        QString drawn;
        for (size_t i = 0; i < line.glyphs.size(); ++i) {
            const text::Placed& g = line.glyphs[i];
            FT_UInt glyph = 0;
            char32_t c = char32_t(FT_Get_First_Char(g.face->ft, &glyph));
            while (glyph && glyph != g.glyph)
                c = char32_t(FT_Get_Next_Char(g.face->ft, c, &glyph));
            if ((i + 1 < line.glyphs.size() ? line.glyphs[i + 1].x : line.advance) > g.x)
                drawn += QString::fromUcs4(&c, 1);
        }
        EXPECT_EQ(plain(drawn), plain(QString::fromUtf8(out[0])));
    }
}
