// Times a whole model refresh, from refresh() until isLoading is false again.
//
// (a) Against a scripted fake docker that answers at once from generated files, for synthetic
//     installations of 1,000 and 10,000 containers, images and volumes each: the cost of the
//     model itself (process starts, parsing, merging, project index) with a docker that takes
//     no time. Needs the fake docker program of the test build:
//         bench_refresh --fake-docker build/default/tests/fake-docker
// (b) Against a real engine, only when DOCKER_HOST is set: each of the refresh's queries alone
//     (median of several runs), then the refresh, and the ratio
//     refresh / (slowest phase-1 query + slowest phase-2 query), which the concurrent design
//     keeps close to 1.0. Use a private engine, never the one you work with:
//         tests/engine/engine.sh start /tmp/bench-engine.env
//         set -a; . /tmp/bench-engine.env; set +a
//         build/default/bench/bench_refresh --fake-docker build/default/tests/fake-docker
//         tests/engine/engine.sh stop /tmp/bench-engine.env
//
// Options: --fake-docker PATH, --docker PATH (the client for (b); the runner's usual lookup
// otherwise), --reps N (default 5), --sizes 1000,10000, --layers-batch N and --inspect-batch N
// (image ids per `image inspect`, container ids per `inspect`, every batch that size, in (a)
// and (b); the client's defaults otherwise), --images-delay SECONDS (how long the fake engine
// takes to list its images, as a real one sizing many images does; none by default).
// (a) also reports the processor time of the docker children during a refresh, and the floor
// (this process's processor time + theirs) / cores: the least a refresh can take when the
// machine's cores, not the queries' latency, bound it.
// Exits non-zero when a refresh against the fake docker did not complete or did not land the
// whole generated inventory.

#include "FakeDockerScript.h"
#include "InventoryCheck.h"
#include "ListingLines.h"
#include "docker/DockerClient.h"
#include "docker/DockerRunner.h"
#include "docker/OperationCenter.h"
#include "log/ActivityLog.h"
#include "model/AppModel.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <vector>

#include <sys/resource.h>

using namespace stowage;

namespace {

// ---------------------------------------------------------------------------
// Synthetic installation written as the files a scripted fake docker serves.

QString hex64(quint64 seed)
{
    QString id;
    quint64 x = seed * 0x9e3779b97f4a7c15ULL + 1;
    for (int part = 0; part < 4; ++part) {
        x ^= x >> 31;
        x *= 0xbf58476d1ce4e5b9ULL;
        x ^= x >> 29;
        id += QString::asprintf("%016llx", static_cast<unsigned long long>(x));
    }
    return id;
}

QString jsonLine(const QJsonObject& object)
{
    return bench::FakeDockerScript::jsonLine(object);
}

// n containers, n images and n volumes. Containers: 90% in compose projects of five, two
// thirds running. Images: 60% built for projects, 20% base images, 10% unused local builds,
// 10% dangling. Volumes: 60% mounted by one container each, 20% labelled orphans, 20%
// anonymous orphans.
class Installation {
public:
    explicit Installation(int n) : n_(n) {}

    bench::InventoryCounts counts() const { return {n_, n_, n_, (n_ * 9 / 10 + 4) / 5}; }

    QString project(int i) const { return i < n_ * 9 / 10 ? QStringLiteral("app%1").arg(i / 5) : QString(); }
    QString containerId(int i) const { return hex64(1000000 + i); }
    QString imageId(int i) const { return "sha256:" + hex64(2000000 + i); }
    int mountedVolumes() const { return n_ * 6 / 10; }
    QString volumeName(int i) const
    {
        if (i < mountedVolumes())
            return project(i).isEmpty() ? QStringLiteral("tool-data-%1").arg(i) : project(i) + QStringLiteral("_data%1").arg(i);
        if (i < n_ * 8 / 10)
            return QStringLiteral("gone%1_db").arg(i);
        return hex64(3000000 + i);
    }
    QString imageRepository(int i) const
    {
        if (i < n_ * 6 / 10)
            return QStringLiteral("app%1-svc%2").arg(i / 5).arg(i % 5);
        if (i < n_ * 8 / 10)
            return QStringLiteral("base%1").arg(i);
        if (i < n_ * 9 / 10)
            return QStringLiteral("old-build%1").arg(i);
        return QStringLiteral("<none>");
    }

