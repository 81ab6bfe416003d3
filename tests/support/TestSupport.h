#pragma once

#include <functional>
#include <optional>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace testsupport {

// Text is drawn with the suite's own font configuration: the fonts the install
// script installs and nothing else, whatever else the machine has. Processes
// the test starts inherit it.
void useSuiteFonts();

// Whatever Qt or a library keeps in the home folder goes to a fresh one that
// goes away with `home`. A step run as another user keeps that user's home.
void useFreshHome(std::optional<QTemporaryDir>& home);

QByteArray readAll(const QString& path);
void writeAll(const QString& path, const QByteArray& data);

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

#ifndef Q_OS_WIN
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
#endif

} // namespace testsupport
