#pragma once
// Every removal's confirmation, and the notice that stands in for it when
// nothing of a selection may go, as pure functions of what the removal is
// about to take. The removals gather these values from the shown inventory;
// the texts are built here alone, so that each can be checked without a
// window or a model.

#include "model/removal/ConfirmationText.h"

#include "inventory/ImageGraph.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <optional>

namespace stowage {

// What removing some images frees on disk, and how many untagged build layers go with them.
struct ImageFreeing {
    ByteRange freed;
    qsizetype buildLayers = 0;
};

// A selected item that stays, and why.
struct BlockedItem {
    QString name;
    QString reason;
};

struct ImageSelection {
    QList<ImageUnit> allowed;
    QList<BlockedItem> blocked;
    ImageFreeing freeing;
};

struct VolumeSelection {
    QList<SGVolume> allowed;
    QList<BlockedItem> blocked;
    QHash<QString, qint64> sizes;
};

// One project's orphans that still carry its compose label.
struct LabelledOrphans {
    QString project;
    qsizetype count = 0;
    qint64 bytes = 0;
};

// An orphan bucket: every orphan, or only those Docker created without a name.
struct OrphanBucket {
    bool anonymousOnly = false;
    QList<SGVolume> volumes;
    QHash<QString, qint64> sizes;
    QSet<QString> anonymous;
    // Only for every orphan: the ones that may hold data someone meant to keep.
    QList<LabelledOrphans> labelled;
    QList<SGVolume> named;
};

// Why owners are unknown (the engine's usage problem), when they are.
using OwnersUnknown = std::optional<QString>;

struct ProjectContainersPlan {
    QString project;
    QList<SGContainer> containers;
    QDateTime now;
};

// A project's exclusive images or volumes, and its containers that must go first.
struct ProjectImagesPlan {
    QString project;
    QList<ImageUnit> images;
    ImageFreeing freeing;
    QList<SGContainer> blockers;
};

struct ProjectVolumesPlan {
    QString project;
    QList<SGVolume> volumes;
    QHash<QString, qint64> sizes;
    QList<SGContainer> blockers;
};

struct EntireProjectPlan {
    QString project;
    QList<SGContainer> containers;
    QList<ImageUnit> images;
    ImageFreeing freeing;
    QList<SGVolume> volumes;
    QHash<QString, qint64> sizes;
    // The project's images that stay: base images, or shared with others.
    QList<ImageUnit> kept;
    OwnersUnknown ownersUnknown;
    QDateTime now;
};

struct ProjectsSelectionPlan {
    QStringList projects;
    QList<ProjectLoss> losses;
    ImageFreeing freeing;
    QHash<QString, qint64> sizes;
    OwnersUnknown ownersUnknown;
    QDateTime now;
};

Confirmation buildCacheConfirmation();
Confirmation unusedImagesConfirmation(const QList<ImageUnit>& images, const ImageFreeing& freeing);
Confirmation selectedImagesConfirmation(const ImageSelection& selection);
Confirmation selectedVolumesConfirmation(const VolumeSelection& selection);
// The notices for a selection of which nothing may go.
QString nothingSafeSelected(const ImageSelection& selection);
QString nothingSafeSelected(const VolumeSelection& selection);
Confirmation orphanBucketConfirmation(const OrphanBucket& bucket);

Confirmation projectContainersConfirmation(const ProjectContainersPlan& plan);
Confirmation projectImagesConfirmation(const ProjectImagesPlan& plan);
Confirmation projectVolumesConfirmation(const ProjectVolumesPlan& plan);
Confirmation entireProjectConfirmation(const EntireProjectPlan& plan);
Confirmation projectsSelectionConfirmation(const ProjectsSelectionPlan& plan);

}  // namespace stowage
