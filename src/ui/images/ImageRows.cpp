#include "ui/images/ImageRows.h"

#include "model/AppModel.h"
#include "ui/style/Theme.h"

#include <algorithm>

#include <QCoreApplication>

namespace stowage::ImageRows {

namespace {

const QString dangling = QStringLiteral("<none>");

ImageVerdict verdictOf(const SGImage& image, const ImageStatus& status, bool complete, const ImageGraph& graph,
                       const QSet<QString>& usedImageIDs, const QSet<QString>& offeredImageIDs)
{
    if (!complete)
        return ImageVerdict::unverified;
    if (graph.isIntermediate(image.id))
        return ImageVerdict::buildLayer;
    if (image.repository == dangling)
        return ImageVerdict::dangling;
    // An unused image another image was built on stays while that image does.
    if (!status.safe)
        return graph.hasChildren(image.id) && !usedImageIDs.contains(image.id) ? ImageVerdict::baseImage
                                                                                : ImageVerdict::used;
    return offeredImageIDs.contains(image.id) ? ImageVerdict::removable : ImageVerdict::baseImage;
}

}  // namespace

const QList<ImageLegendEntry>& legend()
{
    static const QList<ImageLegendEntry> entries{
        {ImageVerdict::used, QCoreApplication::translate("ImageRows", "Used by container"), Theme::success(),
         QStringLiteral("✓")},
        {ImageVerdict::removable, QCoreApplication::translate("ImageRows", "Safe to remove"), Theme::danger(),
         QStringLiteral("✕")},
        {ImageVerdict::dangling, QCoreApplication::translate("ImageRows", "Dangling (untagged)"), Theme::warning(),
         QStringLiteral("✕")},
        {ImageVerdict::baseImage, QCoreApplication::translate("ImageRows", "Unused base image — kept by bulk removal"),
         Theme::cyan(), QStringLiteral("○")},
        {ImageVerdict::buildLayer, QCoreApplication::translate("ImageRows", "Build layer — goes with its image"),
         Theme::textDim(), QStringLiteral("↳")},
        {ImageVerdict::unverified, QCoreApplication::translate("ImageRows", "Usage not verified"), Theme::textDim(),
         QStringLiteral("?")},
    };
    return entries;
}

const ImageLegendEntry& legendEntry(ImageVerdict verdict)
{
    const auto& entries = legend();
    return *std::find_if(entries.begin(), entries.end(),
                         [verdict](const ImageLegendEntry& entry) { return entry.verdict == verdict; });
}

int buildLayerCount(const Inventory& inventory, const ProjectIndex& index)
{
    const ImageGraph& graph = index.imageGraph;
    return static_cast<int>(std::count_if(inventory.images.cbegin(), inventory.images.cend(),
                                          [&](const SGImage& image) { return graph.isIntermediate(image.id); }));
}

QList<ImageRow> build(const AppModel& model, bool withBuildLayers)
{
    return build(model.inventory(), model.index(), withBuildLayers);
}

QList<ImageRow> build(const Inventory& inventory, const ProjectIndex& index, bool withBuildLayers)
{
    QList<SGImage> images = inventory.images;
    std::stable_sort(images.begin(), images.end(),
                     [](const SGImage& a, const SGImage& b) { return a.sizeBytes > b.sizeBytes; });

    const bool complete = inventory.usageDataComplete;
    const UsageClassification classification(inventory, index);
    QList<ImageRow> rows;
    rows.reserve(images.size());
    const ImageGraph& graph = index.imageGraph;
    QSet<QString> offered;
    for (const SGImage& image : classification.unusedImages())
        offered.insert(image.id);
    for (const SGImage& image : images) {
        const bool buildLayer = graph.isIntermediate(image.id);
        if (buildLayer && !withBuildLayers)
            continue;
        const ImageStatus status = classification.imageStatus(image);
        const ProjectText project = classification.imageProjectText(image);
        const ImageLegendEntry& verdict = legendEntry(verdictOf(image, status, complete, graph, inventory.usedImageIDs, offered));
        rows.append({image.id, verdict.mark, image.repository, image.tag, shortImageId(image.id), image.size,
                     image.created, project.text, classification.imageStatusText(image), verdict.color,
                     verdict.verdict});
    }
    return rows;
}

}  // namespace stowage::ImageRows
