// The file's line layout: what is written and what is accepted back.
#include "log/LogFormat.h"

#include <gtest/gtest.h>

namespace stowage {
namespace {

using namespace logformat;

QDateTime utc(int y, int mo, int d, int h, int mi, int s, int ms)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC);
}

TEST(LogFormat, WritesUtcMillisecondsLevelAndMessageWithLineFeedsMarked)
{
    // A local-time instant must still be written in UTC.
    const QDateTime local = utc(2026, 12, 5, 8, 20, 30, 123).toOffsetFromUtc(3600);
    const LogEntry entry{QUuid::createUuid(), local, LogLevel::warn, "first\nsecond\twith tab\n"};
    EXPECT_EQ(diskLine(entry),
              QByteArray("2026-12-05T08:20:30.123Z\twarn\tfirst \xE2\x8F\x8E second\twith tab \xE2\x8F\x8E \n"));
}

TEST(LogFormat, ReadsBackWhatItWrites)
{
    for (const QString& message : {QString("plain"), QString("two\nlines"), QString("a\tb\t\tc"), QString(""),
                                   QString("ünïcødé ✓"), QString("\n")}) {
        const LogEntry written{QUuid::createUuid(), utc(2026, 1, 2, 3, 4, 5, 6), LogLevel::error, message};
        QString line = QString::fromUtf8(diskLine(written));
        line.chop(1);
        const auto read = parseDiskLine(line);
        ASSERT_TRUE(read) << message.toStdString();
        EXPECT_EQ(read->time, written.time);
        EXPECT_EQ(read->level, LogLevel::error);
        EXPECT_EQ(read->message, message);
        EXPECT_NE(read->id, written.id);
    }
}

TEST(LogFormat, AMarkTypedInsideAMessageReadsBackAsALineFeed)
{
    const auto read = parseDiskLine(u"2026-01-02T03:04:05.006Z\tinfo\tsee \u23CE here");
    ASSERT_TRUE(read);
    EXPECT_EQ(read->message, "see\nhere");
}

TEST(LogFormat, RejectsDamagedLines)
{
    const char* damaged[] = {
        "2026-01-02T03:04:05.006Z\tinfo",                // two fields
        "2026-01-02T03:04:05.006Z info message",         // no tabs
        "2026-01-02T03:04:05Z\tinfo\tno milliseconds",
        "2026-01-02T03:04:05.006+01:00\tinfo\toffset instead of Z",
        "2026-01-02 03:04:05.006Z\tinfo\tspace instead of T",
        "2026-13-02T03:04:05.006Z\tinfo\tmonth 13",
        "2026-02-30T03:04:05.006Z\tinfo\tno such day",
        " 2026-01-02T03:04:05.006Z\tinfo\tleading space",
        "2026-01-02T03:04:05.006Z\tInfo\tcapitalised level",
        "2026-01-02T03:04:05.006Z\twarning\tunknown level",
        "2026-01-02T03:04:05.006Z\t\tempty level",
    };
    for (const char* line : damaged)
        EXPECT_FALSE(parseDiskLine(QString::fromUtf8(line))) << line;
}

TEST(LogFormat, LevelsReadBackOnlyFromExactRawValues)
{
    for (LogLevel level : {LogLevel::debug, LogLevel::info, LogLevel::warn, LogLevel::error})
        EXPECT_EQ(logLevelFromRaw(rawValue(level)), level);
    for (const char* raw : {"DEBUG", "Warn", " info", "err", ""})
        EXPECT_FALSE(logLevelFromRaw(raw)) << raw;
}

TEST(LogFormat, PreviousRunKeepsReadableLinesAmongTheLast400)
{
    QByteArray file;
    for (int i = 0; i < 1000; ++i) {
        if (i == 700)
            file += "garbage line\n\n\n";  // counted among the 400 but skipped; empty lines are not counted
        file += "2026-01-02T03:04:05.006Z\tinfo\tline " + QByteArray::number(i) + "\n";
    }
    const QList<LogEntry> entries = parsePreviousRun(file);
    ASSERT_EQ(entries.size(), 399);
    EXPECT_EQ(entries.first().message, "line 601");
    EXPECT_EQ(entries.last().message, "line 999");
}

TEST(LogFormat, PreviousRunIsEmptyWhenTheFileIsNotUtf8)
{
    const QByteArray good = "2026-01-02T03:04:05.006Z\tinfo\tfine\n";
    ASSERT_EQ(parsePreviousRun(good).size(), 1);
    // The broken byte is in a line that would not even be among the tail.
    EXPECT_TRUE(parsePreviousRun("\xFF\xFE broken\n" + good).isEmpty());
}

}  // namespace
}  // namespace stowage
