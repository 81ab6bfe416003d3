#include <gtest/gtest.h>

#include <set>

#include <QListWidget>

#include "engine/text/FontList.h"
#include "support/MainWindowFixture.h"
#include "support/TestSupport.h"

// Whatever order the system reports them in: outline families only, in the
// user's collation order, each "@" twin right after its family.
TEST(FontList, OutlineFamiliesInCollationOrderWithTwinsAfterThem) {
    const std::vector<engine::text::FontFamily> reported{
        {"Noto Sans Tifinagh", true}, {"縦書き", true, true},            {"Fixed", false},
        {"nimbus Roman", true},       {"Bitmap with vert", false, true}, {"DejaVu Sans 10", true},
        {"DejaVu Sans 2", true},      {"Ábc", true},                     {"IPAゴシック", true, true},
    };
    // Letter case and accents aside, numbers by their value, Latin before kana and kanji.
    EXPECT_EQ(engine::text::listedFaces(reported).join(", ").toStdString(),
              "Ábc, DejaVu Sans 2, DejaVu Sans 10, IPAゴシック, @IPAゴシック, nimbus Roman, "
              "Noto Sans Tifinagh, 縦書き, @縦書き");
}

using FontListWindow = MainWindowFixture;

// The window's list: each family once, by the name a Japanese user knows, and
// opened where the current font is, with nothing selected.
TEST_F(FontListWindow, OpensAtTheCurrentFontWithJapaneseNames) {
    testsupport::writeAll(ini, "[Font]\r\nName=IPAPMincho\r\n");
    start();
    auto* list = child<QListWidget>("faceList");
    std::set<QString> names;
    for (int i = 0; i < list->count(); ++i)
        EXPECT_TRUE(names.insert(list->item(i)->text()).second)
            << list->item(i)->text().toStdString();
    EXPECT_TRUE(names.count("IPA Pゴシック") && names.count("@IPAゴシック"));
    EXPECT_FALSE(names.count("IPAPGothic"));
    EXPECT_FALSE(names.count("@DejaVu Sans"));
    EXPECT_TRUE(list->selectedItems().isEmpty());
    const QList<QListWidgetItem*> current = list->findItems("IPA P明朝", Qt::MatchExactly);
    ASSERT_EQ(current.size(), 1);
    EXPECT_TRUE(list->viewport()->rect().contains(list->visualItemRect(current.first())));
    EXPECT_EQ(engine::text::displayName("IPAPGothic"), "IPA Pゴシック");
}
