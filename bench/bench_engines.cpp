// `stowage report --all-contexts` over several engines against the report of
// the slowest of them alone: the engines are read side by side, so the whole
// should take little longer than its slowest part. Each engine is a docker
// context of a scripted fake docker with an inventory of its own (engine k:
// `--projects` + k compose projects, LargeInventory.h) and answers every call
// after its own delay (engine k: (k + 1) × `--delay` seconds), so the last
// engine is the slowest. Both runs go through the command line's own classes
// (AllContextsRun, HeadlessRun) with --json, in this process.
// Usage: bench_engines --fake-docker build/default/tests/fake-docker [--engines N] [--projects P]
//                      [--delay SECONDS] [--runs R]
// Prints the median wall times of R runs (default 3) and their ratio. Exits non-zero when any
// report lacks an engine or does not hold the counts generated for it.

#include "FakeDockerScript.h"
#include "InventoryCheck.h"
#include "LargeInventory.h"

#include "cli/AllContextsRun.h"
#include "cli/HeadlessRun.h"
#include "docker/OperationCenter.h"
#include "log/ActivityLog.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace stowage;

namespace {

QString optionValue(const QStringList& args, const QString& name, const QString& fallback)
{
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args[at + 1] : fallback;
}

// What one engine's report must hold: every generated container, image id, volume and project.
struct Expected {
    qsizetype containers = 0, images = 0, volumes = 0, projects = 0;
    bool operator==(const Expected&) const = default;

    static Expected of(const CachedState& s)
    {
        QSet<QString> ids;
        for (const SGImage& image : s.images)
            ids.insert(image.id);
        return {s.containers.size(), ids.size(), s.volumes.size(), bench::countsOf(s.containers, s.images, s.volumes).projects};
    }
    static Expected of(const QJsonObject& report)
    {
        return {report["containers"]["total"].toInteger(), report["images"].toArray().size(),
                report["volumes"].toArray().size(), report["projects"].toArray().size()};
    }
};

void require(bool ok, const QString& what)
{
    if (ok)
        return;
    std::fprintf(stderr, "bench_engines: %s\n", qPrintable(what));
    std::exit(3);
}

void requireReport(const QJsonObject& report, const Expected& expected, const QString& engine)
{
    const Expected got = Expected::of(report);
    require(got == expected,
            QStringLiteral("engine %1 reported containers %2 of %3, images %4 of %5, volumes %6 of %7, projects %8 of %9")
                .arg(engine)
                .arg(got.containers).arg(expected.containers).arg(got.images).arg(expected.images)
                .arg(got.volumes).arg(expected.volumes).arg(got.projects).arg(expected.projects));
}

// Runs `run` (started at once) to its end; returns the wall time in milliseconds.
template <typename Run> double timeRun(Run& run)
{
    QElapsedTimer timer;
    timer.start();
    QEventLoop loop;
    QObject::connect(&run, &Run::finished, &loop, &QEventLoop::quit);
    run.start();
    if (!run.isFinished())
        loop.exec();
    return double(timer.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString fakeDocker = optionValue(args, "--fake-docker", {});
    const int engines = std::max(1, optionValue(args, "--engines", "4").toInt());
    const int projects = std::max(1, optionValue(args, "--projects", "10").toInt());
    const double delay = optionValue(args, "--delay", "0.05").toDouble();
    const int runs = std::max(1, optionValue(args, "--runs", "3").toInt());
    require(!fakeDocker.isEmpty(), "pass --fake-docker PATH (tests/fake-docker of a test build)");

    QTemporaryDir dir;
    bench::FakeDockerScript script(dir.path());
    QList<EngineContext> contexts;
    QList<Expected> expected;
    for (int k = 0; k < engines; ++k) {
        const CachedState inventory = bench::largeInventory(projects + k);
        EngineContext context;
        context.name = QStringLiteral("engine%1").arg(k + 1);
        context.endpoint = QStringLiteral("unix:///fake.sock");
        contexts << context;
        script.setContext(contexts.back().name, delay * (k + 1));
        bench::serveInventory(script, inventory, contexts.back().name + "-id");
        expected << Expected::of(inventory);
    }
    require(script.finish(), "cannot write the fake docker's files");

    OperationCenter operations;
    ActivityLog log{std::nullopt};
    const DockerRunner::Config config = bench::fakeDockerRunnerConfig(fakeDocker, dir.path(), operations, log);

    cli::Request request;
    request.json = true;
    std::vector<double> single, all;
    for (int run = 0; run < runs; ++run) {
        {  // `stowage report --context <slowest> --json`
            QBuffer out, err;
            out.open(QIODevice::WriteOnly);
            err.open(QIODevice::WriteOnly);
            cli::Console console(out, err);
            DockerRunner::Config bound = config;
            bound.context = contexts.back().name;
            DockerRunner runner(bound);
            AppModel::Options options;
            options.cacheFile.emplace();
            options.refreshAfterCleanup = false;
            options.headless = true;
            AppModel model(runner, options);
            cli::Request one = request;
            one.context = one.engine.name = contexts.back().name;
            cli::HeadlessRun report(model, one, console);
            single.push_back(timeRun(report));
            require(report.exitStatus() == cli::ExitStatus::success, "the single report failed: " + QString::fromUtf8(err.data()));
            requireReport(QJsonDocument::fromJson(out.data()).object(), expected.back(), one.context);
        }
        {  // `stowage report --all-contexts --json`
            QBuffer out, err;
            out.open(QIODevice::WriteOnly);
            err.open(QIODevice::WriteOnly);
            cli::Console console(out, err);
            cli::Request every = request;
            every.allContexts = true;
            cli::AllContextsRun report(contexts, every, console, config);
            all.push_back(timeRun(report));
            require(report.exitStatus() == cli::ExitStatus::success, "--all-contexts failed: " + QString::fromUtf8(err.data()));
            const QJsonArray reports = QJsonDocument::fromJson(out.data())["engines"].toArray();
            require(reports.size() == engines, QStringLiteral("%1 of %2 engines reported").arg(reports.size()).arg(engines));
            for (int k = 0; k < engines; ++k)
                requireReport(reports[k]["report"].toObject(), expected[k], contexts[k].name);
        }
    }
    const double ratio = median(all) / median(single);
    std::printf("report --all-contexts over %d engines (%d..%d projects, %.0f..%.0f ms a docker call), median of %d runs\n",
                engines, projects, projects + engines - 1, delay * 1000, delay * engines * 1000, runs);
    std::printf("  the slowest engine alone   %8.0f ms\n", median(single));
    std::printf("  all %d engines              %8.0f ms\n", engines, median(all));
    std::printf("  ratio                      %8.2f   (target <= 1.20)\n", ratio);
    return 0;
}
