#include "basFontListGet.h"

#include <QListWidget>

#include "engine/text/FontList.h"

void FillFontList(QListWidget& list) {
    list.clear();
    for (const engine::text::FontFamily& family : engine::text::enumFontFamilies())
        EnumFontProc(family, list);
}

std::int32_t EnumFontProc(const engine::text::FontFamily& family, QListWidget& list) {
    if (family.outline)
        list.addItem(family.name);
    // Its vertical-writing twin, as Windows lists "@" faces.
    if (family.outline && family.vertical)
        list.addItem(u'@' + family.name);
    return 1;
}
