#include "classification/OverviewFigures.h"

#include "classification/UsageClassification.h"

#include <algorithm>

namespace stowage {

OverviewFigures OverviewFigures::of(const Inventory& inventory, const UsageClassification& classification)
{
    OverviewFigures f;
    for (const auto& container : inventory.containers)
        if (container.state == QStringLiteral("running"))
            ++f.running;
    f.images = classification.imageCount();
    f.imageBytes = classification.imageDiskBytes();
    for (const qint64 size : inventory.volumeSizes)
        f.volumeBytes += size;
    // Safe Clean All's images are the unused images: one plan gives both figures.
    const CleanPlan safeCleanAll = classification.cleanPlanGoing(safeCleanAllKinds);
    f.unusedBytes = safeCleanAll.imageBytes;
    f.orphanBytes = classification.orphanVolumeBytes();
    f.reclaimableBytes = safeCleanAll.reclaimable();
    return f;
}

QList<OverviewProjectRow> overviewProjectRows(const QHash<QString, QList<SGContainer>>& projects)
{
    QList<OverviewProjectRow> rows;
    rows.reserve(projects.size());
    for (auto it = projects.cbegin(); it != projects.cend(); ++it) {
        OverviewProjectRow row;
        row.name = it.key();
        row.containers = int(it.value().size());
        QSet<QString> images;
        for (const auto& container : it.value()) {
            if (container.state == QStringLiteral("running"))
                ++row.running;
            images.insert(container.image);
        }
        QStringList sorted(images.cbegin(), images.cend());
        std::sort(sorted.begin(), sorted.end());
        row.imagesUsed = sorted.join(QStringLiteral(", "));
        rows.append(row);
    }
    // Plain string order: the standalone group (empty name) comes first.
    std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    return rows;
}

}  // namespace stowage
