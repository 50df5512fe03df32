#include "ui/overview/OverviewFiguresSource.h"

#include "model/AppModel.h"
#include "platform/ThreadPriority.h"

#include <thread>

namespace stowage {

OverviewFiguresSource::OverviewFiguresSource(AppModel& model, QObject* parent) : QObject(parent), model_(model)
{
    for (auto signal : {&AppModel::containersChanged, &AppModel::imagesChanged, &AppModel::volumesChanged,
                        &AppModel::usageChanged, &AppModel::indexChanged})
        connect(&model_, signal, this, &OverviewFiguresSource::forget);
}

void OverviewFiguresSource::forget()
{
    known_.reset();
    ++generation_;
    pending_ = false;
}

std::optional<OverviewFigures> OverviewFiguresSource::current()
{
    if (known_)
        return known_;
    const Inventory& inventory = model_.inventory();
    if (inventory.containers.size() + inventory.images.size() + inventory.volumes.size() <= inlineRows)
        return known_ = model_.overviewFigures();
    if (!pending_) {
        pending_ = true;
        // The thread only reads its copies; the channel drops the result if this object is gone.
        std::thread([channel = handOff_.channel(), inventory, index = model_.index(), generation = generation_,
                     this] {
            platform::lowerCurrentThreadPriority();
            const OverviewFigures figures = OverviewFigures::of(inventory, UsageClassification(inventory, index));
            channel->post([this, figures, generation] {
                if (generation != generation_)
                    return;
                pending_ = false;
                known_ = figures;
                emit ready();
            });
        }).detach();
    }
    return std::nullopt;
}

}  // namespace stowage
