#pragma once

#include <cstdint>

#include <QFont>
#include <QImage>
#include <QString>

#include "platform/Colors.h"
#include "platform/Gdi.h"

// The cut-letter image without a window: the pattern tiled inside the letters,
// the ground colour around them, pixel for pixel as the main window renders it.
namespace cutengine {

struct Letters {
    QString text;
    QFont font;     // face, size in points at 96 dpi, bold, italic
    QImage pattern; // tiled from its top-left corner; an empty one gives black letters
    platform::COLORREF ground = 0;
    // Two choices the window does not offer: edges blended by the glyphs'
    // coverage, and a fully transparent ground (the result is then ARGB32).
    bool smooth = false;
    bool transparent = false;
};

// The drawing font for a face, a size in points and the two styles.
QFont MakeFont(const QString& face, double pointSize, bool bold, bool italic);

// Why a W x H text image is refused (over 32,767 pixels a side or 256 MiB),
// or an empty text when it is not.
QString SizeRefusal(std::int64_t W, std::int64_t H);

// A pattern as the pattern holder shows it: transparency over the holder's
// own ground.
QImage HolderPattern(const QImage& picture);

// The image and its size; false when that size is refused (SizeRefusal says
// why), before anything of it is allocated. An empty text gives an image
// without pixels.
bool Render(const Letters& letters, QImage& image, QSize& size);

// Tiles the pattern over a W x H work surface, cuts it with mask 1 (white
// letters on black) and copies the result to `board`.
void CutPattern(gdi::HDC board, std::int32_t W, std::int32_t H, gdi::HDC pattern, std::int32_t PW,
                std::int32_t PH, gdi::HDC mask);

} // namespace cutengine
