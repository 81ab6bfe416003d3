#include <gtest/gtest.h>

#include <functional>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDropEvent>
#include <QFontInfo>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>

#include "engine/settings/CodePage.h"
#include "engine/settings/Settings.h"
#include "support/MainWindowFixture.h"
#include "support/TestSupport.h"
#include "support/WidgetSupport.h"
#include "ui/widgets/AutoSizeLabel.h"
#include "ui/widgets/PictureBox.h"
#include "ui/widgets/ScrollView.h"

using testsupport::readAll;
using testsupport::writeAll;

using testsupport::captionOf;
using testsupport::nextTabStop;
using testsupport::pixels;

namespace {} // namespace

using MainWindow = MainWindowFixture;

TEST_F(MainWindow, ControlsHaveTheirCaptionsGeometryAndTabOrder) {
    start();
    frmMain& f = *form;
    const struct {
        QWidget* control;
        QString caption;
        QRect twips;
    } table[] = {
        {f.LBL[0], "文字", {120, 180, 855, 255}},
        {f.FLD[0], "Sample", {960, 120, 4335, 270}},
        {f.LBL[3], "フォント", {120, 540, 855, 255}},
        {f.DSP[0], "ＭＳ Ｐゴシック", {960, 480, 3495, 255}},
        {f.DSP[1], "10", {4560, 480, 735, 255}},
        {f.LST[0], "", {960, 840, 3495, 1140}},
        {f.LST[1], "", {4560, 840, 735, 1140}},
        {f.LBL[1], "背景の絵", {120, 2160, 855, 255}},
        {f.Area[0], "", {960, 2160, 780, 780}},
        {f.DBTN[0], "...", {600, 2400, 255, 255}},
        {f.CHK[0], "斜体", {1800, 2160, 735, 255}},
        {f.CHK[1], "太字", {1800, 2520, 735, 255}},
        {f.LBL[2], "背景の色", {2760, 2160, 855, 255}},
        {f.Area[1], "", {3600, 2160, 780, 780}},
        {f.DBTN[1], "...", {3240, 2400, 255, 255}},
        {f.BTN[0], "開始", {120, 3000, 735, 375}},
        {f.BTN[1], "保存", {960, 3000, 735, 375}},
        {f.BTN[2], "ｵﾌﾟｼｮﾝ", {1800, 3000, 735, 375}},
        {f.BTN[3], "閉じる", {4560, 3000, 735, 375}},
        {f.MSG, "ベルモラ", {2640, 3120, 1455, 255}},
        {f.Board, "", {120, 3480, 5175, 1500}},
        {f.TempPic, "", {240, 3600, 15360, 3840}},
    };
    // The window opens at its size and may grow, not shrink; no control moves
    // with it, and the view around Board reaches the window's edges.
    EXPECT_EQ(f.size(), QSize(363, 338));
    EXPECT_EQ(f.minimumSize(), QSize(363, 338));
    EXPECT_GT(f.maximumWidth(), 4000);
    EXPECT_GT(f.maximumHeight(), 4000);
    for (const QSize size : {QSize(363, 338), QSize(900, 700)}) {
        f.resize(size);
        ASSERT_EQ(f.size(), size);
        for (const auto& row : table) {
            SCOPED_TRACE(row.caption.toStdString() + " at " + std::to_string(row.twips.x()) + "," +
                         std::to_string(row.twips.y()) + " in " + std::to_string(size.width()));
            EXPECT_EQ(captionOf(row.control), row.caption);
            EXPECT_EQ(QRect(row.control->mapTo(&f, QPoint()), row.control->size()),
                      pixels(row.twips));
        }
        EXPECT_EQ(f.BoardView->geometry(), QRect(8, 232, size.width() - 8, size.height() - 232));
        // The result fits: no scroll bar, so the window looks as it always did.
        EXPECT_FALSE(f.BoardView->horizontalScrollBar()->isVisible());
        EXPECT_FALSE(f.BoardView->verticalScrollBar()->isVisible());
    }
    f.resize(363, 338);
    EXPECT_EQ(f.windowTitle(), "ベルモラ");
    EXPECT_FALSE(f.windowIcon().isNull());
    EXPECT_EQ(f.Dot[0]->parentWidget(), f.Area[0]);
    EXPECT_EQ(f.Dot[0]->geometry(), QRect(1, 1, 34, 34));
    EXPECT_FALSE(f.TempPic->isVisible());
    EXPECT_FALSE(f.SizeMongon->isVisible());
    EXPECT_EQ(f.Board->toolTip(), "画像をクリックすると、クリップボードへコピーします。");
    EXPECT_EQ(f.Board->innerWidth(), 343);
    EXPECT_EQ(f.Board->innerHeight(), 98);
    EXPECT_EQ(f.TempPic->innerWidth(), 1024);

    const QWidget* order[] = {f.FLD[0],  f.LST[0], f.LST[1], f.DBTN[0], f.CHK[0], f.CHK[1],
                              f.DBTN[1], f.BTN[0], f.BTN[1], f.BTN[2],  f.BTN[3], f.FLD[0]};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        EXPECT_EQ(nextTabStop(order[i]), order[i + 1]) << "after tab stop " << i;
}

