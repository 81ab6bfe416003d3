#pragma once

#include <QFont>
#include <QImage>
#include <QSize>
#include <QString>

// Text measured and drawn at 96 dots per inch, whatever the screen, and drawn
// without antialiasing so a mask holds only the text colour and the ground.
namespace textdrawing {

// Advance width and line height of the text, rounded half to even.
QSize measureText(const QString& text, const QFont& font);

// Draws one line of text with its top-left corner at (x, y), transparent
// background; returns the line height.
int drawText(QImage& image, int x, int y, const QString& text, const QFont& font, QRgb color);

// The text drawn at (0, 0) into a grey image of `size`: 255 where drawText
// would colour a pixel, 0 elsewhere.
QImage mask(const QString& text, const QFont& font, QSize size);

// The text's coverage with antialiased edges, 0 (none) to 255 (full), drawn
// at (0, 0) into a grey image of `size`; bold and italic as for drawText.
QImage coverage(const QString& text, const QFont& font, QSize size);

} // namespace textdrawing
