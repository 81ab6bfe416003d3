#include "Colors.h"

namespace engine::image {

Rgb rgbOf(COLORREF color) {
    if (color & 0x80000000u) {
        switch (color & 0xFFu) {
        case 8:
            return rgb(0, 0, 0);
        case 15:
            return rgb(0xF0, 0xF0, 0xF0);
        default:
            return rgb(0xFF, 0xFF, 0xFF);
        }
    }
    return rgb(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
               static_cast<int>((color >> 16) & 0xFF));
}

} // namespace engine::image
