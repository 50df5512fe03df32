#include "cli/AllContextsRun.h"

#include "cli/HeadlessRun.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace stowage::cli {
namespace {

AppModel::Options headlessModelOptions()
{
    AppModel::Options options;
    options.cacheFile.emplace();  // no state cache, as for one engine
    options.refreshAfterCleanup = false;
    options.headless = true;
    return options;
}

}  // namespace

AllContextsRun::AllContextsRun(QList<EngineContext> contexts, const Request& request, Console& console,
                               DockerRunner::Config runnerConfig, double connectCheck, QObject* parent)
    : QObject(parent),
      request_(request),
      console_(console),
      survey_(std::move(contexts), std::move(runnerConfig), headlessModelOptions(), EngineSurvey::Work::owner,
              connectCheck)
{
    for (int index = 0; index < survey_.size(); ++index) {
        auto output = std::make_unique<Output>();
        output->out.open(QIODevice::WriteOnly);
        output->err.open(QIODevice::WriteOnly);
        output->console = std::make_unique<Console>(output->out, output->err);
        outputs_.push_back(std::move(output));
    }
    connect(&survey_, &EngineSurvey::reachable, this, &AllContextsRun::startRun);
    connect(&survey_, &EngineSurvey::finished, this, &AllContextsRun::surveyEnded);
}

AllContextsRun::~AllContextsRun() = default;

void AllContextsRun::start()
{
    survey_.start();
}

void AllContextsRun::startRun(int index)
{
    EngineSurvey::Engine& engine = survey_.engine(index);
    Output& output = *outputs_[std::size_t(index)];
    Request request = request_;
    request.context = engine.context.name;
    request.engine = engine.context;
    request.allContexts = false;
    request.engineAnswered = true;
    output.run = std::make_unique<HeadlessRun>(*engine.model, request, *output.console);
    connect(output.run.get(), &HeadlessRun::finished, this, [this, index, &output](int status) {
        survey_.endEngine(index, status == ExitStatus::dockerUnreachable
                                     ? output.run->outcome().errors.join(QLatin1Char('\n'))
                                     : QString());
    });
    output.run->start();
}

void AllContextsRun::interrupt()
{
    if (isFinished())
        return;
    survey_.interrupt();
    for (auto& output : outputs_)
        if (output->run)
            output->run->interrupt();
}

void AllContextsRun::surveyEnded()
{
    if (isFinished())
        return;
    printAll();
    int status = ExitStatus::success;
    if (survey_.wasInterrupted())
        status = ExitStatus::interrupted;
    else if (survey_.anyUnreachable())
        status = ExitStatus::someEnginesUnreachable;
    exitStatus_ = console_.flushAndSettle(status);
    emit finished(exitStatus_);
}

void AllContextsRun::printAll()
{
    QJsonArray documents;
    QString text;
    for (int index = 0; index < survey_.size(); ++index) {
        const EngineSurvey::Engine& engine = survey_.engine(index);
        const Output& output = *outputs_[std::size_t(index)];
        const QStringList same = survey_.sameEngineAs(index);
        if (request_.json) {
            documents.append(QJsonObject{
                {"engine", engine.context.name},
                {"endpoint", engine.context.endpoint},
                {"current", engine.context.current},
                {"fromEnvironment", engine.context.fromEnvironment},
                {"reachable", engine.error.isEmpty()},
                {"error", engine.error},
                {"engineId", engine.id},
                {"sameEngineAs", QJsonArray::fromStringList(same)},
                {"report", output.run ? QJsonValue(output.run->document()) : QJsonValue()}});
            continue;
        }
        if (!text.isEmpty())
            text += u'\n';
        if (output.run && engine.error.isEmpty()) {
            text += QString::fromUtf8(output.out.data());
        } else {
            text += QStringLiteral("Engine: ") + engineLabel(engine.context.name, engine.context.endpoint)
                + QStringLiteral("\nNot reachable: ") + printable(engine.error) + u'\n';
        }
        if (!same.isEmpty())
            text += QStringLiteral("The same engine as %1.\n").arg(printable(same.join(QStringLiteral(", "))));
        for (const QString& line : QString::fromUtf8(output.err.data()).split(u'\n', Qt::SkipEmptyParts))
            console_.warn(line);
    }
    console_.print(
        request_.json
            ? QString::fromUtf8(QJsonDocument(QJsonObject{{"command", "report"}, {"engines", documents}}).toJson())
            : text);
}

}  // namespace stowage::cli
