#include "model/engines/EngineSurvey.h"

#include "docker/DockerError.h"

#include <algorithm>

namespace stowage {

EngineFigures EngineFigures::of(const AppModel& model)
{
    const OverviewFigures& overview = model.overviewFigures();
    const qint64 buildCache = model.inventory().buildCache.sizeBytes;
    return {.images = overview.images,
            .imageBytes = overview.imageBytes,
            .volumes = model.inventory().volumes.size(),
            .volumeBytes = overview.volumeBytes,
            .buildCacheBytes = buildCache,
            .diskUsedBytes = overview.imageBytes + overview.volumeBytes + buildCache,
            .safeToRemove = overview.reclaimableBytes};
}

EngineSurvey::EngineSurvey(QList<EngineContext> contexts, DockerRunner::Config runnerConfig,
                           AppModel::Options modelOptions, Work work, double connectCheck, QObject* parent)
    : QObject(parent), modelOptions_(std::move(modelOptions)), work_(work), connectCheck_(connectCheck)
{
    for (EngineContext& context : contexts) {
        auto engine = std::make_unique<Engine>();
        DockerRunner::Config config = runnerConfig;
        config.context = context.name;
        engine->runner = std::make_shared<DockerRunner>(std::move(config));
        engine->context = std::move(context);
        engines_.push_back(std::move(engine));
    }
}

EngineSurvey::~EngineSurvey()
{
    for (auto& engine : engines_)
        engine->checkStop.request_stop();
}

void EngineSurvey::start()
{
    if (engines_.empty()) {
        finished_ = true;
        emit finished();
        return;
    }
    for (int index = 0; index < size(); ++index) {
        Engine& engine = *engines_[std::size_t(index)];
        using Answer = std::pair<QString, QString>;  // the id, or why there is none
        engine.check.run<Answer>(
            [runner = engine.runner, limit = connectCheck_, stop = engine.checkStop.get_token()] {
                const auto ask = [&](const QStringList& arguments) {
                    try {
                        return Answer{runner->run(arguments, limit, stop), {}};
                    } catch (const DockerError& error) {
                        return Answer{{}, error.kind() == DockerError::Kind::timedOut
                                              ? QStringLiteral("Docker did not answer within %1 s.").arg(limit)
                                              : error.description()};
                    } catch (const RunError& error) {
                        return Answer{{}, error.description()};
                    }
                };
                Answer answer = ask({QStringLiteral("info"), QStringLiteral("--format"), QStringLiteral("{{.ID}}")});
                // Without an engine the 20.10 client's info says only that its template found no
                // engine facts; its version command says why the engine did not answer.
                if (answer.second.startsWith(QLatin1String("template:"))) {
                    const Answer why = ask({QStringLiteral("version"), QStringLiteral("--format"),
                                            QStringLiteral("{{.Server.Version}}")});
                    if (!why.second.isEmpty())
                        answer.second = why.second;
                }
                return answer;
            },
            [this, index](const Answer& answer) { checked(index, answer.first, answer.second); });
    }
}

void EngineSurvey::checked(int index, const QString& id, const QString& error)
{
    Engine& engine = this->engine(index);
    if (interrupted_ || !error.isEmpty())
        return endEngine(index, interrupted_ ? QStringLiteral("Interrupted.") : error);
    engine.id = id;
    engine.model = std::make_unique<AppModel>(*engine.runner, modelOptions_);
    if (work_ == Work::refresh) {
        connect(engine.model.get(), &AppModel::refreshEnded, this,
                [this, index](RefreshEnd end, const QString& error) { refreshEnded(index, end, error); });
        engine.model->refresh();
    }
    emit reachable(index);
}

void EngineSurvey::refreshEnded(int index, RefreshEnd end, const QString& error)
{
    Engine& engine = this->engine(index);
    if (end == RefreshEnd::completed) {
        engine.figures = EngineFigures::of(*engine.model);
        engine.refreshedAt = QDateTime::currentDateTimeUtc();
    }
    endEngine(index, end == RefreshEnd::completed ? QString()
                     : end == RefreshEnd::cancelled ? QStringLiteral("Interrupted.")
                                                    : error);
}

void EngineSurvey::endEngine(int index, const QString& error)
{
    Engine& engine = this->engine(index);
    if (engine.ended)
        return;
    engine.ended = true;
    engine.error = error;
    emit engineEnded(index);
    if (finished_ || !std::all_of(engines_.begin(), engines_.end(), [](const auto& e) { return e->ended; }))
        return;
    finished_ = true;
    emit finished();
}

void EngineSurvey::interrupt()
{
    if (finished_)
        return;
    interrupted_ = true;
    for (auto& engine : engines_) {
        engine->checkStop.request_stop();
        if (engine->model && work_ == Work::refresh)
            engine->model->cancelCurrentOperation();
    }
}

QStringList EngineSurvey::sameEngineAs(int index) const
{
    const Engine& engine = this->engine(index);
    QStringList names;
    for (const auto& other : engines_)
        if (other.get() != &engine && !engine.id.isEmpty() && other->id == engine.id)
            names << other->context.name;
    return names;
}

bool EngineSurvey::anyUnreachable() const
{
    return std::any_of(engines_.begin(), engines_.end(), [](const auto& e) { return !e->error.isEmpty(); });
}

}  // namespace stowage
