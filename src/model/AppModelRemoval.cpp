// The removal engine: every listed container, image and volume removal goes
// through deleteResources. It checks that the daemon answers, removes
// containers, then images, then volumes, stops on Stop or when Docker stops
// answering, applies what was removed to the shown inventory and reports.

#include "model/AppModel.h"

#include "docker/CountText.h"
#include "docker/DockerCLI.h"
#include "log/ActivityLog.h"
#include "platform/PlatformWords.h"
#include "model/FreedSpace.h"

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

struct RemovalProgress {
    QSet<QString> containers;
    QSet<QString> images;
    // Every image id the engine reported deleted: the images and the build layers that went with them.
    QSet<QString> deletedImages;
    QSet<QString> volumes;
    QStringList errors;
    int consecutiveTimeouts = 0;
    bool stopped = false;

    qsizetype removed() const { return containers.size() + images.size() + volumes.size(); }
    qsizetype buildLayers() const { return deletedImages.size() - images.size(); }
};

// ", and 2 build layers with them" after the image count, when any went.
QString buildLayersNote(qsizetype count)
{
    if (count <= 0)
        return {};
    return QStringLiteral(" (and ") + counted(count, QStringLiteral("build layer")) + QStringLiteral(" with them)");
}

}  // namespace

void AppModel::deleteResources(const QString& label, const QList<SGContainer>& containers,
                               const QList<ImageUnit>& images, const QList<SGVolume>& volumes)
{
    if (isLoading_)
        return;
    startSpinner();
    // One-pass arg(): a label (a project name) may itself contain "%2".
    log(LogLevel::info, QLatin1Char('[') + label + QStringLiteral("] deleting ")
                            + resourceCounts(containers.size(), images.size(), volumes.size()));
    RemovalRequest request{label, containers, images, volumes, {}, inventory_, index_.imageGraph};
    if (!images.isEmpty())
        request.freed.expected = classification().freedBy(images);
    startOperation([this, request](std::stop_token stop) { runRemoval(request, stop); });
}

