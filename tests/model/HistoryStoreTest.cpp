// The history database: growth over a scripted series of refreshes, folding
// past the retention, a clock that goes back, files it must not use, and two
// processes' worth of writers at once.

#include "history/HistoryStore.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <thread>

using namespace stowage;

namespace {

const QDateTime start(QDate(2026, 1, 1), QTime(12, 0), Qt::UTC);

HistorySnapshot snapshot(const QDateTime& at, qint64 appBytes, qint64 dbBytes, const QString& engine = "laptop")
{
    HistorySnapshot s{engine, at};
    s.totals[int(HistoryKind::volumes)] = {dbBytes, 1};
    s.totals[int(HistoryKind::images)] = {appBytes, 2};
    s.projects = {{"shop", {HistoryAmount{appBytes, 2}, HistoryAmount{dbBytes, 1}}}};
    s.namedVolumes = {{"shop_db", "shop", dbBytes}};
    return s;
}

struct HistoryRig {
    QTemporaryDir dir;
    QString path = dir.filePath("history.db");
    QString problem;
    std::unique_ptr<HistoryStore> store = HistoryStore::open(path, &problem);

    void record(const HistorySnapshot& s) { ASSERT_TRUE(store->record(s, &problem)) << problem.toStdString(); }
    QList<HistoryPoint> all(const QString& engine = "laptop") const { return store->series(engine, start.addYears(-5)); }
};

TEST(HistoryStore, GrowthComparesTheLastRefreshWithTheOneBeforeTheMomentAsked)
{
    HistoryRig rig;
    ASSERT_TRUE(rig.store) << rig.problem.toStdString();
    rig.record(snapshot(start, 100, 1000));
    rig.record(snapshot(start.addDays(1), 100, 5000));
    HistorySnapshot last = snapshot(start.addDays(2), 50, 9000);
    last.namedVolumes << HistoryVolume{"cache", "", 70};
    last.projects << HistoryProject{"blog", {HistoryAmount{10, 1}}};
    rig.record(last);
    rig.record(snapshot(start.addDays(2), 1, 1, "server"));  // another engine's refresh changes nothing here

    using S = HistoryGrowth::Subject;
    EXPECT_EQ(rig.store->growthSince("laptop", start.addSecs(3600)),
              (QList<HistoryGrowth>{{S::volume, "shop_db", "shop", 1000, 9000}, {S::project, "shop", "shop", 1100, 9050},
                                    {S::volume, "cache", "", 0, 70, true}, {S::project, "blog", "blog", 0, 10, true}}));
    // Since before the first refresh: from the oldest kept; with one refresh, nothing to compare.
    EXPECT_EQ(rig.store->growthSince("laptop", start.addYears(-1)), rig.store->growthSince("laptop", start));
    EXPECT_TRUE(rig.store->growthSince("server", start).isEmpty());

    EXPECT_EQ(rig.all(), (QList<HistoryPoint>{{start, 1100}, {start.addDays(1), 5100}, {start.addDays(2), 9050}}));
}

TEST(HistoryStore, OldRefreshesFoldToOneADayThenOneAMonthAndAClockThatGoesBackKeepsTheOrder)
{
    HistoryRig rig;
    const QDateTime now = start.addYears(2);
    // Three refreshes in a month two years back, 24 on one day a month back, 3 in the last week.
    for (int day : {1, 5, 9})
        rig.record(snapshot(QDateTime(QDate(2026, 3, day), QTime(8, 0), Qt::UTC), day, 0));
    for (int hour = 0; hour < 24; ++hour)
        rig.record(snapshot(QDateTime(now.date().addDays(-30), QTime(hour, 0), Qt::UTC), 1000 + hour, 0));
    for (int day = 3; day >= 1; --day)
        rig.record(snapshot(now.addDays(-day), 2000 + day, 0));
    // The clock went back an hour: recorded just after the last refresh, not before it.
    rig.record(snapshot(now.addDays(-1).addSecs(-3600), 3000, 0));

    const QList<HistoryPoint> points = rig.all();
    ASSERT_EQ(points.size(), 6);
    // Each period keeps its last refresh and counts the others.
    EXPECT_EQ(std::tuple(points[0].bytes, points[0].refreshes), std::tuple(9, 3));
    EXPECT_EQ(std::tuple(points[1].bytes, points[1].refreshes), std::tuple(1023, 24));
    EXPECT_EQ(points[5].at, now.addDays(-1).addMSecs(1));
    EXPECT_EQ(points[5].bytes, 3000);
    for (qsizetype i = 1; i < points.size(); ++i)
        EXPECT_LT(points[i - 1].at, points[i].at);
}

TEST(HistoryStore, FilesItMustNotUseAreRefusedAndADamagedOneIsMovedAside)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("history.db");
    QString problem;
    const auto refused = [&](const char* what) {
        EXPECT_FALSE(HistoryStore::open(path, &problem)) << what;
        EXPECT_FALSE(problem.isEmpty()) << what;
        QFile::remove(path);
        QDir(path).removeRecursively();
    };
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    refused("fifo");
    ASSERT_TRUE(QFile::link(dir.filePath("elsewhere.db"), path));
    refused("symlink");
    ASSERT_TRUE(QDir(dir.path()).mkdir("history.db"));
    refused("folder");
    {
        auto sqlite = QSqlDatabase::addDatabase("QSQLITE", "newer");
        sqlite.setDatabaseName(path);
        ASSERT_TRUE(sqlite.open());
        QSqlQuery(sqlite).exec("PRAGMA user_version = 99");
        sqlite.close();
    }
    QSqlDatabase::removeDatabase("newer");
    EXPECT_FALSE(HistoryStore::open(path, &problem));
    EXPECT_TRUE(problem.contains("newer version"));
    QFile::remove(path);

    const QByteArray damaged = "SQLite format 3" + QByteArray(4096, '\xff');
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(damaged);
    file.close();
    auto store = HistoryStore::open(path, &problem);
    ASSERT_TRUE(store);
    EXPECT_TRUE(problem.contains("moved to")) << problem.toStdString();
    const QStringList aside = QDir(dir.path()).entryList({"history.db.damaged-*"});
    ASSERT_EQ(aside.size(), 1);
    QFile kept(dir.filePath(aside[0]));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), damaged);
    EXPECT_TRUE(store->record(snapshot(start, 1, 1), &problem));
    EXPECT_EQ(QFile(path).permissions() & (QFile::ReadGroup | QFile::ReadOther), 0);
}

TEST(HistoryStore, TwoWritersAtOnceLoseNoRefresh)
{
    HistoryRig rig;
    constexpr int perWriter = 40;
    const auto write = [&](const QString& engine) {
        QString problem;
        auto own = HistoryStore::open(rig.path, &problem);  // a connection of its own, as another process has
        for (int i = 0; i < perWriter && own; ++i)
            EXPECT_TRUE(own->record(snapshot(start.addSecs(i), i, i, engine), &problem)) << problem.toStdString();
    };
    std::thread window(write, "laptop");
    std::thread headless(write, "laptop");
    window.join();
    headless.join();
    EXPECT_EQ(rig.all().size(), 2 * perWriter);
}

}  // namespace
