#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include <QString>

#include "ui/widgets/Colors.h"

class QWidget;

// The open-file, save-file and colour dialogs, modal to their owner, in Japanese.
namespace ui {

// Flag bits of the file dialogs, as the Windows dialogs number them.
inline constexpr std::int32_t OFN_HIDEREADONLY = 0x4;
inline constexpr std::int32_t OFN_FILEMUSTEXIST = 0x1000;
inline constexpr std::int32_t OFN_CREATEPROMPT = 0x2000;

struct FileDialogRequest {
    QWidget* owner = nullptr;
    QString title;
    std::vector<std::pair<QString, QString>> filters; // description, patterns ("*.a;*.b")
    std::int32_t flags = 0;
    QString initialFolder; // empty: the system chooses
    bool save = false;
};

struct FileDialogResult {
    QString path;                 // empty after a cancel
    std::int32_t filterIndex = 0; // 1-based; 0 after a cancel
};

// The dialog opens with the first filter selected. A save dialog never asks
// about overwriting; with OFN_CREATEPROMPT it asks before a new file is named.
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
