#include <gtest/gtest.h>

#include <set>

#include <QLabel>
#include <QListWidget>

#include "engine/settings/CodePage.h"
#include "engine/text/FontList.h"
#include "support/MainWindowFixture.h"
#include "support/TestSupport.h"

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

// The face is stored by the name the list shows, in Shift-JIS, and the next
// start opens both lists at the choice, nothing selected; whatever language
// fontconfig lists a family's names in (the suite runs this under Japanese
// locales too, generated and not).
TEST_F(FontListWindow, TheChoiceSurvivesARestart) {
    start();
    clickListEntry("faceList", "IPA P明朝");
    clickListEntry("sizeList", "48");
    press("renderButton");
    const QByteArray file = testsupport::readAll(ini);
    EXPECT_TRUE(file.contains(
        "Name=" + QByteArray::fromStdString(engine::settings::toAnsi("IPA P明朝")) + "\r\nSize=48\r\n"))
        << file.toStdString();
    form.reset();
    start();
    EXPECT_EQ(child<QLabel>("faceLabel")->text(), "IPA P明朝");
    for (const auto& [name, entry] : {std::pair{"faceList", "IPA P明朝"}, {"sizeList", "48"}}) {
        auto* list = child<QListWidget>(name);
        const QList<QListWidgetItem*> chosen = list->findItems(entry, Qt::MatchExactly);
        ASSERT_EQ(chosen.size(), 1) << name;
        EXPECT_EQ(list->visualItemRect(chosen.first()).top(), 0) << name;
        EXPECT_TRUE(list->selectedItems().isEmpty()) << name;
    }
}
