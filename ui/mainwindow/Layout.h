#pragma once

#include <vector>

#include <QRect>

class QWidget;
class frmMain;

namespace mainlayout {

// 15 twips are one pixel at 96 dpi (one device-independent pixel).
inline constexpr int TwipsPerPixel = 15;
inline constexpr int ClientWidthTwips = 5445;
inline constexpr int ClientHeightTwips = 5070;

inline QRect fromTwips(int left, int top, int width, int height) {
    return QRect(left / TwipsPerPixel, top / TwipsPerPixel, width / TwipsPerPixel,
                 height / TwipsPerPixel);
}

struct Placement {
    QWidget* control;
    QRect twips; // left, top, width, height within the parent's inner area
};

// Every control of the main window with its geometry, in tab order where it takes focus.
std::vector<Placement> placements(frmMain& form);

// Sizes the window and places its controls. The window may grow but not shrink
// below its size; no control moves or changes size with it.
void place(frmMain& form);

// Stretches the view around Board from Board's place to the window's right and
// bottom edges, so a larger result can be scrolled.
void stretchBoardView(frmMain& form);

} // namespace mainlayout
