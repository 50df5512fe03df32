#include "model/AppModel.h"

#include "docker/DockerRunner.h"
#include "docker/OperationCenter.h"
#include "log/ActivityLog.h"
#include "text/LocaleFormat.h"
#include "text/PrintableText.h"

#include "model/DisposeOffThread.h"

#include <QFile>
#include <QMetaObject>

#include <utility>

#include <thread>

namespace stowage {

namespace {

// Each engine has a cache of its own: the runner's context names it.
std::optional<QString> resolveCacheFile(const AppModel::Options& options, const QString& context)
{
    return options.cacheFile ? *options.cacheFile : StateCache::fileURL(context);
}

// Only the application's own folder holds a cache of an earlier version, of the engine docker selects by itself.
std::optional<QString> resolveLegacyCacheFile(const AppModel::Options& options, const QString& context)
{
    return options.cacheFile || !context.isEmpty() ? std::nullopt : StateCache::legacyFileURL();
}

const QStringList& spinnerFrames()
{
    static const QStringList frames = [] {
        QStringList list;
        for (QChar c : QStringLiteral("⠋⠙⠹⠸⠼⠴⠦⠧⠇⠏"))
            list << QString(c);
        return list;
    }();
    return frames;
}

}  // namespace

AppModel::AppModel(DockerRunner& cli, QObject* parent) : AppModel(cli, Options{}, parent) {}

AppModel::AppModel(DockerRunner& cli, Options options, QObject* parent)
    : QObject(parent),
      client_(cli, options.limits),
      log_(cli.log()),
      clock_(options.clock),
      cacheFile_(resolveCacheFile(options, cli.config().context)),
      legacyCacheFile_(resolveLegacyCacheFile(options, cli.config().context)),
      cacheWriter_(cacheFile_, legacyCacheFile_)
{
    setAlerts(options.alerts);
    refreshAfterCleanup_ = options.refreshAfterCleanup;
    history_ = options.history;
    headless_ = options.headless;
    engine_ = std::move(options.engine);
    refresh_ = std::make_unique<InventoryRefresh>(*this);
    removals_ = std::make_unique<Removals>(*this, options.removalLimits);
    shortcuts_ = std::make_unique<ProjectShortcuts>(*this, options.desktop, options.pathProbes);
    for (auto signal : {&AppModel::containersChanged, &AppModel::imagesChanged, &AppModel::volumesChanged,
                        &AppModel::usageChanged, &AppModel::indexChanged})
        connect(this, signal, this, [this] { figures_.reset(); });
    spinnerTimer_.setInterval(90);
    connect(&spinnerTimer_, &QTimer::timeout, this, [this] {
        spinnerFrame_ = spinnerFrames()[spinnerIndex_ % spinnerFrames().size()];
        ++spinnerIndex_;
        emit spinnerFrameChanged();
    });
    connect(this, &AppModel::refreshEnded, this, [this](RefreshEnd end, const QString& error) {
        const auto entry = std::exchange(afterFreshRead_, {});
        if (!entry)
            return;
        if (end == RefreshEnd::completed)
            return entry();
        if (end == RefreshEnd::cancelled) {
            setStatusText(tr("Stopped before confirming — nothing was removed."),
                          QStringLiteral("Stopped before confirming — nothing was removed."));
            return;
        }
        alerts().info(
            tr("Nothing removed"),
            tr("The current figures could not be read, so nothing was offered for removal.\n\n%1").arg(error));
    });
}

void AppModel::refresh() { refresh_->start(); }

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

void AppModel::setEngine(std::optional<EngineContext> engine)
{
    if (engine == engine_)
        return;
    engine_ = std::move(engine);
    emit engineChanged();
}

// With several engines in the window, each operation's lines say which one they
// are about, as the runner's own command lines do.
void AppModel::log(LogLevel level, const QString& message)
{
    log_.log(level, engine_ ? message + QStringLiteral(" (engine ") + printable(engine_->name) + u')' : message);
}

void AppModel::post(std::function<void()> change)
{
    handOff_.post(std::move(change));
}

void AppModel::setStatusText(const QString& text, const QString& logged)
{
    statusText_ = text;
    loggedStatusText_ = logged;
    emit statusTextChanged();
}

void AppModel::setDataStale(bool stale)
{
    dataStale_ = stale;
    emit dataStaleChanged();
}

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
    refreshRunning_ = false;
    retired_.retire(std::move(currentTask_));  // normally already retired by endOperation
    currentTask_ = std::make_unique<BackgroundOperation>(std::move(body));
}

void AppModel::endOperation()
{
    // The body has handed over its ending, but its thread may still wait for
    // killed children: it is joined elsewhere, never here.
    retired_.retire(std::move(currentTask_));
    stopping_ = false;
    refreshRunning_ = false;
}

namespace {

// How old the shown facts may be when a removal confirms from them: a minute.
// Long enough that removals right after a refresh (or after one another) do
// not read everything again; short enough that a confirmation shows what the
// engine holds now, not what it held when the window was last looked at.
constexpr qint64 freshFactsSeconds = 60;

}  // namespace

bool AppModel::factsAreFresh() const
{
    return factsReadAt_ && factsReadAt_->secsTo(clock_.now()) < freshFactsSeconds;
}

void AppModel::readFreshFactsThen(std::function<void()> entry)
{
    if (isLoading_)
        return;  // like every start while an operation runs
    afterFreshRead_ = std::move(entry);
    refresh();
    setStatusText(tr("Reading current figures before confirming…"));
}

