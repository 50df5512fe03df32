#include "model/AppModel.h"

#include "docker/DockerCLI.h"
#include "docker/OperationCenter.h"
#include "log/ActivityLog.h"
#include "model/LocaleFormat.h"

#include <QFile>
#include <QMetaObject>

#include <thread>

namespace stowage {

namespace {

std::optional<QString> resolveCacheFile(const AppModel::Options& options)
{
    return options.cacheFile ? *options.cacheFile : StateCache::fileURL();
}

std::optional<CachedState> readCacheFile(const std::optional<QString>& path)
{
    if (!path)
        return std::nullopt;
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return StateCache::decode(file.readAll());
}

}  // namespace

AppModel::AppModel(DockerCLI& cli, QObject* parent) : AppModel(cli, Options{}, parent) {}

AppModel::AppModel(DockerCLI& cli, Options options, QObject* parent)
    : QObject(parent),
      client_(cli, options.limits),
      log_(cli.log()),
      pathFacts_(options.pathProbes),
      clock_(options.clock),
      cacheFile_(resolveCacheFile(options)),
      cacheWriter_(cacheFile_)
{
    setAlerts(options.alerts);
    removalLimits_ = options.removalLimits;
    refreshAfterCleanup_ = options.refreshAfterCleanup;
    desktop_ = options.desktop;
    spinnerTimer_.setInterval(90);
    connect(&spinnerTimer_, &QTimer::timeout, this, [this] {
        spinnerFrame_ = spinnerFrames()[spinnerIndex_ % spinnerFrames().size()];
        ++spinnerIndex_;
        emit spinnerFrameChanged();
    });
    // Project folders are looked at again whenever the index changes.
    connect(this, &AppModel::indexChanged, this, [this] {
        QSet<QString> paths;
        for (const ProjectMeta& meta : index_.projectsMeta)
            if (!meta.path.isEmpty())
                paths.insert(meta.path);
        pathFacts_.renewProjects(paths);
    });
    progressTimer_.setInterval(500);
    connect(&progressTimer_, &QTimer::timeout, this, [this] {
        if (stopping_)
            return;
        const qint64 elapsed = phase2Start_.secsTo(QDateTime::currentDateTimeUtc());
        setStatusText(progressText(elapsed));
    });
}

AppModel::~AppModel()
{
    // End the operations before any member they read goes away; their
    // children are killed, so the waits are bounded by the kill grace period.
    if (currentTask_) {
        currentTask_->requestStop();
        operations().killAll();
    }
    currentTask_.reset();
    retired_.joinAll();
}

const QStringList& AppModel::spinnerFrames()
{
    static const QStringList frames = [] {
        QStringList list;
        for (QChar c : QStringLiteral("⠋⠙⠹⠸⠼⠴⠦⠧⠇⠏"))
            list << QString(c);
        return list;
    }();
    return frames;
}

OperationCenter& AppModel::operations() const { return client_.cli.operations(); }

void AppModel::log(LogLevel level, const QString& message) { log_.log(level, message); }

void AppModel::post(std::function<void()> change)
{
    handOff_.post(std::move(change));
}

void AppModel::setStatusText(const QString& text)
{
    statusText_ = text;
    emit statusTextChanged();
}

void AppModel::setDataStale(bool stale)
{
    dataStale_ = stale;
    emit dataStaleChanged();
}

// --- Spinner and the operation gate ---

void AppModel::startSpinner()
{
    if (spinnerTimer_.isActive())
        return;
    isLoading_ = true;
    emit isLoadingChanged();
    spinnerIndex_ = 0;
    spinnerFrame_ = spinnerFrames().first();
    ++spinnerIndex_;
    emit spinnerFrameChanged();
    spinnerTimer_.start();
}

void AppModel::stopSpinner()
{
    spinnerTimer_.stop();
    isLoading_ = false;
    spinnerFrame_.clear();
    emit spinnerFrameChanged();
    emit isLoadingChanged();
}

void AppModel::startOperation(BackgroundOperation::Body body)
{
    stopping_ = false;
    retired_.retire(std::move(currentTask_));  // normally already retired by endOperation
    currentTask_ = std::make_unique<BackgroundOperation>(std::move(body));
}

void AppModel::endOperation()
{
    // The body has handed over its ending, but its thread may still wait for
    // killed children: it is joined elsewhere, never here.
    retired_.retire(std::move(currentTask_));
    stopping_ = false;
}

bool AppModel::idleAfterConfirmation()
{
    if (!isLoading_)
        return true;
    alerts().info(QStringLiteral("Not started"),
                  QStringLiteral("Another operation started while the confirmation was open, so nothing was "
                                 "removed. Try again when it has finished."));
    return false;
}

void AppModel::cancelCurrentOperation()
{
    if (!isLoading_)
        return;
    log(LogLevel::warn, QStringLiteral("Stop requested — cancelling current operation"));
    // The stop is requested before the kills: a body that sees a killed command end must
    // already see the stop, or it would take the kill for an ordinary failure.
    if (currentTask_)
        currentTask_->requestStop();
    operations().killAll();
    stopping_ = true;
    setStatusText(QStringLiteral("Stopping…"));
}

void AppModel::finishOperationAndReconcile()
{
    stopSpinner();
    endOperation();
    setDataStale(true);
    if (reconcileForTesting)
        reconcileForTesting();
    else if (refreshAfterCleanup_)
        refresh();
}

// --- Projects tab ---

void AppModel::setProjectSearch(const QString& text)
{
    projectSearch_ = text;
    emit projectsViewChanged();
}

void AppModel::setProjectSort(ProjectSort sort)
{
    projectSort_ = sort;
    emit projectsViewChanged();
}

void AppModel::setSortAscending(bool ascending)
{
    sortAscending_ = ascending;
    emit projectsViewChanged();
}

void AppModel::setSelectionMode(bool on)
{
    selectionMode_ = on;
    emit projectsViewChanged();
}

void AppModel::setSelectedProjects(const QSet<QString>& names)
{
    selectedProjects_ = names;
    emit projectsViewChanged();
}

void AppModel::toggleProjectSelection(const QString& name) { setSelectedProjects(toggled(selectedProjects_, name)); }

QList<ProjectEntry> AppModel::sortedFilteredProjects() const
{
    return stowage::sortedFilteredProjects(index_, inventory_.volumeSizes, projectSearch_, projectSort_,
                                           sortAscending_);
}

// --- Index and cache ---

namespace {

QHash<QString, ImageLayers> layersById(const QList<ImageLayers>& images)
{
    QHash<QString, ImageLayers> byId;
    for (const ImageLayers& image : images)
        byId.insert(image.id, image);
    return byId;
}

}  // namespace

CachedState AppModel::snapshot() const
{
    CachedState state;
    state.containers = inventory_.containers;
    state.images = inventory_.images;
    state.volumes = inventory_.volumes;
    state.buildCache = inventory_.buildCache;
    state.volumeSizes = inventory_.volumeSizes;
    state.usedImageIDs = inventory_.usedImageIDs.values();
    state.dockerRoot = inventory_.dockerRoot;
    state.savedAt = QDateTime::currentDateTimeUtc();
    state.danglingVolumeNames = inventory_.danglingVolumeNames.values();
    state.danglingKnown = inventory_.danglingKnown;
    state.usageDataComplete = inventory_.usageDataComplete;
    state.imageLayers = inventory_.imageLayers.values();
    state.engineImages = inventory_.engineImages;
    return state;
}

void AppModel::saveCache() { cacheWriter_.save(snapshot()); }

void AppModel::flushCache() { cacheWriter_.flush(); }

std::optional<AppModel::LoadedCache> AppModel::readCache(const std::optional<QString>& path)
{
    std::optional<CachedState> state = readCacheFile(path);
    if (!state)
        return std::nullopt;
    ProjectIndex index =
        stowage::buildProjectIndex(state->containers, state->images, state->volumes, layersById(state->imageLayers));
    return LoadedCache{std::move(*state), std::move(index)};
}

bool AppModel::loadCache()
{
    bool loaded = false;
    applyCache(readCache(cacheFile_), &loaded);
    return loaded;
}

void AppModel::loadCacheInBackground(std::function<void(CacheLoad)> done)
{
    // Used at start-up, before anything was saved, so no save can be in flight.
    // Decoding and indexing a large inventory take a good part of a second;
    // the UI thread only assigns the result. The thread is detached; if the
    // model is gone when the read ends, the channel drops the result.
    const quint64 refreshesBefore = refreshesStarted_;
    std::thread([this, channel = handOff_.channel(), path = cacheFile_, refreshesBefore, done = std::move(done)]() mutable {
        auto cache = readCache(path);
        channel->post([this, cache = std::move(cache), refreshesBefore, done = std::move(done)] {
            // A refresh that started meanwhile publishes newer facts than the file holds;
            // and only the running operation may change the shown inventory.
            CacheLoad result = CacheLoad::superseded;
            if (refreshesStarted_ == refreshesBefore && !isLoading_) {
                bool loaded = false;
                applyCache(cache, &loaded);
                result = loaded ? CacheLoad::loaded : CacheLoad::nothing;
            }
            if (done)
                done(result);
        });
    }).detach();
}

void AppModel::applyCache(const std::optional<LoadedCache>& cache, bool* loaded)
{
    *loaded = false;
    if (!cache)
        return;
    const CachedState* state = &cache->state;
    inventory_.containers = state->containers;
    emit containersChanged();
    inventory_.images = state->images;
    emit imagesChanged();
    inventory_.volumes = state->volumes;
    emit volumesChanged();
    inventory_.buildCache = state->buildCache;
    inventory_.volumeSizes = state->volumeSizes;
    inventory_.usedImageIDs = QSet<QString>(state->usedImageIDs.begin(), state->usedImageIDs.end());
    inventory_.dockerRoot = state->dockerRoot;
    inventory_.read = true;
    inventory_.danglingVolumeNames = QSet<QString>(state->danglingVolumeNames.begin(), state->danglingVolumeNames.end());
    inventory_.danglingKnown = state->danglingKnown;
    inventory_.usageDataComplete = state->usageDataComplete;
    inventory_.imageLayers = layersById(state->imageLayers);
    inventory_.engineImages = state->engineImages;
    inventory_.usageDataProblem = state->usageDataComplete
        ? QString()
        : QStringLiteral("Loaded from cache — usage was never fully verified. Refresh to check.");
    emit usageChanged();
    index_ = cache->index;
    emit indexChanged();
    if (state->containers.isEmpty() && state->images.isEmpty() && state->volumes.isEmpty())
        return;
    setDataStale(true);
    setStatusText(QStringLiteral("Showing cached data from ") + LocaleFormat::mediumDateShortTime(state->savedAt)
                  + QStringLiteral(" — press Refresh to update."));
    *loaded = true;
}

}  // namespace stowage
