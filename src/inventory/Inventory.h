#pragma once
// The inventory as last read from Docker (or loaded from the state cache),
// together with the usage facts gathered while inspecting the containers.
// A plain value: the model owns one and replaces it as a whole or field by field.

#include "docker/ImageLayers.h"
#include "docker/Records.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

namespace stowage {

struct Inventory {
    // The engine (or the state cache) has told what is there: until then every
    // figure below is a default, not a fact, and is not shown as one.
    bool read = false;
    QList<SGContainer> containers;
    QList<SGImage> images;
    QList<SGVolume> volumes;
    BuildCache buildCache;
    // Per-volume sizes from the disk-usage query, by volume name.
    QHash<QString, qint64> volumeSizes;
    // Image ids that at least one inspected container runs.
    QSet<QString> usedImageIDs;
    QString dockerRoot = QStringLiteral("/var/lib/docker");
    // Volumes the engine's own dangling filter lists; meaningful only while danglingKnown.
    QSet<QString> danglingVolumeNames;
    bool danglingKnown = false;
    // True only when every container was inspected; gates every removal offer.
    bool usageDataComplete = false;
    QString usageDataProblem;
    // Each image's layers, exact size and build parent, by id; empty when not read.
    QHash<QString, ImageLayers> imageLayers;
    // The engine's own image count and total (every layer once).
    EngineImageTotals engineImages;

    bool operator==(const Inventory&) const = default;
};

}  // namespace stowage
