#pragma once

#include <cstdint>

namespace platform {

// The largest picture the program takes: the renderer's tile arithmetic is
// 16-bit, and no pattern needs more than 256 MiB of pixels.
inline constexpr std::int64_t MaxPictureSide = 32767;
inline constexpr std::int64_t MaxPictureBytes = 256LL * 1024 * 1024;

inline bool pictureSizeAllowed(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= MaxPictureSide && height <= MaxPictureSide &&
           width * height * 4 <= MaxPictureBytes;
}

} // namespace platform
