#include "PngHeader.h"

namespace engine::codecs {

PngHeader parsePngHeader(QByteArrayView start) {
    const auto at = [start](int i) {
        return i < start.size() ? static_cast<unsigned char>(start[i]) : 0;
    };
    static const unsigned char signature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
    PngHeader header;
    header.signatureOk = true;
    for (int i = 0; i < 8 && header.signatureOk; ++i)
        header.signatureOk = at(i) == signature[i];
    header.width = at(18) * 256 + at(19);
    header.height = at(22) * 256 + at(23);
    header.wholeWidth = std::uint32_t(at(16)) << 24 | at(17) << 16 | header.width;
    header.wholeHeight = std::uint32_t(at(20)) << 24 | at(21) << 16 | header.height;
    return header;
}

} // namespace engine::codecs
