#include "ui/operations/InventoryWork.h"

#include "model/AppModel.h"

namespace stowage {

InventoryWork::InventoryWork(const AppModel& model) : model_(model) {}

bool InventoryWork::inBackground() const
{
    const Inventory& inventory = model_.inventory();
    return inventory.containers.size() + inventory.images.size() + inventory.volumes.size() > inlineRows;
}

const Inventory& InventoryWork::shownInventory() const { return model_.inventory(); }

const ProjectIndex& InventoryWork::shownIndex() const { return model_.index(); }

}  // namespace stowage