    QString containersOut() const
    {
        QString out;
        for (int i = 0; i < n_; ++i) {
            QString labels = QStringLiteral("maintainer=someone@example.com");
            if (!project(i).isEmpty())
                labels = QStringLiteral("com.docker.compose.project=%1,com.docker.compose.project.working_dir=/src/%1,"
                                        "com.docker.compose.project.config_files=/src/%1/compose.yml,"
                                        "com.docker.compose.service=svc%2")
                             .arg(project(i))
                             .arg(i % 5);
            const bool running = i % 3 != 0;
            const QString dir = project(i).isEmpty() ? QString() : "/src/" + project(i);
            out += jsonLine(listed({{"ID", containerId(i).left(12)},
                             {"Names", project(i).isEmpty() ? QStringLiteral("tool-%1").arg(i)
                                                            : QStringLiteral("%1-svc%2-1").arg(project(i)).arg(i % 5)},
                             {"Image", imageRepository(i % (n_ * 6 / 10))},
                             {"Status", running ? "Up 2 hours" : "Exited (0) 3 days ago"},
                             {"State", running ? "running" : "exited"},
                             {"Size", "0B"},
                             {"Ports", ""},
                             {"CreatedAt", "2024-05-01 10:11:12 +0000 UTC"},
                             {"Labels", labels}},
                                   project(i), dir, dir.isEmpty() ? QString() : dir + "/compose.yml"));
        }
        return out;
    }

    QString imagesOut() const
    {
        QString out;
        for (int i = 0; i < n_; ++i)
            out += jsonLine({{"ID", imageId(i)},
                             {"Repository", imageRepository(i)},
                             {"Tag", imageRepository(i) == "<none>" ? "<none>" : "latest"},
                             {"Size", QStringLiteral("%1.5MB").arg(10 + i % 400)},
                             {"CreatedSince", "3 weeks ago"}});
        return out;
    }

    QString volumesOut() const
    {
        QString out;
        for (int i = 0; i < n_; ++i) {
            const QString labelled = i < n_ * 8 / 10 && !project(i % (n_ * 9 / 10)).isEmpty()
                ? "com.docker.compose.project=" + project(i % (n_ * 9 / 10))
                : QString();
            out += jsonLine(listed({{"Name", volumeName(i)},
                                    {"Driver", "local"},
                                    {"Mountpoint", "/var/lib/docker/volumes/" + volumeName(i) + "/_data"},
                                    {"Labels", labelled}},
                                   labelled.isEmpty() ? QString() : project(i % (n_ * 9 / 10))));
        }
        return out;
    }

    QString danglingOut() const
    {
        QString out;
        for (int i = mountedVolumes(); i < n_; ++i)
            out += volumeName(i) + '\n';
        return out;
    }

    QString volumeSizesOut() const
    {
        QJsonArray volumes;
        for (int i = 0; i < n_; ++i)
            volumes.append(QJsonObject{{"Name", volumeName(i)}, {"Size", QStringLiteral("%1kB").arg(i % 5000)}});
        return QString::fromUtf8(QJsonDocument(QJsonObject{{"Volumes", volumes}}).toJson(QJsonDocument::Compact));
    }

    // The inspect lines of containers [first, last).
    QString inspectOut(int first, int last) const
    {
        QString out;
        for (int i = first; i < last; ++i) {
            const QString mounts = i < mountedVolumes()
                ? QStringLiteral(R"([{"Type":"volume","Name":"%1","Source":"/var/lib/docker/volumes/%1/_data",)"
                                 R"("Destination":"/data","Driver":"local","Mode":"z","RW":true,"Propagation":""}])")
                      .arg(volumeName(i))
                : QStringLiteral("[]");
            out += containerId(i) + "@@" + imageId(i % (n_ * 6 / 10)) + "@@" + mounts
                + "@@2024-05-01T10:11:12.123456789Z@@2024-04-30T09:00:00.5Z\n";
        }
        return out;
    }

