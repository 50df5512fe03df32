// The file's line layout: exact bytes written, and which lines are refused.
#include "log/LogFormat.h"

#include <gtest/gtest.h>

namespace stowage {
namespace {

using namespace logformat;

TEST(LogFormat, WritesUtcMillisecondsLevelAndMessageWithLineFeedsMarkedAndRefusesDamagedLines)
{
    // An instant held in another offset must still be written in UTC.
    const QDateTime time = QDateTime(QDate(2026, 12, 5), QTime(8, 20, 30, 123), Qt::UTC).toOffsetFromUtc(3600);
    const LogEntry entry{QUuid::createUuid(), time, LogLevel::warn, "first\nsecond\twith tab\n"};
    EXPECT_EQ(diskLine(entry),
              QByteArray("2026-12-05T08:20:30.123Z\twarn\tfirst \xE2\x8F\x8E second\twith tab \xE2\x8F\x8E \n"));

    const char* damaged[] = {
        "2026-01-02T03:04:05.006Z\tinfo",  // two fields
        "2026-01-02T03:04:05.006Z info message",
        "2026-01-02T03:04:05Z\tinfo\tno milliseconds",
        "2026-01-02T03:04:05.006+01:00\tinfo\toffset instead of Z",
        "2026-01-02 03:04:05.006Z\tinfo\tspace instead of T",
        "2026-02-30T03:04:05.006Z\tinfo\tno such day",
        " 2026-01-02T03:04:05.006Z\tinfo\tleading space",
        "2026-01-02T03:04:05.006Z\tInfo\tcapitalised level",
        "2026-01-02T03:04:05.006Z\twarning\tunknown level",
    };
    for (const char* line : damaged)
        EXPECT_FALSE(parseDiskLine(QString::fromUtf8(line))) << line;
    EXPECT_TRUE(parseDiskLine(u"2026-01-02T03:04:05.006Z\terror\t"));  // an empty message is fine
}

}  // namespace
}  // namespace stowage
