#include "diskmap/DiskMap.h"

#include "classification/UsageClassification.h"
#include "inventory/Inventory.h"
#include "inventory/ProjectIndex.h"

#include <QCoreApplication>
#include <QSet>

#include <algorithm>
#include <map>

namespace stowage {

namespace {

// The group of what no project owns; "" is the standalone containers' group.
const QString noProject = QStringLiteral("\x01");

QString groupName(const QString& key)
{
    if (key == noProject)
        return QCoreApplication::translate("DiskMap", "Not in a project");
    return key.isEmpty() ? QCoreApplication::translate("DiskMap", "Standalone containers") : key;
}

QString firstOf(const OwnerList& names)
{
    return names.value(0, noProject);
}

DiskVerdict volumeVerdict(Classify::VolumeUsage usage)
{
    switch (usage) {
    case Classify::VolumeUsage::inUse: return DiskVerdict::inUse;
    case Classify::VolumeUsage::orphanAnonymous: return DiskVerdict::safeToRemove;
    case Classify::VolumeUsage::orphanLabeled:
    case Classify::VolumeUsage::orphanNamed: return DiskVerdict::mayHoldData;
    case Classify::VolumeUsage::disputed:
    case Classify::VolumeUsage::unknown: break;
    }
    return DiskVerdict::notVerified;
}

// Largest first, then by name: the same inventory always gives the same map.
void sortAndSum(DiskMapNode& node)
{
    qint64 bytes = 0;
    for (DiskMapNode& child : node.children) {
        if (!child.children.isEmpty())
            sortAndSum(child);
        bytes += child.bytes;
    }
    node.children.removeIf([](const DiskMapNode& child) { return child.bytes <= 0; });
    std::sort(node.children.begin(), node.children.end(), [](const DiskMapNode& a, const DiskMapNode& b) {
        return a.bytes != b.bytes ? a.bytes > b.bytes : a.name < b.name;
    });
    if (!node.children.isEmpty() || node.kind != DiskNodeKind::item)
        node.bytes = bytes;
}

}  // namespace

QString verdictText(DiskVerdict verdict)
{
    switch (verdict) {
    case DiskVerdict::inUse: return QCoreApplication::translate("DiskMap", "In use");
    case DiskVerdict::safeToRemove: return QCoreApplication::translate("DiskMap", "Safe to remove");
    case DiskVerdict::mayHoldData: return QCoreApplication::translate("DiskMap", "May hold data");
    case DiskVerdict::baseImage: return QCoreApplication::translate("DiskMap", "Base image");
    case DiskVerdict::notVerified: return QCoreApplication::translate("DiskMap", "Not verified");
    }
    return {};
}

DiskMapNode diskMap(const Inventory& inventory, const ProjectIndex& index, const UsageClassification& classification)
{
    // Group key -> kind -> items.
    std::map<QString, std::map<DiskNodeKind, QList<DiskMapNode>>> groups;
    const ImageGraph& graph = index.imageGraph;

    // Images: each id once, in the project whose containers run it (the first
    // by name when several do), else in the project whose name compose gave
    // it when building (<project>-<service>), else in no project.
    QHash<QString, QString> projectByLowerName;
    for (auto it = index.projectsMeta.cbegin(); it != index.projectsMeta.cend(); ++it)
        if (!it.key().isEmpty()) {
            const QString lower = it.key().toLower();
            if (!projectByLowerName.contains(lower) || it.key() < projectByLowerName.value(lower))
                projectByLowerName.insert(lower, it.key());
        }
    const auto builder = [&](const SGImage& image) {
        QString found = noProject;
        for (qsizetype cut = 1; cut < image.repository.size(); ++cut) {
            if (image.repository[cut] != u'-' && image.repository[cut] != u'_')
                continue;
            const QString key = projectByLowerName.value(image.repository.left(cut).toLower());
            if (!key.isEmpty() && Classify::isBuiltImage(image.repository, key) && (found == noProject || key < found))
                found = key;
        }
        return found;
    };
    QSet<QString> offered;
    for (const ImageUnit& unit : classification.unusedImageUnits())
        offered.insert(unit.id);
    QSet<QString> seen;
    qint64 exclusive = 0;
    for (const SGImage& image : inventory.images) {
        if (seen.contains(image.id) || graph.isIntermediate(image.id))
            continue;
        seen.insert(image.id);
        DiskMapNode item{DiskNodeKind::item, image.repository == QLatin1String("<none>")
                                                 ? image.id.section(QLatin1Char(':'), -1).left(12)
                                                 : image.repository + QLatin1Char(':') + image.tag};
        item.id = image.id;
        item.bytes = graph.known() ? graph.freedBy({image.id}).low : image.sizeBytes;
        exclusive += item.bytes;
        item.verdict = inventory.usedImageIDs.contains(image.id) ? DiskVerdict::inUse
            : !inventory.usageDataComplete                      ? DiskVerdict::notVerified
            : offered.contains(image.id)                        ? DiskVerdict::safeToRemove
                                                                : DiskVerdict::baseImage;
        const QString owner = index.imageOwners.contains(image.id) ? firstOf(index.imageOwners.value(image.id))
                                                                   : builder(image);
        groups[owner][DiskNodeKind::images] << item;
    }
    if (graph.known()) {
        const qint64 shared = graph.footprint(seen).high - exclusive;
        if (shared > 0)
            groups[noProject][DiskNodeKind::sharedLayers] << DiskMapNode{
                DiskNodeKind::item, QCoreApplication::translate("DiskMap", "Layers shared between images"), shared,
                DiskVerdict::inUse};
    }

    for (const SGVolume& volume : inventory.volumes) {
        DiskMapNode item{DiskNodeKind::item, volume.name, inventory.volumeSizes.value(volume.name),
                         volumeVerdict(classification.volumeUsage(volume)), volume.name};
        const QString owner = !volume.project.isEmpty() ? volume.project
            : index.volumeOwners.contains(volume.name)  ? firstOf(index.volumeOwners.value(volume.name))
                                                        : noProject;
        groups[owner][DiskNodeKind::volumes] << item;
    }
    for (auto it = index.projects.cbegin(); it != index.projects.cend(); ++it)
        for (const SGContainer& container : it.value())
            groups[it.key()][DiskNodeKind::containers]
                << DiskMapNode{DiskNodeKind::item, container.name, container.writableBytes(), DiskVerdict::inUse,
                               container.id};
    groups[noProject][DiskNodeKind::buildCache] << DiskMapNode{
        DiskNodeKind::item, QCoreApplication::translate("DiskMap", "Build cache"), inventory.buildCache.sizeBytes,
        DiskVerdict::safeToRemove};

    static const std::map<DiskNodeKind, const char*> kindNames{
        {DiskNodeKind::images, QT_TRANSLATE_NOOP("DiskMap", "Images")},
        {DiskNodeKind::volumes, QT_TRANSLATE_NOOP("DiskMap", "Volumes")},
        {DiskNodeKind::containers, QT_TRANSLATE_NOOP("DiskMap", "Containers' writable layers")},
        {DiskNodeKind::buildCache, QT_TRANSLATE_NOOP("DiskMap", "Build cache")},
        {DiskNodeKind::sharedLayers, QT_TRANSLATE_NOOP("DiskMap", "Shared image layers")},
    };
    DiskMapNode root{DiskNodeKind::engine, QCoreApplication::translate("DiskMap", "Docker")};
    for (auto& [key, kinds] : groups) {
        DiskMapNode group{DiskNodeKind::project, groupName(key)};
        group.id = key == noProject ? QString() : key;
        for (auto& [kind, items] : kinds)
            group.children << DiskMapNode{kind, QCoreApplication::translate("DiskMap", kindNames.at(kind)), 0,
                                          DiskVerdict::inUse, {}, items};
        root.children << group;
    }
    sortAndSum(root);
    return root;
}

QList<DiskMapTile> layOut(const DiskMapNode& node, const QRectF& bounds, double minimumArea)
{
    // The children as they come (largest first); the small tail goes together.
    QList<DiskMapNode> shown = node.children;
    const double area = bounds.width() * bounds.height();
    if (node.bytes > 0 && minimumArea > 0) {
        const auto small = std::find_if(shown.begin(), shown.end(), [&](const DiskMapNode& child) {
            return double(child.bytes) / double(node.bytes) * area < minimumArea;
        });
        if (std::distance(small, shown.end()) > 1) {
            DiskMapNode rest{DiskNodeKind::smallerItems, {}, 0, DiskVerdict::inUse};
            rest.children = QList<DiskMapNode>(small, shown.end());
            for (const DiskMapNode& child : rest.children)
                rest.bytes += child.bytes;
            rest.name = QCoreApplication::translate("DiskMap", "%n smaller items", nullptr, int(rest.children.size()));
            shown.erase(small, shown.end());
            shown << rest;
        }
    }
    QList<qint64> sizes;
    for (const DiskMapNode& child : shown)
        sizes << child.bytes;
    const QList<QRectF> rects = squarify(sizes, bounds);
    QList<DiskMapTile> tiles;
    for (qsizetype i = 0; i < shown.size(); ++i)
        tiles << DiskMapTile{shown[i], rects[i], shown[i].kind == DiskNodeKind::smallerItems ? -1 : int(i)};
    return tiles;
}

}  // namespace stowage
