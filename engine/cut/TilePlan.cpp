#include "TilePlan.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace engine::cut {

std::vector<TileCopy> planTiles(std::int32_t W, std::int32_t H, std::int32_t PW, std::int32_t PH) {
    std::vector<TileCopy> copies;
    if (PW <= 0 || PH <= 0 || W <= 0 || H <= 0)
        return copies;
    if (PW >= W && PH >= H) {
        copies.push_back({0, 0, W, H});
        return copies;
    }
    const std::int32_t columns = W / PW + 1;
    const std::int32_t rows = H / PH + 1;
    copies.reserve(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows));
    for (std::int32_t c = 0; c < columns; ++c) {
        for (std::int32_t r = 0; r < rows; ++r)
            copies.push_back({c * PW, r * PH, PW, PH});
    }
    return copies;
}

image::Image tile(const image::Image& pattern, int W, int H) {
    image::Image work(W, H, image::Format::Rgb32);
    if (work.isNull())
        return work;
    work.fill(0xFF000000u);
    for (const TileCopy& copy : planTiles(W, H, pattern.width(), pattern.height())) {
        const int width = std::min(copy.width, W - copy.x);
        if (width <= 0)
            continue;
        for (int y = 0; y < copy.height && copy.y + y < H; ++y)
            std::memcpy(work.scanLine(copy.y + y) + copy.x * 4, pattern.constScanLine(y),
                        static_cast<size_t>(width) * 4);
    }
    return work;
}

} // namespace engine::cut
