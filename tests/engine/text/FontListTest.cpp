#include <gtest/gtest.h>

#include <vector>

#include <QStringList>

#include "engine/text/FontList.h"

using namespace engine;

// Whatever order the system reports them in: outline families only, in the
// user's collation order, each "@" twin right after its family.
TEST(FontList, OutlineFamiliesInCollationOrderWithTwinsAfterThem) {
    const std::vector<text::FontFamily> reported{
        {"Noto Sans Tifinagh", true}, {"縦書き", true, true},            {"Fixed", false},
        {"nimbus Roman", true},       {"Bitmap with vert", false, true}, {"DejaVu Sans 10", true},
        {"DejaVu Sans 2", true},      {"Ábc", true},                     {"IPAゴシック", true, true},
    };
    // Letter case and accents aside, numbers by their value, Latin before kana and kanji.
    EXPECT_EQ(text::listedFaces(reported).join(", ").toStdString(),
              "Ábc, DejaVu Sans 2, DejaVu Sans 10, IPAゴシック, @IPAゴシック, nimbus Roman, "
              "Noto Sans Tifinagh, 縦書き, @縦書き");
}

// The list the window starts on a thread of its own is the list read in place,
// vertical faces included.
TEST(FontList, PreparedListIsTheList) {
    const auto names = [](const std::vector<text::FontFamily>& families) {
        QStringList all;
        for (const text::FontFamily& f : families)
            all << f.name + (f.outline ? "+" : "-") + (f.vertical ? "@" : "");
        return all;
    };
    text::prepareFontFamilies();
    const QStringList prepared = names(text::enumFontFamilies());
    EXPECT_TRUE(prepared.contains("IPAゴシック+@")) << prepared.join(", ").toStdString();
    EXPECT_EQ(prepared, names(text::enumFontFamilies()));
}
