#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QtGlobal>
#ifndef Q_OS_WIN
#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace testsupport {

void useSuiteFonts() {
    qputenv("FONTCONFIG_FILE", VELMORA_TEST_FONTCONFIG);
}

void useFreshHome(std::optional<QTemporaryDir>& home) {
    if (!userStepFolder().isEmpty())
        return;
    home.emplace();
    qputenv("HOME", QFile::encodeName(home->path()));
    for (const char* name :
         {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"})
        qunsetenv(name);
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(f.write(data), data.size());
}

int fileCount(const QString& folder) {
    return static_cast<int>(
        QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System).size());
}

ReadOnlyFolder::~ReadOnlyFolder() {
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void ReadOnlyFolder::lock() {
    for (const QString& name : QDir(dir.path()).entryList(QDir::Files))
        QFile::setPermissions(dir.filePath(name), QFile::ReadOwner | QFile::WriteOwner |
                                                      QFile::ReadGroup | QFile::WriteGroup |
                                                      QFile::ReadOther | QFile::WriteOther);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                          QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
}

namespace {
const char UserStepVariable[] = "VELMORA_TEST_USER_STEP";
}

QString userStepFolder() {
    return qEnvironmentVariable(UserStepVariable);
}

#ifdef Q_OS_WIN
QString runAsOrdinaryUser(const QString&, const std::function<void(const QString&)>&) {
    return "folder permissions are Unix's";
}
#else
QString runAsOrdinaryUser(const QString& folder, const std::function<void(const QString&)>& step) {
    if (geteuid() != 0) {
        step(folder);
        return {};
    }
    const QString runuser = QStandardPaths::findExecutable("runuser");
    if (runuser.isEmpty())
        return "runuser is missing: no ordinary user to test folder permissions with";
    const QString self = QCoreApplication::applicationFilePath();
    if (QProcess::execute(runuser, {"-u", "nobody", "--", "test", "-x", self, "-a", "-x", folder}))
        return "user nobody cannot reach " + self + " or " + folder;
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(UserStepVariable, folder);
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(runuser,
                {"-u", "nobody", "--", self,
                 QString("--gtest_filter=%1.%2").arg(test->test_suite_name(), test->name())});
    if (!child.waitForFinished(60000)) {
        child.terminate(); // runuser hands it on to the test, which SIGKILL would orphan
        child.waitForFinished(10000);
        ADD_FAILURE() << "the step run as nobody did not end";
    }
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0) << "the step run as nobody failed (its output is above)";
    return {};
}

FileSizeLimit::FileSizeLimit(quint64 bytes) {
    std::signal(SIGXFSZ, SIG_IGN); // the write fails with EFBIG instead of ending the process
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    m_soft = limit.rlim_cur;
    m_hard = limit.rlim_max;
    limit.rlim_cur = bytes;
    EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
}

FileSizeLimit::~FileSizeLimit() {
    const rlimit limit{m_soft, m_hard};
    setrlimit(RLIMIT_FSIZE, &limit);
}

quint64 inodeOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}
#endif

} // namespace testsupport
