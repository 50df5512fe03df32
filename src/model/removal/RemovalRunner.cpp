#include "model/removal/RemovalRunner.h"

#include "docker/DockerError.h"
#include "history/History.h"
#include "inventory/InventoryAfterRemoval.h"
#include "log/ActivityLog.h"
#include "model/AppModel.h"
#include "model/removal/RemovalEnding.h"
#include "text/Graphemes.h"

#include <QCoreApplication>

namespace stowage {

namespace {

constexpr int timeoutsBeforeAbort = 3;

bool isTimeout(const RunError& error)
{
    const auto* docker = dynamic_cast<const DockerError*>(&error);
    return docker && docker->kind() == DockerError::Kind::timedOut;
}

// A container the confirmation showed as up: only such a one is removed with force.
bool shownActive(const SGContainer& container)
{
    return container.state == QLatin1String("running") || container.state == QLatin1String("restarting")
           || container.state == QLatin1String("paused");
}

QString prefixOf(const RemovalPlan& plan) { return QLatin1Char('[') + plan.operationName + QStringLiteral("] "); }

// The status line's words, in the user's language; the log's lines stay English.
struct Shown {
    Q_DECLARE_TR_FUNCTIONS(RemovalRunner)
};

}  // namespace

// The plan with the inventory and image graph shown when the removal started.
// Only the running operation changes them, so they are still current when it ends.
struct RemovalRunner::Run {
    RemovalPlan plan;
    Inventory shown;
    ImageGraph shownGraph;
};

RemovalRunner::RemovalRunner(AppModel& model, Limits limits)
    : model_(model), client_(model.client()), limits_(limits)
{
}

void RemovalRunner::start(RemovalPlan plan)
{
    model_.startSpinner();
    Run run{std::move(plan), model_.inventory_, model_.index_.imageGraph};
    model_.startOperation([this, run = std::move(run)](std::stop_token stop) { this->run(run, stop); });
}

void RemovalRunner::status(const QString& text)
{
    model_.post([this, text] { model_.setStatusText(text); });
}

void RemovalRunner::cleanStep(const RemovalPlan& plan, CleanStep step)
{
    if (plan.kind == RemovalPlan::Kind::safeClean)
        model_.post([this, step = std::move(step)] { emit model_.cleanStep(step); });
}

void RemovalRunner::end(const RemovalEnding& ending)
{
    model_.stopSpinner();
    model_.endOperation();
    for (const auto& line : ending.log)
        model_.log(line.level, line.text);
    if (ending.status)
        model_.setStatusText(ending.status->shown, ending.status->logged);
    if (ending.notice && ending.notice->warning)
        model_.alerts().warning(ending.notice->title, ending.notice->text);
    else if (ending.notice)
        model_.alerts().info(ending.notice->title, ending.notice->text);
    if (ending.reconcile)
        model_.finishOperationAndReconcile();
}

// Runs on the operation's thread; touches model state only through post().
void RemovalRunner::run(const Run& run, std::stop_token stop)
{
    const RemovalPlan& plan = run.plan;
    status(Shown::tr("[%1] checking Docker daemon…").arg(plan.shownName()));

    bool daemonAnswered = true;
    if (!plan.empty()) {
        try {
            client_.checkDaemon(limits_.healthCheck, stop);
        } catch (const RunError&) {
            daemonAnswered = false;
        }
    }
    // A check ended by Stop is a cancellation, not a daemon that did not answer.
    if (!daemonAnswered && !stop.stop_requested()) {
        // A run without a window ends in failure, not "nothing to do".
        cleanStep(plan, {CleanStep::Kind::buildCache, {},
                         QStringLiteral("Docker did not answer a health check, so nothing was removed")});
        model_.post([this, ending = daemonSilentEnding(plan)] { end(ending); });
        return;
    }

    // The engine's own total before and after, when images go: what they
    // free depends on the layers they share.
    FreedSpace freed{plan.expected, {}, {}, {}};
    const bool measure = !plan.images.isEmpty() || plan.kind == RemovalPlan::Kind::safeClean;
    if (measure && daemonAnswered)
        if (const auto usage = readDiskUsage(client_, stop))
            freed.before = usage->totalBytes;

    RemovalOutcome outcome;
    if (!daemonAnswered) {
        outcome.stopped = true;
    } else {
        pruneStep(run, outcome, stop);
        if (removeContainerStep(run, outcome, stop) && removeImageStep(run, outcome, stop))
            removeVolumeStep(run, outcome, stop);
    }

    // Not after Stop or when the engine stopped answering: the ending must not wait on it.
    const bool somethingWent = !outcome.deletedImages.isEmpty() || plan.kind == RemovalPlan::Kind::safeClean;
    if (measure && freed.before && somethingWent && !outcome.stopped && !stop.stop_requested())
        if ((freed.usageAfter = readDiskUsage(client_, stop)))
            freed.after = freed.usageAfter->totalBytes;
    outcome.cancelled = stop.stop_requested();
    // docker also reports the layers it deleted as "Deleted:" lines: only listed images count.
    outcome.deletedImages.removeIf([&](const QString& id) { return !run.shownGraph.isListed(id); });
    const RemovedItems removed{outcome.containers, outcome.deletedImages, outcome.volumes};
    Inventory shown = run.shown;
    if (!removed.imageIDs.isEmpty())
        shown.engineImages = freed.usageAfter ? freed.usageAfter->images : EngineImageTotals{};
    const bool anythingWent = outcome.pruned || !removed.containerIDs.isEmpty() || !removed.imageIDs.isEmpty()
                              || !removed.volumeNames.isEmpty();
    const QString historyNote = plan.kind == RemovalPlan::Kind::buildCache
                                    ? QStringLiteral("freed by clearing the build cache")
                                    : QStringLiteral("freed by ") + plan.operationName;
    const qint64 freedBytes = freed.measured().value_or(freed.expected.low);
    model_.post([this, removed, anythingWent, historyNote, freedBytes, ending = removalEnding(plan, outcome, freed),
                 after = inventoryAfterRemoval(std::move(shown), removed)]() mutable {
        model_.applyLocalRemoval(std::move(after), removed);
        // The history explains the drop the next refresh will show.
        if (model_.history_ && anythingWent)
            model_.history_->recordRemoval({History::engineName(client_.cli.config().context),
                                            QDateTime::currentDateTimeUtc(), historyNote, freedBytes});
        end(ending);
    });
}

// A prune that fails or is stopped leaves the other steps to decide.
void RemovalRunner::pruneStep(const Run& run, RemovalOutcome& outcome, std::stop_token stop)
{
    const RemovalPlan& plan = run.plan;
    if (!plan.pruneBuildCache || stop.stop_requested())
        return;
    status(Shown::tr("[%1] clearing build cache…").arg(plan.shownName()));
    const int shown = plan.kind == RemovalPlan::Kind::buildCache ? 140 : 120;
    // Every line is read to the end, even after Stop: a prune that exited 0 did its work.
    const auto onLine = [&](const QString& line) {
        outcome.pruneLines << line;
        if (!stop.stop_requested())
            status(Shown::tr("build cache › %1").arg(leadingCharacters(line, shown)));
        return true;
    };
    const StreamEnding ending = client_.pruneBuildCache(limits_.prune, onLine, stop);
    outcome.pruned = ending.succeeded();
    if (outcome.pruned) {
        cleanStep(plan, {CleanStep::Kind::buildCache, {}, {}});
        return;
    }
    if (stop.stop_requested()) {
        outcome.stopped = true;
        return;
    }
    outcome.pruneFailure = ending.failure;
    outcome.errors.append(QStringLiteral("build cache: ") + ending.failure,
                          Shown::tr("build cache: %1").arg(shownDescription(ending.failure)));
    cleanStep(plan, {CleanStep::Kind::buildCache, {}, outcome.errors.logged.last()});
}

bool RemovalRunner::removeContainerStep(const Run& run, RemovalOutcome& outcome, std::stop_token stop)
{
    const RemovalPlan& plan = run.plan;
    if (plan.containers.isEmpty())
        return true;
    if (stop.stop_requested()) {
        outcome.stopped = true;
        return false;
    }
    status(Shown::tr("[%1] removing %n container(s)…", nullptr, int(plan.containers.size())).arg(plan.shownName()));
    // Force only for containers the confirmation named as running: one that
    // started since is refused by the engine and reported, not killed.
    QStringList running, resting;
    for (const auto& container : plan.containers)
        (shownActive(container) ? running : resting) << container.id;
    for (const auto& [ids, force] : {std::pair{running, true}, std::pair{resting, false}}) {
        if (ids.isEmpty())
            continue;
        const auto result = client_.removeContainers(ids, force, stop);
        outcome.containers += result.removed;
        outcome.errors += result.errors;
        if (result.timedOut || stop.stop_requested()) {
            outcome.stopped = true;
            return false;
        }
    }
    return true;
}

// Images, one at a time, each with all its names; three time-outs in a row
// mean the daemon is wedged.
bool RemovalRunner::removeImageStep(const Run& run, RemovalOutcome& outcome, std::stop_token stop)
{
    const RemovalPlan& plan = run.plan;
    const QString prefix = prefixOf(plan);
    const qsizetype imageCount = plan.images.size();
    for (qsizetype i = 0; i < imageCount; ++i) {
        const ImageUnit& image = plan.images[i];
        if (stop.stop_requested()) {
            outcome.stopped = true;
            return false;
        }
        status(Shown::tr("[%1] removing image %2/%3: %4…")
                   .arg(plan.shownName(), QString::number(i + 1), QString::number(imageCount), image.name));
        try {
            for (const QString& id : client_.removeImage(image, limits_.imageRemove, stop))
                outcome.deletedImages.insert(id);
            outcome.images.insert(image.id);
            outcome.consecutiveTimeouts = 0;
            cleanStep(plan, {CleanStep::Kind::image, image.id, {}});
            continue;
        } catch (const CancelledError&) {
            outcome.stopped = true;
            return false;
        } catch (const RunError& error) {
            const bool timedOut = isTimeout(error);
            FailureLines failure;
            failure.append(QStringLiteral("image ") + image.name + QStringLiteral(": ")
                               + (timedOut ? QStringLiteral("timed out") : error.description()),
                           Shown::tr("image %1: %2")
                               .arg(image.name, timedOut ? Shown::tr("timed out") : error.shownDescription()));
            outcome.imageErrors += failure;
            outcome.errors += failure;
            cleanStep(plan, {CleanStep::Kind::image, image.id, failure.logged.last()});
            if (!timedOut) {
                outcome.consecutiveTimeouts = 0;
                continue;
            }
        }
        if (outcome.consecutiveTimeouts >= timeoutsBeforeAbort - 1) {
            model_.log(LogLevel::error, prefix + QStringLiteral("aborting after %1 consecutive timeouts — daemon "
                                                                "likely wedged")
                                                     .arg(timeoutsBeforeAbort));
            outcome.stopped = true;
            return false;
        }
        ++outcome.consecutiveTimeouts;
    }
    return true;
}

void RemovalRunner::removeVolumeStep(const Run& run, RemovalOutcome& outcome, std::stop_token stop)
{
    const RemovalPlan& plan = run.plan;
    if (plan.volumes.isEmpty())
        return;
    if (stop.stop_requested()) {
        outcome.stopped = true;
        return;
    }
    status(Shown::tr("[%1] removing %n volume(s)…", nullptr, int(plan.volumes.size())).arg(plan.shownName()));
    QStringList names;
    for (const auto& volume : plan.volumes)
        names << volume.name;
    const auto result = client_.removeVolumes(names, stop);
    outcome.volumes = result.removed;
    outcome.errors += result.errors;
    outcome.volumeErrors = result.errors;
    if (result.timedOut || stop.stop_requested())
        outcome.stopped = true;
    for (const QString& name : names)
        if (result.removed.contains(name))
            cleanStep(plan, {CleanStep::Kind::volume, name, {}});
    for (const QString& error : result.errors.logged)
        cleanStep(plan, {CleanStep::Kind::volume, {}, error});
}

}  // namespace stowage
