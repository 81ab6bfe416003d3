#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <functional>
#include <memory>
#include <QLineEdit>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTest>

#include "engine/settings/Settings.h"
#include "engine/text/TextDrawing.h"
#include "support/MainWindowFixture.h"
#include "support/TestSupport.h"
#include "support/WidgetSupport.h"
#include "ui/widgets/PictureBox.h"

namespace {

class Rendering : public MainWindowFixture {
  protected:
    void SetUp() override { start(); }

    // The letters' mask: white text on black at the measured size.
    QImage mask(const QString& text) { return maskOf(text, form->drawingFont()); }

    // Every pixel is the tiled pattern where the mask is white and the
    // background colour elsewhere.
    void expectCutLetters(const QString& text, unsigned background) {
        textEdit()->setText(text);
        press("renderButton");
        const QImage m = mask(text);
        const QImage& board = result()->image();
        const QImage& pattern = patternView()->image();
        ASSERT_EQ(board.size(), m.size());
        ASSERT_EQ(result()->size(), m.size() + QSize(2, 2));
        int letters = 0;
        for (int y = 0; y < m.height(); ++y) {
            for (int x = 0; x < m.width(); ++x) {
                const unsigned mp = rgbAt(m, x, y);
                ASSERT_TRUE(mp == 0 || mp == 0xFFFFFF) << "mask not pure at " << x << "," << y;
                const unsigned want =
                    mp ? rgbAt(pattern, x % pattern.width(), y % pattern.height()) : background;
                letters += mp != 0;
                ASSERT_EQ(rgbAt(board, x, y), want) << x << "," << y;
            }
        }
        EXPECT_GT(letters, 0);
    }
};

} // namespace

