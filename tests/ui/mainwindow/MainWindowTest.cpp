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
#include <QStyle>

#include "engine/settings/CodePage.h"
#include "engine/settings/Settings.h"
#include "support/MainWindowFixture.h"
#include "support/TestSupport.h"
#include "support/WidgetSupport.h"
#include "ui/widgets/ClassicLayout.h"
#include "ui/widgets/PictureBox.h"
#include "ui/widgets/ScrollView.h"

using testsupport::readAll;
using testsupport::writeAll;

using testsupport::captionOf;
using testsupport::nextTabStop;

using Window = MainWindowFixture;

TEST_F(Window, ControlsHaveTheirCaptionsGeometryAndTabOrder) {
    start();
    const struct {
        const char* name;
        QString caption;
        QRect twips;
    } table[] = {
        {"textCaption", "文字", {120, 180, 855, 255}},
        {"textEdit", "Sample", {960, 120, 4335, 270}},
        {"fontCaption", "フォント", {120, 540, 855, 255}},
        {"faceLabel", "ＭＳ Ｐゴシック", {960, 480, 3495, 255}},
        {"sizeLabel", "10", {4560, 480, 735, 255}},
        {"faceList", "", {960, 840, 3495, 1140}},
        {"sizeList", "", {4560, 840, 735, 1140}},
        {"patternCaption", "背景の絵", {120, 2160, 855, 255}},
        {"patternFrame", "", {960, 2160, 780, 780}},
        {"choosePatternButton", "...", {600, 2400, 255, 255}},
        {"italicBox", "斜体", {1800, 2160, 735, 255}},
        {"boldBox", "太字", {1800, 2520, 735, 255}},
        {"colorCaption", "背景の色", {2760, 2160, 855, 255}},
        {"colorSwatch", "", {3600, 2160, 780, 780}},
        {"chooseColorButton", "...", {3240, 2400, 255, 255}},
        {"renderButton", "開始", {120, 3000, 735, 375}},
        {"saveButton", "保存", {960, 3000, 735, 375}},
        {"optionsButton", "ｵﾌﾟｼｮﾝ", {1800, 3000, 735, 375}},
        {"closeButton", "閉じる", {4560, 3000, 735, 375}},
        {"statusLabel", "ベルモラ", {2640, 3120, 1455, 255}},
        {"resultView", "", {120, 3480, 5175, 1500}},
    };
    // The window opens at its size and may grow, not shrink; no control moves
    // with it, and the view around the result reaches the window's edges.
    EXPECT_EQ(form->size(), QSize(363, 338));
    EXPECT_EQ(form->minimumSize(), QSize(363, 338));
    EXPECT_GT(form->maximumWidth(), 4000);
    EXPECT_GT(form->maximumHeight(), 4000);
    auto* view = child<ScrollView>("resultScroll");
    for (const QSize size : {QSize(363, 338), QSize(900, 700)}) {
        form->resize(size);
        ASSERT_EQ(form->size(), size);
        for (const auto& row : table) {
            SCOPED_TRACE(std::string(row.name) + " in " + std::to_string(size.width()));
            QWidget* control = child(row.name);
            EXPECT_EQ(captionOf(control), row.caption);
            EXPECT_EQ(QRect(control->mapTo(form.get(), QPoint()), control->size()),
                      ui::fromTwips(row.twips));
        }
        EXPECT_EQ(view->geometry(), QRect(8, 232, size.width() - 8, size.height() - 232));
        // The result fits: no scroll bar, so the window looks as it always did.
        EXPECT_FALSE(view->horizontalScrollBar()->isVisible());
        EXPECT_FALSE(view->verticalScrollBar()->isVisible());
    }
    form->resize(363, 338);
    EXPECT_EQ(testsupport::clippedCaptions(form.get()).join("; ").toStdString(), "");
    EXPECT_EQ(testsupport::layoutFaults(form.get()).join("; ").toStdString(), "");
    // The captions' face: a proportional Japanese Gothic at the classic 9 points.
    const QFontInfo face(form->font());
    EXPECT_EQ(face.family(), "IPAPGothic");
    EXPECT_FALSE(face.fixedPitch());
    EXPECT_EQ(face.pointSize(), 9);
    EXPECT_EQ(form->windowTitle(), "ベルモラ");
    EXPECT_FALSE(form->windowIcon().isNull());
    EXPECT_EQ(patternView()->parentWidget(), child("patternFrame"));
    EXPECT_EQ(patternView()->geometry(), QRect(1, 1, 34, 34));
    EXPECT_EQ(result()->toolTip(), "画像をクリックすると、クリップボードへコピーします。");
    EXPECT_EQ(result()->innerWidth(), 343);
    EXPECT_EQ(result()->innerHeight(), 98);

    const char* order[] = {
        "textEdit",   "faceList",      "sizeList",          "choosePatternButton",
        "italicBox",  "boldBox",       "chooseColorButton", "renderButton",
        "saveButton", "optionsButton", "closeButton",       "resultView", "textEdit"};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        EXPECT_EQ(nextTabStop(child(order[i])), child(order[i + 1])) << "after " << order[i];
}

