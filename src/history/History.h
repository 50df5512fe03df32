#pragma once
// The history as the window and the headless commands use it: every write and
// query runs on a thread of its own, in order; answers and the first problem
// come back on the thread that created this object. When the database cannot
// be used the rest of the application carries on without history, and the
// problem is told once.

#include "history/HistoryRecord.h"
#include "log/SerialQueue.h"
#include "platform/ThreadHandOff.h"

#include <QObject>

#include <functional>
#include <optional>
#include <memory>

namespace stowage {

class HistoryStore;

class History {
public:
    // `onProblem` runs (on this object's thread) the first time the database
    // cannot be opened or written, with a sentence that says why.
    History(const QString& path, std::function<void(const QString&)> onProblem);
    ~History();

    History(const History&) = delete;
    History& operator=(const History&) = delete;

    // The engine the docker program talks to, as the history names it: the
    // context a runner is bound to, else the context or host the environment
    // chooses, else "default".
    static QString engineName(const QString& context = {});
    // The history file in the application's data folder; none without one.
    static std::optional<QString> defaultPath();

    void record(HistorySnapshot snapshot);
    void recordRemoval(HistoryRemoval removal);

    // Runs `query` against the store on the history's thread and hands its
    // result to `done` here; with no usable store `done` gets `fallback`.
    template <typename Result>
    void read(std::function<Result(const HistoryStore&)> query, Result fallback, std::function<void(Result)> done)
    {
        submit([query = std::move(query), fallback = std::move(fallback), done = std::move(done),
                channel = handOff_.channel()](const HistoryStore* store) mutable {
            Result result = store ? query(*store) : std::move(fallback);
            channel->post([done = std::move(done), result = std::move(result)] { done(result); });
        });
    }

    // Waits until what was handed over so far is written (a headless run before it exits).
    bool flush(std::chrono::milliseconds limit) { return queue_.flush(limit); }

private:
    struct State;
    void submit(std::function<void(HistoryStore*)> work);

    std::shared_ptr<State> state_;
    std::function<void(const QString&)> tell_;  // from any thread: hands a problem to onProblem
    QObject receiver_;
    platform::ThreadHandOff handOff_{&receiver_};
    SerialQueue queue_{QStringLiteral("history")};  // last: destroyed first, so its tasks never outlive the state
};

}  // namespace stowage
