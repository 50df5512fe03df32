#pragma once
// The sums the Overview shows (and `stowage report` prints): counts, sizes and
// what Safe Clean All would free.

#include "model/Inventory.h"

namespace stowage {

class UsageClassification;

struct OverviewFigures {
    int running = 0;             // containers whose state is exactly "running"
    qsizetype images = 0;        // the images the Images card counts
    qint64 imageBytes = 0;       // every image's size
    qint64 volumeBytes = 0;      // every entry of the disk-usage sizes
    qint64 unusedBytes = 0;      // the images offered for bulk removal
    qint64 orphanBytes = 0;      // every orphan volume
    qint64 reclaimableBytes = 0; // what Safe Clean All frees, build cache included

    static OverviewFigures of(const Inventory& inventory, const UsageClassification& classification);
};

}  // namespace stowage
