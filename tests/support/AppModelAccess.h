#pragma once
// The model's test hooks, kept off its public face.

#include "model/AppModel.h"

namespace stowage {

struct AppModelTestAccess {
    // Takes the shown facts as just read, so that removals confirm at once.
    static void takeFactsAsRead(AppModel& model) { model.factsReadAt_ = model.clock_.now(); }
    // Runs `reconcile` where a clean-up would read the engine again.
    static void onReconcile(AppModel& model, std::function<void()> reconcile) { model.reconcileForTesting_ = std::move(reconcile); }
    // Holds the operation gate shut (or opens it) with nothing running.
    static void setBusy(AppModel& model, bool busy) { busy ? model.startSpinner() : model.stopSpinner(); }
    static bool loadCache(AppModel& model) { return model.loadCache(); }
    static void setEngine(AppModel& model, const EngineContext& engine) { model.setEngine(engine); }
};

}  // namespace stowage
