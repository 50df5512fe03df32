#pragma once
// Runs every removal the application makes — listed containers, images and
// volumes, a safe clean, a build-cache clear, a project teardown — from its
// plan. It checks that the daemon answers, prunes the build cache when asked,
// removes containers, then images, then volumes, stops on Stop or after
// repeated time-outs, and ends the one way every removal ends: the shown
// inventory updated, the history told, the data marked stale, then the log
// lines, status and notice of the plan's ending.
//
// start() is called on the UI thread while no operation runs; the run itself
// is the model's current operation and hands every change back through it.

#include "model/removal/RemovalPlan.h"

#include <stop_token>

namespace stowage {

class AppModel;
class DockerClient;
struct RemovedItems;
struct InventoryAfterRemoval;
struct RemovalEnding;

class RemovalRunner {
public:
    // Time limits of the removal commands, in seconds.
    struct Limits {
        double healthCheck = 12.0;
        double imageRemove = 180.0;
        double prune = 1800.0;
    };

    RemovalRunner(AppModel& model, Limits limits);

    const Limits& limits() const { return limits_; }
    void start(RemovalPlan plan);

private:
    struct Run;
    void run(const Run& run, std::stop_token stop);
    // The steps of a run; each returns false when the run must end now.
    void pruneStep(const Run& run, RemovalOutcome& outcome, std::stop_token stop);
    bool removeContainerStep(const Run& run, RemovalOutcome& outcome, std::stop_token stop);
    bool removeImageStep(const Run& run, RemovalOutcome& outcome, std::stop_token stop);
    void removeVolumeStep(const Run& run, RemovalOutcome& outcome, std::stop_token stop);
    // On the UI thread: the run's ending, after the shown inventory was updated.
    void end(const RemovalEnding& ending);
    // Posted to the UI thread: the status line, or a safe clean's step.
    void status(const QString& text);
    void cleanStep(const RemovalPlan& plan, CleanStep step);

    AppModel& model_;
    DockerClient& client_;
    Limits limits_;
};

}  // namespace stowage
