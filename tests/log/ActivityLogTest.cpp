// The activity log as its callers see it: entries on the UI thread, lines in
// the file, the previous run read back, rotation, clearing and export.
#include "log/ActivityLog.h"

#include "log/LogTestSupport.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <ctime>
#include <thread>

namespace stowage {
namespace {

using test::fileLines;
using test::readFile;
using test::waitUntil;
using test::writeFile;

const QString marker = QString::fromUtf8("—— app launched (previous session above) ——");

QList<QString> messages(const ActivityLog& log)
{
    QList<QString> result;
    for (const LogEntry& entry : log.entries())
        result.append(entry.message);
    return result;
}

class ActivityLogTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString logPath() const { return dir.filePath("activity.log"); }
    QString backupPath() const { return dir.filePath("activity.log.1"); }
    std::unique_ptr<ActivityLog> openLog() { return std::make_unique<ActivityLog>(dir.path()); }

    // A file of `count` valid lines "line 0" … at fixed times.
    void writeLines(int count)
    {
        QByteArray bytes;
        for (int i = 0; i < count; ++i)
            bytes += "2026-12-05T08:20:30.123Z\tinfo\tline " + QByteArray::number(i) + "\n";
        writeFile(logPath(), bytes);
    }
};

TEST_F(ActivityLogTest, WritesOneLinePerEntryInCallOrder)
{
    auto log = openLog();
    EXPECT_EQ(log->fileURL(), logPath());
    log->log(LogLevel::info, "plain");
    log->log(LogLevel::error, "two\nlines");
    log->log(LogLevel::debug, "a\ttab");
    log->flush();

    const QList<QString> lines = fileLines(logPath());
    ASSERT_EQ(lines.size(), 3);
    const QRegularExpression stamp(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z\t)");
    for (const QString& line : lines)
        EXPECT_TRUE(stamp.match(line).hasMatch()) << line.toStdString();
    EXPECT_TRUE(lines[0].endsWith("\tinfo\tplain"));
    EXPECT_TRUE(lines[1].endsWith(QString::fromUtf8("\terror\ttwo ⏎ lines")));
    EXPECT_TRUE(lines[2].endsWith("\tdebug\ta\ttab"));

    ASSERT_TRUE(waitUntil([&] { return log->entries().size() == 3; }));
    EXPECT_EQ(messages(*log), (QList<QString>{"plain", "two\nlines", "a\ttab"}));
    EXPECT_TRUE(lines[0].startsWith(log->entries()[0].time.toUTC().toString(Qt::ISODateWithMs)));
}

TEST_F(ActivityLogTest, NextRunReadsTheEntriesBackAboveTheLaunchMarker)
{
    QList<LogEntry> written;
    {
        auto first = openLog();
        first->log(LogLevel::warn, "two\nlines");
        first->log(LogLevel::info, "tab\tinside");
        first->log(LogLevel::error, QString::fromUtf8("typed ⏎ mark"));
        ASSERT_TRUE(waitUntil([&] { return first->entries().size() == 3; }));
        written = first->entries();
    }  // destroying the log writes what it still has queued

    const QDateTime before = QDateTime::currentDateTimeUtc();
    auto second = openLog();
    second->log(LogLevel::info, "this run");  // logged before the load is published
    ASSERT_TRUE(waitUntil([&] { return second->entries().size() == 5; }));
    const QDateTime after = QDateTime::currentDateTimeUtc();

    const QList<LogEntry>& entries = second->entries();
    EXPECT_EQ(messages(*second), (QList<QString>{"two\nlines", "tab\tinside", "typed\nmark", marker, "this run"}));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(entries[i].time, written[i].time);
        EXPECT_EQ(entries[i].level, written[i].level);
        EXPECT_NE(entries[i].id, written[i].id);
    }
    EXPECT_EQ(entries[3].level, LogLevel::debug);
    EXPECT_GE(entries[3].time, before);
    EXPECT_LE(entries[3].time, after);
    // The marker lives in memory only.
    second->flush();
    EXPECT_EQ(fileLines(logPath()).size(), 4);
}

TEST_F(ActivityLogTest, LoadsTheLast400LinesOfALongFile)
{
    writeLines(1000);
    auto log = openLog();
    ASSERT_TRUE(waitUntil([&] { return !log->entries().isEmpty(); }));
    ASSERT_EQ(log->entries().size(), 401);
    EXPECT_EQ(log->entries().first().message, "line 600");
    EXPECT_EQ(log->entries()[399].message, "line 999");
    EXPECT_EQ(log->entries().last().message, marker);
}

