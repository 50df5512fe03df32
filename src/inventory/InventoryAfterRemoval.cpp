#include "inventory/InventoryAfterRemoval.h"

namespace stowage {

InventoryAfterRemoval inventoryAfterRemoval(Inventory inventory, const RemovedItems& removed)
{
    inventory.containers.removeIf([&](const SGContainer& c) { return removed.containerIDs.contains(c.id); });
    inventory.images.removeIf([&](const SGImage& i) { return removed.imageIDs.contains(i.id); });
    inventory.volumes.removeIf([&](const SGVolume& v) { return removed.volumeNames.contains(v.name); });
    for (const auto& name : removed.volumeNames)
        inventory.volumeSizes.remove(name);
    inventory.danglingVolumeNames.subtract(removed.volumeNames);
    inventory.usedImageIDs.clear();
    for (const auto& container : inventory.containers)
        if (!container.imageID.isEmpty())
            inventory.usedImageIDs.insert(container.imageID);
    ProjectIndex index =
        buildProjectIndex(inventory.containers, inventory.images, inventory.volumes, inventory.imageLayers);
    return {std::move(inventory), std::move(index)};
}

}  // namespace stowage
