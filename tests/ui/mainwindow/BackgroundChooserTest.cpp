#include <gtest/gtest.h>

#include <QColorDialog>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <png.h>

#include "engine/settings/Settings.h"
#include "support/MainWindowFixture.h"
#include "support/TestFiles.h"
#include "support/TestSupport.h"
#include "support/WidgetSupport.h"
#include "ui/widgets/Colors.h"
#include "ui/widgets/PictureBox.h"

namespace {

class Chooser : public MainWindowFixture {
  protected:
    void SetUp() override { start(); }

    // Opens the picture dialog and records what it offers, then cancels.
    QStringList offeredFilters() {
        QStringList filters;
        QString title;
        testsupport::onNextModal([&](QWidget* w) {
            auto* fd = qobject_cast<QFileDialog*>(w);
            filters = fd->nameFilters();
            title = fd->windowTitle();
            EXPECT_EQ(fd->fileMode(), QFileDialog::ExistingFile);
            fd->reject();
        });
        form->DBTN_Click(0);
        EXPECT_EQ(title, "背景の画像");
        return filters;
    }
};

} // namespace

TEST_F(Chooser, PictureDialogOffersGifUnlessTheSettingIsZero) {
    gOptionsGif = 2;
    EXPECT_EQ(offeredFilters(), QStringList{"画像ファイル (*.bmp *.gif *.ico *.jpg *.png)"});
    gOptionsGif = 0;
    EXPECT_EQ(offeredFilters(), QStringList{"画像ファイル (*.bmp *.ico *.jpg *.png)"});
}

TEST_F(Chooser, PickedPicturesLoadAndCancelKeepsThePattern) {
    gOptionsGif = 2;
    testsupport::writeAll(dir.filePath("anim.gif"), testfiles::twoFrameGif());
    testsupport::answerFileDialog(dir.filePath("anim.gif"));
    form->DBTN[0]->click();
    EXPECT_EQ(form->Dot[0]->image().size(), QSize(1, 1));

    testfiles::writePng(dir.filePath("p.png"), 100, 50, PNG_COLOR_TYPE_RGB, 8, false,
                        [](int x, int) { return qRgb(x, 0, 0); });
    testsupport::answerFileDialog(dir.filePath("p.png"));
    form->DBTN_Click(0);
    EXPECT_EQ(form->Dot[0]->size(), QSize(102, 52));

    testsupport::answerFileDialog("");
    form->DBTN_Click(0);
    EXPECT_EQ(form->Dot[0]->size(), QSize(102, 52));
}

TEST_F(Chooser, ChosenColourPaintsTheSwatchAndWaitsForTheNextWrite) {
    form->BTN[0]->click();
    const QImage board = form->Board->image();
    const QByteArray before = testsupport::readAll(ini);
    testsupport::onNextModal([](QWidget* w) {
        auto* cd = qobject_cast<QColorDialog*>(w);
        cd->setCurrentColor(QColor(0, 128, 255));
        cd->accept();
    });
    form->DBTN[1]->click();
    EXPECT_EQ(gBackColor, 0xFF8000);
    EXPECT_EQ(form->Area[1]->image().pixel(3, 3), qRgb(0, 128, 255));
    EXPECT_EQ(form->Board->image(), board);
    EXPECT_EQ(testsupport::readAll(ini), before);

    testsupport::onNextModal([](QWidget* w) { qobject_cast<QColorDialog*>(w)->reject(); });
    form->DBTN_Click(1);
    EXPECT_EQ(gBackColor, 0xFF8000);

    form->BTN[0]->click();
    EXPECT_TRUE(testsupport::readAll(ini).contains("BackColor=16744448\r\n"));
}

TEST_F(Chooser, DroppedPngShowsInTheSavedLetters) {
    const auto stripe = [](int x, int) { return x % 2 ? qRgb(250, 10, 10) : qRgb(10, 250, 10); };
    testfiles::writePng(dir.filePath("stripes.png"), 6, 4, PNG_COLOR_TYPE_RGB, 8, false, stripe);
    form->Dot_OLEDragDrop(0, {dir.filePath("stripes.png")});
    form->FLD[0]->setText("IIII");
    form->DSP[1]->setText("40");
    form->ApplyFont();
    form->BTN[0]->click();
    testsupport::answerFileDialog(dir.filePath("out.png"));
    form->BTN[1]->click();
    EXPECT_EQ(form->MSG->text(), ">out.png");

    const QImage saved = QImage(dir.filePath("out.png")).convertToFormat(QImage::Format_RGB32);
    const QImage mask = maskOf("IIII", form->TempPic->font());
    ASSERT_EQ(saved.size(), mask.size());
    int letters = 0;
    for (int y = 0; y < saved.height(); ++y)
        for (int x = 0; x < saved.width(); ++x) {
            const bool inLetter = (mask.pixel(x, y) & 0xFFFFFF) != 0;
            letters += inLetter;
            ASSERT_EQ(saved.pixel(x, y), inLetter ? stripe(x % 6, y % 4) : qRgb(0, 0, 0));
        }
    EXPECT_GT(letters, 50);
}
