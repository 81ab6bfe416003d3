#include <gtest/gtest.h>

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "engine/settings/Settings.h"
#include "support/MainWindowFixture.h"
#include "support/TestFiles.h"
#include "support/TestSupport.h"
#include "support/WidgetSupport.h"
#include "ui/widgets/PictureBox.h"

using testsupport::answerFileDialog;
using testsupport::answerMessageBox;
using testsupport::readAll;

namespace {

class Saving : public MainWindowFixture {
  protected:
    QTemporaryDir out;

    void SetUp() override {
        start();
        textEdit()->setText("Save me");
        clickListEntry("sizeList", "30");
        press("renderButton");
    }

    QImage board() const { return result()->image(); }
};

QImage decoded(const QString& path) {
    return QImage(path).convertToFormat(QImage::Format_RGB32);
}

// A JPEG's frame marker: progressive (SOF2) or baseline (SOF0). Scan data
// never holds 0xFF followed by either.
bool progressive(const QByteArray& jpeg) {
    return jpeg.contains("\xFF\xC2") && !jpeg.contains("\xFF\xC0");
}

} // namespace

TEST_F(Saving, EachFormatDecodesBackToTheBoard) {
    // The file type is picked after the name is typed; the name stays as typed
    // and the two together decide the file's name and format.
    const struct {
        const char* typed;
        int filter;
        const char* saved;
        QByteArray magic;
    } table[] = {
        {"pic", 1, "pic.BMP", "BM"},
        {"pic.Png", 1, "pic.Png", "\x89PNG"},
        {"photo", 3, "photo.JPG", "\xFF\xD8"},
        {"order.jpg", 2, "order.jpg.BMP", "BM"},
        {"shot.bmp", 4, "shot.bmp.PNG", "\x89PNG"},
    };
    int written = 0;
    for (const auto& row : table) {
        SCOPED_TRACE(row.typed);
        const QString saved = out.filePath(row.saved);
        answerFileDialog(out.filePath(row.typed), row.filter);
        form->saveImage();
        EXPECT_EQ(readAll(saved).left(row.magic.size()), row.magic);
        EXPECT_EQ(status()->text(), QString(">") + row.saved);
        EXPECT_EQ(testsupport::fileCount(out.path()), ++written);
        if (row.magic == "\xFF\xD8") {
            EXPECT_EQ(decoded(saved).size(), board().size());
            EXPECT_FALSE(progressive(readAll(saved)));
        } else {
            EXPECT_EQ(decoded(saved), board());
        }
    }
}

TEST_F(Saving, HandEditedFlagsShowInThePixelsAndTheFile) {
    const auto mask = [](bool italic, bool bold) {
        return maskOf("Wf", {QStringLiteral("ＭＳ Ｐゴシック"), 30, bold, italic});
    };
    const QImage expected = mask(true, true);
    ASSERT_NE(expected, mask(false, true));
    ASSERT_NE(expected, mask(true, false));
    // Any value but 0 is on, not only the -1 the program writes itself.
    for (const char* flags : {"5 -1 1", "-1 1 5", "1 5 -1"}) {
        SCOPED_TRACE(flags);
        const QList<QByteArray> v = QByteArray(flags).split(' ');
        form.reset();
        testsupport::writeAll(ini, "[Font]\r\nSize=30\r\nItalic=" + v[0] + "\r\nTick=" + v[1] +
                                       "\r\n[JPEG]\r\nPrgrs=" + v[2] + "\r\n");
        start();
        textEdit()->setText("Wf");
        press("renderButton");
        const QImage letters = board();
        ASSERT_EQ(letters.size(), expected.size());
        for (int y = 0; y < expected.height(); ++y)
            for (int x = 0; x < expected.width(); ++x)
                ASSERT_EQ(rgbAt(letters, x, y) != 0, rgbAt(expected, x, y) != 0) << x << "," << y;
        answerFileDialog(out.filePath("flags" + v[2]), 3);
        form->saveImage();
        EXPECT_TRUE(progressive(readAll(out.filePath("flags" + v[2] + ".JPG"))));
    }
}

TEST_F(Saving, OverwriteAsksAndNoKeepsTheFile) {
    const QString target = out.filePath("x.png");
    testsupport::writeAll(target, "keep me");
    QString title, text;
    answerFileDialog(target);
    answerMessageBox("いいえ(&N)", &title, &text);
    form->saveImage();
    EXPECT_EQ(title, "上書き確認");
    EXPECT_EQ(text, "上書きしますか？\r\n" + target);
    EXPECT_EQ(readAll(target), "keep me");
    EXPECT_EQ(status()->text(), "ベルモラ");

    answerFileDialog(target);
    answerMessageBox("はい(&Y)");
    form->saveImage();
    EXPECT_EQ(decoded(target), board());
    EXPECT_EQ(status()->text(), ">x.png");
}

TEST_F(Saving, EmptyFileIsOverwrittenWithoutQuestion) {
    const QString target = out.filePath("empty.bmp");
    testsupport::writeAll(target, "");
    answerFileDialog(target);
    form->saveImage(); // a question would block here until the test times out
    EXPECT_EQ(decoded(target), board());
    // The next save dialog opens where this one saved.
    QString opened;
    testsupport::onNextModal([&](QWidget* w) {
        opened = qobject_cast<QFileDialog*>(w)->directory().absolutePath();
        qobject_cast<QFileDialog*>(w)->reject();
    });
    form->saveImage();
    EXPECT_EQ(opened, QDir(out.path()).absolutePath());
}

