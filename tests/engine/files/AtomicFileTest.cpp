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
        // posix_fallocate returns its error rather than setting errno.
        EXPECT_EQ(why.toStdString(), "the disk is full");
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
#ifdef __linux__ // elsewhere staged files have hidden temporary names until the commit
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"old"});
#endif
    std::vector<QString> whys;
    EXPECT_EQ(engine::files::commitStaged(files, &whys), (std::vector<bool>{true, true, false}));
    EXPECT_EQ(testsupport::readAll(old), "new");
    EXPECT_EQ(QFile::permissions(old) & 0x7077, QFile::ReadOwner | QFile::WriteOwner); // owner, group, others
    EXPECT_EQ(testsupport::readAll(fresh), "fresh");
    EXPECT_TRUE(whys[0].isEmpty() && !whys[2].isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"fresh", "old"}));
}

// A file in a folder that takes no new file is written in place when it is
// staged; the commit then neither writes nor renames it again, and counts it
// done beside the files it names. Run as an ordinary user, for whom the
// folder is read-only.
TEST(AtomicFile, FilesWrittenInPlaceAreDoneAtTheCommit) {
    const auto step = [](const QString& folder) {
        std::vector<engine::files::StagedFile> files(2);
        ASSERT_TRUE(engine::files::stageFile(folder + "/shut/kept", "new kept", files[0]));
        ASSERT_TRUE(engine::files::stageFile(folder + "/open/fresh", "fresh", files[1]));
        EXPECT_EQ(testsupport::readAll(folder + "/shut/kept"), "new kept");
        testsupport::writeAll(folder + "/shut/kept", "changed since");
        std::vector<QString> whys;
        EXPECT_EQ(engine::files::commitStaged(files, &whys), (std::vector<bool>{true, true}));
        EXPECT_TRUE(whys[0].isEmpty() && whys[1].isEmpty());
        EXPECT_EQ(testsupport::readAll(folder + "/shut/kept"), "changed since");
        EXPECT_EQ(testsupport::readAll(folder + "/open/fresh"), "fresh");
    };
    if (const QString folder = testsupport::userStepFolder(); !folder.isEmpty())
        return step(folder);
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("shut");
    QDir(dir.path()).mkdir("open");
    testsupport::writeAll(dir.filePath("shut/kept"), "old");
    const auto all = QFileDevice::Permissions(0x7777);
    QFile::setPermissions(dir.filePath("shut/kept"), QFileDevice::Permissions(0x6666));
    QFile::setPermissions(dir.filePath("shut"), all & ~QFileDevice::Permissions(0x2222));
    QFile::setPermissions(dir.filePath("open"), all);
    QFile::setPermissions(dir.path(), all);
    if (const QString why = testsupport::runAsOrdinaryUser(dir.path(), step); !why.isEmpty())
        GTEST_SKIP() << why.toStdString();
}

// A write that fails says what the system said, not a guess: each cause its own
// reason, and nothing left behind. Root mounts a full (4 KiB) and a read-only
// file system, and may write to /proc, which takes no new files all the same.
TEST(AtomicFile, FailedWritesNameTheirReason) {
    QTemporaryDir dir;
    const QString d = dir.path() + '/';
    testsupport::writeAll(d + "locked", "old");
    QFile::setPermissions(d + "locked", QFile::ReadOwner);
    const bool root = geteuid() == 0;
    for (const char* name : {"folder", "full", "readonly"})
        QDir(d).mkdir(name);
    const bool mounted =
        root && ::mount("tmpfs", QFile::encodeName(d + "full"), "tmpfs", 0, "size=4k") == 0 &&
        ::mount("tmpfs", QFile::encodeName(d + "readonly"), "tmpfs", MS_RDONLY, "size=4k") == 0;
    const struct {
        QString target;
        const char* reason;
        bool asRoot; // mounted or run as root only
    } rows[] = {
        {d + "missing/x.png", "the folder does not exist", false},
        {d + "folder", "a folder has that name", false},
        {d + "locked", "the file is read-only", false},
        {"/proc/x.png", "the folder takes no new files", true},
        {d + "full/x.png", "the disk is full", true},
        {d + "readonly/x.png", "the file system is read-only", true},
    };
    for (const auto& row : rows) {
        if (row.asRoot && !mounted)
            continue;
        QString why;
        EXPECT_FALSE(engine::files::writeFileAtomically(row.target, QByteArray(8192, 'n'), &why));
        EXPECT_EQ(why.toStdString(), row.reason) << row.target.toStdString();
    }
    for (const char* name : {"full", "readonly"})
        ::umount(QFile::encodeName(d + name).constData());
    EXPECT_EQ(testsupport::readAll(d + "locked"), "old");
    EXPECT_EQ(QDir(d).entryList(QDir::Files | QDir::Hidden), QStringList{"locked"});
    if (!mounted)
        GTEST_SKIP() << "only root can mount the full and read-only file systems";
}
