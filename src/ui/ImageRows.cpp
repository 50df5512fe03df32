#include "ui/ImageRows.h"

#include "model/AppModel.h"
#include "ui/Theme.h"

#include <algorithm>

namespace stowage::ImageRows {

namespace {

const QString dangling = QStringLiteral("<none>");

QColor colorOf(const SGImage& image, const ImageStatus& status, bool complete)
{
    if (!complete)
        return Theme::textDim();
    if (image.repository == dangling)
        return Theme::warning();
    return status.safe ? Theme::danger() : Theme::success();
}

QString markOf(const ImageStatus& status, bool complete)
{
    if (!complete)
        return QStringLiteral("?");
    return status.safe ? QStringLiteral("✕") : QStringLiteral("✓");
}

}  // namespace

QList<ImageRow> build(const AppModel& model)
{
    QList<SGImage> images = model.images();
    std::stable_sort(images.begin(), images.end(),
                     [](const SGImage& a, const SGImage& b) { return a.sizeBytes > b.sizeBytes; });

    const bool complete = model.usageDataComplete();
    const UsageClassification classification = model.classification();
    QList<ImageRow> rows;
    rows.reserve(images.size());
    for (const SGImage& image : images) {
        const ImageStatus status = classification.imageStatus(image);
        const ProjectText project = classification.imageProjectText(image);
        rows.append({image.id, markOf(status, complete), image.repository, image.tag, shortImageId(image.id), image.size,
                     image.created, project.text, classification.imageStatusText(image),
                     colorOf(image, status, complete)});
    }
    return rows;
}

}  // namespace stowage::ImageRows
