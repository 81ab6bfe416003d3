#include "ProgramIcon.h"

#include <QPixmap>

namespace {
#include "resources/icons/velmora16.xpm"
#include "resources/icons/velmora32.xpm"
} // namespace

namespace ui {

QIcon programIcon(int side) {
    return QIcon(QPixmap(side <= 16 ? velmora16 : velmora32));
}

} // namespace ui
