#include "cli/AllContextsRun.h"

#include "cli/HeadlessRun.h"
#include "docker/DockerError.h"
#include "model/AppModel.h"
#include "model/OffThread.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>

namespace stowage::cli {

struct AllContextsRun::Engine {
    EngineContext context;
    std::shared_ptr<DockerRunner> runner;  // shared with the connect check, which may outlive a stopped run
    std::unique_ptr<AppModel> model;
    QBuffer out;
    QBuffer err;
    std::unique_ptr<Console> console;
    std::unique_ptr<HeadlessRun> run;
    std::stop_source checkStop;
    OffThread check{1};
    QString id;     // the engine's own id, which tells two contexts of one engine apart from two engines
    QString error;  // why the engine could not be reached; "" when it answered
    int status = -1;

    bool ended() const { return status >= 0; }
};

AllContextsRun::AllContextsRun(QList<EngineContext> contexts, const Request& request, Console& console,
                               DockerRunner::Config runnerConfig, double connectCheck, QObject* parent)
    : QObject(parent), request_(request), console_(console), connectCheck_(connectCheck)
{
    for (EngineContext& context : contexts) {
        auto engine = std::make_unique<Engine>();
        DockerRunner::Config config = runnerConfig;
        config.context = context.name;
        engine->runner = std::make_shared<DockerRunner>(std::move(config));
        engine->context = std::move(context);
        engine->out.open(QIODevice::WriteOnly);
        engine->err.open(QIODevice::WriteOnly);
        engine->console = std::make_unique<Console>(engine->out, engine->err);
        engines_.push_back(std::move(engine));
    }
}

AllContextsRun::~AllContextsRun()
{
    for (auto& engine : engines_) {
        engine->checkStop.request_stop();
        engine->run.reset();  // before the model it drives
    }
}

void AllContextsRun::start()
{
    if (engines_.empty())
        return engineEnded();
    for (auto& owned : engines_) {
        Engine& engine = *owned;
        using Answer = std::pair<QString, QString>;  // the id, or why there is none
        engine.check.run<Answer>(
            [runner = engine.runner, limit = connectCheck_, stop = engine.checkStop.get_token()] {
                try {
                    return Answer{
                        runner->run({QStringLiteral("info"), QStringLiteral("--format"), QStringLiteral("{{.ID}}")},
                                    limit, stop),
                        {}};
                } catch (const DockerError& error) {
                    return Answer{{}, error.kind() == DockerError::Kind::timedOut
                                          ? QStringLiteral("Docker did not answer within %1 s.").arg(limit)
                                          : error.description()};
                } catch (const RunError& error) {
                    return Answer{{}, error.description()};
                }
            },
            [this, &engine](const Answer& answer) { checked(engine, answer.first, answer.second); });
    }
}

void AllContextsRun::checked(Engine& engine, const QString& id, const QString& error)
{
    if (interrupted_ || !error.isEmpty()) {
        engine.error = interrupted_ ? QStringLiteral("Interrupted.") : error;
        engine.status = interrupted_ ? ExitStatus::interrupted : ExitStatus::dockerUnreachable;
        return engineEnded();
    }
    engine.id = id;
    AppModel::Options options;
    options.cacheFile.emplace();  // no state cache, as for one engine
    options.refreshAfterCleanup = false;
    options.headless = true;
    engine.model = std::make_unique<AppModel>(*engine.runner, options);
    Request request = request_;
    request.context = engine.context.name;
    request.engine = engine.context;
    request.allContexts = false;
    engine.run = std::make_unique<HeadlessRun>(*engine.model, request, *engine.console);
    connect(engine.run.get(), &HeadlessRun::finished, this, [this, &engine](int status) {
        engine.status = status;
        if (status == ExitStatus::dockerUnreachable)
            engine.error = engine.run->outcome().errors.join(QLatin1Char('\n'));
        engineEnded();
    });
    engine.run->start();
}

void AllContextsRun::interrupt()
{
    if (isFinished())
        return;
    interrupted_ = true;
    for (auto& engine : engines_) {
        engine->checkStop.request_stop();
        if (engine->run)
            engine->run->interrupt();
    }
}

QStringList AllContextsRun::sameEngineAs(const Engine& engine) const
{
    QStringList names;
    for (const auto& other : engines_)
        if (other.get() != &engine && !engine.id.isEmpty() && other->id == engine.id)
            names << other->context.name;
    return names;
}

void AllContextsRun::engineEnded()
{
    if (isFinished() || !std::all_of(engines_.begin(), engines_.end(), [](const auto& e) { return e->ended(); }))
        return;
    printAll();
    int status = ExitStatus::success;
    if (interrupted_)
        status = ExitStatus::interrupted;
    else if (std::any_of(engines_.begin(), engines_.end(), [](const auto& e) { return !e->error.isEmpty(); }))
        status = ExitStatus::someEnginesUnreachable;
    exitStatus_ = console_.flushAndSettle(status);
    emit finished(exitStatus_);
}

void AllContextsRun::printAll()
{
    QJsonArray documents;
    QString text;
    for (const auto& owned : engines_) {
        const Engine& engine = *owned;
        const QStringList same = sameEngineAs(engine);
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
                {"report", engine.run ? QJsonValue(engine.run->document()) : QJsonValue()}});
            continue;
        }
        if (!text.isEmpty())
            text += u'\n';
        if (engine.run && engine.error.isEmpty()) {
            text += QString::fromUtf8(engine.out.data());
        } else {
            text += QStringLiteral("Engine: ") + engineLabel(engine.context.name, engine.context.endpoint)
                + QStringLiteral("\nNot reachable: ") + printable(engine.error) + u'\n';
        }
        if (!same.isEmpty())
            text += QStringLiteral("The same engine as %1.\n").arg(printable(same.join(QStringLiteral(", "))));
        for (const QString& line : QString::fromUtf8(engine.err.data()).split(u'\n', Qt::SkipEmptyParts))
            console_.warn(line);
    }
    console_.print(
        request_.json
            ? QString::fromUtf8(QJsonDocument(QJsonObject{{"command", "report"}, {"engines", documents}}).toJson())
            : text);
}

}  // namespace stowage::cli
