#pragma once
// The history database: an SQLite file in the data folder that keeps a summary
// of every completed refresh. Used from one thread at a time (SQLite
// connections belong to the thread that opened them): the window and the
// headless commands put it on a queue of its own, never on the UI thread.
// Several processes may write at once (WAL, a busy timeout); every record is
// one transaction.

#include "history/HistoryRecord.h"

#include <QString>

#include <memory>
#include <optional>

namespace stowage {

class HistoryStore {
public:
    // Opens the file at `path`, creating it (private to the user) when missing.
    // Something other than a regular file there, a file written by a newer
    // version, or one that cannot be opened gives no store and `problem` says
    // why; a damaged file is moved aside (never deleted) and a new one started.
    static std::unique_ptr<HistoryStore> open(const QString& path, QString* problem);
    ~HistoryStore();

    HistoryStore(const HistoryStore&) = delete;
    HistoryStore& operator=(const HistoryStore&) = delete;

    // Records one refresh, then folds what is past the retention: every refresh
    // is kept for 7 days, one a day (the day's last) for a year, one a month
    // after that; a kept row counts the refreshes it stands for. A refresh
    // stamped before the engine's last one (the clock went back) is recorded
    // just after it, so that the order of refreshes stays the order of time.
    bool record(const HistorySnapshot& snapshot, QString* problem);
    bool recordRemoval(const HistoryRemoval& removal, QString* problem);

    // The engine's totals (images + volumes + containers + build cache) at each
    // kept refresh from `from` on, oldest first; of one project when `project`
    // is given ("" is the standalone group).
    QList<HistoryPoint> series(const QString& engine, const QDateTime& from,
                               const std::optional<QString>& project = std::nullopt) const;

    // Per project and per named volume: the last refresh against the one kept
    // nearest before `since` (the oldest kept when none is that old), sorted by
    // growth, largest first. Empty with fewer than two refreshes.
    QList<HistoryGrowth> growthSince(const QString& engine, const QDateTime& since) const;

    // The removals Stowage made on the engine between two moments, oldest first.
    QList<HistoryRemoval> removals(const QString& engine, const QDateTime& from, const QDateTime& to) const;

    // The file's name once moved aside because it was damaged.
    static QString asidePath(const QString& path, const QDateTime& at);

private:
    struct Connection;
    explicit HistoryStore(std::unique_ptr<Connection> connection);
    bool foldPastRetention(const QString& engine, const QDateTime& now, QString* problem);

    std::unique_ptr<Connection> connection_;
};

}  // namespace stowage
