#pragma once

#include <vector>

#include <QByteArray>
#include <QString>

// The bodies of the fuzz targets, shared with the corpus replay of the ordinary
// suite. Each runs the program's own functions on one input, aborts when an
// invariant breaks, and returns a digest of what came out.
namespace fuzz {

// Reads the settings keys from a file made of the input, writes one value and
// reads it back; every line the write did not touch must stay byte for byte.
QString profile(const QByteArray& input);
// The PNG header check, then the decoder when the header passes.
QString png(const QByteArray& input);
// The picture loader (BMP, ICO, GIF, JPEG and PNG by content).
QString picture(const QByteArray& input);
// A line of text through layout and rasterising, with the suite's fonts: the
// first byte picks the size, the second the face and style, the rest is the
// text as UTF-8, whatever its bytes.
QString text(const QByteArray& input);

using Target = QString (*)(const QByteArray&);
// The targets that replay a corpus folder: the folder's own, and for png/ the
// picture loader too, which reads PNG files as well; none for an unknown folder.
std::vector<Target> targetsFor(const QString& folder);

} // namespace fuzz
