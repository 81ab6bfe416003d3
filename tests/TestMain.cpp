#include <gtest/gtest.h>

#include <cstdio>

#include <QApplication>

#include "support/TestSupport.h"

namespace {

// An answer prepared for a dialog that never opened must not fire in a later
// test, where the variables it writes to are gone.
class PendingAnswers : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo& test) override {
        if (int left = testsupport::cancelPendingAnswers())
            std::fprintf(stderr, "%s.%s: %d prepared dialog answer(s) never used\n",
                         test.test_suite_name(), test.name(), left);
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
    return RUN_ALL_TESTS();
}
