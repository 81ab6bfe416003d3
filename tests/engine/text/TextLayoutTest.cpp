#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRect>
#include <QTemporaryDir>
#include <QTextBoundaryFinder>

#include "engine/text/Emoji.h"
#include "engine/text/Shaping.h"
#include "engine/text/TextDrawing.h"

using namespace engine;

namespace {

// The letters' coverage, and the box their ink fills.
struct Drawn {
    image::Image cover;
    QRect ink;
    int inked = 0;
};

Drawn draw(const QString& text, const QString& face, double size = 72, bool italic = false) {
    Drawn d{text::coverage(text, {face, size, false, italic}, false), QRect(), 0};
    for (int y = 0; y < d.cover.height(); ++y)
        for (int x = 0; x < d.cover.width(); ++x)
            if (d.cover.constScanLine(y)[x]) {
                d.ink |= QRect(x, y, 1, 1);
                ++d.inked;
            }
    return d;
}

// Pixels that differ between the ink of `a` at (ax, 0) and `b` at (bx, 0).
int differing(const Drawn& a, int ax, const Drawn& b, int bx, int width) {
    int n = 0;
    for (int y = 0; y < std::min(a.cover.height(), b.cover.height()); ++y)
        for (int x = 0; x < width; ++x)
            n += (a.cover.constScanLine(y)[ax + x] != 0) != (b.cover.constScanLine(y)[bx + x] != 0);
    return n;
}

// The drawing moved up to the top of its ink.
Drawn shifted(const Drawn& d) {
    Drawn s{image::Image(d.ink.width(), d.ink.height(), image::Format::Grey8), d.ink, d.inked};
    for (int y = 0; y < d.ink.height(); ++y)
        for (int x = 0; x < d.ink.width(); ++x)
            s.cover.scanLine(y)[x] = d.cover.constScanLine(d.ink.y() + y)[d.ink.x() + x];
    return s;
}

int widthOf(const QString& text, const QString& face) {
    return text::measureText(text, {face, 48}).width();
}

} // namespace

// Nothing is cut: the ink of a word alone is the ink it has with room around
// it, wherever it reaches beyond its advance box; a word whose ink fits keeps
// the advance width by the line height.
TEST(TextLayout, EveryInkedPixelIsInTheImage) {
    const struct {
        const char* text;
        const char* face;
        bool italic;
    } words[] = {
        {"ÅÉÎ", "IPA Pゴシック", false}, {"jf", "DejaVu Serif", false},
        {"Wolf", "IPA Pゴシック", true}, {"Wolf", "DejaVu Sans", true},
        {"Åj", "DejaVu Sans", false},
    };
    for (const auto& w : words) {
        SCOPED_TRACE(w.text);
        const Drawn alone = draw(QString::fromUtf8(w.text), w.face, 72, w.italic);
        const Drawn roomy = draw("  " + QString::fromUtf8(w.text) + "  ", w.face, 72, w.italic);
        ASSERT_GT(alone.inked, 0);
        EXPECT_EQ(alone.inked, roomy.inked);
        EXPECT_EQ(alone.ink.size(), roomy.ink.size());
        EXPECT_EQ(differing(alone, alone.ink.left(), roomy, roomy.ink.left(), alone.ink.width()),
                  0);
    }
    EXPECT_EQ(text::measureText("Sample", {"IPA Pゴシック", 10}), QSize(45, 14));
}

// Right to left is read from the right: a Hebrew line's first word stands at
// its right end, with a Latin word between the two; Arabic letters join inside
// a Latin line as they do alone.
TEST(TextLayout, RightToLeftInReadingOrder) {
    const QString first = QStringLiteral("שלום"), second = QStringLiteral("עולם");
    const Drawn line = draw(first + " Latin " + second, "IPA Pゴシック", 48);
    const Drawn one = draw(first, "IPA Pゴシック", 48), two = draw(second, "IPA Pゴシック", 48);
    const int w = one.ink.width();
    ASSERT_GT(one.inked, 0);
    // The first word's ink against the line's right end, then its left end.
    const int atRight = differing(line, line.ink.right() + 1 - w, one, one.ink.left(), w);
    const int atLeft = differing(line, line.ink.left(), one, one.ink.left(), w);
    EXPECT_LT(atRight, one.inked / 10);
    EXPECT_GT(atLeft, one.inked / 3);
    EXPECT_LT(differing(line, line.ink.left(), two, two.ink.left(), two.ink.width()),
              two.inked / 10);

    const QString arabic = QStringLiteral("مرحبا");
    EXPECT_NEAR(widthOf("abc " + arabic + " def", "DejaVu Sans"),
                widthOf("abc ", "DejaVu Sans") + widthOf(arabic, "DejaVu Sans") +
                    widthOf(" def", "DejaVu Sans"),
                2);
    // Loose letters, one by one, are another width.
    int loose = 0;
    for (QChar c : arabic)
        loose += widthOf(QString(c), "DejaVu Sans");
    EXPECT_NE(loose, widthOf(arabic, "DejaVu Sans"));
}

