// The process-wide log: what happens to queued lines when the process ends
// right after logging.
#include "log/ActivityLog.h"

#include "log/LogTestSupport.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace stowage {
namespace {

// The child is a fork of this process: it logs through the shared instance
// and leaves at once with exit(), as a headless run does.
TEST(SharedLogDeathTest, LinesLoggedJustBeforeExitReachTheFile)
{
    GTEST_FLAG_SET(death_test_style, "fast");
    test::TempDataHome home;
    const QString path = home.path() + "/Stowage/activity.log";
    constexpr int lineCount = 5000;

    EXPECT_EXIT(
        {
            ActivityLog& log = ActivityLog::shared();
            if (log.fileURL() != path)
                std::_Exit(2);
            for (int i = 0; i < lineCount; ++i)
                log.log(LogLevel::info, QString("line %1").arg(i));
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");

    const QList<QString> lines = test::fileLines(path);
    ASSERT_EQ(lines.size(), lineCount);
    EXPECT_TRUE(lines.last().endsWith("\tline 4999"));
}

}  // namespace
}  // namespace stowage
