#pragma once

#include <memory>

#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>

#include "ui/mainwindow/frmMain.h"

// A main window started as the program starts it, with its settings file in a
// temporary folder. Tests may write the file before calling start().
class MainWindowFixture : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    QString ini = dir.filePath("Velmora.Ini");
    std::unique_ptr<frmMain> form;

    void start();
    void TearDown() override;

    // Clicks the list entry with this text; fails the test if it is missing.
    void clickListEntry(std::int16_t index, const QString& text);
};

// The text's mask as the glyph engine draws it at its measured size: white
// letters on black.
QImage maskOf(const QString& text, const QFont& font);

// Pixel of an image as a COLORREF-free 0xRRGGBB value.
inline unsigned rgbAt(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFFu;
}
