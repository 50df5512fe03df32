// The clean-up commands behind the Overview, Images, Volumes and Build Cache
// buttons, and the removal of listed items they and the teardown end in.

#include "model/removal/Removals.h"

#include "model/AppModel.h"

#include "docker/DockerRunner.h"
#include "log/ActivityLog.h"
#include "model/removal/RemovalConfirmations.h"
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

// The rows of `all` whose key is among the selected `keys`, in listing order.
template <typename Row>
QList<Row> selectedRows(const QList<Row>& all, const QSet<QString>& keys, QString Row::*key)
{
    QList<Row> rows;
    for (const Row& row : all)
        if (keys.contains(row.*key))
            rows << row;
    return rows;
}

}  // namespace

Removals::Removals(AppModel& model, RemovalRunner::Limits limits) : model_(model), runner_(model, limits) {}

QList<ImageUnit> Removals::unitsOf(const QList<SGImage>& rows) const
{
    return imageUnits(rows, model_.inventory_.images);
}

void Removals::deleteResources(const QString& operationName, const QList<SGContainer>& containers,
                               const QList<ImageUnit>& images, const QList<SGVolume>& volumes,
                               const QString& windowName)
{
    if (model_.isLoading_)
        return;
    RemovalPlan plan;
    plan.operationName = operationName;
    plan.windowName = windowName;
    plan.containers = containers;
    plan.images = images;
    plan.volumes = volumes;
    // What the confirmation counted: the images' own layers and the volumes' data.
    if (!images.isEmpty())
        plan.expected = model_.classification().freedBy(images);
    for (const auto& volume : volumes)
        plan.expected = plan.expected + model_.inventory_.volumeSizes.value(volume.name, 0);
    model_.log(LogLevel::info, QLatin1Char('[') + operationName + QStringLiteral("] deleting ")
                                   + resourceCounts(containers.size(), images.size(), volumes.size()));
    runner_.start(std::move(plan));
}

void Removals::cleanBuildCache()
{
    if (!model_.factsAreFresh())
        return model_.readFreshFactsThen([this] { cleanBuildCache(); });
    if (model_.isLoading_)
        return;
    if (!confirm(buildCacheConfirmation()) || !model_.idleAfterConfirmation())
        return;
    model_.setStatusText(tr("Clearing build cache…"));
    model_.log(LogLevel::info, QStringLiteral("Clearing build cache (builder prune -af)"));
    RemovalPlan plan;
    plan.kind = RemovalPlan::Kind::buildCache;
    plan.operationName = QStringLiteral("build cache");
    plan.windowName = tr("build cache");
    plan.pruneBuildCache = true;
    runner_.start(std::move(plan));
}

ImageFreeing Removals::freeingOf(const QList<ImageUnit>& images) const
{
    const UsageClassification usage = model_.classification();
    return {usage.freedBy(images), images.isEmpty() ? 0 : usage.parentsGoingWith(images).size()};
}

void Removals::cleanUnusedImages()
{
    if (!model_.factsAreFresh())
        return model_.readFreshFactsThen([this] { cleanUnusedImages(); });
    const QList<ImageUnit> candidates = model_.classification().unusedImageUnits();
    if (candidates.isEmpty()) {
        model_.alerts().info(tr("Info"), tr("No unused images found."));
        return;
    }
    if (confirm(unusedImagesConfirmation(candidates, freeingOf(candidates)))
        && model_.idleAfterConfirmation())
        deleteResources(QStringLiteral("unused images"), {}, candidates, {}, tr("unused images"));
}

void Removals::cleanOrphanVolumes()
{
    if (!model_.factsAreFresh())
        return model_.readFreshFactsThen([this] { cleanOrphanVolumes(); });
    const UsageClassification usage = model_.classification();
    OrphanBucket bucket;
    bucket.volumes = usage.orphanVolumes();
    bucket.named = usage.volumesMatching(Classify::VolumeUsage::orphanNamed);
    std::map<QString, QList<SGVolume>> byProject;
    for (const auto& volume : usage.volumesMatching(Classify::VolumeUsage::orphanLabeled))
        byProject[volume.project].append(volume);
    for (const auto& [project, volumes] : byProject)
        bucket.labelled.append({project, volumes.size(), usage.totalBytes(volumes)});
    removeOrphanBucket(std::move(bucket), QStringLiteral("orphan volumes"), tr("orphan volumes"));
}

void Removals::cleanAnonymousOrphanVolumes()
{
    if (!model_.factsAreFresh())
        return model_.readFreshFactsThen([this] { cleanAnonymousOrphanVolumes(); });
    OrphanBucket bucket;
    bucket.anonymousOnly = true;
    bucket.volumes = model_.classification().volumesMatching(Classify::VolumeUsage::orphanAnonymous);
    removeOrphanBucket(std::move(bucket), QStringLiteral("anonymous orphan volumes"), tr("anonymous orphan volumes"));
}

