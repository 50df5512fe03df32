// The JSON object of `--json` (its schema is documented in docs/json-schema.md).

#include "cli/Report.h"

#include "classification/OverviewFigures.h"
#include "model/AppModel.h"

#include <QJsonArray>
#include <QSet>

namespace stowage::cli {

namespace {

QJsonArray strings(const QStringList& list) { return QJsonArray::fromStringList(list); }

// "Safe Clean All" from the history's "freed by Safe Clean All".
QString operationOf(const HistoryRemoval& removal)
{
    static const QString freedBy = QStringLiteral("freed by ");
    return removal.what.startsWith(freedBy) ? removal.what.mid(freedBy.size()) : removal.what;
}

QJsonObject removal(bool buildCache, const QStringList& images, const QStringList& volumes)
{
    return {{"buildCache", buildCache}, {"images", strings(images)}, {"volumes", strings(volumes)}};
}

QJsonObject wouldRemove(const CleanPlan& plan)
{
    QStringList images;
    for (const ImageUnit& image : plan.images)
        images << image.id;
    QStringList volumes;
    for (const SGVolume& volume : plan.volumes)
        volumes << volume.name;
    return removal(plan.buildCache, images, volumes);
}

QJsonObject kept(const CleanPlan& plan)
{
    QJsonArray images;
    for (const KeptImage& item : plan.keptImages)
        images.append(QJsonObject{{"id", item.image.id},
                                  {"repositories", strings(item.image.references)},
                                  {"reason", item.reason}});
    QJsonArray volumes;
    for (const KeptVolume& item : plan.keptVolumes)
        volumes.append(QJsonObject{{"name", item.volume.name}, {"reason", item.reason}});
    return {{"images", images}, {"volumes", volumes}};
}

}  // namespace

QJsonObject reportDocument(const AppModel& model, const Request& request, const Outcome& outcome)
{
    QJsonObject doc{{"command", request.command == Command::report ? "report" : "clean"},
                    {"usageDataComplete", outcome.inventoryRead && model.inventory().usageDataComplete},
                    {"usageDataProblem", outcome.inventoryRead ? model.inventory().usageDataProblem : QString()},
                    {"interrupted", outcome.interrupted},
                    {"errors", strings(outcome.errors)},
                    {"engine", request.engine.name},
                    {"endpoint", request.engine.endpoint}};
    QJsonArray images;
    QJsonArray volumes;
    if (outcome.inventoryRead) {
        const UsageClassification classification = model.classification();
        const CleanPlan safeCleanAll = classification.cleanPlan(safeCleanAllKinds);
        const QSet<QString> offeredImages = safeCleanAll.imageIds();
        const QSet<QString> offeredVolumes = safeCleanAll.volumeNames();
        for (const auto& [image, status, reason] : reportedImages(model, classification))
            images.append(QJsonObject{{"id", image.id},
                                      {"repositories", strings(image.references)},
                                      {"sizeBytes", image.sizeBytes},
                                      {"status", status.reason},
                                      {"reason", reason},
                                      {"offered", offeredImages.contains(image.id)}});
        for (const SGVolume& volume : model.inventory().volumes)
            volumes.append(QJsonObject{{"name", volume.name},
                                       {"project", volume.project},
                                       {"sizeBytes", classification.totalBytes({volume})},
                                       {"usage", Classify::rawValue(classification.volumeUsage(volume))},
                                       {"status", classification.volumeStatusText(volume)},
                                       {"offered", offeredVolumes.contains(volume.name)}});

        QJsonArray projects;
        for (const ReportedProject& project : reportedProjects(model)) {
            QStringList imageIds;
            for (const SGImage& image : project.meta.images)
                imageIds << image.id;
            QStringList volumeNames;
            for (const SGVolume& volume : project.meta.volumes)
                volumeNames << volume.name;
            imageIds.sort();
            volumeNames.sort();
            projects.append(QJsonObject{{"name", project.name},
                                        {"containers", project.containers},
                                        {"running", project.running},
                                        {"takenDown", project.containers == 0},
                                        {"images", strings(imageIds)},
                                        {"imageBytes", project.imageBytes.high},
                                        {"volumes", strings(volumeNames)},
                                        {"volumeBytes", project.volumeBytes}});
        }
        doc["projects"] = projects;

        const OverviewFigures figures = OverviewFigures::of(model.inventory(), classification);
        const BuildCache& cache = model.inventory().buildCache;
        doc["dockerRoot"] = model.inventory().dockerRoot;
        doc["containers"] = QJsonObject{{"total", model.inventory().containers.size()}, {"running", figures.running}};
        // Amounts that removal frees may only be known within bounds: the plain
        // key holds what is surely freed, "…AtMost" the most it can free.
        doc["totals"] = QJsonObject{{"imageBytes", figures.imageBytes},
                                    {"imageCount", figures.images},
                                    {"volumeBytes", figures.volumeBytes},
                                    {"unusedImageBytes", figures.unusedBytes.low},
                                    {"unusedImageBytesAtMost", figures.unusedBytes.high},
                                    {"orphanVolumeBytes", figures.orphanBytes},
                                    {"reclaimableBytes", figures.reclaimableBytes.low},
                                    {"reclaimableBytesAtMost", figures.reclaimableBytes.high}};
        doc["buildCache"] = QJsonObject{{"size", cache.size},
                                        {"sizeBytes", cache.sizeBytes},
                                        {"reclaimable", cache.reclaimable},
                                        {"reclaimableBytes", cache.reclaimableBytes}};
        if (request.command == Command::report)
            doc["wouldRemove"] = wouldRemove(safeCleanAll);
    }
    doc["images"] = images;
    doc["volumes"] = volumes;
    if (request.command == Command::clean) {
        doc["dryRun"] = outcome.dryRun;
        if (outcome.plan) {
            doc["wouldRemove"] = wouldRemove(*outcome.plan);
            doc["kept"] = kept(*outcome.plan);
        }
        doc["removed"] = removal(outcome.buildCacheCleared, outcome.removedImages, outcome.removedVolumes);
    }
    if (outcome.growth) {
        QJsonArray growth;
        for (const HistoryGrowth& item : *outcome.growth)
            growth.append(QJsonObject{
                {"subject", item.subject == HistoryGrowth::Subject::project ? "project" : "volume"},
                {"name", item.name},
                {"project", item.project},
                {"bytesBefore", item.before},
                {"bytesNow", item.now},
                {"growthBytes", item.growth()},
                {"new", item.isNew}});
        doc["growthSince"] = outcome.since.toUTC().toString(Qt::ISODate);
        doc["growth"] = growth;
        QJsonArray removals;
        for (const HistoryRemoval& removal : outcome.removals)
            removals.append(QJsonObject{{"time", removal.at.toUTC().toString(Qt::ISODate)},
                                        {"operation", operationOf(removal)},
                                        {"freedBytes", removal.bytes}});
        doc["removals"] = removals;
    }
    return doc;
}

}  // namespace stowage::cli
