#include <gtest/gtest.h>

#include <QApplication>

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
    // Widgets are tested without a display; the real-window test runs the program itself.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new PendingAnswers);
    testsupport::watchForUnansweredModals();
    return RUN_ALL_TESTS();
}
