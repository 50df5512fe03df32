// The refresh: two phases of concurrent docker queries on the operation's
// thread, their results handed to the UI thread in a fixed order.

#include "model/InventoryRefresh.h"

#include "model/AppModel.h"

#include "docker/DockerError.h"
#include "docker/DockerRunner.h"
#include "history/History.h"
#include "history/HistorySnapshot.h"
#include "log/ActivityLog.h"
#include "model/DisposeOffThread.h"
#include "text/CountText.h"
#include "text/LocaleFormat.h"

#include <future>

namespace stowage {

namespace {

// Starts `query` on a thread of its own.
template <typename Query>
auto launch(Query query)
{
    return std::async(std::launch::async, std::move(query));
}

// What `query` gives, or `fallback` when it fails; the runner has logged the failure.
template <typename Query, typename T>
T valueOr(Query&& query, T fallback)
{
    try {
        return query();
    } catch (const RunError&) {
        return fallback;
    }
}

// The listed images' layer facts and the graph built from them.
struct ImageFacts {
    QHash<QString, ImageLayers> layers;
    ImageGraph graph;
};

// What the engine's disk-usage queries say: the build cache, the image totals
// and every volume's size.
struct DiskFacts {
    DockerClient::DiskUsage usage{BuildCache{BuildCache::unknownText(), 0, BuildCache::unknownText(), 0}, {}};
    QHash<QString, qint64> volumeSizes;
};

// The longest queries of a refresh start as soon as they can: the disk usage
// with the listings (the engine sizes every container and volume for it), the
// containers' inspection, one batch after another, as soon as the containers
// are listed, and the image layers as soon as the images are.
struct EarlyQueries {
    std::future<DiskFacts> disk;
    std::future<DockerClient::InspectOutcome> inspection;
    std::future<ImageFacts> images;
};

struct PhaseTwo {
    BuildCache buildCache;
    EngineImageTotals engineImages;
    QHash<QString, ImageLayers> imageLayers;
    ImageGraph imageGraph;
    QHash<QString, qint64> volumeSizes;
    DockerClient::InspectOutcome inspection;
    std::optional<QSet<QString>> dangling;
    QString dockerRoot;
};

QStringList idsOf(const QList<SGContainer>& containers)
{
    QStringList ids;
    ids.reserve(containers.size());
    for (const auto& container : containers)
        ids << container.id;
    return ids;
}

// Each image id once: one image may be listed under several names.
QStringList distinctIdsOf(const QList<SGImage>& images)
{
    QStringList ids;
    QSet<QString> seen;
    for (const auto& image : images)
        if (!seen.contains(image.id)) {
            seen.insert(image.id);
            ids << image.id;
        }
    return ids;
}

DiskFacts readDiskFacts(const DockerClient& client, std::stop_token stop)
{
    DiskFacts facts;
    facts.usage = valueOr([&] { return client.diskUsage(stop); }, facts.usage);
    // Engines such as 20.10 refuse a second disk-usage query while one runs ("a disk usage
    // operation is already running"): the sizes are read once the build cache is in.
    facts.volumeSizes = valueOr([&] { return client.volumeSizes(stop); }, QHash<QString, qint64>());
    return facts;
}

PhaseTwo readPhaseTwo(const DockerClient& client, EarlyQueries& early, std::stop_token stop)
{
    auto dangling = launch([&] { return std::optional<QSet<QString>>(client.danglingVolumeNames(stop)); });
    auto root = launch([&] { return client.dockerRoot(stop); });

    PhaseTwo result;
    DiskFacts disk = early.disk.get();  // never fails
    result.buildCache = disk.usage.buildCache;
    result.engineImages = disk.usage.images;
    result.volumeSizes = std::move(disk.volumeSizes);
    result.inspection = early.inspection.get();  // never fails
    result.dangling = valueOr([&] { return dangling.get(); }, std::optional<QSet<QString>>());
    result.dockerRoot = valueOr([&] { return root.get(); }, QStringLiteral("/var/lib/docker"));
    // Never fails; images it could not inspect leave the layer facts incomplete.
    ImageFacts images = early.images.get();
    result.imageLayers = std::move(images.layers);
    result.imageGraph = std::move(images.graph);
    return result;
}

}  // namespace

InventoryRefresh::InventoryRefresh(AppModel& model) : model_(model)
{
    progressTimer_.setInterval(500);
    QObject::connect(&progressTimer_, &QTimer::timeout, &model_, [this] {
        if (model_.stopping_)
            return;
        model_.setStatusText(progressText(phase2Start_.secsTo(QDateTime::currentDateTimeUtc())));
    });
}

void InventoryRefresh::start()
{
    if (model_.isLoading_)
        return;
    model_.startSpinner();
    ++started_;
    model_.setStatusText(AppModel::tr("Loading Docker data…"));
    model_.log(LogLevel::info, QStringLiteral("Refresh started"));
    model_.startOperation([this, shown = model_.inventory_](std::stop_token stop) { run(shown, stop); });
    model_.refreshRunning_ = true;
}

void InventoryRefresh::fail(const QString& description, bool cancelled, std::optional<ProjectIndex> publishedIndex)
{
    if (publishedIndex) {
        // New listings stand beside the previous refresh's usage facts: nothing
        // may be called unused on that mix until a refresh completes.
        model_.inventory_.usageDataComplete = false;
        model_.inventory_.usageDataProblem =
            AppModel::tr("The last refresh did not finish — usage was not verified. Refresh to check.");
        emit model_.usageChanged();
        disposeOffThread(std::exchange(model_.index_, std::move(*publishedIndex)));
        emit model_.indexChanged();
    }
    // Docker may have changed since the shown lists were read: they are no longer known to be current.
    model_.setDataStale(true);
    if (cancelled) {
        model_.setStatusText(AppModel::tr("Refresh cancelled."), QStringLiteral("Refresh cancelled."));
        model_.log(LogLevel::warn, QStringLiteral("Refresh cancelled"));
    } else {
        // Stays English: the window recognises a failed refresh by this beginning.
        model_.setStatusText(QStringLiteral("Error loading data: ") + description);
        model_.log(LogLevel::error, QStringLiteral("Refresh failed: ") + description);
    }
    model_.stopSpinner();
    model_.endOperation();
    emit model_.refreshEnded(cancelled ? RefreshEnd::cancelled : RefreshEnd::failed, description);
}

void InventoryRefresh::startProgress(int containerCount)
{
    phase2Start_ = QDateTime::currentDateTimeUtc();
    progressContainerCount_ = containerCount;
    if (!model_.stopping_)
        model_.setStatusText(progressText(0));
    progressTimer_.start();
}

QString InventoryRefresh::progressText(qint64 elapsed) const
{
    if (model_.afterFreshRead_)
        return AppModel::tr("Reading current figures before confirming…  ·  %1s").arg(elapsed);
    return AppModel::tr("[2/2] Disk usage · volume sizes · inspecting %n container(s) · info  ·  %1s", nullptr,
                        int(progressContainerCount_))
        .arg(elapsed);
}

// Runs on the operation's thread; touches model state only through the model's post().
void InventoryRefresh::run(const Inventory& shown, std::stop_token stop)
{
    const DockerClient& client = model_.client_;
    model_.post([this] {
        // A refresh that a removal asked for says so while it runs.
        if (!model_.stopping_)
            model_.setStatusText(model_.afterFreshRead_ ? AppModel::tr("Reading current figures before confirming…")
                                                        : AppModel::tr("[1/2] Reading containers · images · volumes…"));
    });

    // Every query of this run stops with the refresh, and all of them stop when a listing fails.
    std::stop_source queries;
    std::stop_callback forward(stop, [&queries] { queries.request_stop(); });

    // Phase 1: the three listings at once, published in a fixed order, and the
    // disk usage beside them. The first failure ends the refresh; the queries
    // still running are stopped. Inspection starts as soon as the containers
    // are listed, the image layers as soon as the images are.
    QList<SGContainer> containers;
    QList<SGImage> images;
    QList<SGVolume> volumes;
    EarlyQueries early;
    int published = 0;  // listings shown so far: containers, then images, then volumes
    {
        early.disk = launch([&client, token = queries.get_token()] { return readDiskFacts(client, token); });
        auto listedContainers = launch([&] { return client.containers(queries.get_token()); });
        auto listedImages = launch([&] { return client.images(queries.get_token()); });
        auto listedVolumes = launch([&] { return client.volumes(queries.get_token()); });
        try {
            containers = listedContainers.get();
            published = 1;
            early.inspection = launch([&client, ids = idsOf(containers), token = queries.get_token()] {
                return client.inspectMany(ids, token);
            });
            model_.post([this, containers] {
                model_.inventory_.containers = containers;
                emit model_.containersChanged();
            });
            images = listedImages.get();
            published = 2;
            early.images = launch([&client, images, token = queries.get_token()] {
                ImageFacts facts;
                facts.layers = client.imageLayers(distinctIdsOf(images), token).images;
                facts.graph = ImageGraph(images, facts.layers);
                return facts;
            });
            model_.post([this, images] {
                model_.inventory_.images = images;
                emit model_.imagesChanged();
            });
            volumes = listedVolumes.get();
            model_.post([this, volumes] {
                model_.inventory_.volumes = volumes;
                emit model_.volumesChanged();
            });
        } catch (const RunError& error) {
            queries.request_stop();
            // After Stop, a listing whose child was killed fails too: that is the cancellation.
            const bool cancelled = stop.stop_requested() || dynamic_cast<const CancelledError*>(&error) != nullptr;
            // The listings shown so far stand beside the earlier ones: their index is
            // built here, off the UI thread.
            std::optional<ProjectIndex> index;
            if (published > 0)
                index = stowage::buildProjectIndex(containers, published > 1 ? images : shown.images, shown.volumes,
                                                   shown.imageLayers);
            model_.post([this, description = error.description(), cancelled, index = std::move(index)]() mutable {
                fail(description, cancelled, std::move(index));
            });
            return;  // the futures' destructors wait for the stopped queries
        }
    }

    // Phase 2: the other two queries at once, and the early ones awaited, each with its
    // fallback; none fails the refresh.
    model_.post([this, count = containers.size()] { startProgress(static_cast<int>(count)); });
    PhaseTwo two = readPhaseTwo(client, early, queries.get_token());
    model_.post([this] { progressTimer_.stop(); });
    if (stop.stop_requested()) {
        model_.post(
            [this, index = stowage::buildProjectIndex(containers, images, volumes, shown.imageLayers)]() mutable {
                fail(CancelledError().description(), true, std::move(index));
            });
        return;
    }

    // Merge on this thread; the UI thread only assigns.
    for (auto& volume : volumes)
        volume.sizeBytes = two.volumeSizes.value(volume.name, 0);
    QSet<QString> usedImageIDs;
    for (auto& container : containers) {
        auto found = two.inspection.details.constFind(container.id.left(12));
        if (found == two.inspection.details.constEnd())
            continue;
        container.imageID = found->imageID;
        container.mounts = found->mounts;
        container.startedAt = found->startedAt;
        container.finishedAt = found->finishedAt;
        if (!found->imageID.isEmpty())
            usedImageIDs.insert(found->imageID);
    }
    const bool complete = two.inspection.missing.isEmpty();
    QString problem;       // in English, for the log
    QString shownProblem;  // as the window and the command line show it
    if (!complete) {
        const QString missing = QString::number(two.inspection.missing.size());
        const QStringList& errors = two.inspection.errors;
        problem = QStringLiteral("%1 of %2 %3 could not be inspected — %4")
                      .arg(missing, QString::number(containers.size()), nounFor(containers.size(), QStringLiteral("container")),
                           errors.isEmpty() ? QStringLiteral("docker inspect returned no data") : errors.first());
        shownProblem = AppModel::tr("%1 of %n container(s) could not be inspected — %2", nullptr, int(containers.size()))
                           .arg(missing, errors.isEmpty() ? AppModel::tr("docker inspect returned no data")
                                                          : shownDescription(errors.first()));
    }
    ProjectIndex index = stowage::buildProjectIndex(containers, images, volumes, std::move(two.imageGraph));
    // The Overview's figures for what lands, worked out here too, so that neither the
    // Overview nor the cache save classifies 10,000 rows on the UI thread.
    Inventory landed;
    landed.containers = containers;
    landed.images = images;
    landed.volumes = volumes;
    landed.buildCache = two.buildCache;
    landed.volumeSizes = two.volumeSizes;
    landed.usedImageIDs = usedImageIDs;
    landed.dockerRoot = two.dockerRoot;
    landed.danglingVolumeNames = two.dangling.value_or(QSet<QString>());
    landed.danglingKnown = two.dangling.has_value();
    landed.usageDataComplete = complete;
    landed.usageDataProblem = shownProblem;
    landed.imageLayers = two.imageLayers;
    landed.engineImages = two.engineImages;
    const UsageClassification classification(landed, index);
    const OverviewFigures figures = OverviewFigures::of(landed, classification);
    // The history's summary touches every item too: worked out here, only handed over there.
    std::optional<HistorySnapshot> snapshot;
    if (model_.history_)
        snapshot = historySnapshot(landed, index, classification, figures,
                                   History::engineName(model_.client_.cli.config().context),
                                   QDateTime::currentDateTimeUtc(), model_.headless_);

    model_.post([this, two = std::move(two), volumes = std::move(volumes), containers = std::move(containers),
          usedImageIDs = std::move(usedImageIDs), complete, problem, shownProblem, index = std::move(index), figures,
          snapshot = std::move(snapshot)]() mutable {
        model_.inventory_.buildCache = two.buildCache;
        model_.inventory_.engineImages = two.engineImages;
        model_.inventory_.imageLayers = two.imageLayers;
        model_.inventory_.volumeSizes = two.volumeSizes;
        model_.inventory_.volumes = volumes;
        emit model_.volumesChanged();
        model_.inventory_.containers = containers;
        emit model_.containersChanged();
        model_.inventory_.usedImageIDs = usedImageIDs;
        model_.inventory_.dockerRoot = two.dockerRoot;
        model_.inventory_.read = true;
        model_.inventory_.danglingVolumeNames = two.dangling.value_or(QSet<QString>());
        model_.inventory_.danglingKnown = two.dangling.has_value();
        model_.inventory_.usageDataComplete = complete;
        model_.inventory_.usageDataProblem = shownProblem;
        emit model_.usageChanged();
        if (!complete)
            model_.log(LogLevel::error, QStringLiteral("Usage data INCOMPLETE: ") + problem);
        if (!two.dangling)
            model_.log(LogLevel::warn,
                       QStringLiteral("docker volume ls --filter dangling=true failed — volume usage unknown, "
                                      "no volume is offered as an orphan"));

        model_.setStatusText(AppModel::tr("Building project index…"));
        disposeOffThread(std::exchange(model_.index_, std::move(index)));
        emit model_.indexChanged();
        // Each change above dropped the figures; these are the ones of the whole landing.
        model_.figures_ = figures;
        model_.setDataStale(false);
        model_.saveCache();
        if (model_.history_ && snapshot)
            model_.history_->record(std::move(*snapshot));

        const auto running = std::count_if(model_.inventory_.containers.begin(), model_.inventory_.containers.end(),
                                           [](const SGContainer& c) { return c.state == QLatin1String("running"); });
        const QString counts = counted(model_.inventory_.containers.size(), QStringLiteral("container"));
        model_.setStatusText(
            AppModel::tr("Loaded: %1 (%2 running), %3, %4  |  Last refresh: %5")
                .arg(AppModel::tr("%n container(s)", nullptr, int(model_.inventory_.containers.size())),
                     QString::number(running),
                     AppModel::tr("%n image(s)", nullptr, int(model_.inventory_.images.size())),
                     AppModel::tr("%n volume(s)", nullptr, int(model_.inventory_.volumes.size())),
                     LocaleFormat::mediumTime(QDateTime::currentDateTime())));
        model_.log(LogLevel::info, QStringLiteral("Refresh complete: %1, %2, %3")
                                .arg(counts, counted(model_.inventory_.images.size(), QStringLiteral("image")),
                                     counted(model_.inventory_.volumes.size(), QStringLiteral("volume"))));
        model_.factsReadAt_ = model_.clock_.now();
        model_.stopSpinner();
        model_.endOperation();
        emit model_.refreshEnded(RefreshEnd::completed, {});
    });
}

}  // namespace stowage
