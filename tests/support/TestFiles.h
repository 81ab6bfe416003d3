#pragma once

#include <functional>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "engine/image/Image.h"

// Picture files made by the tests themselves, good and bad.
namespace testfiles {

// A PNG through libpng: colour type, bit depth and interlacing as asked; the
// pixel function gives 8-bit ARGB, scaled up for 16-bit files.
void writePng(const QString& path, int width, int height, int colorType, int bitDepth,
              bool interlaced, const std::function<engine::image::Rgb(int, int)>& pixel);

// A JPEG with an Exif block, or a PNG with an eXIf chunk before its pixels,
// whose orientation tag says `orientation`.
QByteArray withOrientation(const QByteArray& file, int orientation);

// A PNG's first bytes: signature and an IHDR with this width and height, valid CRC.
QByteArray pngHeaderOnly(quint32 width, quint32 height);

// A two-frame GIF of 1 x 1: the first frame red, the second blue.
QByteArray twoFrameGif();

// An icon holding a 16 x 16 red and a 32 x 32 green image, in that order.
QByteArray twoSizeIcon();

// What a tool the suite takes as an independent oracle (ImageMagick, hb-shape,
// fribidi) writes to its standard output; `files` are put after `before` and
// before `after`, each as the tool sees it. A missing tool fails the test, which
// cannot judge without it. The tools are Linux programs: under Wine the Windows
// build of the tests runs them all the same, by their Unix names and the files'.
QByteArray runTool(const QString& tool, const QStringList& before, const QStringList& files,
                   const QStringList& after = {});

// A picture file decoded by ImageMagick, the independent reader, as Argb32
// (opaque where the file has no alpha); the first frame of an animation, or
// of an icon the entry `frame`; `options` applied (as -auto-orient). A null
// image where ImageMagick cannot read it.
engine::image::Image readByImageMagick(const QString& path, int frame = 0,
                                       const QStringList& options = {});
// The same for a file's bytes, kept for the reader under a name with `suffix`.
engine::image::Image readByImageMagick(const QByteArray& file, const QString& suffix);

} // namespace testfiles
