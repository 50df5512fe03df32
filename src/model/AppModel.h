#pragma once
// The one observable model behind the window. It holds the last inventory, the
// usage facts, the project index, the status line with its spinner and the
// running operation. It lives on the UI thread and all its state is read and
// written there only: operations run on a BackgroundOperation whose body hands
// every state change back to this thread, in order. isLoading is the single
// gate: one refresh or removal at a time.
//
// Three collaborators act on what it holds: the inventory refresh reads the
// engine again, removals() confirms and runs every removal, shortcuts() the
// project card's actions that leave Docker alone.

#include "cache/StateCache.h"
#include "classification/UsageClassification.h"
#include "docker/DockerClient.h"
#include "docker/DockerRunner.h"
#include "docker/EngineContext.h"
#include "inventory/FreedSpace.h"
#include "inventory/Inventory.h"
#include "inventory/InventoryAfterRemoval.h"
#include "inventory/ProjectIndex.h"
#include "model/Alerts.h"
#include "model/BackgroundOperation.h"
#include "model/HostPathFacts.h"
#include "model/InventoryRefresh.h"
#include "model/MinuteClock.h"
#include "model/PathNotice.h"
#include "model/ProjectShortcuts.h"
#include "model/removal/Removals.h"
#include "platform/Desktop.h"
#include "platform/ThreadHandOff.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

namespace stowage {

class History;

class ActivityLog;
class DockerRunner;
class OperationCenter;
enum class LogLevel;

// How a refresh ended: every listing read, a listing failed (Docker could not
// be reached or answered with an error), or Stop.
enum class RefreshEnd { completed, failed, cancelled };

class AppModel : public QObject {
    Q_OBJECT
public:
    using RemovalLimits = RemovalRunner::Limits;

    struct Options {
        // Where the state cache lives; the application's data folder when absent.
        std::optional<std::optional<QString>> cacheFile;
        DockerClient::Limits limits;
        RemovalLimits removalLimits;
        // Confirmations and notices; declining ones when absent.
        Alerts* alerts = nullptr;
        // Clipboard, file manager, terminal; the system's when absent.
        platform::Desktop* desktop = nullptr;
        // How paths named by Docker are looked at (off the UI thread); the file system's by default.
        HostPathFacts::Probes pathProbes;
        // Whether the build-cache clear and a safe clean end with a refresh that
        // reconciles the shown inventory (a headless run ends instead).
        bool refreshAfterCleanup = true;
        // The time relative texts are told against; the system clock when empty.
        MinuteClock::Source clock;
        // Where each completed refresh leaves its summary, marked as headless
        // when `headless`; none kept when absent. Must outlive the model.
        History* history = nullptr;
        bool headless = false;
        // The engine this model reads and removes on, when the window knows more
        // than one: confirmations and the project card's shortcuts name it.
        std::optional<EngineContext> engine;
    };

    explicit AppModel(DockerRunner& cli, Options options, QObject* parent = nullptr);
    explicit AppModel(DockerRunner& cli, QObject* parent = nullptr);
    ~AppModel() override;

    const Inventory& inventory() const { return inventory_; }
    const ProjectIndex& index() const { return index_; }
    // What the shown inventory says of each image and volume.
    UsageClassification classification() const { return UsageClassification(inventory_, index_); }
    // The Overview's figures for the shown inventory, worked out once per change of it.
    const OverviewFigures& overviewFigures() const;
    // What the state cache's summary says, between its read at start-up and
    // the arrival of the cached inventory (or of a refresh's): the Overview
    // paints it meanwhile. None otherwise.
    const std::optional<CacheSummary>& cacheSummary() const { return cacheSummary_; }

    const QString& statusText() const { return statusText_; }
    // The status line as the activity log quotes it: English, whatever the window's language.
    const QString& loggedStatusText() const { return loggedStatusText_.isEmpty() ? statusText_ : loggedStatusText_; }
    // The status line; also set by the window for its own notices (the Logs tab's copy).
    // `logged` is its English form when the window shows it translated and the log may quote it.
    void setStatusText(const QString& text, const QString& logged = {});
    const QString& spinnerFrame() const { return spinnerFrame_; }
    bool isLoading() const { return isLoading_; }
    // Whether the running operation changes Docker (a removal, clean-up or
    // teardown) rather than reading it (a refresh).
    bool removalRunning() const { return isLoading_ && !refreshRunning_; }
    bool dataStale() const { return dataStale_; }

    void refresh();
    void cancelCurrentOperation();

    enum class CacheLoad {
        loaded,      // the cached inventory is shown
        nothing,     // no usable cache: nothing changed
        superseded,  // a refresh started meanwhile, whose data the cache must not replace
    };
    // Reads and decodes the cache file off the UI thread, then applies it here
    // unless a refresh has started since, and reports what happened.
    void loadCacheInBackground(std::function<void(CacheLoad)> done);
    // Blocks until every cache save so far is on disk (tests, application exit).
    void flushCache();

    // Every removal: confirmed first, one operation at a time.
    Removals& removals() const { return *removals_; }
    // The project card's clipboard, folder, terminal and link actions.
    ProjectShortcuts& shortcuts() const { return *shortcuts_; }