// A colour emoji counts by its alpha: its mask is its shape at the size asked;
// a ZWJ sequence is one glyph. Control characters draw nothing but a tab,
// which is as wide as a space.
TEST(TextLayout, EmojiAndControls) {
    if (!text::isInstalled({"Noto Color Emoji", 10}))
        GTEST_SKIP() << "Noto Color Emoji is not installed (fonts-noto-color-emoji)";
    const Drawn thumb = draw(QStringLiteral("👍"), "Noto Color Emoji", 72);
    ASSERT_GT(thumb.inked, 0);
    EXPECT_NEAR(thumb.ink.height(), 96, 24); // 72 points are 96 pixels
    EXPECT_LT(thumb.inked, thumb.ink.width() * thumb.ink.height() * 95 / 100);
    const Drawn among = draw(QStringLiteral("a👍b"), "DejaVu Sans", 72);
    const Drawn letters = draw(QStringLiteral("ab"), "DejaVu Sans", 72);
    EXPECT_GT(among.inked, letters.inked + thumb.inked / 2);
    const int man = widthOf(QStringLiteral("👨"), "DejaVu Sans");
    EXPECT_LT(widthOf(QStringLiteral("👨\u200D👩\u200D👧"), "DejaVu Sans"), man * 3 / 2);

    // A bitmap face's line is as tall as the size asked, not as its strike.
    EXPECT_LT(text::measureText(QStringLiteral("👍"), {"Noto Color Emoji", 12}).height(), 30);
    // Emboldening's widening goes after a letter and its marks, not between,
    // whichever way the letters run: once a cluster, never between a base and its marks.
    for (const auto& [line, face] : {std::pair{u"e\u0301x\u0308\u0302", "DejaVu Sans"},
                                     {u"x\u0308\u0300y\u0302", "IPA Pゴシック"},
                                     {u"\u0628\u064E\u062A\u0650", "DejaVu Sans"},
                                     {u"\u05E9\u05B8\u05C1\u05DC", "DejaVu Sans"}}) {
        const QString text = QString::fromUtf16(line);
        QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
        int clusters = 0;
        while (graphemes.toNextBoundary() > 0)
            ++clusters;
        const text::FontSpec font{QString::fromUtf8(face), 60};
        const text::Line plain = text::layout(text, font, 0), wide = text::layout(text, font, 7);
        ASSERT_GT(plain.glyphs.size(), size_t(clusters)) << text.toStdString();
        EXPECT_EQ(wide.advance - plain.advance, 7 * 64 * clusters) << text.toStdString();
    }
    EXPECT_EQ(widthOf("a\tb", "DejaVu Sans"), widthOf("a b", "DejaVu Sans"));
    EXPECT_EQ(draw("a\x1b[31mb\x7f", "DejaVu Sans", 20).cover,
              draw("a[31mb", "DejaVu Sans", 20).cover);
}

// Which clusters are meant as emoji, by Unicode's rules: U+FE0F (a keycap
// sequence's too), pictographs joined by ZWJ, a skin tone after its base, an
// emoji by default; never with U+FE0E.
TEST(TextLayout, EmojiPresentationFollowsUnicodesRules) {
    const struct {
        std::u32string cluster;
        bool emoji;
    } rows[] = {{U"\u2764\uFE0F", true},  {U"\u2764", false},         {U"\u2764\uFE0E", false},
                {U"\U0001F600", true},     {U"\U0001F600\uFE0E", false}, {U"1\uFE0F\u20E3", true},
                {U"#\u20E3", false},       {U"\U0001F1EF\U0001F1F5", true},
                {U"\u261D\U0001F3FD", true}, {U"\U0001F441\u200D\U0001F5E8", true},
                {U"\u00A9\u200D", false},  {U"\u00A9", false},         {U"A", false}};
    for (const auto& row : rows)
        EXPECT_EQ(text::emojiPresentation(row.cluster), row.emoji)
            << QString::fromStdU32String(row.cluster).toStdString();
}

