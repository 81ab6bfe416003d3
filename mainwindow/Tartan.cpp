#include "Tartan.h"

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

QRgb colourOf(Line line) {
    switch (line) {
    case White:
        return qRgb(255, 255, 255);
    case Brown:
        return qRgb(128, 64, 0);
    case DarkRed:
        return qRgb(128, 0, 0);
    default:
        return qRgb(255, 255, 128);
    }
}

} // namespace

QImage MakeTartan() {
    QImage tile(32, 32, QImage::Format_RGB32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            Line line = std::max(lineAt(x), lineAt(y));
            // The white row 12 lets the ground through at columns 4 and 9.
            if (y == 12 && (x == 4 || x == 9))
                line = None;
            tile.setPixel(x, y, colourOf(line));
        }
    }
    return tile;
}
