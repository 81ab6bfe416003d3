#pragma once

#include <span>

#include <QRect>

class QWidget;

// The main window's classic geometry, in twips, by the controls' object names.
namespace ui::mainlayout {

// 15 twips are one pixel at 96 dpi (one device-independent pixel).
inline constexpr int TwipsPerPixel = 15;

inline QRect fromTwips(const QRect& twips) {
    return QRect(twips.x() / TwipsPerPixel, twips.y() / TwipsPerPixel,
                 twips.width() / TwipsPerPixel, twips.height() / TwipsPerPixel);
}

struct Placement {
    const char* name;
    QRect twips; // left, top, width, height within the parent's inner area
};

// Every control with its geometry, in tab order where it takes the focus.
std::span<const Placement> placements();

// Sizes the window and places its controls. The window may grow but not shrink
// below its size; no control moves or changes size with it.
void place(QWidget& window);

// Stretches the view around the result from its place to the window's right
// and bottom edges, so a larger result can be scrolled.
void stretchResultView(QWidget& window);

} // namespace ui::mainlayout