bool AppModel::idleAfterConfirmation()
{
    if (!isLoading_)
        return true;
    alerts().info(tr("Not started"),
                  tr("Another operation started while the confirmation was open, so nothing was "
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
    setStatusText(tr("Stopping…"));
}

void AppModel::finishOperationAndReconcile()
{
    stopSpinner();
    endOperation();
    setDataStale(true);
    if (reconcileForTesting_)
        reconcileForTesting_();
    else if (refreshAfterCleanup_)
        refresh();
}

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
    state.figures = overviewFigures();
    return state;
}

const OverviewFigures& AppModel::overviewFigures() const
{
    if (!figures_)
        figures_ = OverviewFigures::of(inventory_, classification());
    return *figures_;
}

void AppModel::applyLocalRemoval(InventoryAfterRemoval after, const RemovedItems& removed)
{
    inventory_ = std::move(after.inventory);
    if (!removed.containerIDs.isEmpty())
        emit containersChanged();
    if (!removed.imageIDs.isEmpty())
        emit imagesChanged();
    if (!removed.volumeNames.isEmpty())
        emit volumesChanged();
    emit usageChanged();
    disposeOffThread(std::exchange(index_, std::move(after.index)));
    emit indexChanged();
    setDataStale(true);
    saveCache();
}

void AppModel::saveCache()
{
    // The snapshot written before holds lists made for it alone (the image
    // layers of every image): it is freed off the UI thread.
    if (std::optional<CachedState> written = cacheWriter_.save(snapshot()))
        disposeOffThread(std::move(*written));
}

void AppModel::flushCache() { cacheWriter_.flush(); }

StateCache::FileBytes AppModel::readCacheBytes(const std::optional<QString>& path,
                                               const std::optional<QString>& legacyPath)
{
    if (!path)
        return {};
    StateCache::FileBytes file = StateCache::readFile(*path);
    if (!file.bytes && file.problem.isEmpty() && legacyPath)
        file = StateCache::readFile(*legacyPath);
    return file;
}

std::optional<AppModel::LoadedCache> AppModel::decodeCache(const std::optional<QByteArray>& bytes)
{
    std::optional<CachedState> state = bytes ? StateCache::decode(*bytes) : std::nullopt;
    if (!state)
        return std::nullopt;
    ProjectIndex index =
        stowage::buildProjectIndex(state->containers, state->images, state->volumes, layersById(state->imageLayers));
    return LoadedCache{std::move(*state), std::move(index)};
}

bool AppModel::loadCache()
{
    const StateCache::FileBytes file = readCacheBytes(cacheFile_, legacyCacheFile_);
    if (!file.problem.isEmpty())
        log(LogLevel::warn, file.problem);
    bool loaded = false;
    applyCache(decodeCache(file.bytes), &loaded);
    return loaded;
}

void AppModel::loadCacheInBackground(std::function<void(CacheLoad)> done)
{
    // Used at start-up, before anything was saved, so no save can be in flight.
    // Decoding and indexing a large inventory take a good part of a second;
    // the UI thread only assigns the result. The summary at the start of the
    // file is decoded and handed over first, so that the Overview has figures
    // to paint meanwhile. The thread is detached; if the model is gone when
    // the read ends, the channel drops the results.
    const quint64 refreshesBefore = refresh_->started();
    // Only the running operation may change the shown inventory, and a refresh that
    // started meanwhile publishes newer facts than the file holds.
    const auto stillFirst = [this, refreshesBefore] { return refresh_->started() == refreshesBefore && !isLoading_; };
    std::thread([this, channel = handOff_.channel(), path = cacheFile_, legacyPath = legacyCacheFile_, stillFirst,
                 done = std::move(done)]() mutable {
        const StateCache::FileBytes file = readCacheBytes(path, legacyPath);
        if (file.bytes) {
            if (auto summary = StateCache::decodeSummary(*file.bytes))
                channel->post([this, stillFirst, summary = std::move(summary)]() mutable {
                    if (stillFirst() && inventory_.containers.isEmpty())
                        setCacheSummary(std::move(summary));
                });
        }
        auto cache = decodeCache(file.bytes);
        channel->post([this, stillFirst, cache = std::move(cache), problem = file.problem, done = std::move(done)] {
            if (!problem.isEmpty())
                log(LogLevel::warn, problem);
            CacheLoad result = CacheLoad::superseded;
            if (stillFirst()) {
                bool loaded = false;
                applyCache(cache, &loaded);
                result = loaded ? CacheLoad::loaded : CacheLoad::nothing;
            }
            setCacheSummary(std::nullopt);
            if (done)
                done(result);
        });
    }).detach();
}

void AppModel::setCacheSummary(std::optional<CacheSummary> summary)
{
    if (summary == cacheSummary_)
        return;
    cacheSummary_ = std::move(summary);
    emit cacheSummaryChanged();
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
    factsReadAt_.reset();
    inventory_.usageDataProblem = state->usageDataComplete
        ? QString()
        : tr("Loaded from cache — usage was never fully verified. Refresh to check.");
    emit usageChanged();
    index_ = cache->index;
    emit indexChanged();
    // Saved with this very inventory: the Overview need not classify it again.
    figures_ = state->figures;
    if (state->containers.isEmpty() && state->images.isEmpty() && state->volumes.isEmpty())
        return;
    setDataStale(true);
    setStatusText(tr("Showing cached data from %1 — press Refresh to update.")
                      .arg(LocaleFormat::mediumDateShortTime(state->savedAt)));
    *loaded = true;
}

}  // namespace stowage
