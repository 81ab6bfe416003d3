#include <gtest/gtest.h>

#include <QRect>

#include "engine/text/TextDrawing.h"

using namespace engine;

namespace {

// The coverage of a text alone and the box its ink fills.
std::pair<image::Image, QRect> drawn(const QString& text, const QString& face) {
    const text::FontSpec font{face, 48};
    const image::Image m = text::coverage(text, font, false);
    QRect lit;
    for (int y = 0; y < m.height(); ++y)
        for (int x = 0; x < m.width(); ++x)
            lit |= m.constScanLine(y)[x] ? QRect(x, y, 1, 1) : QRect();
    return {m, lit};
}

} // namespace

// An "@" face turns full-width letters a quarter counter-clockwise, in their
// vertical forms, and leaves half-width letters as the plain face draws them.
TEST(VerticalFace, TurnsFullWidthLettersInTheirVerticalForms) {
    const auto upright = [](QRect r) { return r.height() > 2 * r.width(); };
    const auto lying = [](QRect r) { return r.width() > 2 * r.height(); };
    EXPECT_TRUE(lying(drawn("一", "IPAゴシック").second));
    EXPECT_TRUE(upright(drawn("一", "@IPAゴシック").second));
    EXPECT_TRUE(lying(drawn("ー", "@IPAゴシック").second));
    EXPECT_EQ(drawn("A", "@IPAゴシック").first, drawn("A", "IPAゴシック").first);
}

// The name stored for a face is the face the letters are drawn with, as the
// font list shows it: classic Windows faces, "@" faces and unknown names alike.
TEST(FaceName, IsTheFaceTheLettersAreDrawnWith) {
    const struct {
        const char* asked;
        const char* drawn;
    } faces[] = {
        {"ＭＳ Ｐゴシック", "IPA Pゴシック"}, {"MS Gothic", "IPAゴシック"},
        {"ＭＳ Ｐ明朝", "IPA P明朝"},         {"ＭＳ 明朝", "IPA明朝"},
        {"IPAPGothic", "IPA Pゴシック"},      {"@IPAゴシック", "@IPAゴシック"},
        {"@ＭＳ 明朝", "@IPA明朝"},
    };
    for (const auto& f : faces)
        EXPECT_EQ(text::faceName({QString::fromUtf8(f.asked), 12}), QString::fromUtf8(f.drawn))
            << f.asked;
    // An empty or unknown name draws with the font system's default, and says so.
    const QString fallback = text::faceName({QString(), 12});
    EXPECT_FALSE(fallback.isEmpty());
    EXPECT_EQ(text::faceName({QStringLiteral("No Such Family"), 12}), fallback);
}
