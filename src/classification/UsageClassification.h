#pragma once
// Decides for every image and volume whether it is in use, safe to offer for
// removal, or must be left alone because the facts are incomplete or disputed.
// Nothing is called unused or orphaned unless every container was inspected,
// and a volume is an orphan only when the engine's dangling filter was read and lists it.
//
// A view over the model state: it holds references to an inventory and its
// project index, which must outlive it. Cheap to construct; meant to be built
// on demand on the thread that owns the state (not thread-safe: it caches a
// name lookup and a fact about the engine lazily).

#include "classification/CleanPlan.h"
#include "docker/Classify.h"
#include "docker/ImageUnit.h"
#include "docker/Records.h"
#include "inventory/Inventory.h"
#include "inventory/ProjectIndex.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace stowage {

struct ImageStatus {
    bool safe = false;
    QString reason;

    bool operator==(const ImageStatus&) const = default;
};

struct ProjectText {
    QString text;
    bool shared = false;

    bool operator==(const ProjectText&) const = default;
};

struct VolumeGroup {
    QString project;
    bool running = false;
    QList<SGVolume> volumes;
    qint64 bytes = 0;

    bool operator==(const VolumeGroup&) const = default;
};

class UsageClassification {
public:
    UsageClassification(const Inventory& inventory, const ProjectIndex& index);

    ImageStatus imageStatus(const SGImage& image) const;
    // The verdict the Images tab shows: the status reason, except that a shared
    // image is called out and an unused image that looks pulled is named as a
    // base image (it is never removed in bulk).
    QString imageStatusText(const SGImage& image) const;
    // The status of an unused image whose name looks pulled (when the engine's
    // digests were not read): it is never bulk-removed.
    static QString baseImageStatusText();
    // The status of an unused image the engine says was pulled: it is never bulk-removed.
    static QString pulledStatusText();
    // Why each image stays out of the bulk removal, by id: an image goes with
    // all its names, so the name that keeps it (a base or dangling one) speaks for it.
    QHash<QString, QString> keptImageReasons() const;
    // Images offered for bulk removal: unused, nothing built on them, and
    // either built here (no repository digest; by the name when the digests
    // were not read) or dangling. All rows of such an image are listed.
    QList<SGImage> unusedImages() const;
    // The same images, once each with all their names; an untagged one is
    // named by its short id and age.
    QList<ImageUnit> unusedImageUnits() const;
    ProjectText imageProjectText(const SGImage& image) const;
    // The untagged parents (build layers) that docker deletes along with these images.
    QStringList parentsGoingWith(const QList<ImageUnit>& images) const;
    // What removing these images frees on disk, the parents going with them included.
    ByteRange freedBy(const QList<ImageUnit>& images) const;
    // The engine's image total and count; worked out from the listing when
    // the engine's disk-usage figures were not read.
    qint64 imageDiskBytes() const;
    int imageCount() const;

    Classify::VolumeUsage volumeUsage(const SGVolume& volume) const;
    // Volumes offered for bulk removal, largest first: every orphan, named and
    // labelled ones included ("Remove All N Orphans" names each of those).
    QList<SGVolume> orphanVolumes() const;
    // The orphans Docker created without a name, largest first: the only
    // volumes Safe Clean All removes. Empty when usage data is incomplete.
    QList<SGVolume> anonymousOrphanVolumes() const;
    // Volumes with the given usage, largest first; not gated by usageDataComplete.
    QList<SGVolume> volumesMatching(Classify::VolumeUsage usage) const;
    // In-use volumes grouped under their alphabetically first owning project, largest group first.
    QList<VolumeGroup> volumesByProject() const;
    QString volumeStatusText(const SGVolume& volume) const;
    ProjectText volumeProjectText(const SGVolume& volume) const;

    // Summed sizes from volumeSizes (not the volumes' own sizeBytes); 0 for unknown names.
    qint64 totalBytes(const QList<SGVolume>& volumes) const;
    ByteRange unusedImageBytes() const;
    qint64 orphanVolumeBytes() const;

    // What a safe clean of `kinds` removes and keeps, and why.
    CleanPlan cleanPlan(CleanKinds kinds) const;
    // The same plan without what stays (no kept lists, no counts of kept
    // orphans): what goes and what it frees, for the figures, which need no
    // verdict for every image and volume that stays.
    CleanPlan cleanPlanGoing(CleanKinds kinds) const;

    // Whether the facts prove Docker created the volume without a name.
    bool isAnonymous(const SGVolume& volume) const;

private:
    qint64 sizeOf(const SGVolume& volume) const;
    QList<SGVolume> largestFirst(QList<SGVolume> volumes) const;
    std::optional<QString> firstProjectBuilding(const QString& repository) const;
    bool engineLabelsAnonymous() const;
    // An unused image that stays out of bulk removals for where it came from.
    bool keptAsBaseImage(const SGImage& image) const;

    const Inventory& inventory_;
    const ProjectIndex& index_;
    // Lower-cased project name -> the project names with that lower-cased form,
    // sorted ascending; built on first use by imageProjectText.
    mutable std::optional<QHash<QString, QStringList>> projectsByLowerName_;
    // Worked out from the volume listing on first use.
    mutable std::optional<bool> engineLabelsAnonymous_;
};

}  // namespace stowage
