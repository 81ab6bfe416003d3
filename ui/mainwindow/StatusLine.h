#pragma once

#include <QString>

// What the main window's status line says, from the events that change it.
// A pattern read off the window's thread says so while it reads; when it is
// there, the line goes back to what it said before, unless something else
// (a save, a copy, an error, new letters) has spoken since.
class StatusLine {
  public:
    static inline const QString Idle = QStringLiteral("ベルモラ");

    const QString& text() const { return m_text; }

    // New letters are being drawn: what was said of the old ones goes.
    void drawing() { say(Idle); }
    void emptyText() { say(QStringLiteral("文字が空です")); }
    void copied() { say(QStringLiteral("コピーしました")); }
    void saving() { say(QStringLiteral("Saving ")); }
    void saved(const QString& file);
    // "×name: why" for a file that could not be read or written.
    void failed(const QString& file, const QString& why);

    // A pattern file starts being read; one read meanwhile is given up for it.
    void loading(const QString& file);
    // The latest read has given a pattern, or the read was given up.
    void loaded();
    // None of the files read gave a pattern: the last one tried, and why.
    void loadFailed(const QString& file, const QString& why);

  private:
    void say(const QString& text);

    QString m_text = Idle;
    bool m_reading = false;  // a read is under way
    bool m_showing = false;  // and the line says so
    QString m_before;        // what the line said when the read began
};
