// Test entry point: a Qt application object exists for the whole run so that
// work posted to the UI thread (log entries, operation-center changes, model
// updates) can be delivered by processing events.
#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include "text/Translations.h"

#ifdef STOWAGE_TEST_GUI
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char** argv)
{
    // Widgets render offscreen unless a platform was chosen; screenshots and
    // other test output go under the build directory.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("STOWAGE_TEST_BINARY_DIR"))
        qputenv("STOWAGE_TEST_BINARY_DIR", STOWAGE_TEST_BINARY_DIR);
    ::testing::InitGoogleMock(&argc, argv);
    TestApplication app(argc, argv);
    stowage::Translations::installEnglish();  // the texts every test expects
    return RUN_ALL_TESTS();
}
