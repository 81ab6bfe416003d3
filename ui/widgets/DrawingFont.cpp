#include "DrawingFont.h"

namespace ui {

engine::text::FontSpec specOf(const QFont& font) {
    const double points =
        font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 72.0 / 96.0;
    return {font.family(), points, font.weight() >= QFont::DemiBold,
            font.style() != QFont::StyleNormal};
}

} // namespace ui
