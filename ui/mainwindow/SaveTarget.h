#pragma once

#include <vector>

#include <QString>

#include "engine/codecs/Codecs.h"
#include "ui/dialogs/Dialogs.h"

class QWidget;

// The file name and format a save ends with, from the chosen filter (1 all
// pictures, 2 BMP, 3 JPEG, 4 PNG, 5 SVG, 6 PDF) and the name's extension.
struct SaveTarget {
    QString fileName;
    QString extension; // upper case: ".BMP", ".JPG", ".JPEG", ".PNG", ".SVG", ".PDF" or the user's own
    engine::codecs::OutputFormat format = engine::codecs::ImageFormat::Bmp;
};

SaveTarget decideSaveTarget(const QString& fileName, int filterIndex);

// The save dialog's filters, in the order of their filter numbers.
std::vector<ui::FileFilter> saveFilters();

enum class TargetStatus {
    Exists,   // a file that is not empty: ask before overwriting it
    Blank,    // the name is blank
    NotFound, // no such file
    Empty,    // an empty file, overwritten without asking
    Failed,   // an unexpected file-system error, already shown in a stop box
};

// What the name stands for before a save; an error nobody expected is shown
// to the user, modal to `owner`, and the caller abandons the save.
TargetStatus checkSaveTarget(QWidget* owner, const QString& path);
