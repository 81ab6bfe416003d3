#include <gtest/gtest.h>

#include <optional>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include "platform/CommonDialogs.h"
#include "support/TestSupport.h"

namespace {

// An answer prepared for a dialog that never opened fails its test, and must not
// fire in a later one, where the variables it writes to are gone.
class PendingAnswers : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override {
        for (const QString& what : testsupport::cancelPendingAnswers())
            ADD_FAILURE() << "an answer was prepared for " << what.toStdString()
                          << ", which never opened";
    }
};

} // namespace

int main(int argc, char** argv) {
    // Whatever Qt or a library keeps in the home folder goes to a fresh one that
    // goes away with the run. A step run as another user has that user's home.
    std::optional<QTemporaryDir> home;
    if (testsupport::userStepFolder().isEmpty()) {
        home.emplace();
        qputenv("HOME", QFile::encodeName(home->path()));
        for (const char* name :
             {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"})
            qunsetenv(name);
    }
    // Widgets are tested without a display; the real-window test runs the program itself.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    platform::keepDialogStateOffDisk();
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new PendingAnswers);
    testsupport::watchForUnansweredModals();
    return RUN_ALL_TESTS();
}
