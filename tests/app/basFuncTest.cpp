#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>

#include "app/basFunc.h"
#include "platform/FileStatus.h"
#include "support/TestSupport.h"

namespace {
const QString Sep{QChar(platform::PathSep)};
}

TEST(Support, AddPathSepAddsExactlyOne) {
    EXPECT_EQ(AddPathSep(Sep), Sep);
    EXPECT_EQ(AddPathSep("/home/u" + Sep), "/home/u" + Sep);
    EXPECT_EQ(AddPathSep("/home/u"), "/home/u" + Sep);
    EXPECT_EQ(AddPathSep(""), Sep);
}

TEST(Support, CutAtNullKeepsTextBeforeFirstNul) {
    EXPECT_EQ(CutAtNull("abc"), "abc");
    EXPECT_EQ(CutAtNull(QString::fromUtf8("\0abc", 4)), "");
    EXPECT_EQ(CutAtNull(QString::fromUtf8("ab\0c\0", 5)), "ab");
}

TEST(Support, FindLastGivesOneBasedPositionOfLastMatch) {
    EXPECT_EQ(FindLast("/a/b/c.png", "/"), 5);
    EXPECT_EQ(FindLast("c.png", "/"), 0);
    EXPECT_EQ(FindLast("abab", "ab"), 3);
    EXPECT_EQ(FindLast("ab", "abc"), 0);
    EXPECT_EQ(FindLast("", "a"), 0);
    EXPECT_EQ(FindLast("a", ""), 0);
    EXPECT_EQ(FindLast("aaa", "aaa"), 1);
}

TEST(Support, FileStatusOfOrdinaryCases) {
    QTemporaryDir dir;
    EXPECT_EQ(GetFileStatus("   "), StatusBlank);
    EXPECT_EQ(GetFileStatus(dir.filePath("none.png")), StatusNotFound);
    testsupport::writeAll(dir.filePath("empty"), "");
    EXPECT_EQ(GetFileStatus(dir.filePath("empty")), StatusEmpty);
    testsupport::writeAll(dir.filePath("full"), "x");
    EXPECT_EQ(GetFileStatus(dir.filePath("full")), StatusExists);
}

TEST(Support, FileStatusReportsUnexpectedErrorAndLetsCallerGoOn) {
    QTemporaryDir dir;
    QString title, text;
    testsupport::onNextModal([&](QWidget* w) {
        title = w->windowTitle();
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            text = box->text();
            EXPECT_EQ(box->icon(), QMessageBox::Critical);
        }
        testsupport::clickButton(w, "OK");
    });
    EXPECT_EQ(GetFileStatus(dir.filePath("no/such/folder.png")), StatusFailed);
    EXPECT_EQ(title, QStringLiteral("システムエラー"));
    EXPECT_TRUE(text.startsWith("76:")) << text.toStdString();
}