TEST_F(MainWindow, StartUpShowsTheStoredSettings) {
    writeAll(ini, QByteArray("[Data]\r\nMongon=切り文字\r\nBackColor=16744448\r\n"
                             "[Font]\r\nSize=12.5\r\nItalic=5\r\nTick=0\r\n")
                      .replace("切り文字",
                               QByteArray::fromStdString(engine::settings::toAnsi("切り文字"))));
    start();
    frmMain& f = *form;
    EXPECT_TRUE(f.isEnabled());
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.DSP[0]->text(), "ＭＳ Ｐゴシック");
    EXPECT_EQ(f.DSP[1]->text(), "12.5");
    EXPECT_EQ(f.FLD[0]->text(), "切り文字");
    EXPECT_TRUE(f.CHK[0]->isChecked());
    EXPECT_FALSE(f.CHK[1]->isChecked());
    EXPECT_EQ(gFontItalic, 5);
    EXPECT_EQ(f.Area[1]->backColor(), 16744448u);
    EXPECT_EQ(rgbAt(f.Area[1]->image(), 5, 5), 0x0080FFu); // 0x00BBGGRR shown as RRGGBB
    EXPECT_EQ(f.MSG->text(), "ベルモラ");
    ASSERT_EQ(f.LST[1]->count(), 113);
    EXPECT_EQ(f.LST[1]->item(0)->text(), "8");
    EXPECT_EQ(f.LST[1]->item(112)->text(), "120");
    EXPECT_GT(f.LST[0]->count(), 0);
    EXPECT_TRUE(f.LST[0]->selectedItems().isEmpty());
    EXPECT_TRUE(f.LST[1]->selectedItems().isEmpty());
    EXPECT_DOUBLE_EQ(f.TempPic->font().pointSizeF(), 12.5);
    EXPECT_TRUE(f.TempPic->font().italic());
    EXPECT_EQ(f.SizeMongon->font(), f.TempPic->font());
}

TEST_F(MainWindow, SizeOutsideTheListIsShownAndUsed) {
    writeAll(ini, "[Font]\r\nSize=7\r\n");
    start();
    EXPECT_EQ(form->DSP[1]->text(), "7");
    EXPECT_DOUBLE_EQ(form->TempPic->font().pointSizeF(), 7.0);
}

TEST_F(MainWindow, StoredVerticalFaceStartsAndIsStoredAgain) {
    const QByteArray name =
        "Name=" + QByteArray::fromStdString(engine::settings::toAnsi("@IPA P明朝"));
    writeAll(ini, "[Font]\r\n" + name + "\r\n");
    start();
    EXPECT_EQ(form->DSP[0]->text(), "@IPA P明朝");
    EXPECT_EQ(form->TempPic->font().family(), "@IPA P明朝");
    form->BTN[0]->click();
    EXPECT_EQ(gFontName, "@IPA P明朝");
    EXPECT_TRUE(readAll(ini).contains(name + "\r\n"));
}

