#pragma once
// `stowage report --all-contexts`: one report for every context docker knows,
// the engines read side by side by an EngineSurvey (a connect check, then a
// headless run on each engine that answered, with a model of its own). The
// reports are printed together, in the order docker lists the contexts, once
// every engine has answered or failed.

#include "cli/Console.h"
#include "cli/HeadlessRequest.h"
#include "model/engines/EngineSurvey.h"

#include <QBuffer>
#include <QObject>

#include <memory>
#include <vector>

namespace stowage::cli {

class HeadlessRun;

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
    // What the command line keeps of one engine: its run and what that run printed.
    struct Output {
        QBuffer out;
        QBuffer err;
        std::unique_ptr<Console> console;
        std::unique_ptr<HeadlessRun> run;
    };
    void startRun(int index);
    void surveyEnded();
    void printAll();

    Request request_;
    Console& console_;
    EngineSurvey survey_;
    std::vector<std::unique_ptr<Output>> outputs_;  // one per engine; after the survey, so that each run goes before its model
    int exitStatus_ = -1;
};

}  // namespace stowage::cli
