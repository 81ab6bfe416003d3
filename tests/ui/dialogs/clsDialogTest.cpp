#include <gtest/gtest.h>

#include <QColorDialog>
#include <QFileDialog>
#include <QTemporaryDir>

#include "support/TestSupport.h"
#include "support/WidgetSupport.h"
#include "ui/dialogs/clsDialog.h"

namespace {
const QChar Nul(0);
}

TEST(Dialog, SaveFileGivesPathAndChosenFilter) {
    QTemporaryDir dir;
    clsDialog d;
    d.SelectTitle = "題名";
    d.SelectFlags = "8196";
    d.FilterPattern =
        "A" + QString(Nul) + "*.a" + Nul + "B" + Nul + "*.b" + Nul + "C" + Nul + "*.c;*.cc" + Nul;
    QStringList shownFilters;
    QString shownTitle, selectedAtOpen;
    testsupport::onNextModal([&](QWidget* w) {
        auto* fd = qobject_cast<QFileDialog*>(w);
        shownFilters = fd->nameFilters();
        shownTitle = fd->windowTitle();
        selectedAtOpen = fd->selectedNameFilter();
    });
    testsupport::answerFileDialog(dir.filePath("f.c"), 3);
    EXPECT_EQ(d.SaveFile(nullptr), dir.filePath("f.c"));
    EXPECT_EQ(d.FilterIndex, 3);
    ASSERT_EQ(shownFilters.size(), 3);
    EXPECT_TRUE(shownFilters[2].startsWith("C"));
    EXPECT_TRUE(shownFilters[0].startsWith(selectedAtOpen)) << selectedAtOpen.toStdString();
    EXPECT_EQ(shownTitle, "題名");

    testsupport::answerFileDialog("");
    EXPECT_EQ(d.SaveFile(nullptr), "");
    EXPECT_EQ(d.FilterIndex, 0);
}

TEST(Dialog, SaveDialogAsksBeforeCreatingNewFile) {
    QTemporaryDir dir;
    clsDialog d;
    d.SelectFlags = "8196";
    d.FilterPattern = "A" + QString(Nul) + "*.a" + Nul;
    QString question;
    testsupport::onNextModal(
        [&](QWidget* w) {
            auto* fd = qobject_cast<QFileDialog*>(w);
            testsupport::typeFileName(fd, dir.filePath("new.a"));
            testsupport::answerMessageBox("いいえ(&N)", nullptr, &question);
            QMetaObject::invokeMethod(fd, "accept", Qt::DirectConnection); // refused: stays open
            EXPECT_TRUE(fd->isVisible());
            fd->reject();
        },
        [](QWidget* w) { return qobject_cast<QFileDialog*>(w) != nullptr; });
    EXPECT_EQ(d.SaveFile(nullptr), "");
    EXPECT_TRUE(question.contains("new.a"));
}

TEST(Dialog, OpenFileCancelledLeavesMembers) {
    clsDialog d;
    d.SelectFlags = "4100";
    d.FilterIndex = 7;
    d.FilterPattern = "画像ファイル" + QString(Nul) + "*.png" + Nul;
    testsupport::answerFileDialog("");
    EXPECT_EQ(d.OpenFile(nullptr), "");
    EXPECT_EQ(d.FilterIndex, 7);
}

TEST(Dialog, ColourDialogStartsWhiteAndFromSelectColor) {
    clsDialog d;
    QColor initial;
    testsupport::onNextModal([&](QWidget* w) {
        auto* cd = qobject_cast<QColorDialog*>(w);
        initial = cd->currentColor();
        cd->reject();
    });
    EXPECT_EQ(d.ColorCode(nullptr), 0);
    EXPECT_EQ(d.SelectColor, 0);
    EXPECT_EQ(initial, QColor(Qt::black));

    QColorDialog::setCustomColor(3, Qt::red);
    bool allWhite = true;
    testsupport::onNextModal([&](QWidget* w) {
        for (int i = 0; i < QColorDialog::customCount(); ++i)
            allWhite = allWhite && QColorDialog::customColor(i) == QColor(Qt::white);
        auto* cd = qobject_cast<QColorDialog*>(w);
        cd->setCurrentColor(QColor(255, 128, 0));
        cd->accept();
    });
    EXPECT_EQ(d.ColorCode(nullptr), -1);
    EXPECT_TRUE(allWhite);
    EXPECT_EQ(d.SelectColor, 0x0080FF);
}
