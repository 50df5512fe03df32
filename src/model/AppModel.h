#pragma once
// The one observable model behind the window. It holds the last inventory, the
// usage facts, the project index, the status line with its spinner and the
// running operation. It lives on the UI thread and all its state is read and
// written there only: operations run on a BackgroundOperation whose body hands
// every state change back to this thread, in order. isLoading is the single
// gate: one refresh or removal at a time.

#include "docker/DockerCLI.h"
#include "docker/DockerClient.h"
#include "model/Alerts.h"
#include "model/BackgroundOperation.h"
#include "inventory/FreedSpace.h"
#include "model/HostPathFacts.h"
#include "inventory/Inventory.h"
#include "inventory/InventoryAfterRemoval.h"
#include "model/MinuteClock.h"
#include "model/PathNotice.h"
#include "inventory/ProjectIndex.h"
#include "cache/StateCache.h"
#include "classification/UsageClassification.h"
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
class DockerCLI;
class OperationCenter;
enum class LogLevel;

// How a refresh ended: every listing read, a listing failed (Docker could not
// be reached or answered with an error), or Stop.
enum class RefreshEnd { completed, failed, cancelled };

class AppModel : public QObject {
    Q_OBJECT
public:
    // Time limits of the removal commands, in seconds.
    struct RemovalLimits {
        double healthCheck = 12.0;
        double imageRemove = 180.0;
        double prune = 1800.0;
    };

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
    };

    explicit AppModel(DockerCLI& cli, Options options, QObject* parent = nullptr);
    explicit AppModel(DockerCLI& cli, QObject* parent = nullptr);
    ~AppModel() override;

    // --- Published state ---
    const QList<SGContainer>& containers() const { return inventory_.containers; }
    const QList<SGImage>& images() const { return inventory_.images; }
    const QList<SGVolume>& volumes() const { return inventory_.volumes; }
    const BuildCache& buildCache() const { return inventory_.buildCache; }
    const QHash<QString, qint64>& volumeSizes() const { return inventory_.volumeSizes; }
    const QSet<QString>& usedImageIDs() const { return inventory_.usedImageIDs; }
    const QString& dockerRoot() const { return inventory_.dockerRoot; }
    const QSet<QString>& danglingVolumeNames() const { return inventory_.danglingVolumeNames; }
    bool danglingKnown() const { return inventory_.danglingKnown; }
    bool usageDataComplete() const { return inventory_.usageDataComplete; }
    const QString& usageDataProblem() const { return inventory_.usageDataProblem; }
    const Inventory& inventory() const { return inventory_; }

    const ProjectIndex& index() const { return index_; }
    // The Overview's figures for the shown inventory, worked out once per change of it.
    const OverviewFigures& overviewFigures() const;
    // What the state cache's summary says, between its read at start-up and
    // the arrival of the cached inventory (or of a refresh's): the Overview
    // paints it meanwhile. None otherwise.
    const std::optional<CacheSummary>& cacheSummary() const { return cacheSummary_; }
    const QHash<QString, QStringList>& volumeMounters() const { return index_.volumeMounters; }
    const QSet<QString>& runningVolumeNames() const { return index_.runningVolumeNames; }
    const QSet<QString>& containerVolumeNames() const { return index_.containerVolumeNames; }
    const QHash<QString, QList<SGContainer>>& projects() const { return index_.projects; }
    const QHash<QString, ProjectMeta>& projectsMeta() const { return index_.projectsMeta; }
    const QHash<QString, QSet<QString>>& imageOwners() const { return index_.imageOwners; }
    const QHash<QString, QSet<QString>>& volumeOwners() const { return index_.volumeOwners; }

    const QString& statusText() const { return statusText_; }
    // The status line; also set by the window for its own notices (the Logs tab's copy).
    void setStatusText(const QString& text);
    const QString& spinnerFrame() const { return spinnerFrame_; }
    bool isLoading() const { return isLoading_; }
    // Whether the running operation changes Docker (a removal, clean-up or
    // teardown) rather than reading it (a refresh).
    bool removalRunning() const { return isLoading_ && !refreshRunning_; }
    bool dataStale() const { return dataStale_; }

    // Projects-tab state.
    const QString& projectSearch() const { return projectSearch_; }
    ProjectSort projectSort() const { return projectSort_; }
    bool sortAscending() const { return sortAscending_; }
    bool selectionMode() const { return selectionMode_; }
    const QSet<QString>& selectedProjects() const { return selectedProjects_; }
    void setProjectSearch(const QString& text);
    void setProjectSort(ProjectSort sort);
    void setSortAscending(bool ascending);
    void setSelectionMode(bool on);
    void setSelectedProjects(const QSet<QString>& names);
    void toggleProjectSelection(const QString& name);
    QList<ProjectEntry> sortedFilteredProjects() const;

    // --- Operations ---
    void refresh();
    void startSpinner();
    void stopSpinner();
    void cancelCurrentOperation();
    void finishOperationAndReconcile();
    // Called by finishOperationAndReconcile instead of refresh when set.
    std::function<void()> reconcileForTesting;
    // Takes the shown facts as just read (tests that show an inventory through the cache).
    void takeFactsAsReadForTesting() { factsReadAt_ = clock_.now(); }

    void saveCache();
    bool loadCache();
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

    // --- Usage classification ---
    UsageClassification classification() const { return UsageClassification(inventory_, index_); }
    ImageStatus imageStatus(const SGImage& image) const { return classification().imageStatus(image); }
    QList<SGImage> unusedImages() const { return classification().unusedImages(); }
    QList<ImageUnit> unusedImageUnits() const { return classification().unusedImageUnits(); }
    // The images of `rows`, once each, with every name the listing has for them.
    QList<ImageUnit> unitsOf(const QList<SGImage>& rows) const { return imageUnits(rows, inventory_.images); }
    ProjectText imageProjectText(const SGImage& image) const { return classification().imageProjectText(image); }
    Classify::VolumeUsage volumeUsage(const SGVolume& v) const { return classification().volumeUsage(v); }
    QList<SGVolume> orphanVolumes() const { return classification().orphanVolumes(); }
    QList<SGVolume> volumesMatching(Classify::VolumeUsage usage) const
    {
        return classification().volumesMatching(usage);
    }
    QList<VolumeGroup> volumesByProject() const { return classification().volumesByProject(); }
    QString volumeStatusText(const SGVolume& v) const { return classification().volumeStatusText(v); }
    ProjectText volumeProjectText(const SGVolume& v) const { return classification().volumeProjectText(v); }
    qint64 totalBytes(const QList<SGVolume>& volumes) const { return classification().totalBytes(volumes); }
    CleanPlan cleanPlan(CleanKinds kinds) const { return classification().cleanPlan(kinds); }

    // --- Removals (confirmed first; one operation at a time) ---
    // Removes containers, then images, then volumes, after a daemon health check.
    void deleteResources(const QString& label, const QList<SGContainer>& containers, const QList<ImageUnit>& images,
                         const QList<SGVolume>& volumes);
    void cleanBuildCache();
    void cleanUnusedImages();
    void cleanOrphanVolumes();
    void cleanAnonymousOrphanVolumes();
    void safeCleanAll() { safeClean(safeCleanAllKinds); }
    // Safe Clean All restricted to `kinds`: confirms the plan, then clears the
    // build cache, removes the images one at a time and the volumes in batches.
    void safeClean(CleanKinds kinds);
    void removeSelectedImages(const QSet<QString>& ids);
    void removeSelectedVolumes(const QSet<QString>& names);

    // --- Project teardown ---
    QList<SGImage> projectExclusiveImages(const QString& project, bool builtOnly) const;
    QList<SGVolume> projectExclusiveVolumes(const QString& project) const;
    void removeProjectContainers(const QString& project);
    void removeProjectImages(const QString& project);
    void removeProjectVolumes(const QString& project);
    void deleteEntireProject(const QString& project);
    void deleteSelectedProjects();

    // --- Project context and shortcuts ---
    QString claudeContext(const QString& project) const;
    void copyClaudeContext(const QString& project);
    // The project folder's README as last found; none until the folder has
    // been looked at (off the UI thread, after each change of the index).
    std::optional<QString> readmeURL(const QString& project) const;
    // What is known of the project's folder on this host; none until looked at.
    std::optional<ProjectPathFacts> projectPathFacts(const QString& project) const;
    // Both look at the path off the UI thread first and act when the answer arrives.
    void openInFinder(const QString& path);
    void openInTerminal(const QString& path);
    // Looks at `path` off the UI thread; runs `act` when something is there,
    // else shows the notice `describe` words, offering to copy the path.
    void whenPathPresent(const QString& path, std::function<void()> act,
                         std::function<PathNotice(const platform::PathFacts&)> describe);
    HostPathFacts& pathFacts() { return pathFacts_; }
    platform::Desktop& desktop() const;
    // Opens a web or mail link; says so when it cannot.
    void openLink(const QUrl& url);
    // Hand to every desktop action: when one fails, a notice says what was
    // tried and why (offering to copy the path or link), and the failure is
    // logged once per session, however often it recurs.
    platform::DesktopFailed desktopFailed();

    Alerts& alerts() const { return *alerts_; }
    // The one minute tick of the window: relative times redraw on it.
    MinuteClock& clock() { return clock_; }
    const MinuteClock& clock() const { return clock_; }
    void setAlerts(Alerts* alerts) { alerts_ = alerts ? alerts : &decliningAlerts_; }

    static const QStringList& spinnerFrames();
    DockerClient& client() { return client_; }
    const RemovalLimits& removalLimits() const { return removalLimits_; }
    // Where completed refreshes are recorded; none when no history is kept.
    History* history() const { return history_; }
    OperationCenter& operations() const;

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
    // Search, sort, direction, selection mode or selection.
    void projectsViewChanged();
    // At the end of every refresh; `error` is the failure's description.
    void refreshEnded(stowage::RefreshEnd end, const QString& error);
    // Each removal (or failure) of a running safe clean, as it happens.
    void cleanStep(const stowage::CleanStep& step);

