#include "cli/HeadlessRun.h"

#include "docker/DockerRunner.h"
#include "history/History.h"
#include "history/HistoryStore.h"
#include "model/AppModel.h"

#include <QJsonDocument>

namespace stowage::cli {

HeadlessRun::HeadlessRun(AppModel& model, const Request& request, Console& console, QObject* parent)
    : QObject(parent), model_(model), request_(request), console_(console), alerts_(request.yes)
{
    model_.setAlerts(&alerts_);
    connect(&model_, &AppModel::refreshEnded, this, &HeadlessRun::refreshEnded);
    connect(&model_, &AppModel::cleanStep, this, &HeadlessRun::recordStep);
    connect(&model_, &AppModel::statusTextChanged, this, [this] {
        if (!isFinished() && model_.isLoading())
            console_.showProgress(model_.statusText());
    });
    // An operation's ending (its notice, its last status) is complete once the
    // call that stopped the spinner has returned: look after it, not during it.
    connect(
        &model_, &AppModel::isLoadingChanged, this,
        [this] {
            if (cleaning_ && !model_.isLoading())
                cleanEnded();
        },
        Qt::QueuedConnection);
}

HeadlessRun::~HeadlessRun()
{
    engineCheckStop_.request_stop();
    model_.setAlerts(nullptr);
}

void HeadlessRun::start()
{
    if (request_.engineAnswered)
        return engineChecked({});
    const DockerClient& client = model_.client();
    const double limit = model_.removals().limits().healthCheck;
    checkingEngine_ = true;
    engineCheck_.run<QString>(
        [&client, limit, stop = engineCheckStop_.get_token()] {
            try {
                client.checkDaemon(limit, stop);
                return QString();
            } catch (const DockerError& error) {
                return error.kind() == DockerError::Kind::timedOut
                    ? QStringLiteral("Docker did not answer within %1 s.").arg(limit)
                    : error.description();
            } catch (const RunError& error) {
                return error.description();
            }
        },
        [this](const QString& error) { engineChecked(error); });
}

void HeadlessRun::engineChecked(const QString& error)
{
    checkingEngine_ = false;
    if (isFinished())
        return;
    if (outcome_.interrupted) {
        console_.warn(QStringLiteral("stowage: interrupted — nothing was removed."));
        return finish(ExitStatus::interrupted);
    }
    if (error.isEmpty())
        return model_.refresh();
    outcome_.errors << error;
    console_.warn(unreachable(error));
    finish(ExitStatus::dockerUnreachable);
}

// Names the engine when the user named it: "Docker" alone stands for the one docker selects by itself.
QString HeadlessRun::unreachable(const QString& error) const
{
    const QString engine = request_.context.isEmpty()
        ? QStringLiteral("Docker")
        : QStringLiteral("the engine of context %1").arg(engineLabel(request_.engine.name, request_.engine.endpoint));
    return QStringLiteral("stowage: ") + engine + QStringLiteral(" cannot be reached: ") + printable(error);
}

// The first line of a text result: which engine it is about.
QString HeadlessRun::engineLine() const
{
    return request_.engine.name.isEmpty()
        ? QString()
        : QStringLiteral("Engine: ") + engineLabel(request_.engine.name, request_.engine.endpoint) + u'\n';
}

void HeadlessRun::interrupt()
{
    if (isFinished())
        return;
    outcome_.interrupted = true;
    if (checkingEngine_) {  // the check's child is stopped; its ending finishes the run
        console_.warn(QStringLiteral("stowage: stopping…"));
        engineCheckStop_.request_stop();
        return;
    }
    if (model_.isLoading()) {
        console_.warn(QStringLiteral("stowage: stopping…"));
        model_.cancelCurrentOperation();
    } else if (!cleaning_) {
        finish(ExitStatus::interrupted);
    }
}

void HeadlessRun::refreshEnded(RefreshEnd end, const QString& error)
{
    if (isFinished() || cleaning_)
        return;
    if (outcome_.interrupted) {
        console_.warn(QStringLiteral("stowage: interrupted — nothing was removed."));
        return finish(ExitStatus::interrupted);
    }
    if (end != RefreshEnd::completed) {
        outcome_.errors << error;
        console_.warn(unreachable(error));
        return finish(ExitStatus::dockerUnreachable);
    }
    outcome_.inventoryRead = true;
    if (request_.command == Command::clean)
        return clean();

    if (request_.since)
        return readGrowth();
    reportEnded();
}

// The growth comes from the history, after the record of this very refresh.
void HeadlessRun::readGrowth()
{
    outcome_.since = QDateTime::currentDateTimeUtc().addSecs(-request_.since->count());
    History* history = model_.history();
    if (!history) {
        console_.warn(QStringLiteral("stowage: no history is kept (no data folder), so no growth can be told."));
        outcome_.growth.emplace();
        return reportEnded();
    }
    using Found = std::pair<QList<HistoryGrowth>, QList<HistoryRemoval>>;
    history->read<Found>(
        [engine = History::engineName(model_.client().cli.config().context),
         since = outcome_.since](const HistoryStore& store) {
            return Found{store.growthSince(engine, since),
                         store.removals(engine, since, QDateTime::currentDateTimeUtc())};
        },
        {},
        [this](Found found) {
            outcome_.growth = std::move(found.first);
            outcome_.removals = std::move(found.second);
            reportEnded();
        });
}

void HeadlessRun::reportEnded()
{
    if (isFinished())
        return;
    if (!request_.json)
        console_.print(engineLine() + reportText(model_)
                       + (outcome_.growth ? growthText(*outcome_.growth, outcome_.since) + removalsText(outcome_.removals)
                                          : QString()));
    if (model_.inventory().usageDataComplete)
        return finish(ExitStatus::success);
    console_.warn(printable(QStringLiteral("stowage: usage data is incomplete: ") + model_.inventory().usageDataProblem));
    finish(ExitStatus::usageDataIncomplete);
}

void HeadlessRun::clean()
{
    outcome_.plan = model_.classification().cleanPlan(request_.kinds);
    const CleanPlan& plan = *outcome_.plan;
    if (plan.blocked) {
        const QString refusal = QStringLiteral("Usage data is incomplete, so no image or volume is called unused and "
                                               "nothing was removed: ")
            + model_.inventory().usageDataProblem;
        outcome_.errors << refusal;
        console_.warn(printable(QStringLiteral("stowage: ") + refusal));
        return finish(ExitStatus::usageDataIncomplete);
    }
    if (!request_.yes) {
        model_.removals().safeClean(request_.kinds);  // declined by the dry-run rule: nothing is removed
        if (!request_.json)
            console_.print(engineLine() +
                           QStringLiteral("Dry run: nothing was removed. `stowage clean --yes` removes what is listed "
                                          "under \"Would remove\".\n\n") +
                           planText(plan));
        return finish(ExitStatus::success);
    }
    if (plan.removesNothing()) {
        if (!request_.json)
            console_.print(engineLine() + QStringLiteral("Nothing to remove.\n"));
        return finish(ExitStatus::success);
    }
    outcome_.dryRun = false;
    if (!request_.json)
        console_.print(engineLine());
    cleaning_ = true;
    model_.removals().safeClean(request_.kinds);
    if (!model_.isLoading()) {  // another operation held the model; cannot happen in a run of its own
        cleaning_ = false;
        outcome_.errors << QStringLiteral("The clean did not start.");
        finish(ExitStatus::removalsFailed);
    }
}

void HeadlessRun::recordStep(const CleanStep& step)
{
    if (!step.error.isEmpty())
        outcome_.errors << step.error;
    else if (step.kind == CleanStep::Kind::buildCache)
        outcome_.buildCacheCleared = true;
    else
        (step.kind == CleanStep::Kind::image ? outcome_.removedImages : outcome_.removedVolumes) << step.item;

    const QString line = stepText(step, *outcome_.plan);
    if (!request_.json)
        console_.print(line + QLatin1Char('\n'));
    else if (console_.showsProgress())
        console_.warn(line);
}

void HeadlessRun::cleanEnded()
{
    cleaning_ = false;
    if (!request_.json)
        printEnding();
    if (outcome_.interrupted)
        return finish(ExitStatus::interrupted);
    finish(outcome_.errors.isEmpty() ? ExitStatus::success : ExitStatus::removalsFailed);
}

// The window's notice; a cancelled clean has none and says what went in its status line.
void HeadlessRun::printEnding()
{
    QStringList lines;
    if (alerts_.notices().isEmpty()) {
        lines << model_.statusText();
    } else {
        const HeadlessAlerts::Notice& notice = alerts_.notices().last();
        lines << notice.title;
        lines += notice.message.split(QLatin1Char('\n'));
    }
    QString text = QStringLiteral("\n");
    for (const QString& line : lines)
        text += printable(line) + QLatin1Char('\n');
    console_.print(text);
}

QJsonObject HeadlessRun::document() const { return reportDocument(model_, request_, outcome_); }

void HeadlessRun::finish(int status)
{
    if (isFinished())
        return;
    console_.clearProgress();
    if (request_.json)
        console_.print(QString::fromUtf8(QJsonDocument(document()).toJson()));
    exitStatus_ = console_.flushAndSettle(status);
    emit finished(exitStatus_);
}

}  // namespace stowage::cli
