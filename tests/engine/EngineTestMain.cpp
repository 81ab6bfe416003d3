#include <gtest/gtest.h>

#include <optional>

#include <QCoreApplication>
#include <QTemporaryDir>

#include "support/TestSupport.h"

// The engine's tests and velmora-cut's run on Qt Core alone, as the command does.
int main(int argc, char** argv) {
    std::optional<QTemporaryDir> home;
    testsupport::useFreshHome(home);
    testsupport::useSuiteFonts();
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
