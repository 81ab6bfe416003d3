#include "ScrollView.h"

#include <QWheelEvent>

ScrollView::ScrollView(QWidget* parent) : QScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void ScrollView::wheelEvent(QWheelEvent* event) {
    const QPoint angle = event->angleDelta();
    if (!(event->modifiers() & Qt::ShiftModifier) || angle.x() != 0) {
        QScrollArea::wheelEvent(event);
        return;
    }
    // Shift is dropped: with it the scroll bar would take the turn as a page step.
    QWheelEvent sideways(event->position(), event->globalPosition(),
                         event->pixelDelta().transposed(), angle.transposed(), event->buttons(),
                         event->modifiers() & ~Qt::ShiftModifier, event->phase(), event->inverted(),
                         event->source(), event->pointingDevice());
    QScrollArea::wheelEvent(&sideways);
    event->setAccepted(sideways.isAccepted());
}