TEST_F(MainWindow, FontChoicesChangeDrawingFontButNotBoardOrFile) {
    start();
    frmMain& f = *form;
    const QByteArray fileBefore = readAll(ini);
    const QImage boardBefore = f.Board->image();
    clickListEntry(0, "IPAゴシック");
    clickListEntry(1, "36");
    f.CHK[1]->click();
    EXPECT_EQ(f.DSP[0]->text(), "IPAゴシック");
    EXPECT_EQ(f.DSP[1]->text(), "36");
    EXPECT_EQ(gFontTick, -1);
    EXPECT_EQ(QFontInfo(f.TempPic->font()).family(), "IPAGothic");
    EXPECT_DOUBLE_EQ(f.TempPic->font().pointSizeF(), 36.0);
    EXPECT_TRUE(f.TempPic->font().bold());
    EXPECT_TRUE(f.SizeMongon->font().bold());
    f.CHK[1]->click();
    EXPECT_EQ(gFontTick, 0);
    EXPECT_EQ(f.Board->image(), boardBefore);
    EXPECT_EQ(readAll(ini), fileBefore);
}

TEST_F(MainWindow, CloseButtonEndsWithoutWriting) {
    start();
    const QByteArray before = readAll(ini);
    form->CHK[0]->click();
    form->BTN[3]->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(readAll(ini), before);
}

TEST_F(MainWindow, StartButtonStoresTextAndResolvedFont) {
    start();
    form->FLD[0]->setText("");
    clickListEntry(1, "24");
    form->BTN[0]->click();
    EXPECT_EQ(gMongon, "");
    // The classic Windows face is drawn with, and stored as, the installed Japanese face.
    EXPECT_EQ(gFontName, "IPA Pゴシック");
    EXPECT_EQ(gFontSize, 24.0f);
    const QByteArray file = readAll(ini);
    EXPECT_TRUE(file.contains("Mongon=\r\n"));
    EXPECT_TRUE(file.contains(
        "Name=" + QByteArray::fromStdString(engine::settings::toAnsi("IPA Pゴシック"))));
    EXPECT_TRUE(file.contains("Size=24\r\n"));
}

TEST_F(MainWindow, TextBoxKeepsTheFirstLineOfWhateverArrives) {
    start();
    QLineEdit* box = form->FLD[0];
    const QString lines = "big\r\n[Font]\nName=X\rthird";
    const struct {
        const char* way;
        std::function<void()> arrive;
        QString expected;
    } table[] = {
        {"set", [&] { box->setText(lines); }, "big"},
        {"pasted",
         [&] {
             QApplication::clipboard()->setText(lines);
             box->paste();
         },
         "Hello bigWorld"},
        {"typed",
         [&] {
             QInputMethodEvent typed;
             typed.setCommitString(lines);
             QApplication::sendEvent(box, &typed);
         },
         "Hello bigWorld"},
        {"dropped at the end",
         [&] {
             QMimeData data;
             data.setText(lines);
             const QPoint end(box->width() - 3, 5);
             QDragEnterEvent enter(end, Qt::CopyAction, &data, Qt::LeftButton, {});
             QDropEvent drop(end, Qt::CopyAction, &data, Qt::LeftButton, {});
             QApplication::sendEvent(box, &enter);
             QApplication::sendEvent(box, &drop);
         },
         "Hello Worldbig"},
    };
    for (const auto& row : table) {
        box->setText("Hello World");
        box->setCursorPosition(6);
        row.arrive();
        EXPECT_EQ(box->text(), row.expected) << row.way;
    }
    // What the start button stores is that one line, in one "[Font]" section.
    box->setText("first line\n[Font]\nName=X\nthird");
    form->BTN[0]->click();
    EXPECT_EQ(gMongon, "first line");
    const QByteArray file = readAll(ini);
    EXPECT_TRUE(file.contains("\r\nMongon=first line\r\n"));
    EXPECT_EQ(file.count("[Font]"), 1);
}
