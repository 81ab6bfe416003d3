#pragma once

#include <vector>

#include <QString>

#include "ui/widgets/Colors.h"

class QWidget;

// The open-file, save-file and colour dialogs, modal to their owner, in Japanese.
namespace ui {

struct FileFilter {
    QString description;
    QString patterns; // "*.bmp;*.png"
};

struct FileDialogRequest {
    enum class Kind { Open, Save };
    QWidget* owner = nullptr;
    Kind kind = Kind::Open;
    QString title;
    std::vector<FileFilter> filters; // the first is selected when the dialog opens
    bool mustExist = false;          // only an existing file can be picked
    bool askBeforeCreating = false;  // a name that is no file yet is confirmed first
    QString folder;                  // where it opens; empty: the working folder
};

struct FileDialogResult {
    QString path;        // empty after a cancel
    int filterIndex = 0; // the file type chosen, from 1; 0 after a cancel
};

// A save dialog never asks about overwriting: the caller does. The name comes
// back as typed, whichever file type was picked before or after typing it.
FileDialogResult runFileDialog(const FileDialogRequest& request);

// The colour dialog, starting from `color` with 16 white custom colours.
// Returns true and the chosen colour when the user confirms.
bool runColorDialog(QWidget* owner, COLORREF& color);

// Qt's own dialog texts in Japanese.
void installJapaneseTranslations();

// Qt's dialogs would remember their folders and custom colours in a settings file
// of Qt's own in the user's home; the program keeps no file but its own.
void keepDialogStateOffDisk();

} // namespace ui
