#pragma once

#include <cstdint>

#include <QString>

// The file name and format a save ends with, from the chosen filter (1 all
// pictures, 2 BMP, 3 JPEG, 4 PNG) and the last four characters of the name.
struct SaveTarget {
    QString fileName;
    QString extension; // upper case: ".BMP", ".JPG", ".PNG" or the user's own
};

SaveTarget DecideSaveFormat(const QString& fileName, std::int32_t filterIndex);

// The save dialog's filter list: description NUL pattern NUL, four pairs.
QString SaveFilterPattern();
