#pragma once

#include <limits>

// The settings that have a range, each with its default: the window, the
// settings file and velmora-cut all take them from here.
namespace engine::settings {

template <typename T> struct Range {
    T low;
    T high;
    T fallback;
    constexpr bool contains(T value) const { return value >= low && value <= high; }
    constexpr T orFallback(T value) const { return contains(value) ? value : fallback; }
};

// JPEG compression rate: a higher rate gives a smaller file.
inline constexpr Range<int> JpegRate{1, 100, 50};
// PNG level: 1 fastest, 0 balanced, 2 smallest.
inline constexpr Range<int> PngLevel{0, 2, 1};
// Font size in points: any positive size, up to letters 32,767 pixels tall at
// 96 dots per inch.
inline constexpr Range<float> FontSize{std::numeric_limits<float>::min(), 24575.0f, 10.0f};

} // namespace engine::settings
