#include <gtest/gtest.h>

#include <sys/mount.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "engine/files/AtomicFile.h"
#include "support/TestSupport.h"

// On a file system that is really full, a file in a folder that takes no new
// file is written in place: its room is claimed before any old byte changes,
// so the write fails and the old file stays whole. Root mounts a small tmpfs
// and fills it; the write runs as an ordinary user, for whom the folder is
// read-only.
TEST(AtomicFile, FullDiskFailsBeforeAnyOldByteChanges) {
    const QByteArray grown(300 * 1024, 'n');
    const auto step = [&grown](const QString& folder) {
        QString why;
        EXPECT_FALSE(engine::files::writeFileAtomically(folder + "/kept", grown, &why));
        EXPECT_FALSE(why.isEmpty());
    };
    if (const QString folder = testsupport::userStepFolder(); !folder.isEmpty())
        return step(folder);
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can mount the small file system this needs";
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                          QFile::ReadOther | QFile::ExeOther);
    const QByteArray target = QFile::encodeName(dir.path());
    if (::mount("tmpfs", target.constData(), "tmpfs", 0, "size=256k,mode=0755") != 0)
        GTEST_SKIP() << "no tmpfs could be mounted here";
    const QByteArray old(100 * 1024, 'o');
    testsupport::writeAll(dir.filePath("kept"), old);
    QFile::setPermissions(dir.filePath("kept"), QFileDevice::Permissions(0x6666));
    QFile filler(dir.filePath("filler"));
    filler.open(QIODevice::WriteOnly);
    while (filler.write(QByteArray(4096, 'f')) == 4096 && filler.flush()) {
    }
    filler.close();
    const QString why = testsupport::runAsOrdinaryUser(dir.path(), step);
    EXPECT_EQ(testsupport::readAll(dir.filePath("kept")), old);
    ::umount(target.constData());
    if (!why.isEmpty())
        GTEST_SKIP() << why.toStdString();
}

// Staged files show under their names only at the commit, which puts each in
// place with the old file's permissions; until then they have no name at all,
// so that a batch stopped half-way leaves nothing behind. One that cannot take
// its name fails alone and leaves no temporary file.
TEST(AtomicFile, StagedFilesTakeTheirNamesAtTheCommit) {
    using engine::files::StagedFile;
    QTemporaryDir dir;
    const QString old = dir.filePath("old"), fresh = dir.filePath("fresh");
    testsupport::writeAll(old, "old");
    QFile::setPermissions(old, QFile::ReadOwner | QFile::WriteOwner);
    std::vector<StagedFile> files(3);
    ASSERT_TRUE(engine::files::stageFile(old, "new", files[0]));
    ASSERT_TRUE(engine::files::stageFile(fresh, "fresh", files[1]));
    ASSERT_TRUE(engine::files::stageFile(dir.filePath("taken"), "lost", files[2]));
    ASSERT_TRUE(QDir(dir.path()).mkpath("taken/inside"));
    EXPECT_EQ(testsupport::readAll(old), "old");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"old"});
    std::vector<QString> whys;
    EXPECT_EQ(engine::files::commitStaged(files, &whys), (std::vector<bool>{true, true, false}));
    EXPECT_EQ(testsupport::readAll(old), "new");
    EXPECT_EQ(QFile::permissions(old) & 0x7077, QFile::ReadOwner | QFile::WriteOwner); // owner, group, others
    EXPECT_EQ(testsupport::readAll(fresh), "fresh");
    EXPECT_TRUE(whys[0].isEmpty() && !whys[2].isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"fresh", "old"}));
}

// A write that fails says what the system said, not a guess: each cause its own
// reason, and nothing left behind. Root mounts a full and a read-only file system.
TEST(AtomicFile, FailedWritesNameTheirReason) {
    QTemporaryDir dir;
    testsupport::writeAll(dir.filePath("locked"), "old");
    QFile::setPermissions(dir.filePath("locked"), QFile::ReadOwner);
    QDir(dir.path()).mkdir("folder");
    struct Row {
        QString target;
        const char* reason;
    };
    std::vector<Row> rows{
        {dir.filePath("missing/x.png"), "the folder does not exist"},
        {dir.filePath("folder"), "a folder has that name"},
        {dir.filePath("locked"), "the file is read-only"},
    };
    // A folder the system refuses new files in, though even root may write there.
    if (geteuid() == 0)
        rows.push_back({"/proc/x.png", "the folder takes no new files"});
    std::vector<QByteArray> mounts;
    const auto mount = [&](const char* name, unsigned long flags) {
        const QString path = dir.filePath(name);
        QDir(dir.path()).mkdir(name);
        mounts.push_back(QFile::encodeName(path));
        return geteuid() == 0 &&
               ::mount("tmpfs", mounts.back().constData(), "tmpfs", flags, "size=64k") == 0;
    };
    if (mount("full", 0)) {
        QFile filler(dir.filePath("full/filler"));
        filler.open(QIODevice::WriteOnly);
        while (filler.write(QByteArray(4096, 'f')) == 4096 && filler.flush()) {
        }
        rows.push_back({dir.filePath("full/x.png"), "the disk is full"});
    }
    if (mount("readonly", MS_RDONLY))
        rows.push_back({dir.filePath("readonly/x.png"), "the file system is read-only"});
    for (const Row& row : rows) {
        QString why;
        EXPECT_FALSE(engine::files::writeFileAtomically(row.target, QByteArray(8192, 'n'), &why))
            << row.target.toStdString();
        EXPECT_EQ(why.toStdString(), row.reason) << row.target.toStdString();
    }
    EXPECT_EQ(testsupport::readAll(dir.filePath("locked")), "old");
    for (const QByteArray& point : mounts)
        ::umount(point.constData());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"locked"});
    if (rows.size() < 6)
        GTEST_SKIP() << "only root can mount the full and read-only file systems, or write to /proc";
}
