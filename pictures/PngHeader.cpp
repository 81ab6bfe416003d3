#include "PngHeader.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

bool ReadPngHeader(const QString& fileName, PngHeader& header) {
    QFile file(fileName);
    if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly))
        return false;
    QByteArray bytes = file.read(24);
    bytes.append(QByteArray(24 - bytes.size(), '\0'));
    const auto at = [&bytes](int i) { return static_cast<unsigned char>(bytes[i]); };
    static const unsigned char signature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
    header.signatureOk = true;
    for (int i = 0; i < 8 && header.signatureOk; ++i)
        header.signatureOk = at(i) == signature[i];
    header.width = at(18) * 256 + at(19);
    header.height = at(22) * 256 + at(23);
    return true;
}
