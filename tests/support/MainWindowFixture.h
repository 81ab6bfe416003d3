#pragma once

#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "engine/settings/Settings.h"
#include "engine/text/GlyphEngine.h"
#include "ui/mainwindow/MainWindow.h"
#include "ui/widgets/PictureBox.h"

// A main window started as the program starts it, with its settings file in a
// temporary folder. Tests may write the file before calling start().
class MainWindowFixture : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    QString ini = dir.filePath("Velmora.Ini");
    std::unique_ptr<MainWindow> form;

    void start();
    void TearDown() override;

    engine::settings::Settings& settings() { return form->settings(); }

    // The window's control of that object name; fails the test if it is missing.
    template <typename W = QWidget> W* child(const char* name) const {
        W* found = form->findChild<W*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QLineEdit* textEdit() const { return child<QLineEdit>("textEdit"); }
    QLabel* status() const { return child<QLabel>("statusLabel"); }
    PictureBox* result() const { return child<PictureBox>("resultView"); }
    PictureBox* patternView() const { return child<PictureBox>("patternView"); }
    PictureBox* colorSwatch() const { return child<PictureBox>("colorSwatch"); }
    void press(const char* button) const { child<QPushButton>(button)->click(); }

    // Runs an action that chooses or drops a pattern, and waits until the
    // picture has been read, or found unreadable, off the window's thread.
    void settle(const std::function<void()>& action);

    // Clicks the entry with this text in the named list; fails the test if it is missing.
    void clickListEntry(const char* list, const QString& text);
    // Sets the font as the lists and boxes would choose it.
    void chooseFont(const QString& face, double size, bool italic = false, bool bold = false);
};

// The text's mask as the glyph engine draws it at its measured size: white
// letters on black.
QImage maskOf(const QString& text, const engine::text::FontSpec& font);

// Pixel of an image as a COLORREF-free 0xRRGGBB value.
inline unsigned rgbAt(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFFu;
}
