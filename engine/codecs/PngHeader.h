#pragma once

#include <cstdint>

#include <QByteArrayView>

namespace engine::codecs {

// What the program reads of a PNG file itself: the signature and the low 16
// bits of width and height, which decide; and the whole sizes, which tell why.
// Bytes past the end of a short file count as 0.
struct PngHeader {
    bool signatureOk = false;
    std::int32_t width = 0;  // bytes 18-19
    std::int32_t height = 0; // bytes 22-23
    std::uint32_t wholeWidth = 0, wholeHeight = 0; // bytes 16-19 and 20-23
};

// The header as read from a file's first bytes, missing ones counted as 0.
PngHeader parsePngHeader(QByteArrayView start);

} // namespace engine::codecs
