#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QBuffer>
#include <QTemporaryDir>
#include <QPalette>
#include <QPushButton>

#include "cli/CutCommand.h"
#include "engine/settings/Settings.h"
#include "support/MainWindowFixture.h"
#include "support/TestFiles.h"
#include "support/TestSupport.h"
#include "support/WidgetSupport.h"

namespace {

// velmora-cut in this process; its exit status.
int cut(const QStringList& arguments) {
    QByteArray in, out, err;
    QBuffer inBuffer(&in), outBuffer(&out), errBuffer(&err);
    inBuffer.open(QIODevice::ReadOnly);
    outBuffer.open(QIODevice::WriteOnly);
    errBuffer.open(QIODevice::WriteOnly);
    return cli::runCut(arguments, {&inBuffer, &outBuffer, &errBuffer, false});
}

// A desktop in a dark theme, for as long as it lives.
class DarkTheme {
  public:
    DarkTheme() : m_saved(QApplication::palette()) {
        QPalette dark(m_saved);
        for (auto role : {QPalette::Base, QPalette::Window, QPalette::Button})
            dark.setColor(role, Qt::black);
        dark.setColor(QPalette::WindowText, Qt::white);
        QApplication::setPalette(dark);
    }
    ~DarkTheme() { QApplication::setPalette(m_saved); }

  private:
    QPalette m_saved;
};

class SameImage : public MainWindowFixture {
  protected:
    QTemporaryDir out; // velmora-cut's files
    QString file(const QString& name) { return dir.filePath(name); }
};

} // namespace

// One pipeline: from the same settings and pattern, "保存" and velmora-cut
// write the same bytes, pictures and drawings, whatever the desktop's theme; a pattern's transparent
// pixels take the classic white, not the theme's window colour.
TEST_F(SameImage, WindowAndCommandWriteTheSameFiles) {
    testsupport::writeAll(ini, "[Data]\r\nMongon=切り文字 Cut\r\nBackColor=16744448\r\n"
                               "[Font]\r\nName=IPA P明朝\r\nSize=36\r\nItalic=5\r\nTick=-1\r\n");
    testfiles::writePng(file("p.png"), 7, 5, 6 /* RGBA */, 8, false, [](int x, int y) {
        return x == y ? engine::image::rgba(0, 0, 0, 0)
                      : engine::image::rgba(30 * x, 50 * y, 90, 255);
    });
    const DarkTheme dark;
    start();
    settle([&] { form->dropPatternFiles({file("p.png")}); });
    // Names of other first letters, so the dialog's completion never offers one.
    // Then smooth letters on a transparent ground, chosen in the window, stored
    // by "開始" and taken by velmora-cut from the file: the ground stays in a
    // bitmap, and the clipboard's PNG is the file's.
    for (const auto& [looks, names] :
         {std::pair{false, QStringList{"png.png", "bmp.bmp", "jpg.jpg", "vector.svg", "doc.pdf"}},
          std::pair{true, QStringList{"smooth.png", "wide.bmp", "clear.svg"}}}) {
        settings().smooth = settings().transparent = looks;
        press("renderButton");
        form->copyResult();
        for (const QString& name : names) {
            SCOPED_TRACE(name.toStdString());
            testsupport::answerFileDialog(file(name), 1);
            form->saveImage();
            const QString command = out.filePath(name);
            ASSERT_EQ(cut({"--settings", ini, "--pattern", file("p.png"), "-o", command,
                           settings().text}),
                      cli::AllWritten);
            const QByteArray saved = testsupport::readAll(file(name));
            ASSERT_FALSE(saved.isEmpty());
            EXPECT_EQ(saved, testsupport::readAll(command));
            const QByteArray clipped = QApplication::clipboard()->mimeData()->data("image/png");
            if (looks && name.endsWith("png")) {
                EXPECT_EQ(clipped, saved);
            }
        }
    }
    // The pattern's transparent diagonal shows white inside the letters.
    const engine::image::Image written = testfiles::readByImageMagick(file("png.png"));
    int white = 0;
    for (int y = 0; y < written.height(); ++y)
        for (int x = 0; x < written.width(); ++x)
            white += x % 7 == y % 5 && written.pixel(x, y) == engine::image::rgb(255, 255, 255);
    EXPECT_GT(white, 0);
}
