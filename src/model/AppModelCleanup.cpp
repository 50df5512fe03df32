// The clean-up commands behind the Overview, Images, Volumes and Build Cache
// buttons: each picks its candidates from the classification, explains when
// there is nothing safe to remove, confirms with a text listing exactly what
// goes, and then removes.

#include "model/AppModel.h"

#include "text/CountText.h"
#include "docker/DockerCLI.h"
#include "text/PrintableText.h"
#include "log/ActivityLog.h"
#include "model/ConfirmationText.h"

#include <algorithm>
#include <map>

namespace stowage {

namespace {

constexpr int maxShownErrors = 15;
constexpr int keptPruneLines = 12;

QString joinLines(const QStringList& lines) { return lines.join(QLatin1Char('\n')); }

QString lastLines(const QStringList& lines, int count)
{
    return joinLines(lines.mid(std::max<qsizetype>(0, lines.size() - count)));
}

}  // namespace

// --- Build cache ---

void AppModel::cleanBuildCache()
{
    if (!factsAreFresh())
        return readFreshFactsThen([this] { cleanBuildCache(); });
    if (isLoading_)
        return;
    if (!alerts().confirm({QStringLiteral("Clear build cache"), QStringLiteral("Clear all Docker build cache?"), {},
                           QStringLiteral("Clear Build Cache")})
        || !idleAfterConfirmation())
        return;
    startSpinner();
    setStatusText(QStringLiteral("Clearing build cache…"));
    log(LogLevel::info, QStringLiteral("Clearing build cache (builder prune -af)"));
    RemovalRequest request;
    request.kind = RemovalKind::buildCache;
    request.label = QStringLiteral("build cache");
    request.pruneBuildCache = true;
    startRemoval(std::move(request));
}

void AppModel::reportBuildCacheClear(const RemovalOutcome& outcome)
{
    if (outcome.pruned) {
        log(LogLevel::info, QStringLiteral("Build cache cleared"));
        alerts().info(QStringLiteral("Done"),
                      QStringLiteral("Build cache cleared.\n\n") + lastLines(outcome.pruneLines, keptPruneLines));
    } else if (outcome.cancelled) {
        // The prune may have removed part of the cache before it was stopped.
        setStatusText(QStringLiteral("Build cache clear cancelled."));
        log(LogLevel::warn, QStringLiteral("Build cache clear cancelled"));
        return;
    } else {
        log(LogLevel::error, QStringLiteral("Build cache clear failed: ") + outcome.pruneFailure);
        alerts().info(QStringLiteral("Build cache not cleared"),
                      QStringLiteral("docker builder prune failed: ") + outcome.pruneFailure);
    }
    // Whatever the prune managed is read back; not after Stop, which asked for nothing more to run.
    if (!outcome.cancelled)
        finishOperationAndReconcile();
}

// --- Unused images and orphan volumes ---

QStringList AppModel::imageRemovalNote(const QList<ImageUnit>& images) const
{
    if (images.isEmpty())
        return {};
    const UsageClassification usage = classification();
    QStringList lines{QStringLiteral("Frees %1 on disk (layers shared with images that stay are not counted).")
                          .arg(formatRange(usage.freedBy(images)))};
    if (const auto parents = usage.parentsGoingWith(images).size())
        lines << QStringLiteral("Also removed: ") + counted(parents, QStringLiteral("untagged build layer"))
                     + QStringLiteral(" they were built from.");
    return lines;
}

void AppModel::cleanUnusedImages()
{
    if (!factsAreFresh())
        return readFreshFactsThen([this] { cleanUnusedImages(); });
    const QList<ImageUnit> candidates = unusedImageUnits();
    if (candidates.isEmpty()) {
        alerts().info(QStringLiteral("Info"), QStringLiteral("No unused images found."));
        return;
    }
    QStringList lines;
    for (const auto& image : candidates)
        lines << imageLine(image);
    const QString message = QStringLiteral("Remove ") + counted(candidates.size(), QStringLiteral("unused image"))
                            + QStringLiteral("?\n\n") + joinLines(imageRemovalNote(candidates));
    if (alerts().confirm({QStringLiteral("Remove unused images"), message, joinLines(lines),
                          removeAction(candidates.size(), QStringLiteral("Image"))})
        && idleAfterConfirmation())
        deleteResources(QStringLiteral("unused images"), {}, candidates, {});
}

void AppModel::cleanOrphanVolumes()
{
    if (!factsAreFresh())
        return readFreshFactsThen([this] { cleanOrphanVolumes(); });
    QString caveat = QStringLiteral("Mounted by no container, and Docker's own dangling filter agrees.");
    const QList<SGVolume> labelled = volumesMatching(Classify::VolumeUsage::orphanLabeled);
    if (!labelled.isEmpty()) {
        std::map<QString, QList<SGVolume>> byProject;
        for (const auto& volume : labelled)
            byProject[volume.project].append(volume);
        QStringList lines;
        for (const auto& [project, volumes] : byProject)
            lines << QStringLiteral("  • %1: %2, %3")
                         .arg(printable(project), counted(volumes.size(), QStringLiteral("volume")),
                              SizeFormat::humanSize(totalBytes(volumes)));
        lines.sort();
        caveat += QStringLiteral("\n\n⚠ %1 of these carry a compose project label. No container mounts them any "
                                 "more, but this IS that project's data — a leftover from an older compose file, or "
                                 "a project whose containers were removed:\n")
                      .arg(labelled.size())
                  + joinLines(lines);
    }
    const QList<SGVolume> named = volumesMatching(Classify::VolumeUsage::orphanNamed);
    if (!named.isEmpty()) {
        QStringList lines;
        for (const auto& volume : named)
            lines << QStringLiteral("  • %1 (%2)").arg(printable(volume.name), SizeFormat::humanSize(totalBytes({volume})));
        caveat += QStringLiteral("\n\n⚠ %1 of these have a name but no project label. Docker did not make up "
                                 "these names: someone chose them, and a named volume often holds data meant to "
                                 "outlive its containers (a database, uploads):\n")
                      .arg(named.size())
                  + joinLines(lines);
    }
    removeOrphanBucket(orphanVolumes(), QStringLiteral("orphan volumes"), QStringLiteral("Remove orphan volumes"),
                       caveat);
}

void AppModel::cleanAnonymousOrphanVolumes()
{
    if (!factsAreFresh())
        return readFreshFactsThen([this] { cleanAnonymousOrphanVolumes(); });
    removeOrphanBucket(volumesMatching(Classify::VolumeUsage::orphanAnonymous), QStringLiteral("anonymous orphan volumes"),
                       QStringLiteral("Remove anonymous orphan volumes"),
                       QStringLiteral("These belong to no compose project and are mounted by no container."));
}

QSet<QString> AppModel::anonymousVolumeNames() const
{
    QSet<QString> names;
    for (const SGVolume& volume : volumesMatching(Classify::VolumeUsage::orphanAnonymous))
        names.insert(volume.name);
    return names;
}

void AppModel::removeOrphanBucket(const QList<SGVolume>& volumes, const QString& label, const QString& title,
                                  const QString& caveat)
{
    if (!inventory_.usageDataComplete) {
        alerts().info(QStringLiteral("Blocked"),
                      QStringLiteral("Volume usage could not be fully verified, so nothing is being called an "
                                     "orphan.\n\n")
                          + inventory_.usageDataProblem + QStringLiteral("\n\nPress Refresh and try again."));
        return;
    }
    if (volumes.isEmpty()) {
        alerts().info(QStringLiteral("Info"), QStringLiteral("No matching orphan volumes found."));
        return;
    }
    const QString message = QStringLiteral("Remove %1 (%2)?\n\n")
                                .arg(counted(volumes.size(), QStringLiteral("volume")),
                                     SizeFormat::humanSize(totalBytes(volumes)))
                            + caveat + QStringLiteral("\n\n⚠ Data will be permanently deleted!");
    const QString listing = orphanVolumeListing(volumes, inventory_.volumeSizes, anonymousVolumeNames());
    if (alerts().confirm({title, message, listing, removeAction(volumes.size(), QStringLiteral("Volume"))})
        && idleAfterConfirmation())
        deleteResources(label, {}, {}, volumes);
}

// --- Safe Clean All ---

namespace {

// The operation's name in the log: "Safe Clean All", or the parts it was restricted to.
QString safeCleanLabel(CleanKinds kinds)
{
    if (kinds == safeCleanAllKinds)
        return QStringLiteral("Safe Clean All");
    QStringList parts;
    if (kinds.testFlag(CleanKind::buildCache))
        parts << QStringLiteral("build cache");
    if (kinds.testFlag(CleanKind::unusedImages))
        parts << QStringLiteral("unused images");
    if (kinds.testFlag(CleanKind::orphanVolumes))
        parts << QStringLiteral("orphan volumes");
    else if (kinds.testFlag(CleanKind::anonymousOrphanVolumes))
        parts << QStringLiteral("anonymous orphan volumes");
    return QStringLiteral("Safe clean (%1)").arg(parts.join(QStringLiteral(", ")));
}

// One "✗" line per failure, with docker's reason; past the first few, how many more.
QStringList failureLines(const QStringList& errors)
{
    QStringList lines;
    for (const QString& error : errors.mid(0, maxShownErrors))
        lines << QStringLiteral("✗ ") + error;
    if (errors.size() > maxShownErrors)
        lines << QStringLiteral("✗ … and %1 more (see Logs)").arg(errors.size() - maxShownErrors);
    return lines;
}

}  // namespace

// The ending notice's lines, one per part of the plan: "✓" for what went, "✗"
// with docker's reason for what failed. A part that removed nothing and failed
// gets no tick.
QString AppModel::safeCleanDone(const CleanPlan& plan, const RemovalOutcome& outcome)
{
    const bool withErrors = !outcome.errors.isEmpty() || outcome.stopped;
    const qsizetype images = outcome.images.size();
    const qsizetype volumes = outcome.volumes.size();
    const qsizetype buildLayers = outcome.deletedImages.size() - images;
    QStringList lines;
    if (plan.buildCache)
        lines << (outcome.pruned ? QStringLiteral("✓ Build cache cleared")
                  : outcome.pruneFailure.isEmpty()
                      ? QStringLiteral("✗ Build cache not cleared")
                      : QStringLiteral("✗ Build cache not cleared: ") + outcome.pruneFailure);
    if (plan.kinds.testFlag(CleanKind::unusedImages)) {
        if (images > 0 || outcome.imageErrors.isEmpty())
            lines << QStringLiteral("✓ Removed ")
                         + counted(images, withErrors ? QStringLiteral("image") : QStringLiteral("unused image"))
                         + (buildLayers > 0
                                ? QStringLiteral(" (and ") + counted(buildLayers, QStringLiteral("build layer")) + u')'
                                : QString());
        lines << failureLines(outcome.imageErrors);
    }
    if (cleansVolumes(plan.kinds)) {
        if (volumes > 0 || outcome.volumeErrors.isEmpty())
            lines << QStringLiteral("✓ Removed ")
                         + (withErrors ? counted(volumes, QStringLiteral("volume"))
                                       : volumeBucketCount(plan.kinds, int(volumes)));
        lines << failureLines(outcome.volumeErrors);
    }
    return joinLines(lines);
}

void AppModel::safeClean(CleanKinds kinds)
{
    if (!factsAreFresh())
        return readFreshFactsThen([this, kinds] { safeClean(kinds); });
    const CleanPlan plan = cleanPlan(kinds);
    if (isLoading_)
        return;
    if (!alerts().confirm(safeCleanConfirmation(plan, inventory_.volumeSizes, anonymousVolumeNames()))
        || !idleAfterConfirmation())
        return;
    startSpinner();
    QStringList parts;
    if (plan.buildCache)
        parts << QStringLiteral("build cache");
    if (kinds.testFlag(CleanKind::unusedImages))
        parts << counted(plan.images.size(), QStringLiteral("image"));
    if (cleansVolumes(kinds))
        parts << counted(plan.volumes.size(), QStringLiteral("volume"));
    log(LogLevel::info, safeCleanLabel(kinds) + QStringLiteral(": ") + parts.join(QStringLiteral(" + ")));
    RemovalRequest request;
    request.kind = RemovalKind::safeClean;
    request.label = safeCleanLabel(kinds);
    request.images = plan.images;
    request.volumes = plan.volumes;
    request.pruneBuildCache = plan.buildCache;
    request.freed.expected = plan.reclaimable();
    request.plan = plan;
    startRemoval(std::move(request));
}

void AppModel::reportSafeClean(const RemovalRequest& request, const RemovalOutcome& outcome, const FreedSpace& freed)
{
    const CleanPlan& plan = request.plan;
    const QString& label = request.label;
    const int removedImages = int(outcome.images.size());
    const int removedVolumes = int(outcome.volumes.size());
    if (outcome.cancelled) {
        setStatusText(QStringLiteral("Safe clean cancelled — %1removed %2, %3.")
                          .arg(outcome.pruned ? QStringLiteral("build cache cleared, ") : QString(),
                               counted(removedImages, QStringLiteral("image")),
                               counted(removedVolumes, QStringLiteral("volume"))));
        log(LogLevel::warn, label + QStringLiteral(" cancelled"));
        return;
    }
    log(outcome.errors.isEmpty() && !outcome.stopped ? LogLevel::info : LogLevel::warn,
        label + QStringLiteral(" done: %1, %2, %3; %4")
                    .arg(counted(removedImages, QStringLiteral("image")), counted(removedVolumes, QStringLiteral("volume")),
                         counted(outcome.errors.size(), QStringLiteral("error")), freed.text()));
    const QString done = safeCleanDone(plan, outcome) + QStringLiteral("\n\n") + freed.text() + u'.';
    if (outcome.stopped)
        alerts().warning(QStringLiteral("Stopped early"),
                         done + QStringLiteral("\n\nDocker became unresponsive, so the rest was not tried."));
    else if (!outcome.errors.isEmpty())
        alerts().warning(QStringLiteral("Completed with errors"), done);
    else
        alerts().info(QStringLiteral("Done"), done);
    finishOperationAndReconcile();
}

// --- Selections ---

void AppModel::removeSelectedImages(const QSet<QString>& ids)
{
    if (!factsAreFresh())
        return readFreshFactsThen([this, ids] { removeSelectedImages(ids); });
    QList<SGImage> selected;
    for (const auto& image : inventory_.images)
        if (ids.contains(image.id))
            selected << image;
    if (selected.isEmpty()) {
        alerts().info(QStringLiteral("Info"), QStringLiteral("Select images to remove first."));
        return;
    }
    QHash<QString, SGImage> rowOf;
    for (const auto& image : selected)
        rowOf.insert(image.id, image);
    const UsageClassification usage = classification();
    QStringList blocked;
    QList<ImageUnit> allowed;
    // Unknown usage, a container, or a build layer (it goes only with the image built on it).
    for (const auto& image : unitsOf(selected)) {
        const ImageStatus status = usage.imageStatus(rowOf.value(image.id));
        if (status.safe)
            allowed << image;
        else
            blocked << QStringLiteral("  %1 (%2)").arg(shownImageName(image), status.reason);
    }
    const QString blockedText =
        blocked.isEmpty() ? QString() : QStringLiteral("BLOCKED (in use):\n") + joinLines(blocked) + QStringLiteral("\n\n");
    if (allowed.isEmpty()) {
        alerts().info(QStringLiteral("Blocked"), blockedText + QStringLiteral("No safe images selected."));
        return;
    }
    QStringList lines{QStringLiteral("Will remove:")};
    for (const auto& image : allowed)
        lines << imageLine(image);
    if (alerts().confirm({QStringLiteral("Remove selected images"), blockedText + joinLines(imageRemovalNote(allowed)),
                          joinLines(lines), removeAction(allowed.size(), QStringLiteral("Image"))})
        && idleAfterConfirmation())
        deleteResources(QStringLiteral("selected images"), {}, allowed, {});
}

void AppModel::removeSelectedVolumes(const QSet<QString>& names)
{
    if (!factsAreFresh())
        return readFreshFactsThen([this, names] { removeSelectedVolumes(names); });
    QList<SGVolume> selected;
    for (const auto& volume : inventory_.volumes)
        if (names.contains(volume.name))
            selected << volume;
    if (selected.isEmpty()) {
        alerts().info(QStringLiteral("Info"), QStringLiteral("Select volumes to remove first."));
        return;
    }
    const UsageClassification usage = classification();
    QStringList blocked;
    QList<SGVolume> allowed;
    for (const auto& volume : selected) {
        const auto verdict = usage.volumeUsage(volume);
        if (Classify::isOrphan(verdict))
            allowed << volume;
        else
            blocked << QStringLiteral("  %1 — %2").arg(printable(volume.name), usage.volumeStatusText(volume));
    }
    const QString blockedText =
        blocked.isEmpty() ? QString() : QStringLiteral("BLOCKED (in use):\n") + joinLines(blocked) + QStringLiteral("\n\n");
    if (allowed.isEmpty()) {
        alerts().info(QStringLiteral("Blocked"), blockedText + QStringLiteral("No orphan volumes selected."));
        return;
    }
    const QString listing = QStringLiteral("Will remove:\n")
                            + orphanVolumeListing(allowed, inventory_.volumeSizes, {});
    if (alerts().confirm({QStringLiteral("Remove selected volumes"),
                          blockedText + QStringLiteral("⚠ Data will be permanently deleted!"), listing,
                          removeAction(allowed.size(), QStringLiteral("Volume"))})
        && idleAfterConfirmation())
        deleteResources(QStringLiteral("selected volumes"), {}, {}, allowed);
}

}  // namespace stowage
