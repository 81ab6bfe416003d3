#include <gtest/gtest.h>

#include <optional>

#include <QApplication>
#include <QTemporaryDir>

#include "support/TestSupport.h"
#include "support/WidgetSupport.h"
#include "ui/dialogs/Dialogs.h"

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
    std::optional<QTemporaryDir> home;
    testsupport::useFreshHome(home);
    testsupport::useSuiteFonts();
    // No session bus is started for the widgets (D-Bus would note it in the home).
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/velmora-bus");
    // Widgets are tested without a display; the real-window test runs the program itself.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ui::keepDialogStateOffDisk();
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new PendingAnswers);
    testsupport::watchForUnansweredModals();
    return RUN_ALL_TESTS();
}
