// Times the inventory path of a refresh on synthetic Docker installations of
// 1,000, 10,000 and 50,000 containers, images and volumes each: parsing the
// listings, the container inspection and the image layers, merging, building
// the project index (with the layer tree),
// classifying every image and volume, sorting the project list, and writing
// and reading the state cache. Prints milliseconds per stage and size, and
// the growth from 10k to 50k (5.0 means linear). Exits non-zero when what it
// parsed, indexed or read back from the cache is not the inventory it made.
// Usage: bench_inventory [--sizes 1000,10000,50000]

#include "InventoryCheck.h"
#include "ListingLines.h"
#include "cache/StateCache.h"
#include "classification/UsageClassification.h"
#include "docker/DockerClient.h"
#include "docker/Records.h"
#include "inventory/Inventory.h"
#include "classification/OverviewFigures.h"
#include "inventory/ProjectIndex.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

using namespace stowage;

namespace {

// ---------------------------------------------------------------------------
// Synthetic docker output

quint64 mix(quint64 x)
{
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

QString hex64(quint64 seed)
{
    QString id;
    for (int part = 0; part < 4; ++part)
        id += QString::asprintf("%016llx", static_cast<unsigned long long>(mix(seed * 4 + part)));
    return id;
}

QString jsonLine(const QJsonObject& object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

const char* const services[] = {"web", "api", "db", "worker", "cache"};

// The shape of one installation of size n: 90% of containers in compose
// projects of five services, 10% standalone; images 60% built for projects,
// 20% pulled base images, 10% unused local builds, 10% dangling; volumes 60%
// mounted (every 7th container mounts a second, shared one), 20% labelled
// orphans, 20% anonymous orphans, every 10th unmounted volume not listed as
// dangling by the engine.
struct Installation {
    explicit Installation(int n) : n(n) {}

    int n;
    int projectContainers() const { return n * 9 / 10; }
    int mountedVolumes() const { return n * 6 / 10; }
    int builtImages() const { return n * 6 / 10; }
    // The container projects, and one taken-down project per labelled orphan volume ("gone<k>").
    bench::InventoryCounts counts() const
    {
        return {n, n, n, (projectContainers() + 4) / 5 + n * 8 / 10 - mountedVolumes()};
    }

    QString project(int i) const { return i < projectContainers() ? QStringLiteral("app%1").arg(i / 5) : QString(); }
    QString service(int i) const { return QString::fromLatin1(services[i % 5]); }
    QString containerName(int i) const
    {
        return project(i).isEmpty() ? QStringLiteral("tool-%1").arg(i) : project(i) + "-" + service(i) + "-1";
    }
    QString containerId(int i) const { return hex64(1'000'000 + i); }
    QString imageId(int j) const { return "sha256:" + hex64(2'000'000 + j); }
    int imageOf(int i) const { return i < builtImages() ? i : (i - builtImages()) % (n * 2 / 10) + builtImages(); }

    QString imageRepository(int j) const
    {
        if (j < builtImages())
            return project(j).isEmpty() ? QStringLiteral("tool%1-cli").arg(j) : project(j) + "-" + service(j);
        if (j < n * 8 / 10)
            return QStringLiteral("base%1").arg(j % 97);
        if (j < n * 9 / 10)
            return QStringLiteral("oldapp%1-web").arg(j);
        return QStringLiteral("<none>");
    }

    QString volumeName(int k) const
    {
        if (k < mountedVolumes())
            return project(k).isEmpty() ? hex64(3'000'000 + k) : project(k) + "_" + service(k) + "_data";
        if (k < n * 8 / 10)
            return QStringLiteral("gone%1_data").arg(k);
        return hex64(3'000'000 + k);
    }
    QString volumeProject(int k) const
    {
        if (k < mountedVolumes())
            return project(k);
        return k < n * 8 / 10 ? QStringLiteral("gone%1").arg(k) : QString();
    }
    QStringList mountsOf(int i) const
    {
        if (i >= mountedVolumes())
            return {};
        QStringList mounts = {volumeName(i)};
        if (i % 7 == 0)
            mounts.append(volumeName((i + 11) % mountedVolumes()));
        return mounts;
    }

    QString composeLabels(const QString& project, const QString& service) const
    {
        if (project.isEmpty())
            return QStringLiteral("maintainer=someone@example.com");
        return QStringLiteral("com.docker.compose.config-hash=%1,com.docker.compose.container-number=1,"
                              "com.docker.compose.oneoff=False,com.docker.compose.project=%2,"
                              "com.docker.compose.project.config_files=/home/dev/src/%2/compose.yaml,"
                              "com.docker.compose.project.working_dir=/home/dev/src/%2,"
                              "com.docker.compose.service=%3,com.docker.compose.version=2.27.0")
            .arg(hex64(qHash(project)).left(64), project, service);
    }

    QString psOutput() const
    {
        QStringList lines;
        for (int i = 0; i < n; ++i) {
            const bool running = i % 2 == 0;
            const QString dir = project(i).isEmpty() ? QString() : "/home/dev/src/" + project(i);
            lines.append(jsonLine(listed({
                {"Command", "\"docker-entrypoint.s…\""},
                {"CreatedAt", "2024-05-01 10:11:12 +0200 CEST"},
                {"ID", containerId(i).left(12)},
                {"Image", imageRepository(imageOf(i)) + ":latest"},
                {"Labels", composeLabels(project(i), service(i))},
                {"LocalVolumes", QString::number(mountsOf(i).size())},
                {"Mounts", mountsOf(i).join(',')},
                {"Names", containerName(i)},
                {"Networks", project(i).isEmpty() ? "bridge" : project(i) + "_default"},
                {"Ports", running ? "0.0.0.0:8080->80/tcp" : ""},
                {"RunningFor", "2 weeks ago"},
                {"Size", "63B (virtual 432MB)"},
                {"State", running ? "running" : "exited"},
                {"Status", running ? "Up 2 hours" : "Exited (0) 3 days ago"},
            }, project(i), dir, dir.isEmpty() ? QString() : dir + "/compose.yaml")));
        }
        return lines.join('\n');
    }

    QString imagesOutput() const
    {
        QStringList lines;
        for (int j = 0; j < n; ++j) {
            const QString repository = imageRepository(j);
            lines.append(jsonLine({
                {"Containers", "N/A"},
                {"CreatedAt", "2024-04-01 09:00:00 +0200 CEST"},
                {"CreatedSince", "4 weeks ago"},
                {"Digest", "<none>"},
                {"ID", imageId(j)},
                {"Repository", repository},
                {"SharedSize", "N/A"},
                {"Size", QStringLiteral("%1.%2MB").arg(50 + j % 900).arg(j % 10)},
                {"Tag", repository == "<none>" ? "<none>" : "latest"},
                {"UniqueSize", "N/A"},
                {"VirtualSize", "1.2GB"},
            }));
        }
        return lines.join('\n');
    }

    QString volumeLabels(int k) const
    {
        const QString project = volumeProject(k);
        if (project.isEmpty())
            return {};
        return QStringLiteral("com.docker.compose.project=%1,com.docker.compose.version=2.27.0,"
                              "com.docker.compose.volume=data")
            .arg(project);
    }

    QString volumesOutput() const
    {
        QStringList lines;
        for (int k = 0; k < n; ++k) {
            lines.append(jsonLine(listed({
                {"Availability", "N/A"},
                {"Driver", "local"},
                {"Group", "N/A"},
                {"Labels", volumeLabels(k)},
                {"Links", "N/A"},
                {"Mountpoint", "/var/lib/docker/volumes/" + volumeName(k) + "/_data"},
                {"Name", volumeName(k)},
                {"Scope", "local"},
                {"Size", "N/A"},
                {"Status", "N/A"},
            }, volumeProject(k))));
        }
        return lines.join('\n');
    }

    QString systemDfVerboseOutput() const
    {
        QJsonArray volumes;
        for (int k = 0; k < n; ++k) {
            volumes.append(QJsonObject{
                {"Driver", "local"},
                {"Labels", volumeLabels(k)},
                {"Links", k < mountedVolumes() ? "1" : "0"},
                {"Mountpoint", "/var/lib/docker/volumes/" + volumeName(k) + "/_data"},
                {"Name", volumeName(k)},
                {"Scope", "local"},
                {"Size", QStringLiteral("%1.%2MB").arg(k % 5000).arg(k % 10)},
            });
        }
        return jsonLine({{"BuildCache", QJsonArray{}}, {"Containers", QJsonArray{}}, {"Images", QJsonArray{}},
                         {"Volumes", volumes}});
    }

    QString danglingOutput() const
    {
        QStringList names;
        for (int k = mountedVolumes(); k < n; ++k) {
            if (k % 10 != 0)
                names.append(volumeName(k));
        }
        return names.join('\n');
    }

    // The `image inspect` lines the refresh reads for the layer tree: every
    // image stands on one of twenty bases of four shared layers and adds two
    // of its own; the pulled bases carry a registry digest.
    QString imageLayersOutput() const
    {
        QList<ImageLayers> images;
        for (int j = 0; j < n; ++j) {
            ImageLayers image{imageId(j), {}, (10 + j % 400) * 1'000'000LL, {}, QStringList()};
            for (int layer = 0; layer < 4; ++layer)
                image.layers << "sha256:" + hex64(4'000'000 + (j % 20) * 4 + layer);
            for (int layer = 0; layer < 2; ++layer)
                image.layers << "sha256:" + hex64(5'000'000 + j * 2 + layer);
            if (j >= builtImages() && j < n * 8 / 10)
                image.repoDigests = QStringList{imageRepository(j) + "@sha256:" + hex64(j)};
            images << image;
        }
        return imageLayersLines(images);
    }

    QString inspectOutput() const
    {
        QStringList lines;
        for (int i = 0; i < n; ++i) {
            QJsonArray mounts;
            for (const QString& name : mountsOf(i)) {
                mounts.append(QJsonObject{{"Type", "volume"},
                                          {"Name", name},
                                          {"Source", "/var/lib/docker/volumes/" + name + "/_data"},
                                          {"Destination", "/data"},
                                          {"Driver", "local"},
                                          {"Mode", "z"},
                                          {"RW", true},
                                          {"Propagation", ""}});
            }
            mounts.append(QJsonObject{{"Type", "bind"},
                                      {"Source", "/home/dev/src/config"},
                                      {"Destination", "/etc/app"},
                                      {"Mode", ""},
                                      {"RW", false},
                                      {"Propagation", "rprivate"}});
            const QString mountsJson = QString::fromUtf8(QJsonDocument(mounts).toJson(QJsonDocument::Compact));
            const QString finished = i % 2 == 0 ? QStringLiteral("0001-01-01T00:00:00Z")
                                                : QStringLiteral("2024-05-%1T08:00:00.123456789Z").arg(10 + i % 18);
            lines.append(QStringList{containerId(i), imageId(imageOf(i)), mountsJson,
                                     QStringLiteral("2024-05-%1T10:11:12.123456789Z").arg(1 + i % 9), finished}
                             .join(QStringLiteral("@@")));
        }
        return lines.join('\n');
    }
};

// ---------------------------------------------------------------------------
// Timing

using Clock = std::chrono::steady_clock;

struct Timing {
    double wallMs = 1e300;
    double cpuMs = 1e300;  // all threads of the process; hides waits such as fsync
};

double cpuNowMs()
{
    return 1000.0 * double(std::clock()) / CLOCKS_PER_SEC;
}

// Best of `repetitions` runs. On a busy machine the wall-clock time includes
// time spent waiting for a core; the CPU time does not.
Timing best(int repetitions, const std::function<void()>& work)
{
    Timing result;
    for (int r = 0; r < repetitions; ++r) {
        const double cpuStart = cpuNowMs();
        const auto start = Clock::now();
        work();
        result.wallMs = std::min(result.wallMs, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        result.cpuMs = std::min(result.cpuMs, cpuNowMs() - cpuStart);
    }
    return result;
}

// Keeps results observable so that no stage is optimised away.
volatile qint64 sink = 0;

struct Stages {
    std::vector<int> sizes;
    std::vector<std::string> order;
    std::map<std::string, std::map<int, Timing>> timings;

    void add(const std::string& stage, int size, Timing timing)
    {
        if (std::find(order.begin(), order.end(), stage) == order.end())
            order.push_back(stage);
        timings[stage][size] = timing;
    }

    // One column per size, and the growth from the next-to-last size to the last.
    void print(const char* title, double Timing::*field) const
    {
        std::printf("\n%-26s", title);
        for (int n : sizes)
            std::printf(" %10d", n);
        std::printf(" %10s\n", "growth");
        for (const std::string& stage : order) {
            const auto& row = timings.at(stage);
            std::printf("%-26s", stage.c_str());
            for (int n : sizes)
                std::printf(" %10.2f", row.at(n).*field);
            const double last = row.at(sizes.back()).*field;
            const double before = sizes.size() > 1 ? row.at(sizes[sizes.size() - 2]).*field : last;
            std::printf(" %10.2f\n", before > 0 ? last / before : 0.0);
        }
    }
};

void runSize(int n, Stages& stages, const QString& cacheFile)
{
    const int reps = n <= 1000 ? 7 : 3;
    const Installation installation(n);
    // The listings reach their parsers as the UTF-8 docker printed.
    const QByteArray ps = installation.psOutput().toUtf8();
    const QByteArray imagesText = installation.imagesOutput().toUtf8();
    const QByteArray volumesText = installation.volumesOutput().toUtf8();
    const QByteArray dfText = installation.systemDfVerboseOutput().toUtf8();
    const QString danglingText = installation.danglingOutput();
    const QByteArray inspectText = installation.inspectOutput().toUtf8();
    const QByteArray layersText = installation.imageLayersOutput().toUtf8();

    Inventory inventory;
    QHash<QString, ContainerDetail> details;
    stages.add("parse ps -a", n, best(reps, [&] { inventory.containers = DockerClient::parseContainers(ps); }));
    stages.add("parse images", n, best(reps, [&] { inventory.images = DockerClient::parseImages(imagesText); }));
    stages.add("parse volume ls", n, best(reps, [&] { inventory.volumes = DockerClient::parseVolumes(volumesText); }));
    stages.add("parse system df -v", n,
               best(reps, [&] { inventory.volumeSizes = DockerClient::parseVolumeSizes(dfText); }));
    stages.add("parse dangling", n,
               best(reps, [&] { inventory.danglingVolumeNames = DockerClient::parseDanglingNames(danglingText); }));
    stages.add("parse inspect", n, best(reps, [&] { details = DockerClient::parseInspect(inspectText); }));
    stages.add("parse image inspect", n,
               best(reps, [&] { inventory.imageLayers = DockerClient::parseImageLayers(layersText); }));
    if (inventory.imageLayers.size() != n) {
        std::fprintf(stderr, "bench_inventory %d: the layers of %lld images parsed, not of %d\n", n,
                     static_cast<long long>(inventory.imageLayers.size()), n);
        std::exit(3);
    }

    const QList<SGContainer> listed = inventory.containers;
    const QList<SGVolume> unsized = inventory.volumes;
    stages.add("merge details+sizes", n, best(reps, [&] {
        inventory.containers = listed;
        inventory.volumes = unsized;
        inventory.usedImageIDs.clear();
        for (SGContainer& c : inventory.containers) {
            const auto detail = details.constFind(c.id.left(12));
            if (detail == details.cend())
                continue;
            c.imageID = detail->imageID;
            c.mounts = detail->mounts;
            c.startedAt = detail->startedAt;
            c.finishedAt = detail->finishedAt;
            if (!c.imageID.isEmpty())
                inventory.usedImageIDs.insert(c.imageID);
        }
        for (SGVolume& v : inventory.volumes)
            v.sizeBytes = inventory.volumeSizes.value(v.name, 0);
    }));
    inventory.danglingKnown = true;
    inventory.usageDataComplete = true;
    const auto merged = std::count_if(inventory.containers.cbegin(), inventory.containers.cend(),
                                      [](const SGContainer& c) { return !c.imageID.isEmpty(); });
    const auto sized = std::count_if(inventory.volumes.cbegin(), inventory.volumes.cend(),
                                     [&](const SGVolume& v) { return inventory.volumeSizes.contains(v.name); });
    if (merged != n || sized != n || details.size() != n) {
        std::fprintf(stderr, "bench_inventory %d: %lld containers inspected, %lld merged, %lld volumes sized\n", n,
                     static_cast<long long>(details.size()), static_cast<long long>(merged),
                     static_cast<long long>(sized));
        std::exit(3);
    }

    // Earlier results are kept until after the timing, so that only building is measured.
    std::vector<ProjectIndex> built;
    stages.add("buildProjectIndex", n, best(reps, [&] {
        built.push_back(
            buildProjectIndex(inventory.containers, inventory.images, inventory.volumes, inventory.imageLayers));
    }));
    const ProjectIndex index = built.back();
    built.clear();
    if (!index.imageGraph.known()) {
        std::fprintf(stderr, "bench_inventory %d: the index was built without the layer tree\n", n);
        std::exit(3);
    }
    bench::requireLoaded("bench_inventory (parsed and indexed)", installation.counts(),
                         bench::countsOf(inventory.containers, inventory.images, inventory.volumes, index.projects));

    stages.add("classify images", n, best(reps, [&] {
        const UsageClassification classification(inventory, index);
        qint64 safe = 0;
        for (const SGImage& image : inventory.images) {
            safe += classification.imageStatus(image).safe;
            safe += classification.imageProjectText(image).text.size();
        }
        sink = safe + classification.unusedImageBytes().high;
    }));
    stages.add("classify volumes", n, best(reps, [&] {
        const UsageClassification classification(inventory, index);
        qint64 total = 0;
        for (const SGVolume& volume : inventory.volumes) {
            total += int(classification.volumeUsage(volume));
            total += classification.volumeStatusText(volume).size();
            total += classification.volumeProjectText(volume).text.size();
        }
        sink = total + classification.orphanVolumeBytes() + classification.volumesByProject().size();
    }));
    // What the refresh works out on its thread besides: the Overview's figures.
    stages.add("overview figures", n, best(reps, [&] {
        const UsageClassification classification(inventory, index);
        const OverviewFigures figures = OverviewFigures::of(inventory, classification);
        sink = figures.reclaimableBytes.high + figures.unusedBytes.high + figures.imageBytes;
    }));
    stages.add("project list (size sort)", n, best(reps, [&] {
        sink = sortedFilteredProjects(index, inventory.volumeSizes, QStringLiteral("app1"), ProjectSort::size, false)
                   .size();
    }));

    CachedState snapshot;
    snapshot.containers = inventory.containers;
    snapshot.images = inventory.images;
    snapshot.volumes = inventory.volumes;
    snapshot.volumeSizes = inventory.volumeSizes;
    snapshot.imageLayers = inventory.imageLayers.values();
    snapshot.usedImageIDs = inventory.usedImageIDs.values();
    snapshot.danglingVolumeNames = inventory.danglingVolumeNames.values();
    snapshot.danglingKnown = true;
    snapshot.usageDataComplete = true;
    stages.add("cache encode+write", n, best(reps, [&] {
        StateCacheWriter writer(cacheFile);
        writer.save(snapshot);
        writer.flush();
    }));
    std::optional<CachedState> loaded;
    stages.add("cache read+decode", n, best(reps, [&] {
        QFile file(cacheFile);
        if (file.open(QIODevice::ReadOnly))
            loaded = StateCache::decode(file.readAll());
    }));
    if (!loaded) {
        std::fprintf(stderr, "bench_inventory %d: the cache did not read back\n", n);
        std::exit(3);
    }
    bench::requireLoaded("bench_inventory (cache read back)", installation.counts(),
                         bench::countsOf(loaded->containers, loaded->images, loaded->volumes));
    if (loaded->imageLayers.size() != n) {
        std::fprintf(stderr, "bench_inventory %d: the cache read back the layers of %lld images\n", n,
                     static_cast<long long>(loaded->imageLayers.size()));
        std::exit(3);
    }
    std::printf("  %6d: %lld projects, %lld unused images, %lld orphan volumes, cache file %.1f MB\n", n,
                static_cast<long long>(index.projects.size()),
                static_cast<long long>(UsageClassification(inventory, index).unusedImages().size()),
                static_cast<long long>(UsageClassification(inventory, index).orphanVolumes().size()),
                QFile(cacheFile).size() / 1048576.0);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString cacheFile = dir.filePath(QStringLiteral("state.cache"));
    Stages stages;
    stages.sizes = {1000, 10000, 50000};
    if (const qsizetype at = app.arguments().indexOf("--sizes"); at > 0 && at + 1 < app.arguments().size()) {
        stages.sizes.clear();
        for (const QString& size : app.arguments()[at + 1].split(','))
            stages.sizes.push_back(size.toInt());
    }

    // Wall-clock figures depend on what else runs; the load average says how busy the machine was.
    QFile loadavg(QStringLiteral("/proc/loadavg"));
    const QByteArray load = loadavg.open(QIODevice::ReadOnly) ? loadavg.readLine().trimmed() : QByteArray("unknown");
    std::printf("Load average at start: %s\n", load.constData());
    std::printf("Generating and timing (best of 7 runs at 1k, of 3 above):\n");
    for (int n : stages.sizes)
        runSize(n, stages, cacheFile);

    stages.print("wall-clock ms", &Timing::wallMs);
    stages.print("CPU ms", &Timing::cpuMs);
    return 0;
}