TEST_F(Window, StartUpShowsTheStoredSettings) {
    writeAll(ini, QByteArray("[Data]\r\nMongon=切り文字\r\nBackColor=16744448\r\n"
                             "[Font]\r\nSize=12.5\r\nItalic=5\r\nTick=0\r\n")
                      .replace("切り文字",
                               QByteArray::fromStdString(engine::settings::toAnsi("切り文字"))));
    start();
    EXPECT_TRUE(form->isEnabled());
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(child<QLabel>("faceLabel")->text(), "ＭＳ Ｐゴシック");
    EXPECT_EQ(child<QLabel>("sizeLabel")->text(), "12.5");
    EXPECT_EQ(textEdit()->text(), "切り文字");
    EXPECT_TRUE(child<QCheckBox>("italicBox")->isChecked());
    EXPECT_FALSE(child<QCheckBox>("boldBox")->isChecked());
    EXPECT_TRUE(settings().italic);
    EXPECT_EQ(colorSwatch()->backColor(), 16744448u);
    EXPECT_EQ(rgbAt(colorSwatch()->image(), 5, 5), 0x0080FFu); // 0x00BBGGRR shown as RRGGBB
    EXPECT_EQ(status()->text(), "ベルモラ");
    auto* sizes = child<QListWidget>("sizeList");
    auto* faces = child<QListWidget>("faceList");
    ASSERT_EQ(sizes->count(), 113);
    EXPECT_EQ(sizes->item(0)->text(), "8");
    EXPECT_EQ(sizes->item(112)->text(), "120");
    EXPECT_GT(faces->count(), 0);
    EXPECT_TRUE(faces->selectedItems().isEmpty());
    EXPECT_TRUE(sizes->selectedItems().isEmpty());
    EXPECT_DOUBLE_EQ(form->drawingFont().pointSize, 12.5);
    EXPECT_TRUE(form->drawingFont().italic);
    EXPECT_FALSE(form->drawingFont().bold);
}

TEST_F(Window, SizeOutsideTheListIsShownAndUsed) {
    writeAll(ini, "[Font]\r\nSize=7\r\n");
    start();
    EXPECT_EQ(child<QLabel>("sizeLabel")->text(), "7");
    EXPECT_DOUBLE_EQ(form->drawingFont().pointSize, 7.0);
}

