#include "engine/codecs/Codecs.h"

#include "engine/codecs/Failure.h"
#include "engine/codecs/VectorWriters.h"

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

bool encodeVector(const cut::Drawing& drawing, VectorFormat format, int pngLevel, QByteArray& out,
                  QString* why) {
    if (!settings::PngLevel.contains(pngLevel))
        return failOutOfRange(why, QT_TRANSLATE_NOOP("codecs", "the PNG level"), pngLevel,
                              settings::PngLevel);
    if (drawing.size.isEmpty())
        return fail(why, QT_TRANSLATE_NOOP("codecs", "there is no image to write"));
    return format == VectorFormat::Svg ? encodeSvg(drawing, pngLevel, out, why)
                                       : encodePdf(drawing, pngLevel, out, why);
}

bool holdsTransparency(const OutputFormat& format) {
    return format != OutputFormat(ImageFormat::Bmp) && format != OutputFormat(ImageFormat::Jpeg);
}

} // namespace engine::codecs
