#pragma once
// The sums the Overview shows (and `stowage report` prints): counts, sizes and
// what Safe Clean All would free.

#include "inventory/ImageGraph.h"
#include "inventory/Inventory.h"

namespace stowage {

class UsageClassification;

struct OverviewFigures {
    int running = 0;             // containers whose state is exactly "running"
    qsizetype images = 0;        // distinct top-level images, as the engine counts them
    qint64 imageBytes = 0;       // the engine's image total: every layer once
    qint64 volumeBytes = 0;      // every entry of the disk-usage sizes
    ByteRange unusedBytes;       // what removing the images offered for bulk removal frees
    qint64 orphanBytes = 0;      // every orphan volume
    ByteRange reclaimableBytes;  // what Safe Clean All frees, build cache included

    static OverviewFigures of(const Inventory& inventory, const UsageClassification& classification);

    bool operator==(const OverviewFigures&) const = default;
};

// One row of the Overview's table of compose projects.
struct OverviewProjectRow {
    QString name;  // "" for the standalone containers
    int containers = 0;
    int running = 0;
    QString imagesUsed;  // the distinct image names, sorted, joined by ", "

    bool operator==(const OverviewProjectRow&) const = default;
};

// One row per project, sorted by name (the standalone group first).
QList<OverviewProjectRow> overviewProjectRows(const QHash<QString, QList<SGContainer>>& projects);

}  // namespace stowage
