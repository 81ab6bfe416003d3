#include "StatusLine.h"

#include <QFileInfo>

void StatusLine::say(const QString& text) {
    m_text = text;
    m_showing = false;
}

void StatusLine::saved(const QString& file) {
    say(u'>' + QFileInfo(file).fileName());
}

void StatusLine::failed(const QString& file, const QString& why) {
    say(QStringLiteral("×%1: %2").arg(QFileInfo(file).fileName(), why));
}

void StatusLine::loading(const QString& file) {
    // Overlapping reads go back to what stood before the first of them.
    if (!m_reading)
        m_before = m_text;
    m_reading = true;
    say(QStringLiteral("読み込み中 ") + QFileInfo(file).fileName());
    m_showing = true;
}

void StatusLine::loaded() {
    m_reading = false;
    // A failure the new pattern has made good is not repeated.
    if (m_showing)
        say(m_before.startsWith(u'×') ? Idle : m_before);
}

void StatusLine::loadFailed(const QString& file, const QString& why) {
    m_reading = false;
    failed(file, why);
}
