#include "engine/codecs/Codecs.h"

namespace engine::codecs {

bool encode(const image::Image& picture, ImageFormat format, const EncodeOptions& options,
            QByteArray& out, QString* why) {
    return encode(image::rowsOf(picture), format, options, out, why);
}

bool encode(const image::Rows& picture, ImageFormat format, const EncodeOptions& options,
            QByteArray& out, QString* why) {
    switch (format) {
    case ImageFormat::Jpeg:
        return encodeJpeg(picture, options.jpegRate, options.progressive, out, why);
    case ImageFormat::Png:
        return encodePng(picture, options.pngLevel, out, why);
    case ImageFormat::Bmp:
        break;
    }
    return encodeBmp(picture, out, why);
}

} // namespace engine::codecs
