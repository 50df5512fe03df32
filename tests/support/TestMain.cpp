// Test entry point: a Qt application object exists for the whole run so that
// work posted to the UI thread (log entries, operation-center changes, model
// updates) can be delivered by processing events.
#include <gtest/gtest.h>
#include <gmock/gmock.h>

#ifdef STOWAGE_TEST_GUI
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char** argv)
{
    ::testing::InitGoogleMock(&argc, argv);
    TestApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
