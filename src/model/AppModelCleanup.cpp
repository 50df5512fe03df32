// The clean-up commands behind the Overview, Images, Volumes and Build Cache
// buttons: each picks its candidates from the classification, explains when
// there is nothing safe to remove, confirms with a text listing exactly what
// goes, and then removes.

#include "model/AppModel.h"

#include "docker/CountText.h"
#include "docker/DockerCLI.h"
#include "docker/Graphemes.h"
#include "log/ActivityLog.h"

#include <algorithm>
#include <map>

namespace stowage {

namespace {

constexpr int maxListedVolumes = 40;
constexpr int maxShownErrors = 15;
constexpr int keptPruneLines = 12;

QString joinLines(const QStringList& lines) { return lines.join(QLatin1Char('\n')); }

QString lastLines(const QStringList& lines, int count)
{
    return joinLines(lines.mid(std::max<qsizetype>(0, lines.size() - count)));
}

}  // namespace

// --- Build cache ---

AppModel::PruneRun AppModel::streamPrune(int shown, std::stop_token stop)
{
    PruneRun run;
    const auto onLine = [&](const QString& line) {
        if (stop.stop_requested())
            return false;
        run.lines << line;
        post([this, text = QStringLiteral("build cache › ") + leadingCharacters(line, shown)] { setStatusText(text); });
        return true;
    };
    run.ending = client_.cli.stream({QStringLiteral("builder"), QStringLiteral("prune"), QStringLiteral("-af")},
                                    removalLimits_.prune, onLine, stop);
    return run;
}

void AppModel::cleanBuildCache()
{
    if (isLoading_)
        return;
    if (!alerts().confirm(QStringLiteral("Clear build cache"), QStringLiteral("Clear all Docker build cache?"), true)
        || !idleAfterConfirmation())
        return;
    startSpinner();
    setStatusText(QStringLiteral("Clearing build cache…"));
    log(LogLevel::info, QStringLiteral("Clearing build cache (builder prune -af)"));
    startOperation([this](std::stop_token stop) { runBuildCacheClear(stop); });
}

void AppModel::runBuildCacheClear(std::stop_token stop)
{
    const PruneRun run = streamPrune(140, stop);
    const bool cancelled = stop.stop_requested();
    post([this, run, cancelled] {
        stopSpinner();
        endOperation();
        if (cancelled) {
            setStatusText(QStringLiteral("Build cache clear cancelled."));
            log(LogLevel::warn, QStringLiteral("Build cache clear cancelled"));
            return;
        }
        if (run.ending.succeeded()) {
            log(LogLevel::info, QStringLiteral("Build cache cleared"));
            alerts().info(QStringLiteral("Done"),
                          QStringLiteral("Build cache cleared.\n\n") + lastLines(run.lines, keptPruneLines));
        } else {
            log(LogLevel::error, QStringLiteral("Build cache clear failed: ") + run.ending.failure);
            alerts().info(QStringLiteral("Build cache not cleared"),
                          QStringLiteral("docker builder prune failed: ") + run.ending.failure);
        }
        // Whatever the prune managed before it ended is read back.
        finishOperationAndReconcile();
    });
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
    const QList<ImageUnit> candidates = unusedImageUnits();
    if (candidates.isEmpty()) {
        alerts().info(QStringLiteral("Info"), QStringLiteral("No unused images found."));
        return;
    }
    QStringList lines;
    for (const auto& image : candidates)
        lines << QStringLiteral("  %1 (%2)").arg(image.name, image.size);
    const QString message = QStringLiteral("Remove ") + counted(candidates.size(), QStringLiteral("unused image"))
                            + QStringLiteral("?\n\n") + joinLines(lines)
                            + QStringLiteral("\n\n") + joinLines(imageRemovalNote(candidates));
    if (alerts().confirm(QStringLiteral("Remove unused images"), message, true) && idleAfterConfirmation())
        deleteResources(QStringLiteral("unused images"), {}, candidates, {});
}

void AppModel::cleanOrphanVolumes()
{
    QString caveat = QStringLiteral("Mounted by no container, and Docker's own dangling filter agrees.");
    const QList<SGVolume> labelled = volumesMatching(Classify::VolumeUsage::orphanLabeled);
    if (!labelled.isEmpty()) {
        std::map<QString, QList<SGVolume>> byProject;
        for (const auto& volume : labelled)
            byProject[volume.project].append(volume);
        QStringList lines;
        for (const auto& [project, volumes] : byProject)
            lines << QStringLiteral("  • %1: %2, %3")
                         .arg(project, counted(volumes.size(), QStringLiteral("volume")),
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
            lines << QStringLiteral("  • %1 (%2)").arg(volume.name, SizeFormat::humanSize(totalBytes({volume})));
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
    removeOrphanBucket(volumesMatching(Classify::VolumeUsage::orphanAnonymous), QStringLiteral("anonymous orphan volumes"),
                       QStringLiteral("Remove anonymous orphan volumes"),
                       QStringLiteral("These belong to no compose project and are mounted by no container."));
}

namespace {

// One line per volume with its size, the first 40 only, then "… and N more".
QString volumeListing(const QList<SGVolume>& volumes, const QHash<QString, qint64>& sizes)
{
    QStringList lines;
    for (const auto& volume : volumes.mid(0, maxListedVolumes))
        lines << QStringLiteral("  %1 (%2)").arg(volume.name, SizeFormat::humanSize(sizes.value(volume.name, 0)));
    QString listing = joinLines(lines);
    if (volumes.size() > maxListedVolumes)
        listing += QStringLiteral("\n  … and %1 more").arg(volumes.size() - maxListedVolumes);
    return listing;
}

}  // namespace

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
                            + caveat + QStringLiteral("\n\n") + volumeListing(volumes, inventory_.volumeSizes)
                            + QStringLiteral("\n\n⚠ Data will be permanently deleted!");
    if (alerts().confirm(title, message, true) && idleAfterConfirmation())
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

bool cleansVolumes(CleanKinds kinds)
{
    return kinds.testFlag(CleanKind::orphanVolumes) || kinds.testFlag(CleanKind::anonymousOrphanVolumes);
}

// "3 orphan volumes", "1 anonymous orphan volume".
QString volumeBucketCount(CleanKinds kinds, qsizetype count)
{
    return counted(count, kinds.testFlag(CleanKind::orphanVolumes) ? QStringLiteral("orphan volume")
                                                                   : QStringLiteral("anonymous orphan volume"));
}

// What Safe Clean All leaves of the orphans, and where the user removes them deliberately.
QString keptOrphansNote(qsizetype named, qsizetype labelled)
{
    QStringList kinds;
    if (named > 0)
        kinds << QStringLiteral("%1 named").arg(named);
    if (labelled > 0)
        kinds << QStringLiteral("%1 project").arg(labelled);
    if (kinds.isEmpty())
        return {};
    return QStringLiteral("\n\nLeft alone: %1 %2, which may hold data. Check them in the Volumes tab, "
                          "whose \"Remove All Orphans\" button removes them after naming each one.")
        .arg(kinds.join(QStringLiteral(" and ")),
             named + labelled == 1 ? QStringLiteral("orphan volume") : QStringLiteral("orphan volumes"));
}

// Names every volume the plan removes (the first 40), and the orphans it leaves.
QString safeCleanConfirmation(const CleanPlan& plan, const QHash<QString, qint64>& sizes)
{
    QString parts;
    if (plan.buildCache)
        parts += QStringLiteral("\n  • Build cache: ") + plan.buildCacheReclaimable;
    if (plan.kinds.testFlag(CleanKind::unusedImages)) {
        parts += QStringLiteral("\n  • ") + counted(plan.images.size(), QStringLiteral("unused image"));
        if (!plan.images.isEmpty())
            parts += QStringLiteral(" (frees ") + formatRange(plan.imageBytes) + u')';
        if (!plan.buildLayers.isEmpty())
            parts += QStringLiteral("\n  • ") + counted(plan.buildLayers.size(), QStringLiteral("untagged build layer"))
                     + QStringLiteral(" of those images");
    }
    if (cleansVolumes(plan.kinds)) {
        parts += QStringLiteral("\n  • ") + volumeBucketCount(plan.kinds, plan.volumes.size());
        if (!plan.volumes.isEmpty())
            parts += QStringLiteral(":\n") + volumeListing(plan.volumes, sizes);
        parts += keptOrphansNote(plan.keptNamedOrphans, plan.keptProjectOrphans);
    }
    return QStringLiteral("This will safely remove:\n") + parts
        + QStringLiteral("\n\nContainers and their resources will NOT be touched.\n\nContinue?");
}

// The "✓" lines of the ending notice, one per part of the plan.
QString safeCleanDone(const CleanPlan& plan, bool pruned, int images, qsizetype buildLayers, int volumes,
                      bool withErrors)
{
    QStringList lines;
    if (plan.buildCache)
        lines << (pruned ? QStringLiteral("✓ Build cache cleared") : QStringLiteral("✗ Build cache not cleared"));
    if (plan.kinds.testFlag(CleanKind::unusedImages))
        lines << QStringLiteral("✓ Removed ")
                     + counted(images, withErrors ? QStringLiteral("image") : QStringLiteral("unused image"))
                     + (buildLayers > 0 ? QStringLiteral(" (and ") + counted(buildLayers, QStringLiteral("build layer"))
                                              + u')'
                                        : QString());
    if (cleansVolumes(plan.kinds))
        lines << QStringLiteral("✓ Removed ")
                     + (withErrors ? counted(volumes, QStringLiteral("volume")) : volumeBucketCount(plan.kinds, volumes));
    return joinLines(lines);
}

}  // namespace

void AppModel::safeClean(CleanKinds kinds)
{
    const CleanPlan plan = cleanPlan(kinds);
    if (isLoading_)
        return;
    if (!alerts().confirm(QStringLiteral("Safe Clean All"), safeCleanConfirmation(plan, inventory_.volumeSizes), true) || !idleAfterConfirmation())
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
    startOperation([this, plan](std::stop_token stop) { runSafeClean(plan, stop); });
}

// Runs on the operation's thread; touches model state only through post().
void AppModel::runSafeClean(const CleanPlan& plan, std::stop_token stop)
{
    auto report = [this](CleanStep step) { post([this, step] { emit cleanStep(step); }); };
    FreedSpace freed{plan.reclaimable(), {}, {}, {}};
    if (const auto usage = readDiskUsage(client_, stop))
        freed.before = usage->totalBytes;
    int removedImages = 0;
    int removedVolumes = 0;
    // Every id docker reported deleted: the images, their build layers, and layer digests.
    QSet<QString> deleted;
    QStringList errors;
    bool pruned = false;
    if (plan.buildCache) {
        post([this] { setStatusText(QStringLiteral("Safe clean: build cache…")); });
        const PruneRun prune = streamPrune(120, stop);
        pruned = prune.ending.succeeded();
        if (!stop.stop_requested()) {
            if (!pruned)
                errors << QStringLiteral("build cache: ") + prune.ending.failure;
            report({CleanStep::Kind::buildCache, {}, pruned ? QString() : errors.last()});
        }
    }

    const QList<ImageUnit>& images = plan.images;
    for (qsizetype i = 0; i < images.size() && !stop.stop_requested(); ++i) {
        const ImageUnit& image = images[i];
        post([this, i, n = images.size()] { setStatusText(QStringLiteral("Safe clean: image %1/%2…").arg(i + 1).arg(n)); });
        try {
            for (const QString& id : client_.removeImage(image, removalLimits_.imageRemove, stop))
                deleted.insert(id);
            ++removedImages;
            report({CleanStep::Kind::image, image.id, {}});
        } catch (const CancelledError&) {
            break;
        } catch (const RunError& error) {
            errors << QStringLiteral("image ") + image.name + QStringLiteral(": ") + error.description();
            report({CleanStep::Kind::image, image.id, errors.last()});
        }
    }
    const QList<SGVolume>& volumes = plan.volumes;
    if (!volumes.isEmpty() && !stop.stop_requested()) {
        post([this, n = volumes.size()] { setStatusText(QStringLiteral("Safe clean: removing %1…").arg(counted(n, QStringLiteral("volume")))); });
        QStringList names;
        for (const auto& volume : volumes)
            names << volume.name;
        const auto result = client_.batchRemove(QStringLiteral("volume"), {QStringLiteral("volume"), QStringLiteral("rm")},
                                                names, stop);
        removedVolumes = static_cast<int>(result.removed.size());
        errors += result.errors;
        for (const QString& name : names)
            if (result.removed.contains(name))
                report({CleanStep::Kind::volume, name, {}});
        for (const QString& error : result.errors)
            report({CleanStep::Kind::volume, {}, error});
    }
    if (freed.before && !stop.stop_requested())
        if ((freed.usageAfter = readDiskUsage(client_, stop)))
            freed.after = freed.usageAfter->totalBytes;

    const bool cancelled = stop.stop_requested();
    post([this, plan, removedImages, deleted, removedVolumes, errors, cancelled, pruned, freed] {
        const QString label = safeCleanLabel(plan.kinds);
        stopSpinner();
        endOperation();
        if (cancelled) {
            setStatusText(QStringLiteral("Safe clean cancelled — removed %1, %2.")
                              .arg(counted(removedImages, QStringLiteral("image")),
                                   counted(removedVolumes, QStringLiteral("volume"))));
            log(LogLevel::warn, label + QStringLiteral(" cancelled"));
            setDataStale(true);
            return;
        }
        log(errors.isEmpty() ? LogLevel::info : LogLevel::warn,
            label + QStringLiteral(" done: %1, %2, %3; %4")
                        .arg(counted(removedImages, QStringLiteral("image")), counted(removedVolumes, QStringLiteral("volume")),
                             counted(errors.size(), QStringLiteral("error")), freed.text()));
        // docker's "Deleted:" lines also name layer digests: only images the listing knew count.
        const qsizetype buildLayers = index_.imageGraph.listedAmong(deleted) - removedImages;
        const QString done = safeCleanDone(plan, pruned, removedImages, buildLayers, removedVolumes, !errors.isEmpty())
                             + QStringLiteral("\n\n") + freed.text() + u'.';
        if (!errors.isEmpty())
            alerts().info(QStringLiteral("Completed with errors"),
                          done + QStringLiteral("\n\nErrors:\n") + joinLines(errors.mid(0, maxShownErrors)));
        else
            alerts().info(QStringLiteral("Done"), done);
        finishOperationAndReconcile();
    });
}

// --- Selections ---

void AppModel::removeSelectedImages(const QSet<QString>& ids)
{
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
            blocked << QStringLiteral("  %1 (%2)").arg(image.name, status.reason);
    }
    const QString blockedText =
        blocked.isEmpty() ? QString() : QStringLiteral("BLOCKED (in use):\n") + joinLines(blocked) + QStringLiteral("\n\n");
    if (allowed.isEmpty()) {
        alerts().info(QStringLiteral("Blocked"), blockedText + QStringLiteral("No safe images selected."));
        return;
    }
    QStringList lines;
    for (const auto& image : allowed)
        lines << QStringLiteral("  ") + image.name;
    if (alerts().confirm(QStringLiteral("Remove selected images"),
                         blockedText + QStringLiteral("Will remove:\n") + joinLines(lines) + QStringLiteral("\n\n")
                             + joinLines(imageRemovalNote(allowed)),
                         true)
        && idleAfterConfirmation())
        deleteResources(QStringLiteral("selected images"), {}, allowed, {});
}

void AppModel::removeSelectedVolumes(const QSet<QString>& names)
{
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
            blocked << QStringLiteral("  %1 — %2").arg(volume.name, usage.volumeStatusText(volume));
    }
    const QString blockedText =
        blocked.isEmpty() ? QString() : QStringLiteral("BLOCKED (in use):\n") + joinLines(blocked) + QStringLiteral("\n\n");
    if (allowed.isEmpty()) {
        alerts().info(QStringLiteral("Blocked"), blockedText + QStringLiteral("No orphan volumes selected."));
        return;
    }
    QStringList lines;
    for (const auto& volume : allowed)
        lines << QStringLiteral("  ") + volume.name;
    if (alerts().confirm(QStringLiteral("Remove selected volumes"),
                         blockedText + QStringLiteral("Will remove:\n") + joinLines(lines)
                             + QStringLiteral("\n\n⚠ Data will be permanently deleted!"),
                         true)
        && idleAfterConfirmation())
        deleteResources(QStringLiteral("selected volumes"), {}, {}, allowed);
}

}  // namespace stowage
