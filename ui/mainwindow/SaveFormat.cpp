#include "SaveFormat.h"

SaveTarget DecideSaveFormat(const QString& fileName, std::int32_t filterIndex) {
    SaveTarget target{fileName, fileName.right(4).toUpper()};
    const auto force = [&target](const QString& ext) {
        if (target.extension != ext) {
            target.fileName += ext;
            target.extension = ext;
        }
    };
    switch (filterIndex) {
    case 2:
        force(".BMP");
        break;
    case 3:
        force(".JPG");
        break;
    case 4:
        force(".PNG");
        break;
    default:
        if (target.extension != ".BMP" && target.extension != ".JPG" && target.extension != ".PNG")
            force(".BMP");
        break;
    }
    return target;
}

QString SaveFilterPattern() {
    const QChar nul(0);
    QString pattern;
    for (const char16_t* item :
         {u"画像ファイル", u"*.bmp;*.jpg;*.png", u"ビットマップファイル", u"*.bmp",
          u"ＪＰＥＧファイル", u"*.jpg", u"ＰＮＧファイル", u"*.png"})
        pattern += QString::fromUtf16(item) + nul;
    return pattern;
}
