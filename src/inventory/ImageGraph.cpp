#include "inventory/ImageGraph.h"

#include <algorithm>
#include <limits>
#include <unordered_map>
#include <utility>

namespace stowage {

namespace {

const QString noneName = QStringLiteral("<none>");

constexpr qint64 unbounded = std::numeric_limits<qint64>::max();

}  // namespace

// Builds the layer tree one image at a time: a node per distinct stack of
// layers, parents before children.
class ImageGraph::TreeBuilder {
public:
    TreeBuilder(std::vector<Node>& nodes, const QHash<QString, ImageLayers>& layers)
        : nodes_(nodes)
    {
        // Sized once for every layer met: growing it rehashes every node made so far.
        qsizetype layersMet = 0;
        for (const ImageLayers& image : layers)
            layersMet += image.layers.size();
        nodeOf_.reserve(layersMet);
        nodes_.reserve(size_t(layersMet) + 1);
        nodes_.push_back({-1, 0});
    }

    // The node of the image's top layer.
    int add(const ImageLayers& image)
    {
        int node = 0;
        for (const QString& layer : image.layers) {
            const std::pair<int, QString> key(node, layer);
            auto found = nodeOf_.constFind(key);
            if (found == nodeOf_.cend()) {
                found = nodeOf_.insert(key, static_cast<int>(nodes_.size()));
                nodes_.push_back({node, -1});
            }
            node = *found;
        }
        nodes_[size_t(node)].size = node == 0 ? 0 : image.sizeBytes;
        ++nodes_[size_t(node)].holders;
        return node;
    }