// Runs on the operation's thread; touches model state only through post().
void AppModel::runRemoval(const RemovalRequest& request, std::stop_token stop)
{
    const QString& label = request.label;
    const QString prefix = QLatin1Char('[') + label + QStringLiteral("] ");
    const qsizetype total = request.containers.size() + request.images.size() + request.volumes.size();
    post([this, prefix] { setStatusText(prefix + QStringLiteral("checking Docker daemon…")); });

    RemovalProgress progress;
    bool daemonAnswered = true;
    if (total >= 1) {
        try {
            client_.cli.run({QStringLiteral("version"), QStringLiteral("--format"), QStringLiteral("{{.Server.Version}}")},
                            removalLimits_.healthCheck, stop);
        } catch (const RunError&) {
            daemonAnswered = false;
        }
    }
    // A check ended by Stop is a cancellation, not a daemon that did not answer.
    if (!daemonAnswered && !stop.stop_requested()) {
        post([this, label, prefix] {
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
    const bool measure = !request.images.isEmpty();
    if (measure && daemonAnswered)
        if (const auto usage = readDiskUsage(client_, stop))
            freed.before = usage->totalBytes;

    auto finish = [&] {
        // Not after Stop or when the engine stopped answering: the ending must not wait on it.
        if (measure && freed.before && !progress.deletedImages.isEmpty() && !progress.stopped)
            if ((freed.usageAfter = readDiskUsage(client_, stop)))
                freed.after = freed.usageAfter->totalBytes;
        const bool cancelled = stop.stop_requested();
        // docker also reports the layers it deleted as "Deleted:" lines: only listed images count.
        progress.deletedImages.removeIf([&](const QString& id) { return !request.shownGraph.isListed(id); });
        const RemovedItems removed{progress.containers, progress.deletedImages, progress.volumes};
        Inventory shown = request.shown;
        if (!removed.imageIDs.isEmpty())
            shown.engineImages = freed.usageAfter ? freed.usageAfter->images : EngineImageTotals{};
        post([this, label, prefix, total, progress = std::move(progress), cancelled, freed, removed,
              after = inventoryAfterRemoval(std::move(shown), removed)]() mutable {
            if (!progress.deletedImages.isEmpty())
                log(LogLevel::info, prefix + freed.text());
            const QString freedNote =
                progress.deletedImages.isEmpty() ? QString() : QStringLiteral("  ·  ") + freed.text();
            applyLocalRemoval(std::move(after), removed);
            stopSpinner();
            endOperation();
            const QString counts = QStringLiteral("%1/%2").arg(progress.removed()).arg(total);
            QString summary = prefix + QStringLiteral("removed ") + counts;
            if (!progress.errors.isEmpty())
                summary += QStringLiteral(", ") + counted(progress.errors.size(), QStringLiteral("error"));
            if (progress.stopped)
                summary += QStringLiteral(", aborted");
            log(progress.errors.isEmpty() ? LogLevel::info : LogLevel::warn, summary);

            if (progress.stopped && !cancelled) {
                setStatusText(label + QStringLiteral(": stopped early — removed ") + counts + QStringLiteral(". See Logs."));
                alerts().info(QStringLiteral("Stopped early"),
                              QStringLiteral("%1: removed %2 of %3 before stopping (Docker became unresponsive).\n\n")
                                      .arg(label, QString::number(progress.removed()), QString::number(total))
                                  + firstErrors(progress.errors));
            } else if (cancelled) {
                setStatusText(label + QStringLiteral(": cancelled — removed ") + counts + QStringLiteral("."));
            } else if (!progress.errors.isEmpty()) {
                setStatusText(label + QStringLiteral(": completed with errors — removed ") + counts + QStringLiteral(", ")
                              + counted(progress.errors.size(), QStringLiteral("error")) + QStringLiteral(". See Logs."));
                alerts().info(QStringLiteral("Completed with errors"),
                              label + QStringLiteral(":\n\n") + firstErrors(progress.errors)
                                  + (freedNote.isEmpty() ? QString() : QStringLiteral("\n\n") + freed.text() + u'.'));
            } else {
                setStatusText(label + QStringLiteral(": removed ")
                              + counted(progress.containers.size(), QStringLiteral("container")) + QStringLiteral(", ")
                              + counted(progress.images.size(), QStringLiteral("image"))
                              + buildLayersNote(progress.buildLayers()) + QStringLiteral(", ")
                              + counted(progress.volumes.size(), QStringLiteral("volume")) + freedNote
                              + QStringLiteral("  ·  data is stale — Refresh to reconcile."));
            }
        });
    };

    if (!daemonAnswered) {
        progress.stopped = true;
        return finish();
    }

    // Containers, in batches.
    if (!request.containers.isEmpty()) {
        if (stop.stop_requested()) {
            progress.stopped = true;
            return finish();
        }
        post([this, prefix, count = request.containers.size()] {
            setStatusText(prefix + QStringLiteral("removing ") + counted(count, QStringLiteral("container")) + QStringLiteral("…"));
        });
        QStringList ids;
        for (const auto& container : request.containers)
            ids << container.id;
        const auto result = client_.batchRemove(QStringLiteral("container"), {QStringLiteral("rm"), QStringLiteral("-f")},
                                                ids, stop);
        progress.containers = result.removed;
        progress.errors += result.errors;
        if (result.timedOut) {
            progress.stopped = true;
            return finish();
        }
    }

    // Images, one at a time, each with all its names; three time-outs in a row
    // mean the daemon is wedged.
    const qsizetype imageCount = request.images.size();
    for (qsizetype i = 0; i < imageCount; ++i) {
        const ImageUnit& image = request.images[i];
        if (stop.stop_requested()) {
            progress.stopped = true;
            return finish();
        }
        post([this, prefix, i, imageCount, name = image.name] {
            setStatusText(prefix + QStringLiteral("removing image %1/%2: %3…").arg(i + 1).arg(imageCount).arg(name));
        });
        try {
            for (const QString& id : client_.removeImage(image, removalLimits_.imageRemove, stop))
                progress.deletedImages.insert(id);
            progress.images.insert(image.id);
            progress.consecutiveTimeouts = 0;
        } catch (const CancelledError&) {
            break;
        } catch (const RunError& error) {
            if (isTimeout(error)) {
                progress.errors << QStringLiteral("image ") + image.name + QStringLiteral(": timed out");
                if (progress.consecutiveTimeouts >= timeoutsBeforeAbort - 1) {
                    log(LogLevel::error, prefix + QStringLiteral("aborting after %1 consecutive timeouts — daemon "
                                                                 "likely wedged")
                                                      .arg(timeoutsBeforeAbort));
                    progress.stopped = true;
                    return finish();
                }
                ++progress.consecutiveTimeouts;
            } else {
                progress.errors << QStringLiteral("image ") + image.name + QStringLiteral(": ") + error.description();
                progress.consecutiveTimeouts = 0;
            }
        }
    }

    // Volumes, in batches.
    if (!request.volumes.isEmpty()) {
        if (stop.stop_requested()) {
            progress.stopped = true;
            return finish();
        }
        post([this, prefix, count = request.volumes.size()] {
            setStatusText(prefix + QStringLiteral("removing ") + counted(count, QStringLiteral("volume")) + QStringLiteral("…"));
        });
        QStringList names;
        for (const auto& volume : request.volumes)
            names << volume.name;
        const auto result = client_.batchRemove(QStringLiteral("volume"), {QStringLiteral("volume"), QStringLiteral("rm")},
                                                names, stop);
        progress.volumes = result.removed;
        progress.errors += result.errors;
        if (result.timedOut)
            progress.stopped = true;
    }
    finish();
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
    index_ = std::move(after.index);
    emit indexChanged();
    setDataStale(true);
    saveCache();
}

}  // namespace stowage
