#pragma once
// The Images tab's rows: every image, largest first, with its colour, mark,
// short ID, project and verdict, computed from the model's classification.

#include <QColor>
#include <QList>
#include <QString>

namespace stowage {

class AppModel;
struct Inventory;
struct ProjectIndex;

// What a row's colour and mark say. The tab's legend lists every verdict,
// so that no colour on screen goes unexplained.
enum class ImageVerdict { used, removable, dangling, baseImage, buildLayer, unverified };

struct ImageLegendEntry {
    ImageVerdict verdict;
    QString caption;
    QColor color;
    QString mark;
};

struct ImageRow {
    QString id;
    QString mark;
    QString repository;
    QString tag;
    QString shortId;
    QString size;
    QString created;
    QString project;
    QString status;
    QColor color;
    ImageVerdict verdict = ImageVerdict::unverified;
};

namespace ImageRows {

// The legend, in the order it is shown.
const QList<ImageLegendEntry>& legend();
const ImageLegendEntry& legendEntry(ImageVerdict verdict);

// One row per listed name of an image, sorted by size, largest first
// (stable). The classic builder's intermediate images (build layers) only
// when asked for.
QList<ImageRow> build(const AppModel& model, bool withBuildLayers = false);
// The same of an inventory and its index (on any thread: reads nothing else).
QList<ImageRow> build(const Inventory& inventory, const ProjectIndex& index, bool withBuildLayers);
// How many listed images are build layers.
int buildLayerCount(const Inventory& inventory, const ProjectIndex& index);

}  // namespace ImageRows

}  // namespace stowage
