#pragma once
// Reads the whole inventory from the engine again: the three listings at once,
// each shown as it lands, with the disk usage and volume sizes beside them; the
// containers' inspection as soon as they are listed and the image layers as
// soon as the images are; then the dangling volumes and the data root. Everything
// is merged off the UI thread and handed over in one piece. A refresh that fails or is stopped keeps
// what was shown and says so; one that completes marks the facts fresh, saves
// the cache and records the history.
//
// start() is called on the UI thread; the run is the model's current operation
// and hands every change back through it.

#include "inventory/Inventory.h"
#include "inventory/ProjectIndex.h"

#include <QDateTime>
#include <QTimer>

#include <optional>
#include <stop_token>

namespace stowage {

class AppModel;

class InventoryRefresh {
public:
    explicit InventoryRefresh(AppModel& model);

    // Starts a refresh unless an operation runs.
    void start();
    // How many refreshes this session started.
    quint64 started() const { return started_; }

private:
    // Runs on the operation's thread; touches model state only through the model's post().
    void run(const Inventory& shown, std::stop_token stop);
    // The early end; `publishedIndex` when some listing was already replaced.
    void fail(const QString& description, bool cancelled, std::optional<ProjectIndex> publishedIndex);
    void startProgress(int containerCount);
    // The status line while containers are inspected, `elapsed` seconds in.
    QString progressText(qint64 elapsed) const;

    AppModel& model_;
    QTimer progressTimer_;
    QDateTime phase2Start_;
    int progressContainerCount_ = 0;
    quint64 started_ = 0;
};

}  // namespace stowage
