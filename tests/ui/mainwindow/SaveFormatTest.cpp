#include <gtest/gtest.h>

#include <QStringList>

#include "ui/mainwindow/SaveFormat.h"

TEST(SaveFormat, FilterAndExtensionDecideNameAndFormat) {
    const struct {
        const char* name;
        int filter;
        const char* finalName;
        const char* extension;
    } rows[] = {
        {"pic", 1, "pic.BMP", ".BMP"},
        {"pic.png", 1, "pic.png", ".PNG"},
        {"pic.Png", 1, "pic.Png", ".PNG"},
        {"pic.jpeg", 1, "pic.jpeg.BMP", ".BMP"},
        {"pic.jpg", 2, "pic.jpg.BMP", ".BMP"},
        {"pic.bmp", 4, "pic.bmp.PNG", ".PNG"},
        {"pic.JPG", 3, "pic.JPG", ".JPG"},
        {"pic.jpg", 3, "pic.jpg", ".JPG"},
        {"a", 1, "a.BMP", ".BMP"},
        {"a", 0, "a.BMP", ".BMP"},
        {"x.bmp", 1, "x.bmp", ".BMP"},
        {"/dir.png/pic", 3, "/dir.png/pic.JPG", ".JPG"},
    };
    for (const auto& row : rows) {
        const SaveTarget t = DecideSaveFormat(row.name, row.filter);
        EXPECT_EQ(t.fileName, row.finalName) << row.name << " filter " << row.filter;
        EXPECT_EQ(t.extension, row.extension) << row.name << " filter " << row.filter;
    }
}

TEST(SaveFormat, FilterListHasFourPairsEachItemNulTerminated) {
    const QString f = SaveFilterPattern();
    const QStringList items = f.split(QChar(0));
    ASSERT_EQ(items.size(), 9); // eight items and the empty rest after the last NUL
    EXPECT_EQ(items[0], "画像ファイル");
    EXPECT_EQ(items[1], "*.bmp;*.jpg;*.png");
    EXPECT_EQ(items[4], QString::fromUtf16(u"\uFF2A\uFF30\uFF25\uFF27ファイル"));
    EXPECT_EQ(items[6], QString::fromUtf16(u"\uFF30\uFF2E\uFF27ファイル"));
    EXPECT_TRUE(items[8].isEmpty());
}
