#pragma once

#include <QFont>

#include "engine/text/GlyphEngine.h"

namespace ui {

// What the glyph engine draws for a control's font: face, points, bold, italic.
engine::text::FontSpec specOf(const QFont& font);

} // namespace ui
