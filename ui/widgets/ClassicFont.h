#pragma once

#include <QFont>

namespace ui {

// The windows' own font: a proportional Japanese Gothic at 9 points, as the
// classic system font was, whatever the locale makes fontconfig prefer.
QFont classicFont();

} // namespace ui
