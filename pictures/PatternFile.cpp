#include "PatternFile.h"

#include <QFile>
#include <QPainter>

#include "PngHeader.h"
#include "platform/PictureDecoders.h"
#include "platform/PictureLimits.h"
#include "platform/PictureLoader.h"

bool ReadPatternFile(const QString& fileName, QImage& pattern) {
    if (fileName.right(4).toUpper() != QLatin1String(".PNG"))
        return platform::LoadPicture(fileName, pattern);
    PngHeader header;
    if (!ReadPngHeader(fileName, header) || !header.signatureOk ||
        !platform::pictureSizeAllowed(header.width, header.height))
        return false;
    QFile file(fileName);
    QImage decoded;
    if (!file.open(QIODevice::ReadOnly) || !platform::DecodePng(file, decoded))
        return false;
    // The holder is sized from the header and the picture drawn at its origin.
    pattern = QImage(header.width, header.height, QImage::Format_ARGB32);
    pattern.fill(Qt::transparent);
    QPainter painter(&pattern);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, decoded);
    return true;
}
