#include "PushButton.h"

#include <QKeyEvent>

PushButton::PushButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    // In a dialog Qt would make the first auto-default button the default one.
    setAutoDefault(false);
}

void PushButton::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        // A held key presses once.
        if (!event->isAutoRepeat())
            click();
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
}
