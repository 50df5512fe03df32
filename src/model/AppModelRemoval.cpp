// The removal engine: every removal — listed containers, images and volumes,
// a safe clean, a build-cache clear — runs through runRemoval. It checks that
// the daemon answers, prunes the build cache when asked, removes containers,
// then images, then volumes, stops on Stop or when Docker stops answering,
// applies what was removed to the shown inventory and reports.

#include "model/AppModel.h"

#include "text/CountText.h"
#include "docker/DockerCLI.h"
#include "text/Graphemes.h"
#include "log/ActivityLog.h"
#include "model/DisposeOffThread.h"
#include "platform/PlatformWords.h"
#include "inventory/FreedSpace.h"
#include "history/History.h"

namespace stowage {

namespace {

constexpr int maxShownErrors = 15;
constexpr int timeoutsBeforeAbort = 3;

// "2 containers, 1 image, 0 volumes".
QString resourceCounts(qsizetype containers, qsizetype images, qsizetype volumes)
{
    return counted(containers, QStringLiteral("container")) + QStringLiteral(", ") + counted(images, QStringLiteral("image"))
           + QStringLiteral(", ") + counted(volumes, QStringLiteral("volume"));
}

QString firstErrors(const QStringList& errors) { return errors.mid(0, maxShownErrors).join(QLatin1Char('\n')); }

bool isTimeout(const RunError& error)
{
    const auto* docker = dynamic_cast<const DockerError*>(&error);
    return docker && docker->kind() == DockerError::Kind::timedOut;
}

// "2 containers, 3 images (and 2 build layers)": only the kinds that went; "nothing" when none did.
QString removedCounts(qsizetype containers, qsizetype images, qsizetype buildLayers, qsizetype volumes)
{
    QStringList parts;
    if (containers > 0)
        parts << counted(containers, QStringLiteral("container"));
    if (images > 0)
        parts << counted(images, QStringLiteral("image"))
                     + (buildLayers > 0 ? QStringLiteral(" (and ") + counted(buildLayers, QStringLiteral("build layer")) + u')'
                                        : QString());
    if (volumes > 0)
        parts << counted(volumes, QStringLiteral("volume"));
    return parts.isEmpty() ? QStringLiteral("nothing") : parts.join(QStringLiteral(", "));
}

// A container the confirmation showed as up: only such a one is removed with force.
bool shownActive(const SGContainer& container)
{
    return container.state == QLatin1String("running") || container.state == QLatin1String("restarting")
           || container.state == QLatin1String("paused");
}

}  // namespace

void AppModel::deleteResources(const QString& label, const QList<SGContainer>& containers,
                               const QList<ImageUnit>& images, const QList<SGVolume>& volumes)
{
    if (isLoading_)
        return;
    RemovalRequest request;
    request.label = label;
    request.containers = containers;
    request.images = images;
    request.volumes = volumes;
    // What the confirmation counted: the images' own layers and the volumes' data.
    if (!images.isEmpty())
        request.freed.expected = classification().freedBy(images);
    for (const auto& volume : volumes)
        request.freed.expected = request.freed.expected + inventory_.volumeSizes.value(volume.name, 0);
    startSpinner();
    log(LogLevel::info, QLatin1Char('[') + label + QStringLiteral("] deleting ")
                            + resourceCounts(containers.size(), images.size(), volumes.size()));
    startRemoval(std::move(request));
}

void AppModel::startRemoval(RemovalRequest request)
{
    request.shown = inventory_;
    request.shownGraph = index_.imageGraph;
    startOperation([this, request = std::move(request)](std::stop_token stop) { runRemoval(request, stop); });
}

// Runs on the operation's thread; touches model state only through post().
void AppModel::runRemoval(const RemovalRequest& request, std::stop_token stop)
{
    const QString& label = request.label;
    const QString prefix = QLatin1Char('[') + label + QStringLiteral("] ");
    post([this, prefix] { setStatusText(prefix + QStringLiteral("checking Docker daemon…")); });

    const bool anything = request.pruneBuildCache || !request.containers.isEmpty() || !request.images.isEmpty()
                          || !request.volumes.isEmpty();
    bool daemonAnswered = true;
    if (anything) {
        try {
            client_.checkDaemon(removalLimits_.healthCheck, stop);
        } catch (const RunError&) {
            daemonAnswered = false;
        }
    }
    // A check ended by Stop is a cancellation, not a daemon that did not answer.
    if (!daemonAnswered && !stop.stop_requested()) {
        post([this, label, prefix, kind = request.kind] {
            if (kind == RemovalKind::safeClean)  // a run without a window ends in failure, not "nothing to do"
                emit cleanStep({CleanStep::Kind::buildCache, {},
                                QStringLiteral("Docker did not answer a health check, so nothing was removed")});
            stopSpinner();
            endOperation();
            setStatusText(label + QStringLiteral(": aborted — Docker daemon not responding. Nothing was removed."));
            log(LogLevel::error, prefix + QStringLiteral("aborted — Docker daemon not responding"));
            alerts().info(QStringLiteral("Docker not responding"),
                          QStringLiteral("The Docker daemon didn't respond to a health check, so nothing was "
                                         "deleted.\n\n")
                              + platform::platformWords().restartDockerHelp);
        });
        return;
    }

    // The engine's own total before and after, when images go: what they
    // free depends on the layers they share.
    FreedSpace freed = request.freed;
    const bool measure = !request.images.isEmpty() || request.kind == RemovalKind::safeClean;
    if (measure && daemonAnswered)
        if (const auto usage = readDiskUsage(client_, stop))
            freed.before = usage->totalBytes;

    RemovalOutcome outcome;
    if (!daemonAnswered) {
        outcome.stopped = true;
    } else {
        pruneStep(request, outcome, stop);
        if (removeContainerStep(request, outcome, stop) && removeImageStep(request, outcome, stop))
            removeVolumeStep(request, outcome, stop);
    }

    // Not after Stop or when the engine stopped answering: the ending must not wait on it.
    const bool somethingWent = !outcome.deletedImages.isEmpty() || request.kind == RemovalKind::safeClean;
    if (measure && freed.before && somethingWent && !outcome.stopped && !stop.stop_requested())
        if ((freed.usageAfter = readDiskUsage(client_, stop)))
            freed.after = freed.usageAfter->totalBytes;
    outcome.cancelled = stop.stop_requested();
    // docker also reports the layers it deleted as "Deleted:" lines: only listed images count.
    outcome.deletedImages.removeIf([&](const QString& id) { return !request.shownGraph.isListed(id); });
    const RemovedItems removed{outcome.containers, outcome.deletedImages, outcome.volumes};
    Inventory shown = request.shown;
    if (!removed.imageIDs.isEmpty())
        shown.engineImages = freed.usageAfter ? freed.usageAfter->images : EngineImageTotals{};
    post([this, request, outcome = std::move(outcome), freed, removed,
          after = inventoryAfterRemoval(std::move(shown), removed)]() mutable {
        applyLocalRemoval(std::move(after), removed);
        // The history explains the drop the next refresh will show.
        if (history_ && (outcome.pruned || !removed.containerIDs.isEmpty() || !removed.imageIDs.isEmpty()
                         || !removed.volumeNames.isEmpty()))
            history_->recordRemoval({History::engineName(), QDateTime::currentDateTimeUtc(),
                                     request.kind == RemovalKind::buildCache
                                         ? QStringLiteral("freed by clearing the build cache")
                                         : QStringLiteral("freed by ") + request.label,
                                     freed.measured().value_or(freed.expected.low)});
        stopSpinner();
        endOperation();
        switch (request.kind) {
        case RemovalKind::listed: return reportListedRemoval(request, outcome, freed);
        case RemovalKind::safeClean: return reportSafeClean(request, outcome, freed);
        case RemovalKind::buildCache: return reportBuildCacheClear(outcome);
        }
    });
}

void AppModel::pruneStep(const RemovalRequest& request, RemovalOutcome& outcome, std::stop_token stop)
{
    if (!request.pruneBuildCache || stop.stop_requested())
        return;
    const QString prefix = QLatin1Char('[') + request.label + QStringLiteral("] ");
    post([this, prefix] { setStatusText(prefix + QStringLiteral("clearing build cache…")); });
    const int shown = request.kind == RemovalKind::buildCache ? 140 : 120;
    // Every line is read to the end, even after Stop: a prune that exited 0 did its work.
    const auto onLine = [&](const QString& line) {
        outcome.pruneLines << line;
        if (!stop.stop_requested())
            post([this, text = QStringLiteral("build cache › ") + leadingCharacters(line, shown)] { setStatusText(text); });
        return true;
    };
    const StreamEnding ending = client_.pruneBuildCache(removalLimits_.prune, onLine, stop);
    outcome.pruned = ending.succeeded();
    if (outcome.pruned) {
        if (request.kind == RemovalKind::safeClean)
            post([this] { emit cleanStep({CleanStep::Kind::buildCache, {}, {}}); });
        return;
    }
    if (stop.stop_requested()) {
        outcome.stopped = true;
        return;
    }
    outcome.pruneFailure = ending.failure;
    outcome.errors << QStringLiteral("build cache: ") + ending.failure;
    if (request.kind == RemovalKind::safeClean)
        post([this, error = outcome.errors.last()] { emit cleanStep({CleanStep::Kind::buildCache, {}, error}); });
}

bool AppModel::removeContainerStep(const RemovalRequest& request, RemovalOutcome& outcome, std::stop_token stop)
{
    if (request.containers.isEmpty())
        return true;
    if (stop.stop_requested()) {
        outcome.stopped = true;
        return false;
    }
    const QString prefix = QLatin1Char('[') + request.label + QStringLiteral("] ");
    post([this, prefix, count = request.containers.size()] {
        setStatusText(prefix + QStringLiteral("removing ") + counted(count, QStringLiteral("container")) + QStringLiteral("…"));
    });
    // Force only for containers the confirmation named as running: one that
    // started since is refused by the engine and reported, not killed.
    QStringList running, resting;
    for (const auto& container : request.containers)
        (shownActive(container) ? running : resting) << container.id;
    for (const auto& [ids, force] : {std::pair{running, true}, std::pair{resting, false}}) {
        if (ids.isEmpty())
            continue;
        const auto result = client_.removeContainers(ids, force, stop);
        outcome.containers += result.removed;
        outcome.errors += result.errors;
        if (result.timedOut || stop.stop_requested()) {
            outcome.stopped = true;
            return false;
        }
    }
    return true;
}

// Images, one at a time, each with all its names; three time-outs in a row
// mean the daemon is wedged.
bool AppModel::removeImageStep(const RemovalRequest& request, RemovalOutcome& outcome, std::stop_token stop)
{
    const QString prefix = QLatin1Char('[') + request.label + QStringLiteral("] ");
    const bool reportSteps = request.kind == RemovalKind::safeClean;
    const qsizetype imageCount = request.images.size();
    for (qsizetype i = 0; i < imageCount; ++i) {
        const ImageUnit& image = request.images[i];
        if (stop.stop_requested()) {
            outcome.stopped = true;
            return false;
        }
        post([this, prefix, i, imageCount, name = image.name] {
            setStatusText(prefix + QStringLiteral("removing image %1/%2: %3…").arg(i + 1).arg(imageCount).arg(name));
        });
        try {
            for (const QString& id : client_.removeImage(image, removalLimits_.imageRemove, stop))
                outcome.deletedImages.insert(id);
            outcome.images.insert(image.id);
            outcome.consecutiveTimeouts = 0;
            if (reportSteps)
                post([this, id = image.id] { emit cleanStep({CleanStep::Kind::image, id, {}}); });
            continue;
        } catch (const CancelledError&) {
            outcome.stopped = true;
            return false;
        } catch (const RunError& error) {
            const bool timedOut = isTimeout(error);
            outcome.imageErrors << QStringLiteral("image ") + image.name + QStringLiteral(": ")
                                       + (timedOut ? QStringLiteral("timed out") : error.description());
            outcome.errors << outcome.imageErrors.last();
            if (reportSteps)
                post([this, id = image.id, line = outcome.errors.last()] {
                    emit cleanStep({CleanStep::Kind::image, id, line});
                });
            if (!timedOut) {
                outcome.consecutiveTimeouts = 0;
                continue;
            }
        }
        if (outcome.consecutiveTimeouts >= timeoutsBeforeAbort - 1) {
            log(LogLevel::error, prefix + QStringLiteral("aborting after %1 consecutive timeouts — daemon "
                                                         "likely wedged")
                                              .arg(timeoutsBeforeAbort));
            outcome.stopped = true;
            return false;
        }
        ++outcome.consecutiveTimeouts;
    }
    return true;
}

void AppModel::removeVolumeStep(const RemovalRequest& request, RemovalOutcome& outcome, std::stop_token stop)
{
    if (request.volumes.isEmpty())
        return;
    if (stop.stop_requested()) {
        outcome.stopped = true;
        return;
    }
    const QString prefix = QLatin1Char('[') + request.label + QStringLiteral("] ");
    post([this, prefix, count = request.volumes.size()] {
        setStatusText(prefix + QStringLiteral("removing ") + counted(count, QStringLiteral("volume")) + QStringLiteral("…"));
    });
    QStringList names;
    for (const auto& volume : request.volumes)
        names << volume.name;
    const auto result = client_.removeVolumes(names, stop);
    outcome.volumes = result.removed;
    outcome.errors += result.errors;
    outcome.volumeErrors = result.errors;
    if (result.timedOut || stop.stop_requested())
        outcome.stopped = true;
    if (request.kind != RemovalKind::safeClean)
        return;
    post([this, names, result] {
        for (const QString& name : names)
            if (result.removed.contains(name))
                emit cleanStep({CleanStep::Kind::volume, name, {}});
        for (const QString& error : result.errors)
            emit cleanStep({CleanStep::Kind::volume, {}, error});
    });
}

void AppModel::reportListedRemoval(const RemovalRequest& request, const RemovalOutcome& outcome,
                                   const FreedSpace& freed)
{
    const QString& label = request.label;
    const QString prefix = QLatin1Char('[') + label + QStringLiteral("] ");
    const qsizetype total = request.containers.size() + request.images.size() + request.volumes.size();
    if (!outcome.deletedImages.isEmpty())
        log(LogLevel::info, prefix + freed.text());
    const QString freedNote = outcome.deletedImages.isEmpty() ? QString() : QStringLiteral("  ·  ") + freed.text();
    const QString counts = QStringLiteral("%1/%2").arg(outcome.removed()).arg(total);
    QString summary = prefix + QStringLiteral("removed ") + counts;
    if (!outcome.errors.isEmpty())
        summary += QStringLiteral(", ") + counted(outcome.errors.size(), QStringLiteral("error"));
    if (outcome.stopped)
        summary += QStringLiteral(", aborted");
    log(outcome.errors.isEmpty() ? LogLevel::info : LogLevel::warn, summary);

    if (outcome.stopped && !outcome.cancelled) {
        setStatusText(label + QStringLiteral(": stopped early — removed ") + counts + QStringLiteral(". See Logs."));
        alerts().warning(QStringLiteral("Stopped early"),
                         QStringLiteral("%1: removed %2 of %3 before stopping (Docker became unresponsive).\n\n")
                                 .arg(label, QString::number(outcome.removed()), QString::number(total))
                             + firstErrors(outcome.errors));
    } else if (outcome.cancelled) {
        setStatusText(label + QStringLiteral(": cancelled — removed ") + counts + QStringLiteral("."));
    } else if (!outcome.errors.isEmpty()) {
        setStatusText(label + QStringLiteral(": completed with errors — removed ") + counts + QStringLiteral(", ")
                      + counted(outcome.errors.size(), QStringLiteral("error")) + QStringLiteral(". See Logs."));
        alerts().warning(QStringLiteral("Completed with errors"),
                         label + QStringLiteral(":\n\n") + firstErrors(outcome.errors)
                             + (freedNote.isEmpty() ? QString() : QStringLiteral("\n\n") + freed.text() + u'.'));
    } else {
        const qsizetype buildLayers = outcome.deletedImages.size() - outcome.images.size();
        setStatusText(label + QStringLiteral(": removed ")
                      + removedCounts(outcome.containers.size(), outcome.images.size(), buildLayers,
                                      outcome.volumes.size())
                      + freedNote
                      + QStringLiteral("  ·  data is stale — Refresh to reconcile."));
    }
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

}  // namespace stowage
