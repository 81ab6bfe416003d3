#include "Colors.h"

#include <QApplication>
#include <QPalette>

namespace ui {

QColor toQColor(COLORREF color) {
    if (color & 0x80000000u) {
        const QPalette palette = QApplication::palette();
        switch (color & 0xFFu) {
        case 8:
            return palette.color(QPalette::Active, QPalette::WindowText);
        case 15:
            return palette.color(QPalette::Active, QPalette::Button);
        default:
            return palette.color(QPalette::Active, QPalette::Base);
        }
    }
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

COLORREF toColorRef(const QColor& color) {
    return static_cast<COLORREF>(color.red()) | (static_cast<COLORREF>(color.green()) << 8) |
           (static_cast<COLORREF>(color.blue()) << 16);
}

QRgb toRgb32(COLORREF color) {
    return toQColor(color).rgb() | 0xFF000000u;
}

} // namespace ui