TEST_F(Window, StoredVerticalFaceStartsAndIsStoredAgain) {
    const QByteArray name =
        "Name=" + QByteArray::fromStdString(engine::settings::toAnsi("@IPA P明朝"));
    writeAll(ini, "[Font]\r\n" + name + "\r\n");
    start();
    EXPECT_EQ(child<QLabel>("faceLabel")->text(), "@IPA P明朝");
    EXPECT_EQ(form->drawingFont().family, "IPA P明朝");
    EXPECT_TRUE(form->drawingFont().vertical);
    press("renderButton");
    EXPECT_EQ(settings().fontFamily, "@IPA P明朝");
    EXPECT_TRUE(readAll(ini).contains(name + "\r\n"));
}

TEST_F(Window, FontChoicesChangeDrawingFontButNotBoardOrFile) {
    start();
    const QByteArray fileBefore = readAll(ini);
    const QImage boardBefore = result()->image();
    clickListEntry("faceList", "IPAゴシック");
    clickListEntry("sizeList", "36");
    child<QCheckBox>("boldBox")->click();
    EXPECT_EQ(child<QLabel>("faceLabel")->text(), "IPAゴシック");
    EXPECT_EQ(child<QLabel>("sizeLabel")->text(), "36");
    EXPECT_TRUE(settings().bold);
    EXPECT_EQ(engine::text::faceName(form->drawingFont()), "IPAゴシック");
    EXPECT_DOUBLE_EQ(form->drawingFont().pointSize, 36.0);
    EXPECT_TRUE(form->drawingFont().bold);
    child<QCheckBox>("boldBox")->click();
    EXPECT_FALSE(settings().bold);
    EXPECT_FALSE(form->drawingFont().bold);
    EXPECT_EQ(result()->image(), boardBefore);
    EXPECT_EQ(readAll(ini), fileBefore);
}

TEST_F(Window, CloseButtonEndsWithoutWriting) {
    start();
    const QByteArray before = readAll(ini);
    child<QCheckBox>("italicBox")->click();
    press("closeButton");
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(readAll(ini), before);
}

TEST_F(Window, StartButtonStoresTextAndResolvedFont) {
    start();
    textEdit()->setText("");
    clickListEntry("sizeList", "24");
    press("renderButton");
    EXPECT_EQ(settings().text, "");
    // The classic Windows face is drawn with, and stored as, the installed Japanese face.
    EXPECT_EQ(settings().fontFamily, "IPA Pゴシック");
    EXPECT_EQ(settings().pointSize, 24.0f);
    const QByteArray file = readAll(ini);
    EXPECT_TRUE(file.contains("Mongon=\r\n"));
    EXPECT_TRUE(file.contains(
        "Name=" + QByteArray::fromStdString(engine::settings::toAnsi("IPA Pゴシック"))));
    EXPECT_TRUE(file.contains("Size=24\r\n"));
}

TEST_F(Window, TextBoxKeepsTheFirstLineOfWhateverArrives) {
    start();
    QLineEdit* box = textEdit();
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
    press("renderButton");
    EXPECT_EQ(settings().text, "first line");
    const QByteArray file = readAll(ini);
    EXPECT_TRUE(file.contains("\r\nMongon=first line\r\n"));
    EXPECT_EQ(file.count("[Font]"), 1);
}

// Under Fusion and under the Windows style, with its wider scroll bars, neither
// list scrolls sideways, however long a face's name, and the sizes fit whole.
TEST_F(Window, ListsNeverScrollSidewaysInAnyStyle) {
    const struct Restore { // however the test ends
        QString style = QApplication::style()->name();
        ~Restore() { QApplication::setStyle(style); }
    } restore;
    for (const char* style : {"Fusion", "Windows"}) {
        QApplication::setStyle(style);
        form.reset();
        start();
        auto *faces = child<QListWidget>("faceList"), *sizes = child<QListWidget>("sizeList");
        faces->addItem(QString(200, u'W'));
        QApplication::processEvents();
        EXPECT_FALSE(faces->horizontalScrollBar()->isVisible() || sizes->horizontalScrollBar()->isVisible());
        EXPECT_LE(sizes->fontMetrics().horizontalAdvance("120"), sizes->viewport()->width()) << style;
    }
}
