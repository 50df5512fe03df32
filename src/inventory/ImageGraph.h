#pragma once
// How the listed images stand to each other on disk. Images share layers: an
// image built FROM another holds that image's layers, and docker lists each
// image with the size of all its layers, shared or not. The classic builder
// also leaves one untagged image per build step, each the parent of the next;
// docker lists them only with `images -a` and deletes them with the image
// built on them. Built from `docker image inspect` (layers, exact sizes,
// parents); without those facts nothing here is known.
//
// What removing a set of images frees is worked out on the layer tree (a
// layer is identified by the layers below it and its own digest): the layers
// that only removed images hold, each once. A layer's own size is known from
// the exact sizes of the images that end on it; where no image ends, it lies
// between what the layers around it allow, and the amount becomes a range.

#include "docker/ImageLayers.h"
#include "docker/Records.h"
#include "text/SizeFormat.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace stowage {

class ImageGraph {
public:
    ImageGraph() = default;
    ImageGraph(const QList<SGImage>& listing, const QHash<QString, ImageLayers>& layers);

    bool isListed(const QString& id) const { return images_.contains(id); }
    // How many of `ids` are listed images.
    qsizetype listedAmong(const QSet<QString>& ids) const;
    // Every listed image was inspected.
    bool known() const { return known_; }
    // An untagged image that another image is built on: a build layer, not a
    // dangling image (docker's dangling images are untagged top-level images).
    bool isIntermediate(const QString& id) const;
    // An untagged image nothing was built on: what docker calls dangling and
    // prunes by default. Only known with the build parents.
    bool isDangling(const QString& id) const;
    // Whether the engine says the image was pulled from a registry (it has a
    // repository digest); none when its digests were not read.
    std::optional<bool> pulledFromRegistry(const QString& id) const;
    // Another image was built on it by the classic builder: docker refuses to
    // remove it while that image exists.
    bool hasChildren(const QString& id) const;
    // The names of the nearest tagged images built on it.
    QStringList imagesBuiltOn(const QString& id) const;
    // Distinct listed images without the build layers: docker's own count.
    int topLevelCount() const;
    // The untagged parents docker deletes along with `removed` (in order):
    // a parent goes when every image built on it goes and no container runs it.
    QStringList parentsGoingWith(const QStringList& removed, const QSet<QString>& usedImageIDs) const;
    // What removing `removed` (parents going with them included) frees on disk.
    // Without the layer facts: at most the images' listed sizes, at least nothing.
    ByteRange freedBy(const QSet<QString>& removed) const;
    // The disk space `ids` take together: every layer they hold once, shared
    // with other images or not. Without the layer facts: at least the largest
    // listed size, at most their sum.
    ByteRange footprint(const QSet<QString>& ids) const;

    bool operator==(const ImageGraph&) const = default;

private:
    // A distinct stack of layers: the node of its top layer, whose parent is
    // the node of the layer below.
    struct Node {
        int parent = -1;
        qint64 size = -1;  // every layer up to this one; -1 when no image ends here
        // What every layer up to this one takes: exact where an image ends here;
        // elsewhere at least the nearest known size below it, at most the
        // smallest known size above it (every top layer is an image's end).
        qint64 low = 0;
        qint64 high = 0;
        // How many listed images hold this layer (end on it or above it).
        int holders = 0;

        bool operator==(const Node&) const = default;
    };

    // What is known of one listed image id, whatever number of rows list it.
    struct Facts {
        qint64 listedSize = 0;
        // The reference that names the image: the first "repository:tag" in
        // sort order; none for an untagged image.
        bool named = false;
        QString repository;
        QString tag;
        std::optional<bool> pulled;  // none when its digests were not read
        QString parent;              // a listed image it was built on, or empty
        QStringList children;        // listed images built on it
        int endNode = -1;            // its top layer's node; -1 without the layer facts

        bool tagged() const { return named; }
        QString name() const { return repository + u':' + tag; }
        bool operator==(const Facts&) const = default;
    };

    class TreeBuilder;
    // The layers held by `ids`, each once; with `exclusive`, only those no other image holds.
    ByteRange layersOf(const QSet<QString>& ids, bool exclusive) const;

    bool known_ = false;
    // One entry per listed id: a single look-up answers every question about an image.
    QHash<QString, Facts> images_;
    std::vector<Node> nodes_;
};

}  // namespace stowage
