#pragma once
// The texts of the removal confirmations, as pure functions of what goes:
// the button that goes ahead and the lists that name every item. Kept apart
// from the operations so that each text can be checked without a window.
// Names come from Docker and may hold anything: each passes printable().

#include "classification/CleanPlan.h"
#include "docker/ImageUnit.h"
#include "docker/Records.h"
#include "model/Alerts.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QSet>

namespace stowage {

// How many failures an ending names before it only counts the rest.
constexpr int maxShownErrors = 15;

// The lines of a message, one under the other.
QString joinLines(const QStringList& lines);

// The going-ahead button of a confirmation: "Remove 3 Volumes", "Remove 1 Image".
enum class RemovedKind { container, image, volume };
QString removeAction(qint64 count, RemovedKind kind);

// "3 orphan volumes" or "1 anonymous orphan volume", by the volume kind cleaned.
QString volumeBucketCount(CleanKinds kinds, qsizetype count);
bool cleansVolumes(CleanKinds kinds);

// An image as a person tells it apart: its references, or, untagged, its
// short id and age ("untagged image 444444444444, created 3 weeks ago").
QString shownImageName(const ImageUnit& image);

// "  shop-old:v1 (20MB)": `indent`, the image and its listed size.
QString imageLine(const ImageUnit& image, const QString& indent = QStringLiteral("  "));

// The volumes of an orphan bucket, one a line with its size: every named or
// project volume, whatever their number; the anonymous ones (`anonymous`)
// after the first 40 only counted.
QString orphanVolumeListing(const QList<SGVolume>& volumes, const QHash<QString, qint64>& sizes,
                            const QSet<QString>& anonymous);

// Safe Clean All: the summary in the message, every image and volume in the details.
Confirmation safeCleanConfirmation(const CleanPlan& plan, const QHash<QString, qint64>& sizes,
                                   const QSet<QString>& anonymous);

// What one project of a selection loses.
struct ProjectLoss {
    QString project;
    QList<SGContainer> containers;
    QList<ImageUnit> images;
    QList<SGVolume> volumes;
};

// Per project: every container with its status, every image and volume with its size.
QString projectLossListing(const QList<ProjectLoss>& losses, const QHash<QString, qint64>& sizes,
                           const QDateTime& now);

}  // namespace stowage
