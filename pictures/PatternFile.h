#pragma once

#include <QImage>
#include <QString>

// A pattern picture read from a file as the pattern holder takes it, for use
// without a window: a name ending in .png (any case) goes through the PNG
// header check and decoder and takes the header's size; any other name goes
// through the picture loader. Transparent pixels stay transparent. False when
// the file is refused or does not decode.
bool ReadPatternFile(const QString& fileName, QImage& pattern);