    // The `image inspect` lines of images [first, last): every image on one of twenty shared
    // base layers plus one of its own; the base images came from a registry.
    QString imageLayersOut(int first, int last) const
    {
        QList<ImageLayers> images;
        for (int i = first; i < last; ++i) {
            ImageLayers image{imageId(i), {}, (10 + i % 400) * 1000000LL,
                              {"sha256:" + hex64(4000000 + i % 20), "sha256:" + hex64(5000000 + i)}, QStringList()};
            if (i >= n_ * 6 / 10 && i < n_ * 8 / 10)
                image.repoDigests = QStringList{imageRepository(i) + "@sha256:" + hex64(6000000 + i)};
            images << image;
        }
        return imageLayersLines(images);
    }

    // Writes the answers and the rules for the fake docker into `dir`.
    // `imagesDelay` seconds: how long the engine takes to list the images (it sizes them).
    bool write(const QString& dir, const DockerClient::Limits& limits, double imagesDelay) const
    {
        bench::FakeDockerScript script(dir);
        script.serve("ps -a", "ps.out", containersOut());
        script.setContext({}, imagesDelay);
        script.serve("images -a", "images.out", imagesOut());
        script.setContext({}, 0);
        script.serve("volume ls --format", "volumes.out", volumesOut());
        script.serve("volume ls -q", "dangling.out", danglingOut());
        script.serve("system df -v", "df-v.out", volumeSizesOut());
        script.serve("system df --format", "df.out",
                     R"x({"Type":"Build Cache","Size":"1.5GB","Reclaimable":"1.2GB (80%)","TotalCount":"40","Active":"0"})x"
                     "\n");
        script.serve("info", "info.out", "/var/lib/docker\n");
        // Each inspect batch, whatever its size, gets the lines of its ids.
        script.serveItems("inspect ", "inspect.out", inspectOut(0, n_));
        for (int first = 0; first < n_; first += limits.layersBatchSize)
            script.serve("image inspect " + imageId(first) + " ", QStringLiteral("layers-%1.out").arg(first),
                         imageLayersOut(first, std::min(n_, first + limits.layersBatchSize)));
        return script.finish();
    }

private:
    int n_;
};

// ---------------------------------------------------------------------------
// Timing

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

double millisecondsOf(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

// Processor time of the children that have ended and been waited for.
double childrenCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto ms = [](const timeval& t) { return double(t.tv_sec) * 1000.0 + double(t.tv_usec) / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

struct RefreshRun {
    double ms = 0;
    double cpuMs = 0;  // of this process: the model's own work, not docker's
    double dockerCpuMs = 0;  // of the docker children that ended during the refresh
    bool complete = false;  // usage data complete, build cache and sizes read
    QString status;
};

// Runs one refresh and waits, with the UI event loop turning, until it has ended.
RefreshRun timeRefresh(AppModel& model)
{
    QEventLoop loop;
    QObject::connect(&model, &AppModel::isLoadingChanged, &loop, [&] {
        if (!model.isLoading())
            loop.quit();
    });
    QTimer::singleShot(15 * 60 * 1000, &loop, &QEventLoop::quit);
    RefreshRun run;
    const std::clock_t cpuStart = std::clock();
    const double childrenStart = childrenCpuMs();
    run.ms = millisecondsOf([&] {
        model.refresh();
        if (model.isLoading())
            loop.exec();
    });
    run.cpuMs = 1000.0 * double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    run.dockerCpuMs = childrenCpuMs() - childrenStart;
    run.status = model.statusText();
    run.complete = model.inventory().usageDataComplete && model.inventory().buildCache.size != "?"
        && (model.inventory().volumes.isEmpty() || !model.inventory().volumeSizes.isEmpty());
    return run;
}

struct Rig {
    OperationCenter operations;
    ActivityLog log{std::nullopt};
    std::unique_ptr<DockerRunner> cli;
    QTemporaryDir cacheDir;
    std::unique_ptr<AppModel> model;

    explicit Rig(DockerRunner::Config config, DockerClient::Limits limits = {})
    {
        config.loginShell = QString();
        config.operations = &operations;
        config.log = &log;
        cli = std::make_unique<DockerRunner>(config);
        AppModel::Options options;
        options.cacheFile = std::optional<QString>(cacheDir.filePath("state.cache"));
        options.limits = limits;
        model = std::make_unique<AppModel>(*cli, options);
    }
};

struct RefreshSummary {
    double medianMs = 0;
    double medianCpuMs = 0;
    double medianDockerCpuMs = 0;
    double minMs = 0;
    int complete = 0;
    QString lastStatus;
};

RefreshSummary timeRefreshes(AppModel& model, int reps)
{
    std::vector<double> times;
    std::vector<double> cpuTimes;
    std::vector<double> dockerCpuTimes;
    RefreshSummary summary;
    for (int r = 0; r < reps; ++r) {
        const RefreshRun run = timeRefresh(model);
        times.push_back(run.ms);
        cpuTimes.push_back(run.cpuMs);
        dockerCpuTimes.push_back(run.dockerCpuMs);
        summary.complete += run.complete ? 1 : 0;
        summary.lastStatus = run.status;
    }
    summary.medianMs = median(times);
    summary.medianCpuMs = median(cpuTimes);
    summary.medianDockerCpuMs = median(dockerCpuTimes);
    summary.minMs = *std::min_element(times.begin(), times.end());
    return summary;
}

QStringList containerIds(const Inventory& inventory)
{
    QStringList ids;
    for (const SGContainer& container : inventory.containers)
        ids << container.id;
    return ids;
}

// Each image once, as the refresh asks for their layers.
QStringList imageIds(const Inventory& inventory)
{
    QStringList ids;
    for (const SGImage& image : inventory.images)
        ids << image.id;
    ids.removeDuplicates();
    return ids;
}

// Times each query of a refresh alone (median of `reps` runs) and returns the
// slowest phase-1 query plus the slowest phase-2 query (what a concurrent refresh costs at best)
// and their sum (what one after another would cost).
struct QueryTimes {
    double bound = 0;     // slowest phase-1 query + slowest phase-2 query
    double sum = 0;       // all of them one after another
    double together = 0;  // each phase's queries at once, as the refresh runs them, without the model
};

QueryTimes timeQueries(const DockerClient& client, const QStringList& ids, const QStringList& imageIds, int reps,
                       bool print)
{
    struct Query {
        const char* name;
        int phase;
        std::function<void()> run;
    };
    const std::vector<Query> queries = {
        {"containers (ps -a)", 1, [&] { client.containers(); }},
        {"images (images -a)", 1, [&] { client.images(); }},
        {"volumes (volume ls)", 1, [&] { client.volumes(); }},
        // The refresh reads the sizes once the disk usage is in (engines refuse two at once).
        {"diskUsage, volumeSizes (df, df -v)", 2, [&] { client.diskUsage(), client.volumeSizes(); }},
        {"inspectMany (all)", 2, [&] { client.inspectMany(ids); }},
        {"imageLayers (image inspect, all)", 2, [&] { client.imageLayers(imageIds); }},
        {"danglingVolumeNames", 2, [&] { client.danglingVolumeNames(); }},
        {"dockerRoot (info)", 2, [&] { client.dockerRoot(); }},
    };
    const auto runQuery = [](const Query& query) {
        try {
            query.run();
        } catch (const RunError& error) {
            std::printf("  %s failed: %s\n", query.name, qPrintable(error.description()));
        }
    };
    double slowest[3] = {0, 0, 0};
    double sum = 0;
    for (const Query& query : queries) {
        std::vector<double> times;
        for (int r = 0; r < reps; ++r)
            times.push_back(millisecondsOf([&] { runQuery(query); }));
        const double ms = median(times);
        slowest[query.phase] = std::max(slowest[query.phase], ms);
        sum += ms;
        if (print)
            std::printf("  phase %d  %-28s %8.1f\n", query.phase, query.name, ms);
    }
    // On a machine whose cores do not run that many docker children in parallel, this, not
    // the bound, is what the refresh's queries cost; the refresh beyond it is the model's own.
    std::vector<double> together;
    for (int r = 0; r < reps; ++r) {
        together.push_back(millisecondsOf([&] {
            for (int phase : {1, 2}) {
                std::vector<std::future<void>> running;
                for (const Query& query : queries)
                    if (query.phase == phase)
                        running.push_back(std::async(std::launch::async, [&runQuery, &query] { runQuery(query); }));
                for (auto& done : running)
                    done.get();
            }
        }));
    }
    return {slowest[1] + slowest[2], sum, median(together)};
}

// (a) The model against a docker that answers at once.
void benchFakeDocker(const QString& fakeDocker, const QList<int>& sizes, int reps, const DockerClient::Limits& limits,
                     double imagesDelay)
{
    const int cores = std::max(1, QThread::idealThreadCount());
    std::printf("(a) refresh against a scripted fake docker (%d runs each; wall time, ms)\n", reps);
    std::printf("    queries = slowest phase-1 + slowest phase-2 query, each timed alone (median)\n");
    std::printf("    together = the same queries, each phase's at once as the refresh runs them, without the model\n");
    std::printf("    cpu = this process's processor time during a refresh (median): the model's own work\n");
    std::printf("    docker = the docker children's processor time during a refresh (median)\n");
    std::printf("    floor = (cpu + docker) / %d cores: the least a refresh can take when processor-bound\n", cores);
    std::printf("%-8s %10s %10s %10s %8s %10s %8s %8s %8s %8s %8s %10s  %s\n", "size", "refresh", "min", "queries",
                "ratio", "together", "ratio", "cpu", "docker", "floor", "ratio", "complete", "status");
    for (int n : sizes) {
        QTemporaryDir script;
        const Installation installation(n);
        if (!installation.write(script.path(), limits, imagesDelay)) {
            std::printf("%-8d cannot write the fake docker's files\n", n);
            continue;
        }
        DockerRunner::Config config;
        config.fixedCandidates = {fakeDocker};
        config.searchPath = false;
        config.baseEnvironment = bench::processEnvironment();
        (*config.baseEnvironment)["FAKE_DOCKER_SCRIPT"] = script.path();
        Rig rig(config, limits);
        const RefreshSummary summary = timeRefreshes(*rig.model, reps);
        const AppModel& model = *rig.model;
        bench::requireLoaded("bench_refresh", installation.counts(),
                             bench::countsOf(model.inventory().containers, model.inventory().images, model.inventory().volumes, model.index().projects));
        if (summary.complete != reps) {
            std::fprintf(stderr, "bench_refresh %d: %d of %d refreshes incomplete: %s\n", n, reps - summary.complete,
                         reps, qPrintable(summary.lastStatus));
            std::exit(3);
        }
        if (model.inventory().imageLayers.size() != n) {
            std::fprintf(stderr, "bench_refresh %d: the layers of %lld images landed, not of %d\n", n,
                         static_cast<long long>(model.inventory().imageLayers.size()), n);
            std::exit(3);
        }
        const QueryTimes queries =
            timeQueries(rig.model->client(), containerIds(model.inventory()), imageIds(model.inventory()), reps, true);
        const auto ratio = [&](double queryMs) { return queryMs > 0 ? summary.medianMs / queryMs : 0.0; };
        const double floor = (summary.medianCpuMs + summary.medianDockerCpuMs) / cores;
        std::printf("%-8d %10.0f %10.0f %10.0f %8.2f %10.0f %8.2f %8.0f %8.0f %8.0f %8.2f %7d/%-2d  %s\n", n,
                    summary.medianMs, summary.minMs, queries.bound, ratio(queries.bound), queries.together,
                    ratio(queries.together), summary.medianCpuMs, summary.medianDockerCpuMs, floor, ratio(floor),
                    summary.complete, reps, qPrintable(summary.lastStatus.section("  |", 0, 0)));
    }
}

// (b) Each query alone, then the refresh, against the engine DOCKER_HOST names.
void benchEngine(const QString& dockerHost, const QString& dockerClient, int reps, const DockerClient::Limits& limits)
{
    DockerRunner::Config config;
    if (!dockerClient.isEmpty()) {
        config.fixedCandidates = {dockerClient};
        config.searchPath = false;
    }
    config.baseEnvironment = bench::processEnvironment();
    Rig rig(config, limits);
    const DockerClient& client = rig.model->client();
    QStringList ids;
    QStringList images;
    try {
        Inventory listed;
        listed.containers = client.containers();
        listed.images = client.images();
        ids = containerIds(listed);
        images = imageIds(listed);
        std::printf("\n(b) engine at %s, docker %s, %lld containers (median of %d runs, ms)\n", qPrintable(dockerHost),
                    qPrintable(rig.cli->dockerExecutable()), static_cast<long long>(ids.size()), reps);
    } catch (const RunError& error) {
        std::printf("\n(b) engine at %s does not answer: %s\n", qPrintable(dockerHost), qPrintable(error.description()));
        return;
    }

    const QueryTimes queryTimes = timeQueries(client, ids, images, reps, true);
    const double bound = queryTimes.bound;
    const RefreshSummary summary = timeRefreshes(*rig.model, reps);
    std::printf("  refresh (wall, until isLoading is false)     %8.1f   (min %.1f; %d/%d complete)\n",
                summary.medianMs, summary.minMs, summary.complete, reps);
    std::printf("  the queries one after another               %8.1f\n", queryTimes.sum);
    std::printf("  slowest phase-1 + slowest phase-2 query      %8.1f\n", bound);
    std::printf("  ratio refresh / (slowest 1 + slowest 2)      %8.2f\n", bound > 0 ? summary.medianMs / bound : 0.0);
    std::printf("  each phase's queries at once, no model       %8.1f\n", queryTimes.together);
    std::printf("  ratio refresh / that                         %8.2f\n",
                queryTimes.together > 0 ? summary.medianMs / queryTimes.together : 0.0);
}

QString optionValue(const QStringList& args, const QString& name)
{
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args[at + 1] : QString();
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int reps = std::max(1, optionValue(args, "--reps").isEmpty() ? 5 : optionValue(args, "--reps").toInt());
    QList<int> sizes = {1000, 10000};
    if (const QString list = optionValue(args, "--sizes"); !list.isEmpty()) {
        sizes.clear();
        for (const QString& size : list.split(','))
            sizes << size.toInt();
    }

    DockerClient::Limits limits;
    if (const QString batch = optionValue(args, "--layers-batch"); !batch.isEmpty())
        limits.layersBatchSize = std::max(1, batch.toInt());
    if (const QString batch = optionValue(args, "--inspect-batch"); !batch.isEmpty())
        limits.inspectBatchSize = limits.inspectBatchMax = std::max(1, batch.toInt());
    const QString fakeDocker = optionValue(args, "--fake-docker");
    if (!fakeDocker.isEmpty())
        benchFakeDocker(fakeDocker, sizes, reps, limits, optionValue(args, "--images-delay").toDouble());
    else
        std::printf("(a) skipped: pass --fake-docker PATH (tests/fake-docker of a test build)\n");

    // Only an engine named explicitly: never the machine's default one.
    const QString dockerHost = qEnvironmentVariable("DOCKER_HOST");
    if (!dockerHost.isEmpty())
        benchEngine(dockerHost, optionValue(args, "--docker"), reps, limits);
    else
        std::printf("\n(b) skipped: DOCKER_HOST is not set (start a private engine, see the header of this file)\n");
    return 0;
}
