// The text of `stowage report` and `stowage clean`: a few aligned tables,
// every name from Docker made printable.

#include "cli/Console.h"
#include "cli/Report.h"

#include "docker/CountText.h"

#include "model/AppModel.h"
#include "model/OverviewFigures.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace stowage::cli {

namespace {

const QString offeredMark = QStringLiteral("✕");

QString human(qint64 bytes) { return SizeFormat::humanSize(bytes); }

// Rows of cells as aligned columns, each line indented by two spaces.
QString table(const QList<QStringList>& rows)
{
    QList<qsizetype> widths;
    for (const QStringList& row : rows)
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (widths.size() <= i)
                widths.append(0);
            widths[i] = std::max(widths[i], row[i].size());
        }
    QString text;
    for (const QStringList& row : rows) {
        QString line = QStringLiteral("  ");
        for (qsizetype i = 0; i < row.size(); ++i)
            line += i + 1 < row.size() ? row[i].leftJustified(widths[i] + 2) : row[i];
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        text += printable(line) + QLatin1Char('\n');
    }
    return text;
}

QString volumeSize(const UsageClassification& classification, const SGVolume& volume)
{
    return human(classification.totalBytes({volume}));
}

QString summary(const AppModel& model, const OverviewFigures& figures)
{
    const BuildCache& cache = model.buildCache();
    const QString usage = model.usageDataComplete()
        ? QStringLiteral("complete")
        : QStringLiteral("INCOMPLETE — ") + model.usageDataProblem();
    return table({
        {QStringLiteral("Containers"), QStringLiteral("%1 (%2 running)").arg(model.containers().size()).arg(figures.running)},
        {QStringLiteral("Images"), QStringLiteral("%1 in %2 images").arg(human(figures.imageBytes)).arg(figures.images)},
        {QStringLiteral("Volumes"), QStringLiteral("%1 in %2 volumes").arg(human(figures.volumeBytes)).arg(model.volumes().size())},
        {QStringLiteral("Build cache"), cache.shownSize() + QStringLiteral(" (reclaimable ") + cache.shownReclaimable() + QLatin1Char(')')},
        {QStringLiteral("Reclaimable"), formatRange(figures.reclaimableBytes) + QStringLiteral(" with Safe Clean All")},
        {QStringLiteral("Data root"), model.dockerRoot()},
        {QStringLiteral("Usage data"), usage},
    });
}

}  // namespace

QList<ReportedImage> reportedImages(const AppModel& model, const UsageClassification& classification)
{
    QHash<QString, ImageStatus> statusOf;
    for (const SGImage& row : model.images())
        if (!statusOf.contains(row.id))
            statusOf.insert(row.id, classification.imageStatus(row));
    QList<ReportedImage> images;
    for (const ImageUnit& image : model.unitsOf(model.images()))
        images.append({image, statusOf.value(image.id)});
    return images;
}

QString reportText(const AppModel& model)
{
    const UsageClassification classification = model.classification();
    const CleanPlan safeCleanAll = classification.cleanPlan(safeCleanAllKinds);
    const QSet<QString> offeredImages = safeCleanAll.imageIds();
    const QSet<QString> offeredVolumes = safeCleanAll.volumeNames();

    QList<QStringList> images{{{}, QStringLiteral("IMAGE"), QStringLiteral("ID"), QStringLiteral("SIZE"), QStringLiteral("STATUS")}};
    for (const auto& [image, status] : reportedImages(model, classification))
        images.append({offeredImages.contains(image.id) ? offeredMark : QString(), image.name, shortImageId(image.id),
                       image.size, status.reason});
    QList<QStringList> volumes{{{}, QStringLiteral("VOLUME"), QStringLiteral("PROJECT"), QStringLiteral("SIZE"), QStringLiteral("STATUS")}};
    for (const SGVolume& volume : model.volumes())
        volumes.append({offeredVolumes.contains(volume.name) ? offeredMark : QString(), volume.name,
                        volume.project.isEmpty() ? QStringLiteral("—") : volume.project,
                        volumeSize(classification, volume), classification.volumeStatusText(volume)});

    return summary(model, OverviewFigures::of(model.inventory(), classification))
        + QStringLiteral("\nImages (%1 = Safe Clean All removes it)\n").arg(offeredMark) + table(images)
        + QStringLiteral("\nVolumes\n") + table(volumes);
}

QString planText(const CleanPlan& plan)
{
    QList<QStringList> goes;
    for (const ImageUnit& image : plan.images)
        goes.append({QStringLiteral("image"), image.name, shortImageId(image.id), image.size});
    for (const SGVolume& volume : plan.volumes)
        goes.append({QStringLiteral("volume"), volume.name, {}, human(volume.sizeBytes)});
    QList<QStringList> stays;
    for (const KeptImage& item : plan.keptImages)
        stays.append({QStringLiteral("image"), item.image.name, shortImageId(item.image.id), item.reason});
    for (const KeptVolume& item : plan.keptVolumes)
        stays.append({QStringLiteral("volume"), item.volume.name, {}, item.reason});

    QString text = QStringLiteral("Would remove (%1):\n").arg(formatRange(plan.reclaimable()));
    if (plan.buildCache)
        text += printable(QStringLiteral("  the build cache (%1 reclaimable)\n").arg(plan.buildCacheReclaimable));
    text += table(goes);
    if (!plan.buildLayers.isEmpty())
        text += QStringLiteral("  and %1 of those images\n")
                    .arg(counted(plan.buildLayers.size(), QStringLiteral("untagged build layer")));
    if (plan.removesNothing())
        text += QStringLiteral("  nothing\n");
    if (!stays.isEmpty())
        text += QStringLiteral("\nKept:\n") + table(stays);
    return text;
}

QString stepText(const CleanStep& step, const CleanPlan& plan)
{
    if (!step.error.isEmpty())
        return printable(QStringLiteral("failed: ") + step.error);
    switch (step.kind) {
    case CleanStep::Kind::buildCache: return QStringLiteral("cleared the build cache");
    case CleanStep::Kind::volume: return printable(QStringLiteral("removed volume ") + step.item);
    case CleanStep::Kind::image: break;
    }
    const auto image = std::find_if(plan.images.cbegin(), plan.images.cend(),
                                    [&](const ImageUnit& unit) { return unit.id == step.item; });
    const QString name = image == plan.images.cend() ? step.item : image->name;
    return printable(QStringLiteral("removed image %1 (%2)").arg(name, shortImageId(step.item)));
}

}  // namespace stowage::cli
