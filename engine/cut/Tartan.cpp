#include "Tartan.h"

#include <algorithm>

namespace engine::cut {

namespace {

// Line colours by darkness: a crossing shows the darker line.
enum Line { None = 0, White = 1, Brown = 2, DarkRed = 3 };

Line lineAt(int i) {
    switch (i) {
    case 1:
    case 12:
        return White;
    case 3:
    case 5:
    case 8:
    case 10:
        return Brown;
    case 6:
    case 7:
        return DarkRed;
    default:
        return None;
    }
}

image::Rgb colourOf(Line line) {
    switch (line) {
    case White:
        return image::rgb(255, 255, 255);
    case Brown:
        return image::rgb(128, 64, 0);
    case DarkRed:
        return image::rgb(128, 0, 0);
    default:
        return image::rgb(255, 255, 128);
    }
}

} // namespace

image::Image tartan() {
    image::Image tile(32, 32, image::Format::Rgb32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            Line line = std::max(lineAt(x), lineAt(y));
            // The white row 12 lets the ground through at columns 4 and 9.
            if (y == 12 && (x == 4 || x == 9))
                line = None;
            reinterpret_cast<image::Rgb*>(tile.scanLine(y))[x] = colourOf(line);
        }
    }
    return tile;
}

} // namespace engine::cut
