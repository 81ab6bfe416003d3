#pragma once

#include <functional>

#include <QRect>
#include <QString>
#include <QStringList>

class QFileDialog;
class QWidget;

// Driving real widgets and dialogs from a test.
namespace testsupport {

// Runs `action` on the next modal widget that opens (message box, dialog) and
// that `match` accepts, from a timer, so the code under test can block in its exec().
// `what` names the awaited widget in failure messages.
void onNextModal(std::function<void(QWidget*)> action,
                 std::function<bool(QWidget*)> match = nullptr,
                 const QString& what = "a modal window");

// Stops the answers no modal widget took; returns what they waited for.
QStringList cancelPendingAnswers();

// Fails the running test when a modal widget stays open for seconds with no
// answer taking it, naming it and what the answers waited for, and closes it:
// a test that would block until its time-out ends at once.
void watchForUnansweredModals();

// Answers the next message box by clicking the button with this text; the
// box's title and text are stored where given.
void answerMessageBox(const QString& button, QString* title = nullptr, QString* text = nullptr);

// Types a full path into a file dialog: its folder, then the name.
void typeFileName(QFileDialog* dialog, const QString& path);

// Picks the 1-based filter from the file type list as a user does: opens the
// list, moves to the entry with the arrow keys and presses Enter.
void pickFileType(QFileDialog* dialog, int filterIndex);

// Answers the next file dialog as a user does: types the path, then picks the
// 1-based filter (even the one already selected); a prompt to create a new file
// is answered Yes. An empty path cancels the dialog, and so does a typed name
// that the pick changed (a test failure). The folder the dialog opened in is
// stored where given.
void answerFileDialog(const QString& path, int filterIndex = 1, QString* openedIn = nullptr);

// Clicks the button with the given text inside `w`; fails the test if missing.
void clickButton(QWidget* w, const QString& text);

// A control's caption: a button's or label's text, a text box's content, a
// frame's title.
QString captionOf(QWidget* w);

// The controls of a window whose caption is wider than the room its box
// leaves for text, as "objectName: caption".
QStringList clippedCaptions(QWidget* window);

// What is wrong with a window's layout, as "name: fault": a named control not
// wholly inside its parent, or overlapping a named sibling by more than the
// pixel the classic twips leave.
QStringList layoutFaults(QWidget* window);

// The next widget that Tab reaches, skipping parts of compound widgets.
const QWidget* nextTabStop(const QWidget* w);

} // namespace testsupport
