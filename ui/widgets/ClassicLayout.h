#pragma once

#include <initializer_list>

#include <QRect>
#include <QString>

class QWidget;

// The classic windows' fixed geometry, given in twips as their forms gave it.
namespace ui {

// 15 twips are one pixel at 96 dpi (one device-independent pixel).
inline constexpr int TwipsPerPixel = 15;

constexpr QRect fromTwips(const QRect& twips) {
    return QRect(twips.x() / TwipsPerPixel, twips.y() / TwipsPerPixel,
                 twips.width() / TwipsPerPixel, twips.height() / TwipsPerPixel);
}
constexpr QSize fromTwips(const QSize& twips) {
    return QSize(twips.width() / TwipsPerPixel, twips.height() / TwipsPerPixel);
}

// A new control with the name the tests and other programs find it by.
template <typename W> W* named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// A control and its rectangle within its parent's inner area. A picture box
// given no size keeps the size of its picture.
struct Placement {
    QWidget* control;
    QRect twips;
};

// Places each control where its row says; the controls that take the focus
// get the table's order as their tab order. A row without its control (one
// not made yet) stops the program at once.
void placeControls(std::initializer_list<Placement> table);

} // namespace ui
