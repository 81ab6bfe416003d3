#include "Colors.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPalette>

namespace platform {

QColor toQColor(COLORREF color) {
    if ((color & 0x80000000u) && !qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        // Without a GUI (the command line) the classic system colours stand in.
        switch (color & 0xFFu) {
        case 8:
            return QColor(0, 0, 0);
        case 15:
            return QColor(0xF0, 0xF0, 0xF0);
        default:
            return QColor(0xFF, 0xFF, 0xFF);
        }
    }
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

} // namespace platform
