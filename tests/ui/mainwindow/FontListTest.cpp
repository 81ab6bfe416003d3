#include <gtest/gtest.h>

#include <set>

#include <QFont>
#include <QFontInfo>
#include <QListWidget>

#include "engine/text/FontList.h"
#include "ui/mainwindow/basFontListGet.h"

TEST(FontList, OutlineFamiliesOnceEachWithJapaneseNames) {
    QListWidget list;
    FillFontList(list);
    const int first = list.count();
    ASSERT_GT(first, 0);
    FillFontList(list);
    EXPECT_EQ(list.count(), first);
    std::set<QString> names;
    for (int i = 0; i < list.count(); ++i)
        EXPECT_TRUE(names.insert(list.item(i)->text()).second)
            << list.item(i)->text().toStdString();
    EXPECT_TRUE(names.count("IPA Pゴシック"));
    EXPECT_FALSE(names.count("IPAPGothic"));
    // Families with vertical forms have their "@" twin right after them.
    for (int i = 0; i < list.count(); ++i)
        if (list.item(i)->text().startsWith('@')) {
            EXPECT_EQ(i > 0 ? '@' + list.item(i - 1)->text() : "", list.item(i)->text());
        }
    EXPECT_TRUE(names.count("@IPAゴシック") && names.count("@IPA P明朝"));
    EXPECT_FALSE(names.count("@DejaVu Sans"));
    EXPECT_TRUE(list.selectedItems().isEmpty());
    // The Japanese name works as a face name.
    EXPECT_EQ(QFontInfo(QFont("IPA Pゴシック")).family(), "IPAPGothic");
    EXPECT_EQ(engine::text::displayName("IPAPGothic"), "IPA Pゴシック");
}

TEST(FontList, OnlyOutlineFamiliesAreAdded) {
    QListWidget list;
    EXPECT_EQ(EnumFontProc({"Fixed Bitmap", false}, list), 1);
    EXPECT_EQ(EnumFontProc({"Outline", true}, list), 1);
    EXPECT_EQ(EnumFontProc({"Bitmap with vert", false, true}, list), 1);
    EXPECT_EQ(EnumFontProc({"縦", true, true}, list), 1);
    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(list.item(0)->text(), "Outline");
    EXPECT_EQ(list.item(2)->text(), "@縦");
}