protected:
    void setDataStale(bool stale);
    void log(LogLevel level, const QString& message);
    // Starts `body` as the current operation.
    void startOperation(BackgroundOperation::Body body);
    // Runs `change` on the UI thread after everything posted before it.
    void post(std::function<void()> change);
    void endOperation();
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

private:
    void reportDesktopFailure(const platform::DesktopFailure& failure);
    void runRefresh(const Inventory& shown, std::stop_token stop);
    // The refresh's early end; `published` when it had already replaced some listing.
    void failRefresh(const QString& description, bool cancelled, std::optional<ProjectIndex> publishedIndex);
    void startProgress(int containerCount);
    void stopProgress();
    // The status line while containers are inspected, `elapsed` seconds in.
    QString progressText(qint64 elapsed) const;
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

    // How a removal run reports and ends: a listed removal updates the shown
    // inventory and says what went; a safe clean and a build-cache clear also
    // read the engine again at their end.
    enum class RemovalKind { listed, safeClean, buildCache };
    struct RemovalRequest {
        RemovalKind kind = RemovalKind::listed;
        QString label;
        QList<SGContainer> containers;
        QList<ImageUnit> images;
        QList<SGVolume> volumes;
        // The build cache is pruned first (`docker builder prune -af`).
        bool pruneBuildCache = false;
        // A safe clean's plan, for its report.
        CleanPlan plan;
        // What the images are expected to free.
        FreedSpace freed;
        // The inventory and image graph shown when the removal started. Only the
        // running operation changes them, so they are still current when it ends.
        Inventory shown;
        ImageGraph shownGraph;
    };
    // What a removal run did, handed to the UI thread at its end.
    struct RemovalOutcome {
        QSet<QString> containers;
        QSet<QString> images;
        // Every image id the engine reported deleted: the images and the build layers that went with them.
        QSet<QString> deletedImages;
        QSet<QString> volumes;
        // Every error, and those of the image and volume steps on their own, for endings that tell them apart.
        QStringList errors;
        QStringList imageErrors;
        QStringList volumeErrors;
        int consecutiveTimeouts = 0;
        // Ended before every step was tried (a time-out, Docker wedged, or Stop).
        bool stopped = false;
        bool cancelled = false;
        // The build cache prune exited 0, even if Stop came while it ran.
        bool pruned = false;
        QStringList pruneLines;
        QString pruneFailure;

        qsizetype removed() const { return containers.size() + images.size() + volumes.size(); }
    };
    void startRemoval(RemovalRequest request);
    void runRemoval(const RemovalRequest& request, std::stop_token stop);
    // The steps of a run; each returns false when the run must end now.
    bool removeContainerStep(const RemovalRequest& request, RemovalOutcome& outcome, std::stop_token stop);
    bool removeImageStep(const RemovalRequest& request, RemovalOutcome& outcome, std::stop_token stop);
    void removeVolumeStep(const RemovalRequest& request, RemovalOutcome& outcome, std::stop_token stop);
    void pruneStep(const RemovalRequest& request, RemovalOutcome& outcome, std::stop_token stop);
    // The endings, on the UI thread, after the shown inventory was updated.
    void reportListedRemoval(const RemovalRequest& request, const RemovalOutcome& outcome, const FreedSpace& freed);
    void reportSafeClean(const RemovalRequest& request, const RemovalOutcome& outcome, const FreedSpace& freed);
    static QString safeCleanDone(const CleanPlan& plan, const RemovalOutcome& outcome);
    void reportBuildCacheClear(const RemovalOutcome& outcome);
    // Shows the inventory after a removal (worked out on the removal's thread).
    void applyLocalRemoval(InventoryAfterRemoval after, const RemovedItems& removed);
    // The orphans Docker created without a name: a long confirmation only counts them.
    QSet<QString> anonymousVolumeNames() const;
    void removeOrphanBucket(const QList<SGVolume>& volumes, const QString& label, const QString& title,
                            const QString& caveat);
    // The confirmation's lines on what removing these images frees and which
    // build layers go with them; none for no images.
    QStringList imageRemovalNote(const QList<ImageUnit>& images) const;
    // Project teardown without complete usage data: a notice, and true.
    bool blockedWithoutOwners();
    // Lines saying that nothing but containers goes, when owners are unknown.
    QStringList ownersUnknownNote() const;
    CachedState snapshot() const;

    DockerClient client_;
    ActivityLog& log_;
    Inventory inventory_;
    ProjectIndex index_;
    QString statusText_ = QStringLiteral("Ready");
    QString spinnerFrame_;
    bool isLoading_ = false;
    bool dataStale_ = false;
    QString projectSearch_;
    ProjectSort projectSort_ = ProjectSort::lastActivity;
    bool sortAscending_ = false;
    bool selectionMode_ = false;
    QSet<QString> selectedProjects_;

    QTimer spinnerTimer_;
    int spinnerIndex_ = 0;
    QTimer progressTimer_;
    QDateTime phase2Start_;
    int progressContainerCount_ = 0;
    bool stopping_ = false;
    bool refreshRunning_ = false;

    DecliningAlerts decliningAlerts_;
    Alerts* alerts_ = &decliningAlerts_;
    platform::Desktop* desktop_ = nullptr;
    QSet<QString> loggedDesktopFailures_;
    HostPathFacts pathFacts_;
    MinuteClock clock_;

    // When the last refresh of this session completed; none while the shown facts come from the cache.
    std::optional<QDateTime> factsReadAt_;
    // The removal entry point waiting for the refresh it started.
    std::function<void()> afterFreshRead_;

    std::unique_ptr<BackgroundOperation> currentTask_;
    RetiredOperations retired_;
    quint64 refreshesStarted_ = 0;
    RemovalLimits removalLimits_;
    bool refreshAfterCleanup_ = true;
    History* history_ = nullptr;
    bool headless_ = false;
    std::optional<QString> cacheFile_;
    std::optional<QString> legacyCacheFile_;
    StateCacheWriter cacheWriter_;
    mutable std::optional<OverviewFigures> figures_;
    std::optional<CacheSummary> cacheSummary_;
    // Last member: destroyed first, so no handed-over change runs on a half-destroyed model.
    platform::ThreadHandOff handOff_{this};
};

}  // namespace stowage
