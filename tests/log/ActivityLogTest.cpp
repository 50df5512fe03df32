// The activity log as its callers see it: entries on the UI thread, lines in
// the file, the previous run read back, rotation and clearing, a file shared
// with another process, and the process-wide log's lines at exit.
#include "log/ActivityLog.h"
#include "log/LogFile.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <map>
#include <numeric>
#include <sys/stat.h>
#include <thread>

namespace stowage {
namespace {

using test::fileMode;
using test::logLines;
using test::readFile;
using test::waitUntil;
using test::writeFile;

// The file's lines as text, without their line feeds.
QList<QString> fileLines(const QString& path)
{
    QList<QString> lines = QString::fromUtf8(readFile(path)).split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

const QString marker = QString::fromUtf8("—— app launched (previous session above) ——");

class ActivityLogTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString logPath() const { return dir.filePath("activity.log"); }
    QString backupPath() const { return dir.filePath("activity.log.1"); }
    std::unique_ptr<ActivityLog> openLog() { return std::make_unique<ActivityLog>(dir.path()); }

    // A file of `count` valid lines "line 0" … at fixed times, after `prefix`.
    void writeLines(int count, const QByteArray& insertedAt700 = {}, QByteArray bytes = {})
    {
        for (int i = 0; i < count; ++i) {
            if (i == 700)
                bytes += insertedAt700;
            bytes += "2026-12-05T08:20:30.123Z\tinfo\tline " + QByteArray::number(i) + "\n";
        }
        ASSERT_TRUE(writeFile(logPath(), bytes));
    }
};

TEST_F(ActivityLogTest, NextRunReadsTheEntriesBackAboveTheLaunchMarker)
{
    QList<LogEntry> written;
    {
        auto first = openLog();
        EXPECT_EQ(first->fileURL(), logPath());
        first->log(LogLevel::warn, "two\nlines");
        first->log(LogLevel::info, "tab\tinside");
        first->log(LogLevel::error, QString::fromUtf8("typed ⏎ mark"));
        ASSERT_TRUE(waitUntil([&] { return first->entries().size() == 3; }));
        written = first->entries();
    }  // destroying the log writes what it still has queued

    auto second = openLog();
    second->log(LogLevel::info, "this run");  // logged before the load is published
    ASSERT_TRUE(waitUntil([&] { return second->entries().size() == 5; }));

    EXPECT_EQ(logLines(*second),
              (QStringList{"warn two\nlines", "info tab\tinside", "error typed\nmark", "debug " + marker, "info this run"}));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(second->entries()[i].time, written[i].time);
    // The marker lives in memory only.
    second->flush();
    const QList<QString> lines = fileLines(logPath());
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], written[0].time.toUTC().toString(Qt::ISODateWithMs) + QString::fromUtf8("\twarn\ttwo ⏎ lines"));
    EXPECT_TRUE(lines[3].endsWith("\tinfo\tthis run"));
}

TEST_F(ActivityLogTest, LoadsTheLast400LinesOfALongFile)
{
    // Read from its end only: 20 MB that are not text do not keep the last lines from loading.
    writeLines(1000, {}, QByteArray(20 * 1024 * 1024, '\xff') + '\n');
    auto log = openLog();
    ASSERT_TRUE(waitUntil([&] { return !log->entries().isEmpty(); }));
    ASSERT_EQ(log->entries().size(), 401);
    EXPECT_EQ(log->entries().first().message, "line 600");
    EXPECT_EQ(log->entries()[399].message, "line 999");
    EXPECT_EQ(log->entries().last().message, marker);

    // A damaged line takes a place among the 400 and is skipped; blank lines take none.
    writeLines(1000, "damaged\n\n\n");
    log = openLog();
    ASSERT_TRUE(waitUntil([&] { return !log->entries().isEmpty(); }));
    ASSERT_EQ(log->entries().size(), 400);
    EXPECT_EQ(log->entries().first().message, "line 601");
}

TEST(ActivityLogLoad, PublishesNothingFromAnUnusableFile)
{
    const struct {
        const char* name;
        QByteArray contents;
    } cases[] = {
        {"only blank lines", QByteArray("\n\n\n")},
        {"no readable line", QByteArray("garbage\n2026-12-05T08:20:30.123Z\tnotice\tunknown level\n")},
        {"not UTF-8", QByteArray("2026-12-05T08:20:30.123Z\tinfo\tfine\n\xC3\x28\n")},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        ASSERT_TRUE(writeFile(dir.filePath("activity.log"), c.contents));
        ActivityLog log(dir.path());
        log.log(LogLevel::info, "now");
        ASSERT_TRUE(waitUntil([&] { return !log.entries().isEmpty(); })) << c.name;
        EXPECT_EQ(logLines(log), QStringList{"info now"}) << c.name;
    }
}

TEST_F(ActivityLogTest, ThePreviousRunIsReadInTheBackground)
{
    // A FIFO in the log's place: creating the log must not wait for a writer,
    // and lines still reach memory.
    ASSERT_EQ(mkfifo(QFile::encodeName(logPath()).constData(), 0600), 0);
    std::atomic<bool> created = false;
    std::unique_ptr<ActivityLog> log;
    std::thread start([&] {
        log = openLog();
        created = true;
    });
    const bool returned = waitUntil([&] { return created.load(); }, std::chrono::seconds(3));
    if (!returned) {  // release the blocked reader so that the test can end
        QFile writer(logPath());
        (void)writer.open(QIODevice::WriteOnly);
    }
    start.join();
    ASSERT_TRUE(returned) << "creating the log waited on the FIFO";
    log->log(LogLevel::info, "still logging");
    ASSERT_TRUE(waitUntil([&] { return log->entries().size() == 1; }));
}

