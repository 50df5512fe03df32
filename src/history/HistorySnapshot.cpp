#include "history/HistorySnapshot.h"

#include "classification/OverviewFigures.h"
#include "classification/UsageClassification.h"
#include "inventory/Inventory.h"
#include "inventory/ProjectIndex.h"

namespace stowage {

namespace {

HistoryAmount amount(qint64 bytes, qint64 count)
{
    return {bytes, count};
}

}  // namespace

HistorySnapshot historySnapshot(const Inventory& inventory, const ProjectIndex& index,
                                const UsageClassification& classification, const OverviewFigures& figures,
                                const QString& engine, const QDateTime& at, bool headless)
{
    HistorySnapshot snapshot{engine, at.toUTC(), headless};
    qint64 containerBytes = 0;
    for (const SGContainer& container : inventory.containers)
        containerBytes += container.writableBytes();
    snapshot.totals[int(HistoryKind::images)] = amount(figures.imageBytes, figures.images);
    snapshot.totals[int(HistoryKind::volumes)] = amount(figures.volumeBytes, inventory.volumes.size());
    snapshot.totals[int(HistoryKind::containers)] = amount(containerBytes, inventory.containers.size());
    snapshot.totals[int(HistoryKind::buildCache)] = amount(inventory.buildCache.sizeBytes, 0);
    snapshot.reclaimableBytes = figures.reclaimableBytes.low;

    for (auto it = index.projectsMeta.cbegin(); it != index.projectsMeta.cend(); ++it) {
        HistoryProject project{it.key(), {}};
        const ProjectMeta& meta = it.value();
        project.amounts[int(HistoryKind::images)] =
            amount(projectImageBytes(meta, index.imageGraph).high, meta.images.size());
        qint64 volumeBytes = 0;
        for (const SGVolume& volume : meta.volumes)
            volumeBytes += inventory.volumeSizes.value(volume.name);
        project.amounts[int(HistoryKind::volumes)] = amount(volumeBytes, meta.volumes.size());
        const QList<SGContainer> containers = index.projects.value(it.key());
        qint64 writable = 0;
        for (const SGContainer& container : containers)
            writable += container.writableBytes();
        project.amounts[int(HistoryKind::containers)] = amount(writable, containers.size());
        snapshot.projects << project;
    }

    // Named volumes only: a generated name says nothing from one refresh to the next.
    for (const SGVolume& volume : inventory.volumes)
        if (!classification.isAnonymous(volume))
            snapshot.namedVolumes << HistoryVolume{volume.name, volume.project, inventory.volumeSizes.value(volume.name)};
    return snapshot;
}

}  // namespace stowage
