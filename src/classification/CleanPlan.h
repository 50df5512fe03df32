#pragma once
// What a safe clean removes and what it leaves alone, as data. The window's
// Safe Clean All, the Overview's reclaimable figure and the headless
// `stowage clean` all read this one answer, so the rule of what is safe to
// remove in bulk lives in one place (UsageClassification::cleanPlan).

#include "docker/ImageUnit.h"
#include "docker/Records.h"
#include "inventory/ImageGraph.h"

#include <QFlags>
#include <QList>
#include <QSet>
#include <QString>

namespace stowage {

// The parts of a safe clean.
enum class CleanKind : unsigned {
    buildCache = 1,              // the whole build cache (docker builder prune -af)
    unusedImages = 2,            // the images offered for bulk removal
    orphanVolumes = 4,           // every orphan volume, named and project ones too ("Remove Orphan Volumes")
    anonymousOrphanVolumes = 8,  // only the orphans Docker created without a name
};
Q_DECLARE_FLAGS(CleanKinds, CleanKind)

// What Safe Clean All does. A named or project orphan may hold data: it goes
// only when asked for by kind, or from the Volumes tab after being named.
inline constexpr CleanKinds safeCleanAllKinds{CleanKind::buildCache, CleanKind::unusedImages,
                                              CleanKind::anonymousOrphanVolumes};

struct KeptImage {
    ImageUnit image;
    QString reason;
};

struct KeptVolume {
    SGVolume volume;
    QString reason;
};

struct CleanPlan {
    CleanKinds kinds;
    // The build cache is cleared; what Docker says it frees.
    bool buildCache = false;
    QString buildCacheReclaimable;
    qint64 buildCacheBytes = 0;
    // Removed one at a time, in this order, each with all its names.
    QList<ImageUnit> images;
    // The untagged build parents docker deletes along with those images.
    QStringList buildLayers;
    // Removed in batches, largest first.
    QList<SGVolume> volumes;
    // The images and volumes of the asked kinds that stay, each with why.
    QList<KeptImage> keptImages;
    QList<KeptVolume> keptVolumes;
    // The orphans among them that may hold data (a name, or a project label).
    qsizetype keptNamedOrphans = 0;
    qsizetype keptProjectOrphans = 0;
    // Images or volumes were asked for while usage data is incomplete: none
    // of them can be called unused, so the lists above offer nothing.
    bool blocked = false;
    // What removing the images (and their build layers) frees: a layer shared
    // with an image that stays not at all, one shared among them once.
    ByteRange imageBytes;
    qint64 volumeBytes = 0;  // from the disk-usage sizes

    ByteRange reclaimable() const { return imageBytes + (buildCacheBytes + volumeBytes); }
    QSet<QString> imageIds() const;
    QSet<QString> volumeNames() const;
    bool removesNothing() const { return !buildCache && images.isEmpty() && volumes.isEmpty(); }
};

// One step of a running safe clean, reported as it happens.
struct CleanStep {
    enum class Kind { buildCache, image, volume };
    Kind kind = Kind::image;
    // The image id or the volume name; empty for the build cache, and for a
    // volume failure, whose line names the volume.
    QString item;
    // Empty when the step succeeded; otherwise the error line.
    QString error;
};

}  // namespace stowage

Q_DECLARE_OPERATORS_FOR_FLAGS(stowage::CleanKinds)
