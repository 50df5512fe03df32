// The text of `stowage report` and `stowage clean`: a few aligned tables,
// every name from Docker made printable.

#include "cli/Console.h"
#include "cli/Report.h"

#include "text/CountText.h"

#include "classification/OverviewFigures.h"
#include "inventory/ProjectIndex.h"
#include "model/AppModel.h"
#include "text/SizeFormat.h"

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
    const BuildCache& cache = model.inventory().buildCache;
    const QString usage = model.inventory().usageDataComplete
        ? QStringLiteral("complete")
        : QStringLiteral("INCOMPLETE — ") + model.inventory().usageDataProblem;
    return table({
        {QStringLiteral("Containers"), QStringLiteral("%1 (%2 running)").arg(model.inventory().containers.size()).arg(figures.running)},
        {QStringLiteral("Images"), QStringLiteral("%1 in %2 images").arg(human(figures.imageBytes)).arg(figures.images)},
        {QStringLiteral("Volumes"), QStringLiteral("%1 in %2 volumes").arg(human(figures.volumeBytes)).arg(model.inventory().volumes.size())},
        {QStringLiteral("Build cache"), cache.shownSize() + QStringLiteral(" (reclaimable ") + cache.shownReclaimable() + QLatin1Char(')')},
        {QStringLiteral("Reclaimable"), formatRange(figures.reclaimableBytes) + QStringLiteral(" with Safe Clean All")},
        {QStringLiteral("Data root"), model.inventory().dockerRoot},
        {QStringLiteral("Usage data"), usage},
    });
}

}  // namespace

QList<ReportedImage> reportedImages(const AppModel& model, const UsageClassification& classification)
{
    QHash<QString, ImageStatus> statusOf;
    for (const SGImage& row : model.inventory().images)
        if (!statusOf.contains(row.id))
            statusOf.insert(row.id, classification.imageStatus(row));
    QSet<QString> offered;
    for (const SGImage& row : classification.unusedImages())
        offered.insert(row.id);
    const QHash<QString, QString> kept = classification.keptImageReasons();
    QList<ReportedImage> images;
    for (const ImageUnit& image : imageUnits(model.inventory().images, model.inventory().images))
        images.append({image, statusOf.value(image.id), offered.contains(image.id) ? QString() : kept.value(image.id)});
    return images;
}

QList<ReportedProject> reportedProjects(const AppModel& model)
{
    QStringList names = model.index().projects.keys();
    names.removeAll(QString());
    names.sort();
    QList<ReportedProject> projects;
    for (const QString& name : std::as_const(names)) {
        const QList<SGContainer> members = model.index().projects.value(name);
        ReportedProject project{name, int(members.size()), 0, model.index().projectsMeta.value(name), {}, 0, {}};
        for (const SGContainer& c : members)
            project.running += c.state == QStringLiteral("running") ? 1 : 0;
        project.imageBytes = projectImageBytes(project.meta, model.index().imageGraph);
        for (const SGVolume& volume : project.meta.volumes)
            project.volumeBytes += model.inventory().volumeSizes.value(volume.name, 0);
        project.state = members.isEmpty() ? takenDownText(project.meta, model.inventory().volumeSizes)
            : project.running > 0       ? QStringLiteral("%1 running").arg(project.running)
                                        : QStringLiteral("all stopped");
        projects.append(project);
    }
    return projects;
}

QString reportText(const AppModel& model)
{
    const UsageClassification classification = model.classification();
    const CleanPlan safeCleanAll = classification.cleanPlan(safeCleanAllKinds);
    const QSet<QString> offeredImages = safeCleanAll.imageIds();
    const QSet<QString> offeredVolumes = safeCleanAll.volumeNames();

    QList<QStringList> images{{{}, QStringLiteral("IMAGE"), QStringLiteral("ID"), QStringLiteral("SIZE"), QStringLiteral("STATUS")}};
    for (const auto& [image, status, reason] : reportedImages(model, classification))
        images.append({offeredImages.contains(image.id) ? offeredMark : QString(), image.name, shortImageId(image.id),
                       image.size, reason.isEmpty() ? status.reason : reason});
    QList<QStringList> volumes{{{}, QStringLiteral("VOLUME"), QStringLiteral("PROJECT"), QStringLiteral("SIZE"), QStringLiteral("STATUS")}};
    for (const SGVolume& volume : model.inventory().volumes)
        volumes.append({offeredVolumes.contains(volume.name) ? offeredMark : QString(), volume.name,
                        volume.project.isEmpty() ? QStringLiteral("—") : volume.project,
                        volumeSize(classification, volume), classification.volumeStatusText(volume)});

    QList<QStringList> projects{{QStringLiteral("PROJECT"), QStringLiteral("CONTAINERS"), QStringLiteral("IMAGES"),
                                 QStringLiteral("VOLUMES"), QStringLiteral("STATE")}};
    for (const ReportedProject& project : reportedProjects(model))
        projects.append({project.name, QString::number(project.containers),
                         QStringLiteral("%1 (%2)").arg(project.meta.images.size()).arg(formatRange(project.imageBytes)),
                         QStringLiteral("%1 (%2)").arg(project.meta.volumes.size()).arg(human(project.volumeBytes)),
                         project.state});

    return summary(model, OverviewFigures::of(model.inventory(), classification))
        + QStringLiteral("\nProjects\n") + table(projects)
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
        text += printable(QStringLiteral("  the build cache (%1 reclaimable)").arg(plan.buildCacheReclaimable))
                + QLatin1Char('\n');
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

QString growthText(const QList<HistoryGrowth>& growth, const QDateTime& since)
{
    QString text = QStringLiteral("\nGrowth since %1\n").arg(since.toLocalTime().toString(Qt::ISODate));
    int shown = 0;
    for (const HistoryGrowth& item : growth) {
        if (item.growth() == 0)
            continue;
        const QString sign = item.growth() > 0 ? QStringLiteral("+") : QStringLiteral("−");
        const QString kind = item.subject == HistoryGrowth::Subject::project ? QStringLiteral("project")
                                                                            : QStringLiteral("volume ");
        text += QStringLiteral("  %1  %2%3  %4%5\n")
                    .arg(kind, sign, SizeFormat::humanSize(std::abs(item.growth())).leftJustified(10),
                         printable(item.name.isEmpty() ? projectDisplayName(item.name) : item.name),
                         item.isNew ? QStringLiteral("  (new)") : QString());
        ++shown;
    }
    if (shown == 0)
        text += growth.isEmpty() ? QStringLiteral("  No earlier refresh is recorded yet.\n")
                                 : QStringLiteral("  Nothing changed in size.\n");
    return text;
}

QString removalsText(const QList<HistoryRemoval>& removals)
{
    if (removals.isEmpty())
        return QStringLiteral("\nNo removals by Stowage in that time.\n");
    QList<QStringList> rows;
    for (const HistoryRemoval& removal : removals)
        rows << QStringList{removal.at.toLocalTime().toString(Qt::ISODate), human(removal.bytes), removal.what};
    return QStringLiteral("\nRemovals by Stowage\n") + table(rows);
}

}  // namespace stowage::cli
