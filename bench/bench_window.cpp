// What a person feels of the window at 10,000 images, 10,000 volumes and 500
// compose projects (LargeInventory.h), offscreen:
//   1. the longest stall of the UI thread while a whole refresh lands, with
//      the window open on each tab in turn: a 1 ms timer measures how long
//      the event loop goes without running it. The refresh runs against the
//      scripted fake docker serving that inventory; the dispatches that took
//      longest are listed to show where a stall comes from;
//   2. the time from process start to the first window painted with data
//      from the state cache: this program starts itself again as the
//      application starts (src/app/main.cpp), over a data folder holding the
//      cache and a full activity log, and reports when the Overview's project
//      table is first painted with rows.
//   3. the time from choosing another engine in the window, whose state
//      cache holds that inventory, to its data painted.
// Usage: bench_window --fake-docker build/default/tests/fake-docker [--runs N] [--only stall|start|switch] [--small]
// Prints the median and the worst of N runs (default 5) in milliseconds; --small uses an
// inventory of 10 projects (a check that the benchmark works, not a measure). Exits non-zero
// when a refresh or the cache did not bring the whole generated inventory into the model.

#include "FakeDockerScript.h"
#include "InventoryCheck.h"
#include "LargeInventory.h"

#include "docker/DockerRunner.h"
#include "docker/OperationCenter.h"
#include "log/ActivityLog.h"
#include "model/AppModel.h"
#include "model/EngineSessions.h"
#include "platform/Desktop.h"
#include "ui/operations/QtAlerts.h"
#include "ui/overview/OverviewProjectsModel.h"
#include "ui/overview/OverviewTab.h"
#include "ui/shell/MainWindow.h"
#include "ui/shell/RootView.h"
#include "ui/shell/StowageApp.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <map>
#include <vector>

using namespace stowage;

