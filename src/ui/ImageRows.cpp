#include "ui/ImageRows.h"

#include "docker/Classify.h"
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

// The model's reason, except that a shared image is called out and an unused
// image that looks pulled is named as a base image (it is never bulk-removed).
QString statusOf(const SGImage& image, const ImageStatus& status, const ProjectText& project, bool complete)
{
    if (complete && project.shared)
        return QStringLiteral("Shared — keep");
    if (!status.safe || image.repository == dangling || Classify::looksLocallyBuilt(image.repository))
        return status.reason;
    return QStringLiteral("Base image — not offered for bulk removal");
}

}  // namespace

QString shortId(const QString& id)
{
    QString bare = id;
    bare.remove(QStringLiteral("sha256:"));
    return bare.left(12);
}

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
        rows.append({image.id, markOf(status, complete), image.repository, image.tag, shortId(image.id), image.size,
                     image.created, project.text, statusOf(image, status, project, complete),
                     colorOf(image, status, complete)});
    }
    return rows;
}

}  // namespace stowage::ImageRows
