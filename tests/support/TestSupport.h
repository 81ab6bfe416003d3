#pragma once

#include <functional>

#include <QByteArray>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class QFileDialog;
class QWidget;

namespace testsupport {

QByteArray readAll(const QString& path);
void writeAll(const QString& path, const QByteArray& data);

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
// that the pick changed (a test failure).
void answerFileDialog(const QString& path, int filterIndex = 1);

// Clicks the button with the given text inside `w`; fails the test if missing.
void clickButton(QWidget* w, const QString& text);

// Number of files in a folder, hidden ones included.
int fileCount(const QString& folder);

// A folder that everyone may enter and read but only the superuser may change,
// once locked; its files are then writable by everyone.
class ReadOnlyFolder {
  public:
    ~ReadOnlyFolder();
    QString path() const { return dir.path(); }
    QString filePath(const QString& name) const { return dir.filePath(name); }
    void lock();

  private:
    QTemporaryDir dir;
};

// Folder permissions only bind an ordinary user. Runs `step(folder)` at once for
// one; for the superuser, runs the current test again as "nobody", where
// userStepFolder() hands the folder to the test, which then runs only its step.
// The step's failures are the test's. Returns why it could not run (to skip), or
// an empty text.
QString runAsOrdinaryUser(const QString& folder, const std::function<void(const QString&)>& step);
QString userStepFolder();

// Lowers this process's file size limit while it lives: writes beyond it come up
// short, as on a full disk.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(quint64 bytes);
    ~FileSizeLimit();

  private:
    quint64 m_soft, m_hard;
};

// The inode number of a file, 0 when it is missing.
quint64 inodeOf(const QString& path);

// A control's caption: a button's or label's text, a text box's content, a
// frame's title.
QString captionOf(QWidget* w);

// The next widget that Tab reaches, skipping parts of compound widgets.
const QWidget* nextTabStop(const QWidget* w);

// A rectangle in twips as pixels at 96 dots per inch.
QRect pixels(const QRect& twips);

} // namespace testsupport