namespace {

qint64 steadyNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

qint64 cpuNs(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

qint64 threadCpuNs()
{
    return cpuNs(CLOCK_THREAD_CPUTIME_ID);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double worst(const std::vector<double>& values)
{
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

QString optionValue(const QStringList& args, const QString& name)
{
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args[at + 1] : QString();
}

// --- 1. The refresh landing ---

// Times every event dispatched from the event loop (not the nested ones), to
// name what a stall was made of.
class TimedApplication : public QApplication {
public:
    using QApplication::QApplication;

    struct Dispatch {
        double ms;
        double cpuMs;  // of the UI thread: the rest is waiting for a core
        QString what;
    };
    bool recording = false;
    std::vector<Dispatch> slowest;  // above 5 ms

    bool notify(QObject* receiver, QEvent* event) override
    {
        if (!recording || depth_ > 0)
            return QApplication::notify(receiver, event);
        ++depth_;
        QElapsedTimer clock;
        clock.start();
        const qint64 cpuStart = threadCpuNs();
        const int type = event->type();
        const QString what = QString::fromLatin1(receiver->metaObject()->className());
        const bool handled = QApplication::notify(receiver, event);
        --depth_;
        if (const double ms = clock.nsecsElapsed() / 1e6; ms > 5)
            slowest.push_back({ms, (threadCpuNs() - cpuStart) / 1e6, QStringLiteral("%1 (event %2)").arg(what).arg(type)});
        return handled;
    }

private:
    int depth_ = 0;
};

// The longest time the event loop went without running a 1 ms timer, and the
// most CPU time the UI thread spent between two runs of it: the difference is
// time spent waiting for a core that other processes held.
class LoopWatch {
public:
    LoopWatch()
    {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
        clock_.start();
        cpu_ = threadCpuNs();
        timer_.start();
    }
    double longestMs() const { return double(longest_) ; }
    double mostCpuMs() const { return mostCpu_ / 1e6; }

private:
    void tick()
    {
        longest_ = std::max(longest_, clock_.restart());
        const qint64 cpu = threadCpuNs();
        mostCpu_ = std::max(mostCpu_, cpu - std::exchange(cpu_, cpu));
    }

    QTimer timer_;
    QElapsedTimer clock_;
    qint64 longest_ = 0;
    qint64 cpu_ = 0;
    qint64 mostCpu_ = 0;
};

void runEventsFor(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

bool runEventsUntil(const std::function<bool()>& done, int limitMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < limitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

bench::InventoryCounts countsOf(const CachedState& s)
{
    return bench::countsOf(s.containers, s.images, s.volumes);
}

bench::InventoryCounts countsOf(const AppModel& model)
{
    return bench::countsOf(model.inventory().containers, model.inventory().images, model.inventory().volumes, model.index().projects);
}

void refreshStall(TimedApplication& app, const QString& fakeDocker, int runCount, int projectCount)
{
    const CachedState inventory = bench::largeInventory(projectCount);
    QTemporaryDir script;
    QTemporaryDir data;
    if (!bench::writeInventoryScript(inventory, script.path())) {
        std::printf("cannot write the fake docker's files\n");
        return;
    }
    const QString cacheFile = data.filePath("state.cache");
    if (!bench::writeStateCache(cacheFile, inventory))
        return;
    OperationCenter operations;
    ActivityLog log{std::nullopt};
    DockerRunner cli(bench::fakeDockerRunnerConfig(fakeDocker, script.path(), operations, log));
    AppModel::Options options;
    options.cacheFile = std::optional<QString>(cacheFile);
    AppModel model(cli, options);
    MainWindow window(model, log, platform::Desktop::system());
    window.resize(1280, 800);
    window.show();
    // The window opens on the cached inventory, as at every start; each tab is visited once.
    runEventsUntil([&] { return !model.inventory().containers.isEmpty(); }, 10'000);
    for (const RootView::Tab tab : RootView::allTabs()) {
        window.rootView()->setTab(tab);
        runEventsFor(200);
    }

    std::printf("\nLongest UI-thread stall while a refresh lands (%d runs per tab, ms)\n", runCount);
    std::printf("%-12s %15s %15s %9s   %s\n", "tab shown", "stall (wall)", "stall (cpu)", "refresh",
                "slowest dispatches of the worst run: wall (UI-thread cpu)");
    std::printf("%-12s %7s %7s %7s %7s\n", "", "median", "worst", "median", "worst");
    for (const RootView::Tab tab : RootView::allTabs()) {
        window.rootView()->setTab(tab);
        runEventsFor(300);
        std::vector<double> stalls, cpuStalls, refreshes;
        std::vector<TimedApplication::Dispatch> worstDispatches;
        for (int run = 0; run < runCount; ++run) {
            app.slowest.clear();
            app.recording = true;
            LoopWatch watch;
            QElapsedTimer clock;
            clock.start();
            model.refresh();
            runEventsUntil([&] { return !model.isLoading(); }, 300'000);
            refreshes.push_back(clock.elapsed());
            if (model.isLoading()) {
                std::fprintf(stderr, "bench_window: the refresh did not end within 5 minutes\n");
                std::exit(3);
            }
            bench::requireLoaded("bench_window (refresh)", countsOf(inventory), countsOf(model));
            if (model.inventory().imageLayers.size() != inventory.imageLayers.size()) {
                std::fprintf(stderr, "bench_window: the layers of %lld images landed, not of %lld\n",
                             static_cast<long long>(model.inventory().imageLayers.size()),
                             static_cast<long long>(inventory.imageLayers.size()));
                std::exit(3);
            }
            if (!model.inventory().usageDataComplete) {
                std::fprintf(stderr, "bench_window: the refresh did not complete: %s\n", qPrintable(model.statusText()));
                std::exit(3);
            }
            runEventsFor(1000);  // the views catch up, the folders' answers arrive
            app.recording = false;
            if (stalls.empty() || watch.longestMs() > worst(stalls))
                worstDispatches = app.slowest;
            stalls.push_back(watch.longestMs());
            cpuStalls.push_back(watch.mostCpuMs());
        }
        std::sort(worstDispatches.begin(), worstDispatches.end(),
                  [](const auto& a, const auto& b) { return a.ms > b.ms; });
        QStringList top;
        for (size_t i = 0; i < std::min<size_t>(3, worstDispatches.size()); ++i)
            top << QStringLiteral("%1 (%2) %3")
                       .arg(worstDispatches[i].ms, 0, 'f', 1)
                       .arg(worstDispatches[i].cpuMs, 0, 'f', 1)
                       .arg(worstDispatches[i].what);
        std::printf("%-12s %7.1f %7.1f %7.1f %7.1f %9.0f   %s\n", qPrintable(RootView::title(tab)), median(stalls),
                    worst(stalls), median(cpuStalls), worst(cpuStalls), median(refreshes),
                    qPrintable(top.join(QStringLiteral("; "))));
    }
}

// --- 2. Start to first data painted ---

// The child: starts as src/app/main.cpp starts the window, and prints when
// (steady clock, ns) the window was first painted, when the cached inventory
// reached the model, and when the window was first painted with it; then the
// processor time the whole process had used by then.
int firstPaintChild(int argc, char** argv)
{
    StowageApp app(argc, argv);
    QtAlerts alerts;
    AppModel::Options options;
    options.alerts = &alerts;
    AppModel model(DockerRunner::shared(), options);
    MainWindow window(model, ActivityLog::shared(), platform::Desktop::system());

    struct Watch : QObject {
        const AppModel* model = nullptr;
        QTableView* table = nullptr;
        qint64 firstPaint = 0;
        bool done = false;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() != QEvent::Paint || done)
                return false;
            if (!firstPaint) {
                firstPaint = steadyNs();
                std::printf("paint %lld\n", static_cast<long long>(firstPaint));
            }
            if (table && watched == table->viewport() && table->model()->rowCount() > 0) {
                done = true;
                // Reported once this paint has finished.
                QTimer::singleShot(0, [this] {
                    std::printf("data %lld\n", static_cast<long long>(steadyNs()));
                    std::printf("cpu %lld\n", static_cast<long long>(cpuNs(CLOCK_PROCESS_CPUTIME_ID)));
                    // The first data may be the cache's summary: the counts are those of the
                    // inventory once it is in the model.
                    auto* poll = new QTimer(this);
                    QObject::connect(poll, &QTimer::timeout, [this] {
                        if (model->inventory().containers.isEmpty())
                            return;
                        const bench::InventoryCounts counts = countsOf(*model);
                        std::printf("counts %lld %lld %lld %lld\n", static_cast<long long>(counts.containers),
                                    static_cast<long long>(counts.images), static_cast<long long>(counts.volumes),
                                    static_cast<long long>(counts.projects));
                        std::fflush(stdout);
                        QCoreApplication::quit();
                    });
                    poll->start(5);
                });
            }
            return false;
        }
    } watch;
    watch.model = &model;
    watch.table = qobject_cast<OverviewTab*>(window.rootView()->tabView(RootView::Tab::overview))->projectsTable();
    app.installEventFilter(&watch);
    QObject::connect(&model, &AppModel::containersChanged, [] {
        std::printf("applied %lld\n", static_cast<long long>(steadyNs()));
    });
    window.show();
    QTimer::singleShot(30'000, &app, &QCoreApplication::quit);
    app.exec();
    model.flushCache();
    ActivityLog::shared().flush();
    return 0;
}

void firstPaint(const QString& self, int runCount, int projectCount)
{
    QTemporaryDir home;
    QDir(home.path()).mkpath("Stowage");
    const CachedState inventory = bench::withOverviewFigures(bench::largeInventory(projectCount));
    if (!bench::writeStateCache(home.filePath("Stowage/state.cache"), inventory))
        return;
    std::vector<double> firstPaints, applied, firstData, cpu;
    for (int run = 0; run < runCount; ++run) {
        // A full log from earlier sessions, read back at every start.
        QFile log(home.filePath("Stowage/activity.log"));
        if (!log.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return;
        const QByteArray line = "2026-12-05T08:20:30.123Z\tinfo\tdocker system df -v --format took 9.2s and then "
                                "some more words to make a realistic line\n";
        for (qint64 written = 0; written < ActivityLog::maxFileBytes; written += line.size())
            log.write(line);
        log.close();

        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", home.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        child.setProcessEnvironment(env);
        const qint64 start = steadyNs();
        child.start(self, {"--first-paint-child"});
        if (!child.waitForFinished(60'000)) {
            child.kill();
            child.waitForFinished();
        }
        std::map<QByteArray, qint64> marks;
        bench::InventoryCounts shown;
        for (const QByteArray& out : child.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> words = out.split(' ');
            if (words.size() == 2)
                marks[words[0]] = words[1].toLongLong();
            else if (words.size() == 5 && words[0] == "counts")
                shown = {words[1].toLongLong(), words[2].toLongLong(), words[3].toLongLong(), words[4].toLongLong()};
        }
        if (!marks.count("paint") || !marks.count("applied") || !marks.count("data")) {
            std::fprintf(stderr, "bench_window: run %d: the window showed no data (%s)\n", run,
                         child.readAllStandardError().constData());
            std::exit(3);
        }
        bench::requireLoaded("bench_window (start over the cache)", countsOf(inventory), shown);
        firstPaints.push_back((marks["paint"] - start) / 1e6);
        applied.push_back((marks["applied"] - start) / 1e6);
        firstData.push_back((marks["data"] - start) / 1e6);
        cpu.push_back(marks["cpu"] / 1e6);
    }
    std::printf("\nFrom process start, the window opened over the state cache (%d runs, ms)\n", runCount);
    std::printf("%-52s %9s %9s\n", "", "median", "worst");
    const auto row = [](const char* what, const std::vector<double>& ms) {
        std::printf("%-52s %9.1f %9.1f\n", what, median(ms), worst(ms));
    };
    row("first paint of the window", firstPaints);
    row("cached inventory in the model (read off the UI thread)", applied);
    row("first paint with data (Overview's projects)", firstData);
    row("  processor time the process had used by then", cpu);
}

// --- 3. Switching to another engine ---

// The window open on a first engine; the time from choosing a second engine,
// whose state cache holds the generated inventory, to the Overview's project
// table painted with its rows: the engine's view made, its cache read off the
// UI thread, the rows laid out. No docker is found, so the refresh that
// follows the cache fails at once and only the cached data is measured.
void switchPaint(int runCount, int projectCount)
{
    const CachedState inventory = bench::withOverviewFigures(bench::largeInventory(projectCount));
    QTemporaryDir data;
    const QString cacheFile = data.filePath("second.cache");
    if (!bench::writeStateCache(cacheFile, inventory))
        return;
    OperationCenter operations;
    ActivityLog log{std::nullopt};
    const DockerRunner::Config config = bench::fakeDockerRunnerConfig({}, {}, operations, log);
    std::vector<double> painted, applied;
    for (int run = 0; run < runCount; ++run) {
        DockerRunner shared(config);
        AppModel::Options firstOptions;
        firstOptions.cacheFile = std::optional<QString>(data.filePath("first.cache"));  // none: an empty engine
        AppModel first(shared, firstOptions);
        EngineSessions engines(first, shared, [&](const EngineContext& engine, OperationCenter& own) {
            DockerRunner::Config bound = config;
            bound.context = engine.name;
            bound.operations = &own;
            AppModel::Options options;
            options.cacheFile = std::optional<QString>(cacheFile);
            options.engine = engine;
            return EngineSessions::EngineParts{std::make_unique<DockerRunner>(bound), options};
        });
        MainWindow window(engines, log, platform::Desktop::system());
        window.resize(1280, 800);
        window.show();
        runEventsFor(300);

        struct Watch : QObject {
            QTableView* table = nullptr;
            qint64 painted = 0;
            bool eventFilter(QObject* watched, QEvent* event) override
            {
                if (!painted && event->type() == QEvent::Paint && table && watched == table->viewport()
                    && table->model()->rowCount() > 0)
                    QTimer::singleShot(0, [this] { painted = steadyNs(); });  // once this paint has finished
                return false;
            }
        } watch;
        qint64 inModel = 0;
        const qint64 start = steadyNs();
        window.showEngine(QStringLiteral("second"));
        QObject::connect(&window.model(), &AppModel::containersChanged, [&inModel] {
            if (!inModel)
                inModel = steadyNs();
        });
        watch.table = qobject_cast<OverviewTab*>(window.rootView()->tabView(RootView::Tab::overview))->projectsTable();
        watch.table->viewport()->installEventFilter(&watch);
        if (!runEventsUntil([&] { return watch.painted && inModel; }, 30'000)) {
            std::fprintf(stderr, "bench_window: run %d: the second engine's cached data was not painted\n", run);
            std::exit(3);
        }
        bench::requireLoaded("bench_window (switch engines)", countsOf(inventory), countsOf(window.model()));
        painted.push_back((watch.painted - start) / 1e6);
        applied.push_back((inModel - start) / 1e6);
        runEventsUntil([&] { return !window.model().isLoading(); }, 10'000);
    }
    std::printf("\nFrom choosing a second engine to its cached data painted (%d runs, ms)\n", runCount);
    std::printf("%-52s %9s %9s\n", "", "median", "worst");
    std::printf("%-52s %9.1f %9.1f\n", "cached inventory in the model", median(applied), worst(applied));
    std::printf("%-52s %9.1f %9.1f\n", "first paint with data (Overview's projects)", median(painted), worst(painted));
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    for (int i = 1; i < argc; ++i)
        if (QByteArray(argv[i]) == "--first-paint-child")
            return firstPaintChild(argc, argv);

    TimedApplication app(argc, argv);
    StowageApp::applyLook(app);
    const QStringList args = app.arguments();
    const int runCount = std::max(1, optionValue(args, "--runs").isEmpty() ? 5 : optionValue(args, "--runs").toInt());
    const QString fakeDocker = optionValue(args, "--fake-docker");
    const QString only = optionValue(args, "--only");
    const int projectCount = args.contains("--small") ? bench::smallProjectCount : bench::fullProjectCount;
    std::printf("%d images, %d volumes, %d containers, %d projects\n", 20 * projectCount, 20 * projectCount,
                projectCount * 5 + projectCount / 2, projectCount);
    if ((only.isEmpty() || only == "stall") && fakeDocker.isEmpty())
        std::printf("\n(refresh stall skipped: pass --fake-docker PATH, tests/fake-docker of a test build)\n");
    else if (only.isEmpty() || only == "stall")
        refreshStall(app, fakeDocker, runCount, projectCount);
    if (only.isEmpty() || only == "start")
        firstPaint(QCoreApplication::applicationFilePath(), runCount, projectCount);
    if (only.isEmpty() || only == "switch")
        switchPaint(runCount, projectCount);
    return 0;
}
