// The clean-up commands behind the Overview, Images, Volumes and Build Cache
// buttons, and the removal of listed items they and the teardown end in.

#include "model/removal/Removals.h"

#include "model/AppModel.h"

#include "docker/DockerRunner.h"
#include "log/ActivityLog.h"
#include "model/removal/ConfirmationText.h"
#include "model/removal/RemovalEnding.h"
#include "text/CountText.h"
#include "text/PrintableText.h"

#include <algorithm>
#include <map>

namespace stowage {

namespace {

// "2 containers, 1 image, 0 volumes".
QString resourceCounts(qsizetype containers, qsizetype images, qsizetype volumes)
{
    return counted(containers, QStringLiteral("container")) + QStringLiteral(", ")
           + counted(images, QStringLiteral("image")) + QStringLiteral(", ")
           + counted(volumes, QStringLiteral("volume"));
}

// The selected items that stay, one a line with why, above the confirmation's own text.
QString blockedSelection(const QStringList& blocked)
{
    return blocked.isEmpty() ? QString()
                             : QStringLiteral("BLOCKED (in use):\n") + joinLines(blocked) + QStringLiteral("\n\n");
}

}  // namespace

Removals::Removals(AppModel& model, RemovalRunner::Limits limits) : model_(model), runner_(model, limits) {}

QList<ImageUnit> Removals::unitsOf(const QList<SGImage>& rows) const
{
    return imageUnits(rows, model_.inventory_.images);
}

void Removals::deleteResources(const QString& label, const QList<SGContainer>& containers,
                               const QList<ImageUnit>& images, const QList<SGVolume>& volumes)
{
    if (model_.isLoading_)
        return;
    RemovalPlan plan;
    plan.label = label;
    plan.containers = containers;
    plan.images = images;
    plan.volumes = volumes;
    // What the confirmation counted: the images' own layers and the volumes' data.
    if (!images.isEmpty())
        plan.expected = model_.classification().freedBy(images);
    for (const auto& volume : volumes)
        plan.expected = plan.expected + model_.inventory_.volumeSizes.value(volume.name, 0);
    model_.log(LogLevel::info, QLatin1Char('[') + label + QStringLiteral("] deleting ")
                                   + resourceCounts(containers.size(), images.size(), volumes.size()));
    runner_.start(std::move(plan));
}

void Removals::cleanBuildCache()
{
    if (!model_.factsAreFresh())
        return model_.readFreshFactsThen([this] { cleanBuildCache(); });
    if (model_.isLoading_)
        return;
    if (!model_.alerts().confirm({QStringLiteral("Clear build cache"),
                                  QStringLiteral("Clear all Docker build cache?"),
                                  {},
                                  QStringLiteral("Clear Build Cache")})
        || !model_.idleAfterConfirmation())
        return;
    model_.setStatusText(QStringLiteral("Clearing build cache…"));
    model_.log(LogLevel::info, QStringLiteral("Clearing build cache (builder prune -af)"));
    RemovalPlan plan;
    plan.kind = RemovalPlan::Kind::buildCache;
    plan.label = QStringLiteral("build cache");
    plan.pruneBuildCache = true;
    runner_.start(std::move(plan));
}

QStringList Removals::imageRemovalNote(const QList<ImageUnit>& images) const
{
    if (images.isEmpty())
        return {};
    const UsageClassification usage = model_.classification();
    QStringList lines{QStringLiteral("Frees %1 on disk (layers shared with images that stay are not counted).")
                          .arg(formatRange(usage.freedBy(images)))};
    if (const auto parents = usage.parentsGoingWith(images).size())
        lines << QStringLiteral("Also removed: ") + counted(parents, QStringLiteral("untagged build layer"))
                     + QStringLiteral(" they were built from.");
    return lines;
}

void Removals::cleanUnusedImages()
{
    if (!model_.factsAreFresh())
        return model_.readFreshFactsThen([this] { cleanUnusedImages(); });
    const QList<ImageUnit> candidates = model_.classification().unusedImageUnits();
    if (candidates.isEmpty()) {
        model_.alerts().info(QStringLiteral("Info"), QStringLiteral("No unused images found."));
        return;
    }
    QStringList lines;
    for (const auto& image : candidates)
        lines << imageLine(image);
    const QString message = QStringLiteral("Remove ") + counted(candidates.size(), QStringLiteral("unused image"))
                            + QStringLiteral("?\n\n") + joinLines(imageRemovalNote(candidates));
    if (model_.alerts().confirm({QStringLiteral("Remove unused images"), message, joinLines(lines),
                          removeAction(candidates.size(), QStringLiteral("Image"))})
        && model_.idleAfterConfirmation())
        deleteResources(QStringLiteral("unused images"), {}, candidates, {});
}

void Removals::cleanOrphanVolumes()
{
    if (!model_.factsAreFresh())
        return model_.readFreshFactsThen([this] { cleanOrphanVolumes(); });
    QString caveat = QStringLiteral("Mounted by no container, and Docker's own dangling filter agrees.");
    const QList<SGVolume> labelled = model_.classification().volumesMatching(Classify::VolumeUsage::orphanLabeled);
    if (!labelled.isEmpty()) {
        std::map<QString, QList<SGVolume>> byProject;
        for (const auto& volume : labelled)
            byProject[volume.project].append(volume);
        QStringList lines;
        for (const auto& [project, volumes] : byProject)
            lines << QStringLiteral("  • %1: %2, %3")
                         .arg(printable(project), counted(volumes.size(), QStringLiteral("volume")),
                              SizeFormat::humanSize(model_.classification().totalBytes(volumes)));
        lines.sort();
        caveat += QStringLiteral("\n\n⚠ %1 of these carry a compose project label. No container mounts them any "
                                 "more, but this IS that project's data — a leftover from an older compose file, or "
                                 "a project whose containers were removed:\n")
                      .arg(labelled.size())
                  + joinLines(lines);
    }
    const QList<SGVolume> named = model_.classification().volumesMatching(Classify::VolumeUsage::orphanNamed);
    if (!named.isEmpty()) {
        QStringList lines;
        for (const auto& volume : named)
            lines << QStringLiteral("  • %1 (%2)")
                         .arg(printable(volume.name),
                              SizeFormat::humanSize(model_.classification().totalBytes({volume})));
        caveat += QStringLiteral("\n\n⚠ %1 of these have a name but no project label. Docker did not make up "
                                 "these names: someone chose them, and a named volume often holds data meant to "
                                 "outlive its containers (a database, uploads):\n")
                      .arg(named.size())
                  + joinLines(lines);
    }
    removeOrphanBucket(model_.classification().orphanVolumes(), QStringLiteral("orphan volumes"),
                       QStringLiteral("Remove orphan volumes"), caveat);
}

void Removals::cleanAnonymousOrphanVolumes()
{
    if (!model_.factsAreFresh())
        return model_.readFreshFactsThen([this] { cleanAnonymousOrphanVolumes(); });
    removeOrphanBucket(model_.classification().volumesMatching(Classify::VolumeUsage::orphanAnonymous),
                       QStringLiteral("anonymous orphan volumes"), QStringLiteral("Remove anonymous orphan volumes"),
                       QStringLiteral("These belong to no compose project and are mounted by no container."));
}

QSet<QString> Removals::anonymousVolumeNames() const
{
    QSet<QString> names;
    for (const SGVolume& volume : model_.classification().volumesMatching(Classify::VolumeUsage::orphanAnonymous))
        names.insert(volume.name);
    return names;
}

void Removals::removeOrphanBucket(const QList<SGVolume>& volumes, const QString& label, const QString& title,
                                  const QString& caveat)
{
    if (!model_.inventory_.usageDataComplete) {
        model_.alerts().info(QStringLiteral("Blocked"),
                      QStringLiteral("Volume usage could not be fully verified, so nothing is being called an "
                                     "orphan.\n\n")
                          + model_.inventory_.usageDataProblem + QStringLiteral("\n\nPress Refresh and try again."));
        return;
    }
    if (volumes.isEmpty()) {
        model_.alerts().info(QStringLiteral("Info"), QStringLiteral("No matching orphan volumes found."));
        return;
    }
    const QString message = QStringLiteral("Remove %1 (%2)?\n\n")
                                .arg(counted(volumes.size(), QStringLiteral("volume")),
                                     SizeFormat::humanSize(model_.classification().totalBytes(volumes)))
                            + caveat + QStringLiteral("\n\n⚠ Data will be permanently deleted!");
    const QString listing = orphanVolumeListing(volumes, model_.inventory_.volumeSizes, anonymousVolumeNames());
    if (model_.alerts().confirm({title, message, listing, removeAction(volumes.size(), QStringLiteral("Volume"))})
        && model_.idleAfterConfirmation())
        deleteResources(label, {}, {}, volumes);
}

void Removals::safeClean(CleanKinds kinds)
{
    if (!model_.factsAreFresh())
        return model_.readFreshFactsThen([this, kinds] { safeClean(kinds); });
    const CleanPlan plan = model_.classification().cleanPlan(kinds);
    if (model_.isLoading_)
        return;
    if (!model_.alerts().confirm(safeCleanConfirmation(plan, model_.inventory_.volumeSizes, anonymousVolumeNames()))
        || !model_.idleAfterConfirmation())
        return;
    QStringList parts;
    if (plan.buildCache)
        parts << QStringLiteral("build cache");
    if (kinds.testFlag(CleanKind::unusedImages))
        parts << counted(plan.images.size(), QStringLiteral("image"));
    if (cleansVolumes(kinds))
        parts << counted(plan.volumes.size(), QStringLiteral("volume"));
    model_.log(LogLevel::info, safeCleanLabel(kinds) + QStringLiteral(": ") + parts.join(QStringLiteral(" + ")));
    RemovalPlan removal;
    removal.kind = RemovalPlan::Kind::safeClean;
    removal.label = safeCleanLabel(kinds);
    removal.images = plan.images;
    removal.volumes = plan.volumes;
    removal.pruneBuildCache = plan.buildCache;
    removal.expected = plan.reclaimable();
    removal.clean = plan;
    runner_.start(std::move(removal));
}

void Removals::removeSelectedImages(const QSet<QString>& ids)
{
    if (!model_.factsAreFresh())
        return model_.readFreshFactsThen([this, ids] { removeSelectedImages(ids); });
    QList<SGImage> selected;
    for (const auto& image : model_.inventory_.images)
        if (ids.contains(image.id))
            selected << image;
    if (selected.isEmpty()) {
        model_.alerts().info(QStringLiteral("Info"), QStringLiteral("Select images to remove first."));
        return;
    }
    QHash<QString, SGImage> rowOf;
    for (const auto& image : selected)
        rowOf.insert(image.id, image);
    const UsageClassification usage = model_.classification();
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
    const QString blockedText = blockedSelection(blocked);
    if (allowed.isEmpty()) {
        model_.alerts().info(QStringLiteral("Blocked"), blockedText + QStringLiteral("No safe images selected."));
        return;
    }
    QStringList lines{QStringLiteral("Will remove:")};
    for (const auto& image : allowed)
        lines << imageLine(image);
    if (model_.alerts().confirm({QStringLiteral("Remove selected images"),
                                 blockedText + joinLines(imageRemovalNote(allowed)), joinLines(lines),
                                 removeAction(allowed.size(), QStringLiteral("Image"))})
        && model_.idleAfterConfirmation())
        deleteResources(QStringLiteral("selected images"), {}, allowed, {});
}

void Removals::removeSelectedVolumes(const QSet<QString>& names)
{
    if (!model_.factsAreFresh())
        return model_.readFreshFactsThen([this, names] { removeSelectedVolumes(names); });
    QList<SGVolume> selected;
    for (const auto& volume : model_.inventory_.volumes)
        if (names.contains(volume.name))
            selected << volume;
    if (selected.isEmpty()) {
        model_.alerts().info(QStringLiteral("Info"), QStringLiteral("Select volumes to remove first."));
        return;
    }
    const UsageClassification usage = model_.classification();
    QStringList blocked;
    QList<SGVolume> allowed;
    for (const auto& volume : selected) {
        const auto verdict = usage.volumeUsage(volume);
        if (Classify::isOrphan(verdict))
            allowed << volume;
        else
            blocked << QStringLiteral("  %1 — %2").arg(printable(volume.name), usage.volumeStatusText(volume));
    }
    const QString blockedText = blockedSelection(blocked);
    if (allowed.isEmpty()) {
        model_.alerts().info(QStringLiteral("Blocked"), blockedText + QStringLiteral("No orphan volumes selected."));
        return;
    }
    const QString listing = QStringLiteral("Will remove:\n")
                            + orphanVolumeListing(allowed, model_.inventory_.volumeSizes, {});
    if (model_.alerts().confirm({QStringLiteral("Remove selected volumes"),
                          blockedText + QStringLiteral("⚠ Data will be permanently deleted!"), listing,
                          removeAction(allowed.size(), QStringLiteral("Volume"))})
        && model_.idleAfterConfirmation())
        deleteResources(QStringLiteral("selected volumes"), {}, {}, allowed);
}

}  // namespace stowage
