#pragma once

#include <functional>

#include <QByteArray>
#include <QString>

class QWidget;

namespace testsupport {

QByteArray readAll(const QString& path);
void writeAll(const QString& path, const QByteArray& data);

// Runs `action` on the next modal widget that opens (message box, dialog),
// from a timer, so the code under test can block in its exec().
void onNextModal(std::function<void(QWidget*)> action);

// Clicks the button with the given text inside `w`; fails the test if missing.
void clickButton(QWidget* w, const QString& text);

// Number of files in a folder, hidden ones included.
int fileCount(const QString& folder);

} // namespace testsupport
