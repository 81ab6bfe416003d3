#include <gtest/gtest.h>

#include <QtGlobal>
#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "engine/files/ReadFile.h"
#include "support/TestSupport.h"

// An input is read whole at exactly its limit and refused one byte past it, a
// file and (on Unix) a pipe alike, on either side of a read's chunk too.
TEST(ReadFile, WholeAtTheLimitRefusedOnePast) {
    QTemporaryDir dir;
    const QString file = dir.filePath("input"), fifo = dir.filePath("fifo");
#ifdef Q_OS_WIN
    const QStringList inputs{file};
#else
    const QStringList inputs{file, fifo};
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
#endif
    for (const qint64 limit : {0, 10, 65535, 65536, 65537, 200000}) {
        for (const qint64 size : {limit - 1, limit, limit + 1}) {
            if (size < 0)
                continue;
            SCOPED_TRACE(std::to_string(size) + " bytes, limit " + std::to_string(limit));
            const QByteArray bytes(size, 'x');
            testsupport::writeAll(file, bytes);
            QProcess writer; // the pipe's other end
            if (inputs.contains(fifo)) {
                writer.start("sh", {"-c", "cat \"$0\" > \"$1\"", file, fifo});
                ASSERT_TRUE(writer.waitForStarted()); // or the FIFO would wait for it for ever
            }
            for (const QString& name : inputs) {
                QByteArray data("old");
                QString why;
                const bool read = engine::files::readWholeFile(name, limit, data, &why);
                EXPECT_EQ(read, size <= limit) << name.toStdString();
                EXPECT_EQ(data, read ? bytes : QByteArray("old"));
                EXPECT_EQ(why.isEmpty(), read) << why.toStdString();
            }
            writer.waitForFinished();
        }
    }
}
