#pragma once

#include <cstddef>

#include <QByteArray>

namespace engine::codecs {

// `size` bytes as one zlib stream, compressed by libdeflate at `level` (1 to
// 12). Data of several pieces' worth is cut into pieces, each a whole number
// of `unit` bytes (a PNG's filtered rows, say), compressed side by side on the
// machine's cores and joined into one stream. The bytes depend only on the data,
// the unit and the level, never on how many threads did the work. Empty when
// it cannot be compressed.
QByteArray zlibCompress(const void* data, size_t size, size_t unit, int level);

} // namespace engine::codecs
