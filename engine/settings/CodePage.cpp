#include "CodePage.h"

namespace engine::settings {

std::string dropDanglingLeadByte(std::string bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        if (isLeadByte(static_cast<unsigned char>(bytes[i]))) {
            if (i + 1 >= bytes.size()) {
                bytes.resize(i);
                break;
            }
            i += 2;
        } else {
            ++i;
        }
    }
    return bytes;
}

} // namespace engine::settings
