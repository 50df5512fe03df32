#pragma once
// What `stowage report` and `stowage clean` print: one JSON object (--json)
// or text, both built from the model's own classification and clean plan.

#include "classification/CleanPlan.h"
#include "classification/UsageClassification.h"
#include "cli/HeadlessRequest.h"
#include "history/HistoryRecord.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace stowage {
class AppModel;
}

namespace stowage::cli {

// What a run did, as data.
struct Outcome {
    // The refresh read every listing; without it no inventory is shown.
    bool inventoryRead = false;
    // clean: what it set out to remove, once the inventory was read.
    std::optional<CleanPlan> plan;
    bool dryRun = true;
    bool buildCacheCleared = false;
    QStringList removedImages;   // ids
    QStringList removedVolumes;  // names
    QStringList errors;
    bool interrupted = false;
    // report --since: the growth from the history (empty with fewer than two refreshes).
    std::optional<QList<HistoryGrowth>> growth;
    QList<HistoryRemoval> removals;  // what Stowage removed in that time, oldest first
    QDateTime since;
};

// Every image of the listing once, with all its names, the classification's
// status of its first row, and why Safe Clean All keeps it (empty when it
// removes it): the verdict of the name that keeps it, as the window shows it.
struct ReportedImage {
    ImageUnit image;
    ImageStatus status;
    QString reason;
};
QList<ReportedImage> reportedImages(const AppModel& model, const UsageClassification& classification);

// Every compose project, by name (the standalone containers are not one),
// with what it holds; a project taken down has no containers but its data.
struct ReportedProject {
    QString name;
    int containers = 0;
    int running = 0;
    ProjectMeta meta;
    ByteRange imageBytes;  // each image once, shared layers once
    qint64 volumeBytes = 0;
    // "3 running", "all stopped", or what a taken-down project still holds.
    QString state;
};
QList<ReportedProject> reportedProjects(const AppModel& model);

QJsonObject reportDocument(const AppModel& model, const Request& request, const Outcome& outcome);

// The summary and the tables of `stowage report`.
QString reportText(const AppModel& model);
// What grew since a moment, largest growth first; what did not change is left out.
QString growthText(const QList<HistoryGrowth>& growth, const QDateTime& since);
// The removals Stowage made since that moment, with what each freed.
QString removalsText(const QList<HistoryRemoval>& removals);
// What a dry run would remove and what it keeps, with why.
QString planText(const CleanPlan& plan);
// One line for a removal as it happens.
QString stepText(const CleanStep& step, const CleanPlan& plan);

}  // namespace stowage::cli