bool Removals::confirm(Confirmation confirmation) const
{
    if (const auto& engine = model_.engine())
        confirmation.message = tr("On engine %1.").arg(engineLabel(engine->name, engine->endpoint))
                               + QStringLiteral("\n\n") + confirmation.message;
    return model_.alerts().confirm(confirmation);
}

QSet<QString> Removals::anonymousVolumeNames() const
{
    QSet<QString> names;
    for (const SGVolume& volume : model_.classification().volumesMatching(Classify::VolumeUsage::orphanAnonymous))
        names.insert(volume.name);
    return names;
}

void Removals::removeOrphanBucket(OrphanBucket bucket, const QString& operationName, const QString& windowName)
{
    if (!model_.inventory_.usageDataComplete) {
        model_.alerts().info(tr("Blocked"), tr("Volume usage could not be fully verified, so nothing is being called "
                                               "an orphan.\n\n%1\n\nPress Refresh and try again.")
                                                .arg(model_.inventory_.usageDataProblem));
        return;
    }
    if (bucket.volumes.isEmpty()) {
        model_.alerts().info(tr("Info"), tr("No matching orphan volumes found."));
        return;
    }
    bucket.sizes = model_.inventory_.volumeSizes;
    bucket.anonymous = anonymousVolumeNames();
    if (confirm(orphanBucketConfirmation(bucket)) && model_.idleAfterConfirmation())
        deleteResources(operationName, {}, {}, bucket.volumes, windowName);
}

void Removals::safeClean(CleanKinds kinds)
{
    if (!model_.factsAreFresh())
        return model_.readFreshFactsThen([this, kinds] { safeClean(kinds); });
    const CleanPlan plan = model_.classification().cleanPlan(kinds);
    if (model_.isLoading_)
        return;
    if (!confirm(safeCleanConfirmation(plan, model_.inventory_.volumeSizes, anonymousVolumeNames()))
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
    removal.operationName = safeCleanLabel(kinds);
    removal.windowName = shownSafeCleanLabel(kinds);
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
    const QList<SGImage> selected = selectedRows(model_.inventory_.images, ids, &SGImage::id);
    if (selected.isEmpty()) {
        model_.alerts().info(tr("Info"), tr("Select images to remove first."));
        return;
    }
    QHash<QString, SGImage> rowOf;
    for (const auto& image : selected)
        rowOf.insert(image.id, image);
    const UsageClassification usage = model_.classification();
    ImageSelection selection;
    // Unknown usage, a container, or a build layer (it goes only with the image built on it).
    for (const auto& image : unitsOf(selected)) {
        const ImageStatus status = usage.imageStatus(rowOf.value(image.id));
        if (status.safe)
            selection.allowed << image;
        else
            selection.blocked << BlockedItem{image.name, status.reason};
    }
    if (selection.allowed.isEmpty()) {
        model_.alerts().info(tr("Blocked"), nothingSafeSelected(selection));
        return;
    }
    selection.freeing = freeingOf(selection.allowed);
    if (confirm(selectedImagesConfirmation(selection)) && model_.idleAfterConfirmation())
        deleteResources(QStringLiteral("selected images"), {}, selection.allowed, {}, tr("selected images"));
}

void Removals::removeSelectedVolumes(const QSet<QString>& names)
{
    if (!model_.factsAreFresh())
        return model_.readFreshFactsThen([this, names] { removeSelectedVolumes(names); });
    const QList<SGVolume> selected = selectedRows(model_.inventory_.volumes, names, &SGVolume::name);
    if (selected.isEmpty()) {
        model_.alerts().info(tr("Info"), tr("Select volumes to remove first."));
        return;
    }
    const UsageClassification usage = model_.classification();
    VolumeSelection selection{{}, {}, model_.inventory_.volumeSizes};
    for (const auto& volume : selected) {
        if (Classify::isOrphan(usage.volumeUsage(volume)))
            selection.allowed << volume;
        else
            selection.blocked << BlockedItem{volume.name, usage.volumeStatusText(volume)};
    }
    if (selection.allowed.isEmpty()) {
        model_.alerts().info(tr("Blocked"), nothingSafeSelected(selection));
        return;
    }
    if (confirm(selectedVolumesConfirmation(selection)) && model_.idleAfterConfirmation())
        deleteResources(QStringLiteral("selected volumes"), {}, {}, selection.allowed, tr("selected volumes"));
}

}  // namespace stowage
