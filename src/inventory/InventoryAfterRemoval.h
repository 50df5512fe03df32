#pragma once
// The shown inventory after a removal: without what Docker confirmed removed,
// with the image ids the remaining containers run, and its project index.
// Worked out on the removal's own thread, so that the UI thread only assigns it
// (indexing a large inventory takes tens of milliseconds).

#include "inventory/Inventory.h"
#include "inventory/ProjectIndex.h"

#include <QSet>
#include <QString>

namespace stowage {

struct RemovedItems {
    QSet<QString> containerIDs;
    QSet<QString> imageIDs;
    QSet<QString> volumeNames;
};

struct InventoryAfterRemoval {
    Inventory inventory;
    ProjectIndex index;
};

InventoryAfterRemoval inventoryAfterRemoval(Inventory inventory, const RemovedItems& removed);

}  // namespace stowage