// A cluster meant as an emoji is drawn by the colour emoji face though the
// line's face (DejaVu Sans) has a text glyph for it, exactly as that face draws
// it alone; one meant as text, by the line's face.
TEST(TextLayout, EmojiPresentationChoosesTheColourFace) {
    if (!text::isInstalled({"Noto Color Emoji", 10}))
        GTEST_SKIP() << "Noto Color Emoji is not installed (fonts-noto-color-emoji)";
    for (const auto& [cluster, emoji] :
         {std::pair{u"\u2764\uFE0F", true}, {u"\u2764", false}, {u"\U0001F600", true},
          {u"\U0001F600\uFE0E", false}, {u"\u260E\uFE0F", true}, {u"\u260E", false}}) {
        const QString text = QString::fromUtf16(cluster);
        SCOPED_TRACE(text.toStdString());
        for (const text::Placed& g : text::layout(text, {"DejaVu Sans", 48}, 0).glyphs)
            EXPECT_EQ(g.face->color, emoji);
        if (!emoji)
            continue;
        // The lines' heights differ with their faces: the ink is compared.
        const Drawn in = draw(text, "DejaVu Sans", 48), own = draw(text, "Noto Color Emoji", 48);
        ASSERT_EQ(in.ink.size(), own.ink.size());
        ASSERT_GT(in.inked, 0);
        EXPECT_EQ(differing(shifted(in), 0, shifted(own), 0, in.ink.width()), 0);
    }
}

// A cluster that no face holds whole (no font here has U+20DD) is drawn by the
// face of its first character, whatever family was asked for: the base as it
// is alone, then that face's box for the missing mark.
TEST(TextLayout, ClusterNoFaceHoldsWholeTakesItsFirstCharactersFace) {
    for (const char* family : {"DejaVu Sans", "IPA Pゴシック"}) {
        SCOPED_TRACE(family);
        const text::FontSpec font{QString::fromUtf8(family), 40};
        const image::Image alone = text::coverage(QStringLiteral("あ"), font, false);
        const image::Image cluster = text::coverage(QStringLiteral("あ\u20DD"), font, false);
        ASSERT_EQ(cluster.height(), alone.height());
        ASSERT_GT(cluster.width(), alone.width());
        for (int y = 0; y < alone.height(); ++y)
            for (int x = 0; x < alone.width(); ++x)
                ASSERT_EQ(cluster.constScanLine(y)[x], alone.constScanLine(y)[x]) << x << "," << y;
    }
}

#ifndef Q_OS_WIN
// A colour face with bitmap strikes of 20, 40 and 80 pixels, made from the
// suite's emoji font, each strike a shape of its own: a size between two
// strikes draws with the one above it, a size past the largest with the largest.
TEST(TextLayout, ColourFacesDrawWithTheStrikeAboveTheSize) {
    QTemporaryDir dir;
    const QString font = dir.filePath("strikes.ttf");
    const int made = QProcess::execute(
        QFile::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3",
        {VELMORA_STRIKES_SCRIPT, "/usr/share/fonts/truetype/noto/NotoColorEmoji.ttf", font,
         "20:full", "40:left", "80:top"});
    ASSERT_EQ(made, 0) << "python3-fonttools (scripts/install-deps.sh) makes the test's font";
    const struct {
        int ppem;
        const char* shape;
    } sizes[] = {{12, "full"}, {20, "full"}, {24, "left"}, {40, "left"},
                 {44, "top"},  {79, "top"},  {160, "top"}};
    for (const auto& size : sizes) {
        const image::Image ink =
            text::coverage(QStringLiteral("\u2B50"), text::fontRequest(font, size.ppem * 0.75), true);
        std::int64_t left = 0, right = 0, top = 0, bottom = 0;
        for (int y = 0; y < ink.height(); ++y)
            for (int x = 0; x < ink.width(); ++x) {
                const int a = ink.constScanLine(y)[x];
                (x < ink.width() / 2 ? left : right) += a;
                (y < ink.height() / 2 ? top : bottom) += a;
            }
        const char* shape = left > 3 * right ? "left" : top > 3 * bottom ? "top" : "full";
        EXPECT_STREQ(shape, size.shape) << size.ppem << " pixels: " << left << " " << right << " "
                                        << top << " " << bottom;
    }
}
#endif
