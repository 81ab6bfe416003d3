#include "ClassicFont.h"

#include "engine/text/FontList.h"

namespace ui {

QFont classicFont() {
    QFont font;
    QStringList families = engine::text::classicFaceSubstitutes(QStringLiteral("ＭＳ Ｐゴシック"));
    families.append(QStringLiteral("sans-serif"));
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(9);
    return font;
}

} // namespace ui
