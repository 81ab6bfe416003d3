#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>

#include "engine/settings/Settings.h"
#include "engine/text/TextDrawing.h"
#include "support/MainWindowFixture.h"
#include "support/TestSupport.h"
#include "support/WidgetSupport.h"
#include "ui/widgets/AutoSizeLabel.h"
#include "ui/widgets/DrawingFont.h"
#include "ui/widgets/PictureBox.h"

namespace {

class Rendering : public MainWindowFixture {
  protected:
    void SetUp() override { start(); }

    void setFont(const QString& family, qreal size, bool italic = false, bool bold = false) {
        gFontItalic = italic ? -1 : 0;
        gFontTick = bold ? -1 : 0;
        form->DSP[0]->setText(family);
        form->DSP[1]->setText(QString::number(size));
        form->ApplyFont();
    }

    // The letters' mask: white text on black at the measured size.
    QImage mask(const QString& text) { return maskOf(text, form->TempPic->font()); }

    // Every pixel is the tiled pattern where the mask is white and the
    // background colour elsewhere.
    void expectCutLetters(const QString& text, unsigned background) {
        form->FLD[0]->setText(text);
        ASSERT_TRUE(form->RenderLetters());
        const QImage m = mask(text);
        const QImage& board = form->Board->image();
        const QImage& pattern = form->Dot[0]->image();
        ASSERT_EQ(board.size(), m.size());
        ASSERT_EQ(form->Board->size(), m.size() + QSize(2, 2));
        ASSERT_EQ(form->SizeMongon->size(), m.size());
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
    form->Area[1]->setBackColor(0x0080FF); // COLORREF: red FF, green 80
    setFont("IPA Pゴシック", 40, true, true);
    expectCutLetters("切り文字 Cut", 0xFF8000);
    engine::image::Image stripes(5, 3, engine::image::Format::Rgb32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            reinterpret_cast<QRgb*>(stripes.scanLine(y))[x] = qRgb(40 * x, 80 * y, 200);
    form->Dot[0]->setPicture(stripes);
    expectCutLetters("WWW", 0xFF8000);
}

TEST_F(Rendering, EmptyTextLeavesABorderOnlyBoard) {
    form->FLD[0]->setText("");
    ASSERT_TRUE(form->RenderLetters());
    EXPECT_EQ(form->Board->width(), 2);
    EXPECT_EQ(form->Board->innerWidth(), 0);
    EXPECT_EQ(form->Board->height(), form->SizeMongon->height() + 2);
}

TEST_F(Rendering, ItalicOverhangIsWholeInTheImage) {
    setFont("IPA Pゴシック", 60, true);
    expectCutLetters("f", 0x000000);
    // The slanted "f" reaches past its advance width: the image grows to hold it.
    const int W = form->Board->innerWidth();
    int lastColumn = 0;
    for (int y = 0; y < form->Board->innerHeight(); ++y)
        lastColumn += rgbAt(form->Board->image(), W - 1, y) != 0;
    EXPECT_GT(lastColumn, 0);
}

TEST_F(Rendering, BoardKeepsItsImageUntilStart) {
    form->FLD[0]->setText("Sample");
    ASSERT_TRUE(form->RenderLetters());
    const QImage before = form->Board->image();
    setFont("IPAゴシック", 30, false, true);
    form->Area[1]->setBackColor(0x00FF00);
    form->Dot[0]->setPicture(engine::image::Image(8, 8, engine::image::Format::Rgb32));
    EXPECT_EQ(form->Board->image(), before);
}

TEST_F(Rendering, PatternWithoutPixelsGivesBlackLetters) {
    form->Dot[0]->setPicture(engine::image::Image());
    form->Area[1]->setBackColor(0xFFFFFF);
    form->FLD[0]->setText("Ab");
    ASSERT_TRUE(form->RenderLetters());
    const QImage m = mask("Ab");
    for (int y = 0; y < m.height(); ++y)
        for (int x = 0; x < m.width(); ++x)
            ASSERT_EQ(rgbAt(form->Board->image(), x, y), rgbAt(m, x, y) ? 0u : 0xFFFFFFu);
}

TEST_F(Rendering, BoldShowsAtTheLargestSizeForFacesWithoutBold) {
    const auto litPixels = [&](bool bold) {
        setFont("IPA Pゴシック", 120, false, bold);
        form->FLD[0]->setText("太字 Bold");
        EXPECT_TRUE(form->RenderLetters());
        int lit = 0;
        const QImage& board = form->Board->image();
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
    form->FLD[0]->setText("Sample");
    form->BTN[0]->click();
    const QImage before = form->Board->image();
    const QByteArray file = testsupport::readAll(ini);
    // Too wide, then too large by area alone: over 256 MiB with both sides in range.
    for (const auto& [size, letters] : {std::pair{120, 400}, std::pair{2500, 7}}) {
        setFont("IPA Pゴシック", size);
        form->FLD[0]->setText(QString(letters, QChar(u'あ')));
        const QSize text =
            engine::text::measureText(form->FLD[0]->text(), ui::specOf(form->TempPic->font()));
        const bool byAreaOnly = text.width() <= 32767 && text.height() <= 32767 &&
                                qint64{text.width()} * text.height() * 4 > 256 << 20;
        ASSERT_EQ(byAreaOnly, size == 2500) << text.width() << " x " << text.height();
        QString title;
        testsupport::onNextModal([&](QWidget* w) {
            title = w->windowTitle();
            testsupport::clickButton(w, "OK");
        });
        form->BTN[0]->click();
        EXPECT_EQ(title, "ベルモラ") << size;
        EXPECT_EQ(form->Board->image(), before);
        EXPECT_EQ(testsupport::readAll(ini), file);
    }
}

TEST_F(Rendering, ClickCopiesExactlyTheBoardImage) {
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->setText("earlier text");
    form->Board_Click();
    QImage copied = clipboard->image();
    EXPECT_EQ(copied.size(), QSize(343, 98));
    EXPECT_FALSE(clipboard->mimeData()->hasText());

    form->FLD[0]->setText("Clip");
    ASSERT_TRUE(form->RenderLetters());
    form->Board_Click();
    copied = clipboard->image().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(copied, form->Board->image());
}
