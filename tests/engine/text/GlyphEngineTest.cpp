#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "engine/text/TextDrawing.h"

using namespace engine;

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
        EXPECT_EQ(text::faceName(text::fontRequest(QString::fromUtf8(f.asked), 12)),
                  QString::fromUtf8(f.drawn))
            << f.asked;
    // An empty or unknown name draws with the font system's default, and says so.
    const QString fallback = text::faceName({QString(), 12});
    EXPECT_FALSE(fallback.isEmpty());
    EXPECT_EQ(text::faceName({QStringLiteral("No Such Family"), 12}), fallback);
}

namespace {

// The inked rows and columns of a coverage image, cropped, as text rows.
std::vector<std::string> cropped(const image::Image& m) {
    int left = m.width(), right = -1, top = m.height(), bottom = -1;
    for (int y = 0; y < m.height(); ++y)
        for (int x = 0; x < m.width(); ++x)
            if (m.constScanLine(y)[x]) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    std::vector<std::string> rows;
    for (int y = top; y <= bottom; ++y) {
        rows.emplace_back();
        for (int x = left; x <= right; ++x)
            rows.back() += m.constScanLine(y)[x] ? '#' : '.';
    }
    return rows;
}

// Turned a quarter counter-clockwise: the top row becomes the left column.
std::vector<std::string> turned(const std::vector<std::string>& rows) {
    std::vector<std::string> out(rows.empty() ? 0 : rows[0].size(), std::string(rows.size(), '.'));
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size(); ++c)
            out[rows[r].size() - 1 - c][r] = rows[r][c];
    return out;
}

std::vector<std::string> letters(const QString& text, const QString& face, bool bold = false) {
    return cropped(text::coverage(text, text::fontRequest(face, 40, bold), false));
}

} // namespace

// Properties that hold for any vertical face: a turned glyph is the upright
// glyph's bitmap turned counter-clockwise; half-width forms stay the plain
// face's; bold turned letters advance as bold upright ones; a face that is
// bold already is not emboldened again.
TEST(VerticalFace, TurnedGlyphsAreUprightGlyphsTurned) {
    for (const char* c : {"一", "字", "山", "永"})
        EXPECT_EQ(letters(c, "@IPAゴシック"), turned(letters(c, "IPAゴシック"))) << c;
    // A character with a vertical form takes it: the long-vowel bar lies across.
    const auto bar = letters("ー", "@IPAゴシック");
    EXPECT_GT(bar[0].size(), 2 * bar.size());
    for (const char* c : {"A", "ｱ", "7"})
        EXPECT_EQ(letters(c, "@IPAゴシック"), letters(c, "IPAゴシック")) << c;
    const auto widening = [](const QString& face) {
        return text::measureText("一二三", text::fontRequest(face, 40, true)).width() -
               text::measureText("一二三", text::fontRequest(face, 40, false)).width();
    };
    EXPECT_GT(widening("IPAゴシック"), 0);
    EXPECT_EQ(widening("@IPAゴシック"), widening("IPAゴシック"));
    EXPECT_EQ(letters("Ab", "DejaVu Sans", true),
              letters("Ab", "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"));
}

// A thread keeps its faces open between drawings, and the glyphs it rendered
// from them, as a batch's threads do: a run of requests drawn one after another
// on one thread, in either order, each gives what it gives alone on a fresh
// thread. Two files of one family, a file and its family, sizes, styles and
// smooth or hard edges in turn must not take each other's face or glyphs.
TEST(FaceState, EachRequestDrawsWithItsOwnFaceOnAThreadThatDrewOthers) {
    const QString dejavu = "/usr/share/fonts/truetype/dejavu/";
    const std::vector<text::FontSpec> requests{
        text::fontRequest(dejavu + "DejaVuSans.ttf", 30),
        text::fontRequest(dejavu + "DejaVuSans-Bold.ttf", 30),
        text::fontRequest("DejaVu Sans", 30),
        text::fontRequest(dejavu + "DejaVuSans.ttf", 17, false, true),
        text::fontRequest("DejaVu Sans", 30, true),
        text::fontRequest("/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf", 30),
        text::fontRequest("IPAPGothic", 30, true, true),
        text::fontRequest("@IPAゴシック", 30),
    };
    const QString line = QStringLiteral("Aж漢ب😀");
    // Each request smooth, then hard-edged.
    const auto draw = [&line, &requests](size_t r) {
        return text::coverage(line, requests[r / 2], r % 2 == 0);
    };
    std::vector<image::Image> alone;
    for (size_t r = 0; r < requests.size() * 2; ++r)
        std::thread([&] { alone.push_back(draw(r)); }).join();
    for (const bool backwards : {false, true}) {
        std::thread([&] {
            for (size_t i = 0; i < alone.size(); ++i) {
                const size_t r = backwards ? alone.size() - 1 - i : i;
                EXPECT_TRUE(draw(r) == alone[r]) << r << (backwards ? " backwards" : "");
            }
        }).join();
    }
    for (size_t r = 1; r < alone.size(); ++r)
        EXPECT_FALSE(alone[r] == alone[r - 1]) << r;
}
