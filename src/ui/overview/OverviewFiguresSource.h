#pragma once
// The Overview's figures without classifying a large inventory on the UI
// thread. Classifying 10,000 images and volumes takes tens of milliseconds,
// and a refresh publishes its listings one by one; each change would stall
// the window. Small inventories are classified at once; large ones on a
// thread of their own, over copies that share their data with the model's.

#include "classification/OverviewFigures.h"
#include "platform/ThreadHandOff.h"

#include <QObject>

#include <optional>

namespace stowage {

class AppModel;

class OverviewFiguresSource : public QObject {
    Q_OBJECT
public:
    // Up to this many containers, images and volumes together the figures are worked out at once.
    static constexpr qsizetype inlineRows = 1000;

    explicit OverviewFiguresSource(AppModel& model, QObject* parent = nullptr);

    // The figures of the shown inventory, or none while they are being worked
    // out (ready() follows, unless the inventory changes again meanwhile).
    std::optional<OverviewFigures> current();

signals:
    void ready();

private:
    void forget();

    AppModel& model_;
    std::optional<OverviewFigures> known_;
    quint64 generation_ = 0;  // counts the inventory's changes: late figures of an older one are dropped
    bool pending_ = false;
    platform::ThreadHandOff handOff_{this};
};

}  // namespace stowage
