#pragma once

#include <QIcon>

namespace ui {

// The program's icon at 32 or 16 pixels, from the pictures built into the
// program: no image reader is asked for it, and so none of Qt's image format
// plugins is loaded as the window starts.
QIcon programIcon(int side);

} // namespace ui