TEST(ActivityLogLoad, PublishesNothingFromAnUnusableFile)
{
    const struct {
        const char* name;
        std::optional<QByteArray> contents;
    } cases[] = {
        {"no file", std::nullopt},
        {"empty file", QByteArray()},
        {"only blank lines", QByteArray("\n\n\n")},
        {"no readable line", QByteArray("garbage\n2026-12-05T08:20:30.123Z\tnotice\tunknown level\n")},
        {"not UTF-8", QByteArray("2026-12-05T08:20:30.123Z\tinfo\tfine\n\xC3\x28\n")},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        if (c.contents)
            writeFile(dir.filePath("activity.log"), *c.contents);
        ActivityLog log(dir.path());
        log.log(LogLevel::info, "now");
        ASSERT_TRUE(waitUntil([&] { return !log.entries().isEmpty(); })) << c.name;
        test::drainEvents();
        EXPECT_EQ(messages(log), QList<QString>{"now"}) << c.name;
    }
}

TEST_F(ActivityLogTest, FileOfExactlyTheLimitIsNotRotated)
{
    writeFile(logPath(), QByteArray(ActivityLog::maxFileBytes - 1, 'x') + '\n');
    auto log = openLog();
    log->log(LogLevel::info, "appended");
    log->flush();
    EXPECT_FALSE(QFileInfo::exists(backupPath()));
    EXPECT_GT(QFileInfo(logPath()).size(), ActivityLog::maxFileBytes);
    EXPECT_TRUE(fileLines(logPath()).last().endsWith("\tappended"));
}

TEST_F(ActivityLogTest, FileOverTheLimitBecomesTheBackupBeforeTheNextLine)
{
    const QByteArray full = QByteArray(ActivityLog::maxFileBytes, 'x') + '\n';
    writeFile(logPath(), full);
    writeFile(backupPath(), "older backup\n");
    auto log = openLog();
    log->log(LogLevel::info, "fresh");
    log->log(LogLevel::info, "second");
    log->flush();
    EXPECT_EQ(readFile(backupPath()), full);
    const QList<QString> lines = fileLines(logPath());
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith("\tfresh"));
}

TEST_F(ActivityLogTest, KeepsTheNewest2000EntriesInMemoryButEveryLineInTheFile)
{
    auto log = openLog();
    int changes = 0;
    QObject::connect(log.get(), &ActivityLog::entriesChanged, [&] { ++changes; });
    for (int i = 0; i <= ActivityLog::maxEntries; ++i)
        log->log(LogLevel::info, QString("m%1").arg(i));
    ASSERT_TRUE(waitUntil([&] { return !log->entries().isEmpty() && log->entries().last().message == "m2000"; }));
    ASSERT_EQ(log->entries().size(), ActivityLog::maxEntries);
    EXPECT_EQ(log->entries().first().message, "m1");
    EXPECT_GE(changes, 1);
    log->flush();
    EXPECT_EQ(fileLines(logPath()).size(), ActivityLog::maxEntries + 1);
}

TEST_F(ActivityLogTest, ClearEmptiesMemoryAndDeletesTheFileButNotTheBackup)
{
    writeFile(backupPath(), "backup\n");
    auto log = openLog();
    log->log(LogLevel::info, "before");
    log->flush();
    ASSERT_TRUE(QFileInfo::exists(logPath()));

    log->clear();
    log->flush();
    EXPECT_FALSE(QFileInfo::exists(logPath()));
    EXPECT_EQ(readFile(backupPath()), "backup\n");
    ASSERT_TRUE(waitUntil([&] { return log->entries().isEmpty(); }));

    log->log(LogLevel::warn, "after");
    log->flush();
    const QList<QString> lines = fileLines(logPath());
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].endsWith("\twarn\tafter"));
    ASSERT_TRUE(waitUntil([&] { return log->entries().size() == 1; }));
    EXPECT_EQ(messages(*log), QList<QString>{"after"});
}

TEST_F(ActivityLogTest, ClearTakesEffectInCallOrderAmongPendingEntries)
{
    writeLines(3);
    auto log = openLog();  // previous run still unpublished
    log->log(LogLevel::info, "a");
    log->clear();
    log->log(LogLevel::info, "b");
    ASSERT_TRUE(waitUntil([&] { return !log->entries().isEmpty(); }));
    test::drainEvents();
    EXPECT_EQ(messages(*log), QList<QString>{"b"});
    log->flush();
    EXPECT_EQ(fileLines(logPath()).size(), 1);
}

class LocalTimeZone {
public:
    explicit LocalTimeZone(const char* tz) : previous_(qgetenv("TZ")), hadPrevious_(qEnvironmentVariableIsSet("TZ"))
    {
        qputenv("TZ", tz);
        tzset();
    }
    ~LocalTimeZone()
    {
        if (hadPrevious_)
            qputenv("TZ", previous_);
        else
            qunsetenv("TZ");
        tzset();
    }

private:
    QByteArray previous_;
    bool hadPrevious_;
};