    // Parents come before their children: one pass down gives each node the
    // nearest known size below it, one pass up the smallest known above it
    // and how many images hold it.
    void finish()
    {
        for (Node& node : nodes_) {
            node.low = node.size >= 0 ? node.size : nodes_[size_t(node.parent)].low;
            node.high = node.size >= 0 ? node.size : unbounded;
        }
        for (size_t index = nodes_.size() - 1; index > 0; --index) {
            const Node& node = nodes_[index];
            Node& parent = nodes_[size_t(node.parent)];
            if (parent.size < 0)
                parent.high = std::min(parent.high, node.high);
            parent.holders += node.holders;
        }
        for (Node& node : nodes_) {
            if (node.high == unbounded)
                node.high = node.low;
        }
    }

private:
    std::vector<Node>& nodes_;
    // Keyed by (parent node, layer digest): no text is built per layer.
    QHash<std::pair<int, QString>, int> nodeOf_;
};

ImageGraph::ImageGraph(const QList<SGImage>& listing, const QHash<QString, ImageLayers>& layers)
{
    known_ = true;
    images_.reserve(listing.size());
    // Each id's inspected facts are looked up once, as its first row is met.
    TreeBuilder tree(nodes_, layers);
    std::vector<std::pair<QString, QString>> builtOn;  // (image, the image it was built on)
    for (const SGImage& row : listing) {
        const qsizetype before = images_.size();
        Facts& facts = images_[row.id];
        if (images_.size() > before) {
            const auto image = layers.constFind(row.id);
            if (image == layers.cend()) {
                known_ = false;
            } else {
                facts.pulled = image->pulled();
                facts.endNode = tree.add(*image);
                if (!image->parent.isEmpty() && image->parent != row.id)
                    builtOn.emplace_back(row.id, image->parent);
            }
        }
        // The first reference in sort order names the image, whatever order
        // docker lists its tags in. Names are only built to compare when an
        // id has several rows.
        if (row.repository != noneName && (!facts.tagged() || row.repository + u':' + row.tag < facts.name())) {
            facts.named = true;
            facts.repository = row.repository;
            facts.tag = row.tag;
        }
        // A later row of the id gives the listed size, as it did when rows were read one by one.
        facts.listedSize = row.sizeBytes;
    }
    if (!known_) {
        // Without every image's layers no figure is worked out on the tree.
        nodes_ = {};
        for (Facts& facts : images_)
            facts.endNode = -1;
        return;
    }
    tree.finish();
    for (const auto& [id, parentId] : builtOn) {
        if (const auto parent = images_.find(parentId); parent != images_.end()) {
            images_[id].parent = parentId;
            parent->children.append(id);
        }
    }
}

bool ImageGraph::isIntermediate(const QString& id) const
{
    const auto facts = images_.constFind(id);
    return known_ && facts != images_.cend() && !facts->tagged() && !facts->children.isEmpty();
}

bool ImageGraph::isDangling(const QString& id) const
{
    const auto facts = images_.constFind(id);
    return known_ && facts != images_.cend() && !facts->tagged() && facts->children.isEmpty();
}

bool ImageGraph::hasChildren(const QString& id) const
{
    const auto facts = images_.constFind(id);
    return facts != images_.cend() && !facts->children.isEmpty();
}

std::optional<bool> ImageGraph::pulledFromRegistry(const QString& id) const
{
    const auto facts = images_.constFind(id);
    return facts == images_.cend() ? std::nullopt : facts->pulled;
}

QStringList ImageGraph::imagesBuiltOn(const QString& id) const
{
    QStringList names;
    QSet<QString> visited{id};
    QStringList pending = images_.value(id).children;
    while (!pending.isEmpty()) {
        const QString child = pending.takeFirst();
        const auto facts = images_.constFind(child);
        if (facts == images_.cend() || visited.contains(child))
            continue;
        visited.insert(child);
        if (facts->tagged()) {
            if (const QString name = facts->name(); !names.contains(name))
                names.append(name);
        } else {
            pending += facts->children;
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
    for (auto it = images_.cbegin(); it != images_.cend(); ++it)
        count += isIntermediate(it.key()) ? 0 : 1;
    return count;
}

QStringList ImageGraph::parentsGoingWith(const QStringList& removed, const QSet<QString>& usedImageIDs) const
{
    QSet<QString> going(removed.cbegin(), removed.cend());
    QStringList parents;
    for (qsizetype i = 0; i < removed.size() + parents.size(); ++i) {
        const QString& id = i < removed.size() ? removed[i] : parents[i - removed.size()];
        const auto image = images_.constFind(id);
        if (image == images_.cend() || image->parent.isEmpty())
            continue;
        const QString& parentId = image->parent;
        const Facts& parent = *images_.constFind(parentId);  // a parent is kept only when listed
        if (going.contains(parentId) || parent.tagged() || usedImageIDs.contains(parentId))
            continue;
        if (std::all_of(parent.children.cbegin(), parent.children.cend(),
                        [&](const QString& c) { return going.contains(c); })) {
            going.insert(parentId);
            parents.append(parentId);
        }
    }
    return parents;
}

ByteRange ImageGraph::freedBy(const QSet<QString>& removed) const
{
    if (!known_) {
        qint64 listed = 0;
        for (const QString& id : removed)
            listed += images_.value(id).listedSize;
        return {0, listed};
    }
    return layersOf(removed, true);
}

ByteRange ImageGraph::footprint(const QSet<QString>& ids) const
{
    if (!known_) {
        ByteRange listed;
        for (const QString& id : ids) {
            const qint64 size = images_.value(id).listedSize;
            listed.low = std::max(listed.low, size);
            listed.high += size;
        }
        return listed;
    }
    return layersOf(ids, false);
}

ByteRange ImageGraph::layersOf(const QSet<QString>& ids, bool exclusive) const
{
    // The nodes `ids` hold, each with how many of `ids` hold it. Only their
    // own layers are walked: a project's figure costs what its images hold,
    // not what the whole engine holds.
    std::unordered_map<int, int> held;
    for (const QString& id : ids) {
        const auto image = images_.constFind(id);
        if (image == images_.cend())
            continue;
        for (int node = image->endNode; node > 0; node = nodes_[size_t(node)].parent)
            ++held[node];
    }
    // The sum over the layers counted of size(n) - size(parent(n)): each
    // node's cumulative size enters with a whole-number weight. A layer another
    // image holds too is not freed.
    std::unordered_map<int, qint64> weight;
    for (const auto& [node, holders] : held) {
        if (exclusive && holders < nodes_[size_t(node)].holders)
            continue;
        ++weight[node];
        --weight[nodes_[size_t(node)].parent];
    }
    ByteRange freed;
    for (const auto& [index, w] : weight) {
        const Node& node = nodes_[size_t(index)];
        freed.low += w * (w > 0 ? node.low : node.high);
        freed.high += w * (w > 0 ? node.high : node.low);
    }
    freed.low = std::max<qint64>(0, freed.low);
    freed.high = std::max(freed.low, freed.high);
    return freed;
}

}  // namespace stowage
