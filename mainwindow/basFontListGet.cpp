#include "basFontListGet.h"

#include <QListWidget>

#include "platform/FontEnum.h"

void FillFontList(QListWidget& list) {
    list.clear();
    for (const fontenum::FontFamily& family : fontenum::EnumFontFamilies())
        EnumFontProc(family, list);
}

std::int32_t EnumFontProc(const fontenum::FontFamily& family, QListWidget& list) {
    if (family.outline)
        list.addItem(family.name);
    // Its vertical-writing twin, as Windows lists "@" faces.
    if (family.outline && family.vertical)
        list.addItem(u'@' + family.name);
    return 1;
}
