#pragma once
// What a view derives from the shown inventory and project index (table rows,
// cards, a catalog), worked out without stalling the window. A small inventory
// is handled at once; a large one on a worker thread, over copies that share
// their data with the model's, and the UI thread only takes the finished
// result. Only the latest request counts: a result that arrives after a newer
// request is dropped (work not yet started for it is skipped), and the view
// keeps showing what it had until the newer result arrives.

#include "inventory/Inventory.h"
#include "inventory/ProjectIndex.h"
#include "model/DisposeOffThread.h"
#include "model/OffThread.h"

#include <atomic>
#include <functional>
#include <memory>

namespace stowage {

class AppModel;

class InventoryWork {
public:
    // Up to this many containers, images and volumes together the work is done at once.
    static constexpr qsizetype inlineRows = 1000;

    explicit InventoryWork(const AppModel& model);

    // Works `derive` out over the shown inventory and index and hands the result
    // to `apply` on this thread. `derive` may run on another thread: it must read
    // nothing but its arguments and what it captured by value.
    template <typename Result>
    void run(std::function<Result(const Inventory&, const ProjectIndex&)> derive, std::function<void(Result)> apply)
    {
        const quint64 generation = ++*latest_;
        if (!inBackground()) {
            pending_ = false;
            apply(derive(shownInventory(), shownIndex()));
            return;
        }
        worker_.run<std::shared_ptr<Result>>(
            [derive = std::move(derive), inventory = shownInventory(), index = shownIndex(), latest = latest_,
             generation]() -> std::shared_ptr<Result> {
                if (latest->load() != generation)
                    return nullptr;
                return std::make_shared<Result>(derive(inventory, index));
            },
            // Runs only while worker_, and so this object, exists.
            [this, apply = std::move(apply), generation](std::shared_ptr<Result> result) {
                if (!result)
                    return;
                // A newer request replaced it: a table's rows or a disk map are
                // freed on a thread of their own, not in the middle of the UI's work.
                if (latest_->load() != generation) {
                    disposeOffThread(std::move(result));
                    return;
                }
                pending_ = false;
                apply(std::move(*result));
            });
        pending_ = true;
    }

    // Whether the result of the latest request is still to come.
    bool pending() const { return pending_; }

private:
    bool inBackground() const;
    const Inventory& shownInventory() const;
    const ProjectIndex& shownIndex() const;

    const AppModel& model_;
    // Counts requests; read by the worker to skip work a newer request replaced.
    std::shared_ptr<std::atomic<quint64>> latest_ = std::make_shared<std::atomic<quint64>>(0);
    bool pending_ = false;
    OffThread worker_{1};
};

}  // namespace stowage
