#pragma once

#include <cstdint>

namespace engine::image {

// The largest picture the program takes: the renderer's tile arithmetic is
// 16-bit, and no pattern needs more than 256 MiB of pixels.
inline constexpr std::int64_t MaxPictureSide = 32767;
inline constexpr std::int64_t MaxPictureBytes = 256LL * 1024 * 1024;

// A picture file is read whole; an uncompressed bitmap of the largest
// picture, with its headers, is the biggest file that can hold one.
inline constexpr std::int64_t MaxPictureFileBytes = MaxPictureBytes + 1024 * 1024;

// Bounds on the work one file can ask for. Real progressive JPEGs have a
// dozen scans or so (a few dozen at most), real icons a handful of sizes.
// Each scan walks the whole picture again, so the largest pictures get fewer
// scans: 32 at 8192 x 8192, which decodes in well under a second.
inline constexpr int MaxJpegScans = 100;
inline constexpr std::int64_t MaxJpegScanPixels = 32LL * 8192 * 8192;
inline constexpr int MaxIconEntries = 256;
// The coefficients of the largest progressive JPEG fit in this.
inline constexpr long MaxJpegMemory = 1024L * 1024 * 1024;

inline bool pictureSizeAllowed(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= MaxPictureSide && height <= MaxPictureSide &&
           width * height * 4 <= MaxPictureBytes;
}

} // namespace engine::image
