#include "FileStatus.h"

#include <cerrno>

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
    const SystemStat st = statFile(path);
    if (st.error != 0)
        return {0, errorFromErrno(st.error, path)};
    if (st.folder)
        return {0, ErrPathFileAccess};
    return {st.length, 0};
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
