#pragma once
// What the disk map shows: the engine's disk as a tree of projects (the
// standalone containers' group, and what no project owns) → kind → item, each
// node's bytes counted once, each item's colour its verdict. Image layers
// shared between images are one node of their own, so that the images add up
// to the engine's own image total rather than to the listing's sizes summed.

#include "diskmap/TreemapLayout.h"

#include <QList>
#include <QRectF>
#include <QString>

namespace stowage {

struct Inventory;
struct ProjectIndex;
class UsageClassification;

// The same words as the tabs' legend.
enum class DiskVerdict { inUse, safeToRemove, mayHoldData, baseImage, notVerified };
QString verdictText(DiskVerdict verdict);

enum class DiskNodeKind { engine, project, images, volumes, containers, buildCache, sharedLayers, item, smallerItems };

struct DiskMapNode {
    DiskNodeKind kind = DiskNodeKind::item;
    QString name;
    qint64 bytes = 0;
    DiskVerdict verdict = DiskVerdict::inUse;  // of an item
    QString id;  // an item's image id, volume name or container id: what its tab selects
    QList<DiskMapNode> children;

    bool operator==(const DiskMapNode&) const = default;
};

// Project groups by size, largest first; the standalone group is named
// "Standalone containers", what no project owns "Not in a project".
DiskMapNode diskMap(const Inventory& inventory, const ProjectIndex& index, const UsageClassification& classification);

// One rectangle per child of `node` inside `bounds`; children whose rectangle
// would be smaller than `minimumArea` are put together as one "N smaller
// items" node (its children the items it stands for).
struct DiskMapTile {
    DiskMapNode node;
    QRectF rect;
    int childIndex = -1;  // in the laid-out node's children; -1 for the "N smaller items" tile

    bool operator==(const DiskMapTile&) const = default;
};
QList<DiskMapTile> layOut(const DiskMapNode& node, const QRectF& bounds, double minimumArea);

}  // namespace stowage