    Alerts& alerts() const { return *alerts_; }
    void setAlerts(Alerts* alerts) { alerts_ = alerts ? alerts : &decliningAlerts_; }
    // The one minute tick of the window: relative times redraw on it.
    MinuteClock& clock() const { return clock_; }
    DockerClient& client() { return client_; }
    // Where completed refreshes are recorded; none when no history is kept.
    History* history() const { return history_; }

    // The engine this model belongs to; none while docker knows only one.
    const std::optional<EngineContext>& engine() const { return engine_; }

signals:
    void containersChanged();
    void imagesChanged();
    void volumesChanged();
    // Build cache, sizes, used image ids, data root, dangling facts, completeness.
    void usageChanged();
    void indexChanged();
    void cacheSummaryChanged();
    void statusTextChanged();
    void spinnerFrameChanged();
    void isLoadingChanged();
    void dataStaleChanged();
    // At the end of every refresh; `error` is the failure's description.
    void refreshEnded(stowage::RefreshEnd end, const QString& error);
    // Each removal (or failure) of a running safe clean, as it happens.
    void cleanStep(const stowage::CleanStep& step);
    void engineChanged();

private:
    void saveCache();
    // Reads and applies the cache on this thread (tests and benchmarks, through AppModelTestAccess).
    bool loadCache();
    OperationCenter& operations() const { return client_.cli.operations(); }
    // Set by the window's engines when their list arrives: with one engine nothing names it.
    void setEngine(std::optional<EngineContext> engine);

    friend class EngineSessions;
    friend class InventoryRefresh;
    friend class Removals;
    friend class RemovalRunner;
    friend struct AppModelTestAccess;

    void setDataStale(bool stale);
    void log(LogLevel level, const QString& message);
    void startSpinner();
    void stopSpinner();
    // Starts `body` as the current operation.
    void startOperation(BackgroundOperation::Body body);
    // Runs `change` on the UI thread after everything posted before it.
    void post(std::function<void()> change);
    void endOperation();
    // Ends the operation and reads the engine again (unless the model was made not to).
    void finishOperationAndReconcile();
    // Whether the shown facts were read by this session's last refresh less
    // than a minute ago; never for facts from the state cache.
    bool factsAreFresh() const;
    // A removal entry point whose facts are not fresh: refreshes first, then
    // calls `entry` again, which works its candidates out on the fresh
    // inventory. A failed or stopped refresh calls nothing and says why.
    void readFreshFactsThen(std::function<void()> entry);
    // After a confirmation: its dialog ran an event loop in which another
    // operation may have started. False (with a notice) when one runs now.
    bool idleAfterConfirmation();
    // Shows the inventory after a removal (worked out on the removal's thread).
    void applyLocalRemoval(InventoryAfterRemoval after, const RemovedItems& removed);

    // A cache file's inventory with its project index, both worked out off the UI thread.
    struct LoadedCache {
        CachedState state;
        ProjectIndex index;
    };
    // The cache file's bytes, from the file of earlier versions when there is
    // no newer one; `problem` says why a file that is there was refused.
    static StateCache::FileBytes readCacheBytes(const std::optional<QString>& path,
                                                const std::optional<QString>& legacyPath);
    static std::optional<LoadedCache> decodeCache(const std::optional<QByteArray>& bytes);
    void applyCache(const std::optional<LoadedCache>& cache, bool* loaded);
    void setCacheSummary(std::optional<CacheSummary> summary);
    CachedState snapshot() const;

    DockerClient client_;
    ActivityLog& log_;
    Inventory inventory_;
    ProjectIndex index_;
    QString statusText_ = QStringLiteral("Ready");
    QString loggedStatusText_;
    QString spinnerFrame_;
    bool isLoading_ = false;
    bool dataStale_ = false;

    QTimer spinnerTimer_;
    int spinnerIndex_ = 0;
    bool stopping_ = false;
    bool refreshRunning_ = false;

    DecliningAlerts decliningAlerts_;
    Alerts* alerts_ = &decliningAlerts_;
    mutable MinuteClock clock_;

    // When the last refresh of this session completed; none while the shown facts come from the cache.
    std::optional<QDateTime> factsReadAt_;
    // The removal entry point waiting for the refresh it started.
    std::function<void()> afterFreshRead_;
    // Called by finishOperationAndReconcile instead of refresh when set (tests).
    std::function<void()> reconcileForTesting_;

    std::unique_ptr<BackgroundOperation> currentTask_;
    RetiredOperations retired_;
    bool refreshAfterCleanup_ = true;
    History* history_ = nullptr;
    bool headless_ = false;
    std::optional<EngineContext> engine_;
    std::optional<QString> cacheFile_;
    std::optional<QString> legacyCacheFile_;
    StateCacheWriter cacheWriter_;
    mutable std::optional<OverviewFigures> figures_;
    std::optional<CacheSummary> cacheSummary_;
    std::unique_ptr<InventoryRefresh> refresh_;
    std::unique_ptr<Removals> removals_;
    std::unique_ptr<ProjectShortcuts> shortcuts_;
    // Last member: destroyed first, so no handed-over change runs on a half-destroyed model.
    platform::ThreadHandOff handOff_{this};
};

// The host of `model`'s engine when it is remote ("" for this machine's): the
// paths in that engine's labels are on that host.
inline QString engineHost(const AppModel& model)
{
    return model.engine() ? remoteHost(model.engine()->endpoint) : QString();
}

}  // namespace stowage
