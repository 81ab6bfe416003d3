#include "FileStatus.h"

#include <cerrno>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace engine::files {
namespace {

std::int16_t errorFromErrno(int err, const QString& path) {
    switch (err) {
    case ENOENT:
        // A missing folder is a different failure from a missing file.
        return QFileInfo(QFileInfo(path).absolutePath()).isDir() ? ErrFileNotFound
                                                                 : ErrPathNotFound;
    case ENOTDIR:
        return ErrPathNotFound;
    case ENAMETOOLONG:
    case EINVAL:
    case EILSEQ:
        return ErrBadFileName;
    case EACCES:
    case EPERM:
        return ErrPermissionDenied;
    default:
        return ErrPathFileAccess;
    }
}

} // namespace

FileLength queryFileLength(const QString& path) {
    if (path.contains(QChar(0)))
        return {0, ErrBadFileName};
#ifdef Q_OS_WIN
    struct _stat64 st {};
    if (::_wstat64(QDir::toNativeSeparators(path).toStdWString().c_str(), &st) != 0)
#else
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
#endif
        return {0, errorFromErrno(errno, path)};
    if (S_ISDIR(st.st_mode))
        return {0, ErrPathFileAccess};
    return {static_cast<std::int64_t>(st.st_size), 0};
}

QString errorDescription(std::int16_t error) {
    switch (error) {
    case ErrBadFileName:
        return QStringLiteral("ファイル名または番号が不正です。");
    case ErrFileNotFound:
        return QStringLiteral("ファイルが見つかりません。");
    case ErrPermissionDenied:
        return QStringLiteral("書き込みできません。");
    case ErrPathFileAccess:
        return QStringLiteral("パス名が無効です。");
    case ErrPathNotFound:
        return QStringLiteral("パスが見つかりません。");
    default:
        return QStringLiteral("アプリケーション定義またはオブジェクト定義のエラーです。");
    }
}

} // namespace engine::files