// Both file dialogs open where a file was last chosen in either, whatever the
// file then gave; a cancel, or a name in a folder that is not there, moves nothing.
TEST_F(Saving, FileDialogsOpenWhereAFileWasLastChosen) {
    for (const char* folder : {"a", "b", "c"})
        QDir(out.path()).mkdir(folder);
    testsupport::writeAll(out.filePath("a/p.bmp"), testfiles::twoFrameGif()); // no BMP
    testsupport::writeAll(out.filePath("c/q.png"), "not a picture either");
    const struct {
        bool save;
        const char* answer; // empty: cancel
        const char* opensIn;
    } steps[] = {
        {false, "a/p.bmp", nullptr}, {true, "b/out.png", "a"}, {false, "", "b"},
        {true, "", "b"},             {false, "c/q.png", "b"},  {true, "d/e/out.png", "c"},
        {false, "", "c"},            {true, "b/out", "c"},     {false, "", "b"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(std::string(step.save ? "save " : "pattern ") + step.answer);
        QString opened;
        const QString answer = *step.answer ? out.filePath(step.answer) : QString();
        answerFileDialog(answer, step.save ? 4 : 1, &opened);
        if (QString(step.answer).startsWith("d/"))
            answerMessageBox("OK"); // the folder is not there: 76
        if (step.save)
            form->saveImage();
        else
            settle([&] { press("choosePatternButton"); });
        if (step.opensIn) {
            EXPECT_EQ(opened, QDir(out.filePath(step.opensIn)).absolutePath());
        }
    }
    EXPECT_TRUE(QFile::exists(out.filePath("b/out.PNG")));
}

TEST_F(Saving, CancelTouchesNothing) {
    answerFileDialog("");
    form->saveImage();
    EXPECT_EQ(status()->text(), "ベルモラ");
    EXPECT_EQ(testsupport::fileCount(out.path()), 0);
}

// The messages name the file the save tried to write, with the extension the
// file type gave the name typed.
TEST_F(Saving, FailedWriteIsReportedAndOldFileKept) {
    const QString target = out.filePath("old.JPG");
    testsupport::writeAll(target, "old bytes");
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (attempt == 0) {
            settings().jpegRate = 300; // no file gives this; an encoder refusal all the same
        } else {
            settings().jpegRate = 50;
            QFile::setPermissions(target, QFile::ReadOwner);
        }
        QString title, text;
        answerFileDialog(out.filePath("old"), 3);
        answerMessageBox("はい(&Y)");
        answerMessageBox("OK", &title, &text);
        form->saveImage();
        EXPECT_EQ(title, "保存エラー");
        EXPECT_TRUE(text.startsWith(target + "\r\n")) << text.toStdString();
        // The status line no longer says it is saving; it names the file and the reason.
        const QString why = text.mid(target.size() + 2);
        EXPECT_FALSE(why.isEmpty());
        EXPECT_EQ(form->status(), "×old.JPG: " + why);
        EXPECT_EQ(readAll(target), "old bytes");
    }
    settings().pngLevel = 7;
    QString text;
    answerFileDialog(out.filePath("new"), 4);
    answerMessageBox("OK", nullptr, &text);
    form->saveImage();
    EXPECT_TRUE(text.startsWith(out.filePath("new.PNG") + "\r\n")) << text.toStdString();
    EXPECT_EQ(form->status().left(9), "×new.PNG:");
    EXPECT_EQ(testsupport::fileCount(out.path()), 1);
}

TEST_F(Saving, WritableFileInReadOnlyFolderIsOverwrittenInPlace) {
    const auto step = [this](const QString& folder) {
        answerFileDialog(folder + "/pic.png");
        answerMessageBox("はい(&Y)");
        QString error;
        answerMessageBox("OK", nullptr, &error); // only a failure shows one
        form->saveImage();
        EXPECT_EQ(status()->text(), ">pic.png") << error.toStdString();
        testsupport::cancelPendingAnswers();
    };
    if (const QString folder = testsupport::userStepFolder(); !folder.isEmpty())
        return step(folder);
    testsupport::ReadOnlyFolder folder;
    const QString target = folder.filePath("pic.png"), link = folder.filePath("same.png");
    testsupport::writeAll(target, "old bytes");
    ASSERT_EQ(::link(QFile::encodeName(target), QFile::encodeName(link)), 0);
    folder.lock();
    if (QString why = testsupport::runAsOrdinaryUser(folder.path(), step); !why.isEmpty())
        GTEST_SKIP() << why.toStdString();
    EXPECT_EQ(decoded(target), board());
    EXPECT_EQ(readAll(link), readAll(target));
    EXPECT_EQ(testsupport::fileCount(folder.path()), 2);
}

TEST_F(Saving, MissingFolderEndsTheSaveNotTheProgram) {
    testsupport::writeAll(out.filePath("notes.txt"), "text");
    // A folder that does not exist, and a file named as if it were a folder.
    for (const char* name : {"nowhere/pic.png", "notes.txt/pic.png"}) {
        QString title, text;
        answerFileDialog(out.filePath(name));
        answerMessageBox("OK", &title, &text);
        form->saveImage();
        EXPECT_EQ(title, "システムエラー") << name;
        EXPECT_TRUE(text.startsWith("76:")) << text.toStdString();
    }
    EXPECT_EQ(status()->text(), "ベルモラ");
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(testsupport::fileCount(out.path()), 1);
}

TEST_F(Saving, BeforeAnyRenderingTheBlankBoardIsSaved) {
    form.reset();
    start();
    answerFileDialog(out.filePath("blank.png"));
    form->saveImage();
    const QImage saved = decoded(out.filePath("blank.png"));
    EXPECT_EQ(saved.size(), QSize(343, 98));
}