TEST_F(Rendering, LettersShowPatternAndGroundShowsColour) {
    expectCutLetters("Sample", 0x000000);
    settings().groundColor = 0x0080FF; // COLORREF: red FF, green 80
    chooseFont("IPA Pゴシック", 40, true, true);
    expectCutLetters("切り文字 Cut", 0xFF8000);
    engine::image::Image stripes(5, 3, engine::image::Format::Rgb32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            reinterpret_cast<QRgb*>(stripes.scanLine(y))[x] = qRgb(40 * x, 80 * y, 200);
    form->setPattern(stripes);
    expectCutLetters("WWW", 0xFF8000);
}

// Which message the status line shows after each event: an empty text says
// so and keeps the letters, a copy says it copied, a drawing clears an error.
TEST_F(Rendering, StatusLineFollowsEmptyTextCopyAndRecovery) {
    textEdit()->setText("Ab");
    press("renderButton");
    const QImage drawn = result()->image();
    textEdit()->setText("");
    press("renderButton");
    EXPECT_EQ(status()->text(), "文字が空です");
    EXPECT_EQ(result()->image(), drawn);
    EXPECT_TRUE(testsupport::readAll(ini).contains("Mongon=\r\n"));
    QTest::mouseClick(result(), Qt::LeftButton);
    EXPECT_EQ(status()->text(), "コピーしました");
    // A failed save's "×name: why", then letters drawn anew.
    settings().pngLevel = 7; // no encoder takes it
    testsupport::answerFileDialog(QDir(dir.path()).filePath("pic.png"), 1);
    testsupport::answerMessageBox("OK");
    form->saveImage();
    EXPECT_TRUE(form->status().startsWith("×pic.png: ")) << form->status().toStdString();
    textEdit()->setText("Cd");
    press("renderButton");
    EXPECT_EQ(status()->text(), "ベルモラ");
}

TEST_F(Rendering, ItalicOverhangIsWholeInTheImage) {
    chooseFont("IPA Pゴシック", 60, true);
    expectCutLetters("f", 0x000000);
    // The slanted "f" reaches past its advance width: the image grows to hold it.
    const int W = result()->innerWidth();
    int lastColumn = 0;
    for (int y = 0; y < result()->innerHeight(); ++y)
        lastColumn += rgbAt(result()->image(), W - 1, y) != 0;
    EXPECT_GT(lastColumn, 0);
}

TEST_F(Rendering, BoardKeepsItsImageUntilStart) {
    textEdit()->setText("Sample");
    press("renderButton");
    const QImage before = result()->image();
    chooseFont("IPAゴシック", 30, false, true);
    settings().groundColor = 0x00FF00;
    form->setPattern(engine::image::Image(8, 8, engine::image::Format::Rgb32));
    EXPECT_EQ(result()->image(), before);
}

TEST_F(Rendering, PatternWithoutPixelsGivesBlackLetters) {
    form->setPattern(engine::image::Image());
    settings().groundColor = 0xFFFFFF;
    textEdit()->setText("Ab");
    press("renderButton");
    const QImage m = mask("Ab");
    for (int y = 0; y < m.height(); ++y)
        for (int x = 0; x < m.width(); ++x)
            ASSERT_EQ(rgbAt(result()->image(), x, y), rgbAt(m, x, y) ? 0u : 0xFFFFFFu);
}

TEST_F(Rendering, BoldShowsAtTheLargestSizeForFacesWithoutBold) {
    const auto litPixels = [&](bool bold) {
        chooseFont("IPA Pゴシック", 120, false, bold);
        textEdit()->setText("太字 Bold");
        press("renderButton");
        int lit = 0;
        const QImage& board = result()->image();
        for (int y = 0; y < board.height(); ++y)
            for (int x = 0; x < board.width(); ++x)
                lit += rgbAt(board, x, y) != 0;
        return lit;
    };
    const int regular = litPixels(false);
    const int bold = litPixels(true);
    EXPECT_GT(bold, regular * 5 / 4);
}

TEST_F(Rendering, OversizedTextIsRefusedAndBoardKept) {
    textEdit()->setText("Sample");
    press("renderButton");
    const QImage before = result()->image();
    const QByteArray file = testsupport::readAll(ini);
    // Too wide, then too large by area alone: over 256 MiB with both sides in range.
    for (const auto& [size, letters] : {std::pair{120, 400}, std::pair{2500, 7}}) {
        chooseFont("IPA Pゴシック", size);
        textEdit()->setText(QString(letters, QChar(u'あ')));
        const QSize text = engine::text::measureText(textEdit()->text(), form->drawingFont());
        const bool byAreaOnly = text.width() <= 32767 && text.height() <= 32767 &&
                                qint64{text.width()} * text.height() * 4 > 256 << 20;
        ASSERT_EQ(byAreaOnly, size == 2500) << text.width() << " x " << text.height();
        QString title;
        testsupport::onNextModal([&](QWidget* w) {
            title = w->windowTitle();
            testsupport::clickButton(w, "OK");
        });
        press("renderButton");
        EXPECT_EQ(title, "ベルモラ") << size;
        EXPECT_EQ(result()->image(), before);
        EXPECT_EQ(testsupport::readAll(ini), file);
    }
}

TEST_F(Rendering, ClickCopiesExactlyTheBoardImage) {
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->setText("earlier text");
    QTest::mouseClick(result(), Qt::LeftButton);
    QImage copied = clipboard->image();
    EXPECT_EQ(copied.size(), QSize(343, 98));
    EXPECT_FALSE(clipboard->mimeData()->hasText());

    textEdit()->setText("Clip");
    press("renderButton");
    // A click, Ctrl+C away from the text box and the result's menu copy the same image.
    const std::function<void()> ways[] = {
        [&] { QTest::mouseClick(result(), Qt::LeftButton); },
        [&] { QTest::keyClick(child("renderButton"), Qt::Key_C, Qt::ControlModifier); },
        [&] { result()->actions().value(0)->trigger(); }};
    for (const auto& copy : ways) {
        clipboard->clear();
        copy();
        EXPECT_EQ(clipboard->image().convertToFormat(QImage::Format_RGB32), result()->image());
    }
    // Ctrl+C in the text box copies its text, not the image.
    textEdit()->selectAll();
    QTest::keyClick(textEdit(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), "Clip");
}

// A drag hands on the image and a PNG file of it; with a transparent ground
// chosen, both have it, the ground's colour kept under the transparency.
TEST_F(Rendering, DragGivesTheImageAndAPngFile) {
    textEdit()->setText("Ab");
    press("renderButton");
    for (const bool transparent : {false, true}) {
        settings().transparent = transparent;
        const std::unique_ptr<QMimeData> data = form->resultData(true);
        ASSERT_EQ(data->urls().size(), 1);
        // A program that reads no alpha sees the letters on their ground all the same.
        for (const QImage& given : {qvariant_cast<QImage>(data->imageData()),
                                    QImage(data->urls().first().toLocalFile())}) {
            EXPECT_EQ(qAlpha(given.pixel(0, 0)), transparent ? 0 : 255);
            EXPECT_EQ(given.convertToFormat(QImage::Format_RGB32), result()->image());
        }
    }
}
