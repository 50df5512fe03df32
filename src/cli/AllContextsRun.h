#pragma once
// `stowage report --all-contexts`: one report for every context docker knows,
// the engines read side by side. Each engine gets a runner bound to its
// context and a model of its own; a short connect check (which also reads the
// engine's id) comes first, so that an engine that is down or an SSH host that
// does not answer is told within seconds and holds up no other. The reports
// are printed together, in the order docker lists the contexts, once every
// engine has answered or failed.

#include "cli/Console.h"
#include "cli/HeadlessRequest.h"

#include <QObject>

#include <memory>
#include <vector>

namespace stowage::cli {

class AllContextsRun : public QObject {
    Q_OBJECT
public:
    // Each engine's runner is `runnerConfig` bound to its context; `connectCheck`
    // the seconds `docker --context NAME info` has to answer.
    AllContextsRun(QList<EngineContext> contexts, const Request& request, Console& console,
                   DockerRunner::Config runnerConfig = {}, double connectCheck = 5.0, QObject* parent = nullptr);
    ~AllContextsRun() override;

    void start();
    // SIGINT, SIGTERM or SIGHUP arrived: every engine's run stops.
    void interrupt();

    bool isFinished() const { return exitStatus_ >= 0; }
    int exitStatus() const { return exitStatus_; }

signals:
    void finished(int exitStatus);

private:
    struct Engine;
    void checked(Engine& engine, const QString& id, const QString& error);
    void engineEnded();
    QStringList sameEngineAs(const Engine& engine) const;
    void printAll();

    Request request_;
    Console& console_;
    double connectCheck_;
    std::vector<std::unique_ptr<Engine>> engines_;
    bool interrupted_ = false;
    int exitStatus_ = -1;
};

}  // namespace stowage::cli
