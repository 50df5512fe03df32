// The history database over a long life: records one refresh an hour for a
// number of days (500 projects and 1,000 named volumes by default, each
// growing a little), then prints the file's size, the time per record and the
// time of a growth query and a year's series. Exits non-zero when it kept
// another number of refreshes than the retention says, when the refreshes it
// stands for do not add up to what it recorded, or when a year passes 10 MB.
// Usage: bench_history [--days 365] [--projects 500] [--volumes 1000]

#include "history/HistoryStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>

using namespace stowage;

namespace {

HistorySnapshot hourly(const QDateTime& at, int hour, int projects, int volumes)
{
    HistorySnapshot s{QStringLiteral("bench"), at};
    for (int p = 0; p < projects; ++p) {
        HistoryProject project{QStringLiteral("project-%1").arg(p), {}};
        project.amounts[int(HistoryKind::images)] = {900'000'000 + p * 1000, 3};
        project.amounts[int(HistoryKind::volumes)] = {50'000'000 + qint64(p) * hour, 2};
        project.amounts[int(HistoryKind::containers)] = {1000 * (hour % 7), 2};
        s.projects << project;
    }
    for (int v = 0; v < volumes; ++v)
        s.namedVolumes << HistoryVolume{QStringLiteral("project-%1_data-%2").arg(v % projects).arg(v),
                                        QStringLiteral("project-%1").arg(v % projects), 10'000'000 + qint64(v) * hour};
    s.totals[int(HistoryKind::images)] = {qint64(projects) * 900'000'000, projects * 3};
    return s;
}

int fail(const char* what)
{
    std::fprintf(stderr, "bench_history: %s\n", what);
    return 3;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int days = 365, projects = 500, volumes = 1000;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        const int value = args[i + 1].toInt();
        if (args[i] == "--days")
            days = value;
        else if (args[i] == "--projects")
            projects = value;
        else if (args[i] == "--volumes")
            volumes = value;
    }
    if (days < 1 || projects < 1 || volumes < 0)
        return fail("usage: bench_history [--days N] [--projects N] [--volumes N]");

    QTemporaryDir dir;
    const QString path = dir.filePath("history.db");
    QString problem;
    auto store = HistoryStore::open(path, &problem);
    if (!store)
        return fail(qPrintable(problem));

    using Clock = std::chrono::steady_clock;
    const QDateTime first(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC);
    const int refreshes = days * 24;
    const auto recordStart = Clock::now();
    for (int hour = 0; hour < refreshes; ++hour)
        if (!store->record(hourly(first.addSecs(qint64(hour) * 3600), hour, projects, volumes), &problem))
            return fail(qPrintable(problem));
    const double recordMs = std::chrono::duration<double, std::milli>(Clock::now() - recordStart).count();

    const QDateTime last = first.addSecs(qint64(refreshes - 1) * 3600);
    const auto queryStart = Clock::now();
    const QList<HistoryGrowth> growth = store->growthSince("bench", last.addDays(-7));
    const double growthMs = std::chrono::duration<double, std::milli>(Clock::now() - queryStart).count();
    const auto seriesStart = Clock::now();
    const QList<HistoryPoint> points = store->series("bench", first);
    const double seriesMs = std::chrono::duration<double, std::milli>(Clock::now() - seriesStart).count();
    store.reset();  // the last connection's close moves the write-ahead log into the file

    qint64 fileBytes = 0;
    for (const QFileInfo& file : QDir(dir.path()).entryInfoList(QDir::Files))
        fileBytes += file.size();

    // Every refresh of the last 7 days (counted from the last), one per earlier day.
    const int recent = std::min(refreshes, 7 * 24);
    const qsizetype expectedKept = recent + (days * 24 - recent + 23) / 24;
    int counted = 0;
    for (const HistoryPoint& point : points)
        counted += point.refreshes;
    std::printf("%d days of hourly refreshes, %d projects, %d named volumes\n", days, projects, volumes);
    std::printf("  refreshes kept         %lld (of %d recorded)\n", static_cast<long long>(points.size()), refreshes);
    std::printf("  file size              %.2f MB\n", fileBytes / 1e6);
    std::printf("  record (per refresh)   %.2f ms\n", recordMs / refreshes);
    std::printf("  growth since 7 days    %.2f ms (%lld rows)\n", growthMs, static_cast<long long>(growth.size()));
    std::printf("  series of all          %.2f ms\n", seriesMs);

    if (counted != refreshes)
        return fail("the kept refreshes do not stand for every refresh recorded");
    if (points.size() < expectedKept - 1 || points.size() > expectedKept + 1)
        return fail("another number of refreshes was kept than the retention says");
    if (growth.size() != projects + volumes)
        return fail("the growth does not list every project and named volume");
    if (days >= 365 && projects >= 500 && fileBytes > 10'000'000)
        return fail("a year of hourly refreshes at 500 projects passes 10 MB");
    return 0;
}