TEST_F(ActivityLogTest, RotatesOnlyAFileLargerThanTheLimitAndWritesWhereItCannot)
{
    const QByteArray atLimit = QByteArray(ActivityLog::maxFileBytes - 1, 'x') + '\n';
    ASSERT_TRUE(writeFile(logPath(), atLimit));
    ASSERT_TRUE(writeFile(backupPath(), "older backup\n"));
    auto log = openLog();
    log->log(LogLevel::info, "appended");
    log->flush();
    EXPECT_EQ(readFile(backupPath()), "older backup\n");
    EXPECT_TRUE(readFile(logPath()).startsWith(atLimit));

    const QByteArray overLimit = atLimit + 'y';
    ASSERT_TRUE(writeFile(logPath(), overLimit));
    log->log(LogLevel::info, "fresh");
    log->log(LogLevel::info, "second");
    log->flush();
    EXPECT_EQ(readFile(backupPath()), overLimit);
    const QList<QString> lines = fileLines(logPath());
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith("\tfresh"));

    // A file that cannot be rotated still takes the line.
    ASSERT_TRUE(writeFile(logPath(), overLimit));
    ASSERT_TRUE(QFile::remove(backupPath()));
    ASSERT_TRUE(QDir().mkpath(backupPath() + "/occupied"));  // a folder where the backup would go
    log->log(LogLevel::info, "kept");
    log->flush();
    EXPECT_TRUE(readFile(logPath()).startsWith(overLimit));
    EXPECT_TRUE(readFile(logPath()).endsWith("\tinfo\tkept\n"));
}

TEST_F(ActivityLogTest, KeepsTheNewest2000EntriesInMemoryButEveryLineInTheFile)
{
    auto log = openLog();
    for (int i = 0; i <= ActivityLog::maxEntries; ++i)
        log->log(LogLevel::info, QString("m%1").arg(i));
    ASSERT_TRUE(waitUntil([&] { return !log->entries().isEmpty() && log->entries().last().message == "m2000"; }));
    ASSERT_EQ(log->entries().size(), ActivityLog::maxEntries);
    EXPECT_EQ(log->entries().first().message, "m1");
    log->flush();
    const QList<QString> lines = fileLines(logPath());
    ASSERT_EQ(lines.size(), ActivityLog::maxEntries + 1);
    EXPECT_TRUE(lines.first().endsWith("\tm0"));
    EXPECT_TRUE(lines.last().endsWith("\tm2000"));
}

TEST_F(ActivityLogTest, ClearEmptiesMemoryAndSetsTheFileAsideInCallOrder)
{
    // The log is the record of what was removed: a clear keeps the file as the backup.
    ASSERT_TRUE(writeFile(backupPath(), "backup\n"));
    auto log = openLog();
    log->log(LogLevel::info, "before");
    log->clear();
    log->flush();
    EXPECT_FALSE(QFileInfo::exists(logPath()));
    EXPECT_TRUE(readFile(backupPath()).endsWith("\tinfo\tbefore\n"));

    // Clear takes effect in call order among pending entries, the previous run's among them.
    log.reset();
    writeLines(3);
    log = openLog();
    log->log(LogLevel::info, "a");
    log->clear();
    log->log(LogLevel::info, "b");
    ASSERT_TRUE(waitUntil([&] { return !log->entries().isEmpty(); }));
    EXPECT_EQ(logLines(*log), QStringList{"info b"});
    log->flush();
    EXPECT_EQ(fileLines(logPath()).size(), 1);
    EXPECT_TRUE(readFile(logPath()).endsWith("\tinfo\tb\n"));
}

TEST(LogFileSharing, TwoWritersLoseNoLineAndKeepEachWholeAcrossARotation)
{
    // The window and `stowage --probe` append to one file, each through a
    // file description of its own, as these two threads do. Each round starts
    // without a file and rotates it once, about two thirds of the way through.
    constexpr int perWriter = 200;
    const auto line = [](char writer, int i) {
        return QByteArray(1, writer) + ' ' + QByteArray::number(i).rightJustified(4, '0') + ' ' + QByteArray(40, writer)
            + '\n';
    };
    const qint64 maxBytes = 2 * perWriter * line('a', 0).size() * 2 / 3;
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        QTemporaryDir dir;
        const QString path = dir.filePath("activity.log");
        const auto write = [&](char writer) {
            for (int i = 0; i < perWriter; ++i)
                logfile::appendLine(path, line(writer, i), maxBytes);
        };
        std::thread a(write, 'a');
        std::thread b(write, 'b');
        a.join();
        b.join();

        // Each writer's line numbers, in file order; a damaged line counts as -1.
        std::map<char, std::vector<int>> found;
        for (const QByteArray& l : (readFile(logfile::backupPath(path)) + readFile(path)).split('\n')) {
            if (l.isEmpty())
                continue;
            const int number = l.mid(2, 4).toInt();
            found[l[0]].push_back(l + '\n' == line(l[0], number) ? number : -1);
        }
        std::vector<int> expected(perWriter);
        std::iota(expected.begin(), expected.end(), 0);
        EXPECT_EQ(found['a'], expected);
        EXPECT_EQ(found['b'], expected);
        EXPECT_EQ(found.size(), 2u);
        EXPECT_EQ(fileMode(path), 0600);
    }
}

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
    const QList<QString> lines = fileLines(path);
    ASSERT_EQ(lines.size(), lineCount);
    EXPECT_TRUE(lines.last().endsWith("\tline 4999"));
}

}  // namespace
}  // namespace stowage
