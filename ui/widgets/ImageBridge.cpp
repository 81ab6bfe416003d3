#include "ImageBridge.h"

#include <cstring>

namespace ui {

QImage toQImage(engine::image::Image picture) {
    using engine::image::Format;
    if (picture.isNull())
        return QImage();
    static constexpr QImage::Format formats[] = {QImage::Format_Grayscale8, QImage::Format_Indexed8,
                                                 QImage::Format_RGB32, QImage::Format_ARGB32};
    auto* owned = new engine::image::Image(std::move(picture));
    QImage image(
        owned->bits(), owned->width(), owned->height(), owned->bytesPerLine(),
        formats[static_cast<int>(owned->format())],
        [](void* p) { delete static_cast<engine::image::Image*>(p); }, owned);
    if (owned->format() == Format::Indexed8) {
        const auto& table = owned->colorTable();
        image.setColorTable(QList<QRgb>(table.begin(), table.end()));
    }
    return image;
}

QImage viewOf(std::shared_ptr<const engine::image::Image> picture) {
    using engine::image::Format;
    using Shared = std::shared_ptr<const engine::image::Image>;
    if (!picture || picture->isNull())
        return QImage();
    if (picture->depth() != 32)
        return toQImage(*picture);
    const engine::image::Image& p = *picture;
    return QImage(
        p.constBits(), p.width(), p.height(), p.bytesPerLine(),
        p.format() == Format::Rgb32 ? QImage::Format_RGB32 : QImage::Format_ARGB32,
        [](void* owner) { delete static_cast<Shared*>(owner); }, new Shared(std::move(picture)));
}

engine::image::Image fromQImage(const QImage& image) {
    const bool alpha = image.hasAlphaChannel();
    const QImage source =
        image.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    engine::image::Image picture(source.width(), source.height(),
                                 alpha ? engine::image::Format::Argb32
                                       : engine::image::Format::Rgb32);
    for (int y = 0; y < picture.height(); ++y)
        std::memcpy(picture.scanLine(y), source.constScanLine(y),
                    static_cast<size_t>(source.width()) * 4);
    return picture;
}

} // namespace ui
