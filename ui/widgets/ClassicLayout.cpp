#include "ClassicLayout.h"

#include <QLabel>
#include <QWidget>

#include "ui/widgets/PictureBox.h"

namespace ui {

void placeControls(std::initializer_list<Placement> table) {
    QWidget* previous = nullptr;
    for (const Placement& p : table) {
        if (!p.control)
            qFatal("a control of the layout table is placed before it is made");
        const QRect r = fromTwips(p.twips);
        // Children of a bordered box sit inside its border.
        const auto* frame = qobject_cast<PictureBox*>(p.control->parentWidget());
        const int offset = frame ? frame->borderWidth() : 0;
        p.control->move(r.x() + offset, r.y() + offset);
        if (auto* box = qobject_cast<PictureBox*>(p.control)) {
            if (!r.isEmpty())
                box->setOuterSize(r.width(), r.height());
        } else {
            p.control->resize(r.size());
        }
        if (p.control->focusPolicy() != Qt::NoFocus && !qobject_cast<QLabel*>(p.control)) {
            if (previous)
                QWidget::setTabOrder(previous, p.control);
            previous = p.control;
        }
    }
}

} // namespace ui
