#include "AutoSizeLabel.h"

#include "TextDrawing.h"

AutoSizeLabel::AutoSizeLabel(QWidget* parent) : QWidget(parent) {}

void AutoSizeLabel::setCaption(const QString& caption) {
    m_caption = caption;
    fit();
}

void AutoSizeLabel::setLabelFont(const QFont& font) {
    setFont(font);
    fit();
}

void AutoSizeLabel::fit() {
    const QSize size = textdrawing::measureText(m_caption, font());
    resize(size);
}
