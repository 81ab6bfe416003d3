#include <gtest/gtest.h>

#include <QMessageBox>
#include <QTemporaryDir>

#include "support/TestSupport.h"
#include "support/WidgetSupport.h"
#include "ui/app/basFunc.h"

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
