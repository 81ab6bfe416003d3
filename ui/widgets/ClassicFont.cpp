#include "ClassicFont.h"

#include "engine/text/FontList.h"

namespace ui {

QFont classicFont() {
    QFont font;
    // The classic face itself where it is installed (on Windows), else its stand-ins.
    const QString classic = QStringLiteral("ＭＳ Ｐゴシック");
    QStringList families{classic};
    families += engine::text::classicFaceSubstitutes(classic);
    families.append(QStringLiteral("sans-serif"));
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(9);
    return font;
}

} // namespace ui
