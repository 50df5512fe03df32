#include "inventory/ImageGraph.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace stowage {

namespace {

const QString noneName = QStringLiteral("<none>");

constexpr qint64 unbounded = std::numeric_limits<qint64>::max();

}  // namespace

ImageGraph::ImageGraph(const QList<SGImage>& listing, const QHash<QString, ImageLayers>& layers)
{
    known_ = true;
    listedSize_.reserve(listing.size());
    nameOf_.reserve(listing.size());
    for (const SGImage& row : listing) {
        listedSize_.insert(row.id, row.sizeBytes);
        // The first reference in sort order names the image, whatever order docker lists its tags in.
        if (row.repository != noneName) {
            const QString name = row.repository + u':' + row.tag;
            if (const auto known = nameOf_.constFind(row.id); known == nameOf_.cend() || name < *known)
                nameOf_.insert(row.id, name);
        }
        const auto inspected = layers.constFind(row.id);
        if (inspected == layers.cend())
            known_ = false;
        else if (const auto pulled = inspected->pulled())
            pulled_.insert(row.id, *pulled);
    }
    if (!known_)
        return;

    // The layer tree: a node per distinct stack of layers, parents before children.
    nodes_.push_back({-1, 0});
    // Keyed by (parent node, layer digest): no text is built per layer.
    QHash<std::pair<int, QString>, int> nodeOf;
    for (auto it = listedSize_.cbegin(); it != listedSize_.cend(); ++it) {
        const ImageLayers& image = layers[it.key()];
        int node = 0;
        for (const QString& layer : image.layers) {
            const std::pair<int, QString> key(node, layer);
            auto found = nodeOf.constFind(key);
            if (found == nodeOf.cend()) {
                found = nodeOf.insert(key, static_cast<int>(nodes_.size()));
                nodes_.push_back({node, -1});
            }
            node = *found;
        }
        nodes_[node].size = node == 0 ? 0 : image.sizeBytes;
        endNode_.insert(image.id, node);
        if (!image.parent.isEmpty() && listedSize_.contains(image.parent)) {
            parentOf_.insert(image.id, image.parent);
            childrenOf_[image.parent].append(image.id);
        }
    }
}

bool ImageGraph::isIntermediate(const QString& id) const
{
    return known_ && !nameOf_.contains(id) && childrenOf_.contains(id);
}

bool ImageGraph::isDangling(const QString& id) const
{
    return known_ && isListed(id) && !nameOf_.contains(id) && !childrenOf_.contains(id);
}

std::optional<bool> ImageGraph::pulledFromRegistry(const QString& id) const
{
    const auto found = pulled_.constFind(id);
    return found == pulled_.cend() ? std::nullopt : std::optional<bool>(*found);
}

QStringList ImageGraph::imagesBuiltOn(const QString& id) const
{
    QStringList names;
    QStringList pending = childrenOf_.value(id);
    while (!pending.isEmpty()) {
        const QString child = pending.takeFirst();
        if (const auto name = nameOf_.constFind(child); name != nameOf_.cend()) {
            if (!names.contains(*name))
                names.append(*name);
        } else {
            pending += childrenOf_.value(child);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

qsizetype ImageGraph::listedAmong(const QSet<QString>& ids) const
{
    return std::count_if(ids.cbegin(), ids.cend(), [this](const QString& id) { return isListed(id); });
}

int ImageGraph::topLevelCount() const
{
    int count = 0;
    for (auto it = listedSize_.cbegin(); it != listedSize_.cend(); ++it)
        count += isIntermediate(it.key()) ? 0 : 1;
    return count;
}

QStringList ImageGraph::parentsGoingWith(const QStringList& removed, const QSet<QString>& usedImageIDs) const
{
    QSet<QString> going(removed.cbegin(), removed.cend());
    QStringList parents;
    for (qsizetype i = 0; i < removed.size() + parents.size(); ++i) {
        const QString& id = i < removed.size() ? removed[i] : parents[i - removed.size()];
        const QString parent = parentOf_.value(id);
        if (parent.isEmpty() || going.contains(parent) || nameOf_.contains(parent) || usedImageIDs.contains(parent))
            continue;
        const QStringList& children = childrenOf_[parent];
        if (std::all_of(children.cbegin(), children.cend(), [&](const QString& c) { return going.contains(c); })) {
            going.insert(parent);
            parents.append(parent);
        }
    }
    return parents;
}

ByteRange ImageGraph::freedBy(const QSet<QString>& removed) const
{
    if (!known_) {
        qint64 listed = 0;
        for (const QString& id : removed)
            listed += listedSize_.value(id, 0);
        return {0, listed};
    }
    return layersOf(removed, true);
}

ByteRange ImageGraph::footprint(const QSet<QString>& ids) const
{
    if (!known_) {
        ByteRange listed;
        for (const QString& id : ids) {
            const qint64 size = listedSize_.value(id, 0);
            listed.low = std::max(listed.low, size);
            listed.high += size;
        }
        return listed;
    }
    return layersOf(ids, false);
}

ByteRange ImageGraph::layersOf(const QSet<QString>& ids, bool exclusive) const
{
    const auto count = nodes_.size();
    // The nodes held by one of `ids` and (when it matters) by another image.
    std::vector<char> byRemoved(count, 0), byKept(count, 0);
    for (auto it = endNode_.cbegin(); it != endNode_.cend(); ++it) {
        const bool among = ids.contains(it.key());
        if (!among && !exclusive)
            continue;
        std::vector<char>& held = among ? byRemoved : byKept;
        for (int node = it.value(); node >= 0 && !held[node]; node = nodes_[node].parent)
            held[node] = 1;
    }
    // Freed = the sum over freed nodes n of size(n) - size(parent(n)): each
    // node's cumulative size enters with a whole-number weight.
    std::vector<qint64> weight(count, 0);
    for (size_t node = 1; node < count; ++node) {
        if (byRemoved[node] && !byKept[node]) {
            ++weight[node];
            --weight[nodes_[node].parent];
        }
    }
    // A node no image ends on: at least its nearest known ancestor, at most
    // its smallest known descendant (every leaf is an image's end).
    std::vector<qint64> low(count), high(count, unbounded);
    for (size_t node = 0; node < count; ++node) {
        const qint64 size = nodes_[node].size;
        low[node] = size >= 0 ? size : low[nodes_[node].parent];
        if (size >= 0)
            high[node] = size;
    }
    for (size_t node = count - 1; node > 0; --node) {
        const int parent = nodes_[node].parent;
        if (nodes_[parent].size < 0)
            high[parent] = std::min(high[parent], high[node]);
    }
    ByteRange freed;
    for (size_t node = 0; node < count; ++node) {
        if (weight[node] == 0)
            continue;
        const qint64 top = high[node] == unbounded ? low[node] : high[node];
        freed.low += weight[node] * (weight[node] > 0 ? low[node] : top);
        freed.high += weight[node] * (weight[node] > 0 ? top : low[node]);
    }
    freed.low = std::max<qint64>(0, freed.low);
    freed.high = std::max(freed.low, freed.high);
    return freed;
}

}  // namespace stowage
