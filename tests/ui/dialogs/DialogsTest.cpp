#include <gtest/gtest.h>

#include <QColorDialog>
#include <QFileDialog>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTreeView>

#include "support/TestSupport.h"
#include "support/WidgetSupport.h"
#include "ui/dialogs/Dialogs.h"

namespace {

ui::FileDialogRequest saveRequest(const QString& folder) {
    ui::FileDialogRequest request;
    request.kind = ui::FileDialogRequest::Kind::Save;
    request.title = "題名";
    request.filters = {{"A", "*.a"}, {"B", "*.b"}, {"C", "*.c;*.cc"}};
    request.askBeforeCreating = true;
    request.folder = folder;
    return request;
}

} // namespace

TEST(Dialog, SaveFileGivesPathAndChosenFilter) {
    QTemporaryDir dir;
    QStringList shownFilters;
    QString shownTitle, selectedAtOpen, openedIn;
    bool typeShown = true;
    testsupport::onNextModal([&](QWidget* w) {
        auto* fd = qobject_cast<QFileDialog*>(w);
        shownFilters = fd->nameFilters();
        shownTitle = fd->windowTitle();
        selectedAtOpen = fd->selectedNameFilter();
        openedIn = fd->directory().absolutePath();
        // The kind column, which Qt names in English only, is left out.
        typeShown = !fd->findChild<QTreeView*>("treeView")->isColumnHidden(2);
    });
    testsupport::answerFileDialog(dir.filePath("f.c"), 3);
    const ui::FileDialogResult chosen = ui::runFileDialog(saveRequest(dir.path()));
    EXPECT_EQ(chosen.path, dir.filePath("f.c"));
    EXPECT_EQ(chosen.filterIndex, 3);
    ASSERT_EQ(shownFilters.size(), 3);
    EXPECT_TRUE(shownFilters[2].startsWith("C"));
    EXPECT_TRUE(shownFilters[0].startsWith(selectedAtOpen)) << selectedAtOpen.toStdString();
    EXPECT_EQ(shownTitle, "題名");
    EXPECT_EQ(openedIn, QDir(dir.path()).absolutePath());
    EXPECT_FALSE(typeShown);

    testsupport::answerFileDialog("");
    const ui::FileDialogResult cancelled = ui::runFileDialog(saveRequest(dir.path()));
    EXPECT_EQ(cancelled.path, "");
    EXPECT_EQ(cancelled.filterIndex, 0);
}

TEST(Dialog, SaveDialogAsksBeforeCreatingNewFile) {
    QTemporaryDir dir;
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
    EXPECT_EQ(ui::runFileDialog(saveRequest(dir.path())).path, "");
    EXPECT_TRUE(question.contains("new.a"));
}

TEST(Dialog, OpenDialogTakesOnlyExistingFiles) {
    ui::FileDialogRequest request;
    request.filters = {{"画像ファイル", "*.png"}};
    request.mustExist = true;
    QFileDialog::FileMode mode = QFileDialog::AnyFile;
    testsupport::onNextModal([&](QWidget* w) {
        auto* fd = qobject_cast<QFileDialog*>(w);
        mode = fd->fileMode();
        fd->reject();
    });
    EXPECT_EQ(ui::runFileDialog(request).path, "");
    EXPECT_EQ(mode, QFileDialog::ExistingFile);
}

TEST(Dialog, ColourDialogStartsWhiteAndFromTheColourGiven) {
    ui::COLORREF color = 0;
    QColor initial;
    testsupport::onNextModal([&](QWidget* w) {
        auto* cd = qobject_cast<QColorDialog*>(w);
        initial = cd->currentColor();
        cd->reject();
    });
    EXPECT_FALSE(ui::runColorDialog(nullptr, color));
    EXPECT_EQ(color, 0u);
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
    EXPECT_TRUE(ui::runColorDialog(nullptr, color));
    EXPECT_TRUE(allWhite);
    EXPECT_EQ(color, 0x0080FFu);
}
