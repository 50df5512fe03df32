#pragma once
// Every engine docker knows (one per context), read side by side. Each engine
// gets a runner bound to its context and, once a short connect check (which
// also reads the engine's id) has passed, a model of its own; an engine that
// is down or an SSH host that does not answer is told within seconds and
// holds up no other. What each reachable engine then does is its owner's
// choice: a refresh of its model (the window), or a headless run on it (the
// command line), which ends the engine with endEngine().

#include "docker/EngineContext.h"
#include "model/AppModel.h"
#include "model/OffThread.h"

#include <QDateTime>
#include <QObject>

#include <memory>
#include <stop_token>
#include <vector>

namespace stowage {

// What one engine holds, from its model's last refresh.
struct EngineFigures {
    qsizetype images = 0;
    qint64 imageBytes = 0;
    qsizetype volumes = 0;
    qint64 volumeBytes = 0;
    qint64 buildCacheBytes = 0;
    qint64 diskUsedBytes = 0;  // images, volumes and build cache together
    ByteRange safeToRemove;    // what Safe Clean All frees

    static EngineFigures of(const AppModel& model);
    bool operator==(const EngineFigures&) const = default;
};

class EngineSurvey : public QObject {
    Q_OBJECT
public:
    struct Engine {
        EngineContext context;
        std::shared_ptr<DockerRunner> runner;  // shared with the connect check, which may outlive a stopped survey
        std::unique_ptr<AppModel> model;       // once the connect check passed
        QString id;     // the engine's own id, which tells two contexts of one engine apart from two engines
        QString error;  // why the engine could not be reached or read; "" when it answered
        bool ended = false;
        std::optional<EngineFigures> figures;  // after a completed refresh of a surveyed engine
        QDateTime refreshedAt;
        std::stop_source checkStop;
        OffThread check{1};
    };
    // What happens to an engine that answered: its model is refreshed by the
    // survey, or the owner runs its own work on it (see `reachable`).
    enum class Work { refresh, owner };

    // Each engine's runner is `runnerConfig` bound to its context; `connectCheck`
    // the seconds `docker --context NAME info` has to answer.
    EngineSurvey(QList<EngineContext> contexts, DockerRunner::Config runnerConfig, AppModel::Options modelOptions,
                 Work work = Work::refresh, double connectCheck = 5.0, QObject* parent = nullptr);
    ~EngineSurvey() override;

    void start();
    // Every engine's check and refresh stop; engines still running end as "Interrupted.".
    void interrupt();
    // The owner's work on engine `index` ended; `error` says why it failed ("" when it did not).
    void endEngine(int index, const QString& error);

    int size() const { return int(engines_.size()); }
    const Engine& engine(int index) const { return *engines_[std::size_t(index)]; }
    Engine& engine(int index) { return *engines_[std::size_t(index)]; }
    // The other contexts that reach the same engine as `index`.
    QStringList sameEngineAs(int index) const;
    bool isFinished() const { return finished_; }
    bool wasInterrupted() const { return interrupted_; }
    bool anyUnreachable() const;

signals:
    // Engine `index` answered and has its model (Work::owner: start its work now).
    void reachable(int index);
    void engineEnded(int index);
    void finished();

private:
    void checked(int index, const QString& id, const QString& error);
    void refreshEnded(int index, RefreshEnd end, const QString& error);

    AppModel::Options modelOptions_;
    Work work_;
    double connectCheck_;
    std::vector<std::unique_ptr<Engine>> engines_;
    bool interrupted_ = false;
    bool finished_ = false;
};

}  // namespace stowage
