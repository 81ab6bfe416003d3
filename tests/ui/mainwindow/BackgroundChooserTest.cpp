#include <gtest/gtest.h>

#include <QColorDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
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
        settle([&] { press("choosePatternButton"); });
        EXPECT_EQ(title, "背景の画像");
        return filters;
    }

    // The folder the picture dialog opens in; the dialog is cancelled.
    QString openedFolder() {
        QString opened;
        testsupport::onNextModal([&](QWidget* w) {
            opened = qobject_cast<QFileDialog*>(w)->directory().absolutePath();
            qobject_cast<QFileDialog*>(w)->reject();
        });
        settle([&] { press("choosePatternButton"); });
        return opened;
    }
};

} // namespace

TEST_F(Chooser, PictureDialogOffersGifUnlessTheSettingIsZero) {
    const QString all = "すべてのファイル (*.*) (*)";
    settings().gif = engine::settings::GifUse::ChosenOnly;
    EXPECT_EQ(offeredFilters(),
              QStringList({"画像ファイル (*.bmp *.gif *.ico *.jpg *.jpeg *.png)", all}));
    settings().gif = engine::settings::GifUse::None;
    EXPECT_EQ(offeredFilters(), QStringList({"画像ファイル (*.bmp *.ico *.jpg *.jpeg *.png)", all}));
}

// A run's first file dialog opens in the user's pictures folder, else at home,
// wherever the program was started from.
TEST_F(Chooser, FirstDialogOpensInPicturesElseHome) {
    const QTemporaryDir home;
    const QByteArray before = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(home.path())); // no user-dirs.dirs there: ~/Pictures
    for (const char* folder : {".", "Pictures"}) {
        QDir(home.path()).mkdir(folder);
        form.reset();
        start();
        EXPECT_EQ(openedFolder(), QDir(home.filePath(folder)).absolutePath());
    }
    qputenv("HOME", before);
}

TEST_F(Chooser, PickedPicturesLoadAndCancelKeepsThePattern) {
    settings().gif = engine::settings::GifUse::ChosenOnly;
    testsupport::writeAll(dir.filePath("anim.gif"), testfiles::twoFrameGif());
    testsupport::answerFileDialog(dir.filePath("anim.gif"));
    settle([&] { press("choosePatternButton"); });
    EXPECT_EQ(patternView()->image().size(), QSize(1, 1));

    testfiles::writePng(dir.filePath("p.png"), 100, 50, PNG_COLOR_TYPE_RGB, 8, false,
                        [](int x, int) { return qRgb(x, 0, 0); });
    testsupport::answerFileDialog(dir.filePath("p.png"));
    settle([&] { press("choosePatternButton"); });
    EXPECT_EQ(patternView()->size(), QSize(102, 52));

    // The next dialog opens in the folder used last, and a cancel keeps the pattern.
    EXPECT_EQ(openedFolder(), QDir(dir.path()).absolutePath());
    EXPECT_EQ(patternView()->size(), QSize(102, 52));

    // A file that is no picture: the pattern stays, and the status line says why.
    testsupport::writeAll(dir.filePath("notes.bmp"), "plain text");
    testsupport::answerFileDialog(dir.filePath("notes.bmp"));
    settle([&] { press("choosePatternButton"); });
    EXPECT_EQ(patternView()->size(), QSize(102, 52));
    EXPECT_TRUE(form->status().startsWith("×notes.bmp: ")) << form->status().toStdString();
}

TEST_F(Chooser, ChosenColourPaintsTheSwatchAndWaitsForTheNextWrite) {
    press("renderButton");
    const QImage board = result()->image();
    const QByteArray before = testsupport::readAll(ini);
    testsupport::onNextModal([](QWidget* w) {
        auto* cd = qobject_cast<QColorDialog*>(w);
        cd->setCurrentColor(QColor(0, 128, 255));
        cd->accept();
    });
    press("chooseColorButton");
    EXPECT_EQ(settings().groundColor, 0xFF8000u);
    EXPECT_EQ(colorSwatch()->image().pixel(3, 3), qRgb(0, 128, 255));
    EXPECT_EQ(result()->image(), board);
    EXPECT_EQ(testsupport::readAll(ini), before);

    testsupport::onNextModal([](QWidget* w) { qobject_cast<QColorDialog*>(w)->reject(); });
    press("chooseColorButton");
    EXPECT_EQ(settings().groundColor, 0xFF8000u);

    press("renderButton");
    EXPECT_TRUE(testsupport::readAll(ini).contains("BackColor=16744448\r\n"));
}

TEST_F(Chooser, DroppedPngShowsInTheSavedLetters) {
    const auto stripe = [](int x, int) { return x % 2 ? qRgb(250, 10, 10) : qRgb(10, 250, 10); };
    testfiles::writePng(dir.filePath("stripes.png"), 6, 4, PNG_COLOR_TYPE_RGB, 8, false, stripe);
    settle([&] { form->dropPatternFiles({dir.filePath("stripes.png")}); });
    textEdit()->setText("IIII");
    clickListEntry("sizeList", "40");
    press("renderButton");
    testsupport::answerFileDialog(dir.filePath("out.png"));
    press("saveButton");
    EXPECT_EQ(status()->text(), ">out.png");

    const QImage saved = QImage(dir.filePath("out.png")).convertToFormat(QImage::Format_RGB32);
    const QImage mask = maskOf("IIII", form->drawingFont());
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