TEST_F(ActivityLogTest, ExportsLocalTimePaddedLevelAndMessage)
{
    auto empty = std::make_unique<ActivityLog>(std::nullopt);
    EXPECT_EQ(empty->exportText(), "");

    const LocalTimeZone india("IST-5:30");  // POSIX form: UTC+05:30
    writeFile(logPath(),
              "2026-12-05T08:20:30.123Z\tdebug\td\n"
              "2026-12-05T08:20:30.124Z\tinfo\ti\n"
              "2026-12-05T20:00:00.000Z\twarn\tw\n"
              "2026-12-05T08:20:30.126Z\terror\tfirst \xE2\x8F\x8E second\n");
    auto log = openLog();
    ASSERT_TRUE(waitUntil([&] { return !log->entries().isEmpty(); }));
    const QString text = log->exportText();
    const QList<QString> lines = text.split(u'\n');
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0], "[2026-12-05 13:50:30.123] DEBUG d");
    EXPECT_EQ(lines[1], "[2026-12-05 13:50:30.124] INFO  i");
    EXPECT_EQ(lines[2], "[2026-12-06 01:30:00.000] WARN  w");
    EXPECT_EQ(lines[3], "[2026-12-05 13:50:30.126] ERROR first");
    EXPECT_EQ(lines[4], "second");
    EXPECT_TRUE(lines[5].startsWith("[") && lines[5].endsWith("] DEBUG " + marker));
    EXPECT_FALSE(text.endsWith(u'\n'));
}

TEST_F(ActivityLogTest, KeepsEachThreadsOrderInMemoryAndInTheFile)
{
    constexpr int threadCount = 8;
    constexpr int perThread = 200;
    auto log = openLog();
    std::vector<std::thread> threads;
    for (int t = 0; t < threadCount; ++t) {
        threads.emplace_back([&log, t] {
            for (int i = 0; i < perThread; ++i)
                log->log(LogLevel::info, QString("t%1 %2").arg(t).arg(i));
        });
    }
    for (auto& thread : threads)
        thread.join();
    log->flush();
    ASSERT_TRUE(waitUntil([&] { return log->entries().size() == threadCount * perThread; }));

    auto checkOrder = [&](const QList<QString>& texts, const char* where) {
        std::vector<int> next(threadCount, 0);
        const QRegularExpression form(R"(t(\d+) (\d+)$)");
        for (const QString& text : texts) {
            const auto match = form.match(text);
            ASSERT_TRUE(match.hasMatch()) << where << ": " << text.toStdString();
            const int t = match.captured(1).toInt();
            EXPECT_EQ(match.captured(2).toInt(), next[t]++) << where;
        }
        for (int t = 0; t < threadCount; ++t)
            EXPECT_EQ(next[t], perThread) << where;
    };
    checkOrder(messages(*log), "memory");
    checkOrder(fileLines(logPath()), "file");
}

TEST_F(ActivityLogTest, FlushWaitsUntilEveryLineIsWritten)
{
    auto log = openLog();
    std::thread writer([&] {
        for (int i = 0; i < 3000; ++i)
            log->log(LogLevel::debug, QString("n%1").arg(i));
    });
    writer.join();
    log->flush();  // no UI-thread events processed: the file does not depend on them
    const QList<QString> lines = fileLines(logPath());
    ASSERT_EQ(lines.size(), 3000);
    EXPECT_TRUE(lines.last().endsWith("\tn2999"));
}

TEST(ActivityLogPlacement, LogCreatedOffTheUiThreadPublishesOnIt)
{
    QTemporaryDir dir;
    std::unique_ptr<ActivityLog> log;
    std::thread([&] {
        log = std::make_unique<ActivityLog>(dir.path());
        log->log(LogLevel::info, "from elsewhere");
    }).join();
    EXPECT_EQ(log->thread(), QCoreApplication::instance()->thread());
    ASSERT_TRUE(waitUntil([&] { return log->entries().size() == 1; }));
}

TEST(ActivityLogPlacement, WithoutADirectoryKeepsEntriesInMemoryOnly)
{
    ActivityLog log(std::nullopt);
    EXPECT_FALSE(log.fileURL());
    log.log(LogLevel::info, "memory only");
    log.flush();
    ASSERT_TRUE(waitUntil([&] { return log.entries().size() == 1; }));
    log.clear();
    ASSERT_TRUE(waitUntil([&] { return log.entries().isEmpty(); }));
}

TEST(ActivityLogPlacement, MissingFolderIsCreatedForTheFile)
{
    QTemporaryDir root;
    const QString dir = root.filePath("nested/Stowage");
    ActivityLog log(dir);
    QDir(root.filePath("nested")).removeRecursively();  // e.g. removed by the user while running
    log.log(LogLevel::info, "still written");
    log.flush();
    EXPECT_EQ(fileLines(dir + "/activity.log").size(), 1);
}

}  // namespace
}  // namespace stowage
