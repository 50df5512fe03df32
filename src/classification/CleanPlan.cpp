// The safe-clean rule as data: the candidates come from the classification's
// bulk lists (unusedImages, orphanVolumes, anonymousOrphanVolumes), and
// everything else of the asked kinds is kept with the verdict the window shows.

#include "classification/UsageClassification.h"

namespace stowage {

namespace {

constexpr CleanKinds volumeKinds{CleanKind::orphanVolumes, CleanKind::anonymousOrphanVolumes};

}  // namespace

QSet<QString> CleanPlan::imageIds() const
{
    QSet<QString> ids;
    for (const ImageUnit& image : images)
        ids.insert(image.id);
    return ids;
}

QSet<QString> CleanPlan::volumeNames() const
{
    QSet<QString> names;
    for (const SGVolume& volume : volumes)
        names.insert(volume.name);
    return names;
}

CleanPlan UsageClassification::cleanPlanGoing(CleanKinds kinds) const
{
    CleanPlan plan;
    plan.kinds = kinds;
    const bool complete = inventory_.usageDataComplete;
    plan.blocked = !complete && (kinds & ~CleanKinds(CleanKind::buildCache));

    if (kinds.testFlag(CleanKind::buildCache)) {
        plan.buildCache = true;
        plan.buildCacheReclaimable = inventory_.buildCache.shownReclaimable();
        plan.buildCacheBytes = inventory_.buildCache.reclaimableBytes;
    }
    if (kinds.testFlag(CleanKind::unusedImages)) {
        plan.images = unusedImageUnits();
        plan.buildLayers = parentsGoingWith(plan.images);
        plan.imageBytes = freedBy(plan.images);
    }
    if (kinds & volumeKinds) {
        plan.volumes = kinds.testFlag(CleanKind::orphanVolumes) ? orphanVolumes() : anonymousOrphanVolumes();
        plan.volumeBytes = totalBytes(plan.volumes);
    }
    return plan;
}

CleanPlan UsageClassification::cleanPlan(CleanKinds kinds) const
{
    CleanPlan plan = cleanPlanGoing(kinds);
    if (kinds.testFlag(CleanKind::unusedImages)) {
        const QSet<QString> offered = plan.imageIds();
        const QHash<QString, QString> reasons = keptImageReasons();
        for (const ImageUnit& image : imageUnits(inventory_.images, inventory_.images))
            if (!offered.contains(image.id))
                plan.keptImages.append({image, reasons.value(image.id)});
    }
    if (kinds & volumeKinds) {
        const QSet<QString> offered = plan.volumeNames();
        for (const SGVolume& volume : inventory_.volumes) {
            if (offered.contains(volume.name))
                continue;
            plan.keptVolumes.append({volume, volumeStatusText(volume)});
            const Classify::VolumeUsage usage = volumeUsage(volume);
            plan.keptNamedOrphans += usage == Classify::VolumeUsage::orphanNamed;
            plan.keptProjectOrphans += usage == Classify::VolumeUsage::orphanLabeled;
        }
    }
    return plan;
}

}  // namespace stowage
