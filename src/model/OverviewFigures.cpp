#include "model/OverviewFigures.h"

#include "model/UsageClassification.h"

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
    f.unusedBytes = classification.unusedImageBytes();
    f.orphanBytes = classification.orphanVolumeBytes();
    f.reclaimableBytes = classification.cleanPlan(safeCleanAllKinds).reclaimable();
    return f;
}

}  // namespace stowage
