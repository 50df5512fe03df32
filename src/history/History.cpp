#include "history/History.h"

#include "history/HistoryStore.h"
#include "platform/Paths.h"

namespace stowage {

// Touched only on the queue's thread, but kept alive by the tasks that use it.
struct History::State {
    QString path;
    std::unique_ptr<HistoryStore> store;
    bool problemTold = false;
};

QString History::engineName(const QString& context)
{
    if (!context.isEmpty())
        return context;
    for (const char* variable : {"DOCKER_CONTEXT", "DOCKER_HOST"})
        if (const QString value = qEnvironmentVariable(variable); !value.isEmpty())
            return value;
    return QStringLiteral("default");
}

std::optional<QString> History::defaultPath()
{
    const auto folder = platform::appDataDir();
    if (!folder)
        return std::nullopt;
    return *folder + QStringLiteral("/history.db");
}

History::History(const QString& path, std::function<void(const QString&)> onProblem)
    : state_(std::make_shared<State>())
{
    state_->path = path;
    // The first problem is told; later ones would repeat it.
    const auto channel = handOff_.channel();
    auto tell = [channel, onProblem = std::move(onProblem)](const QString& problem) {
        channel->post([onProblem, problem] { onProblem(problem); });
    };
    queue_.submit([state = state_, tell] {
        QString problem;
        state->store = HistoryStore::open(state->path, &problem);
        if (!problem.isEmpty()) {
            state->problemTold = true;
            tell(state->store ? problem : problem + QStringLiteral("; no history is kept this time"));
        }
    });
    tell_ = std::move(tell);
}

// The database connection belongs to the queue's thread: it is closed there.
History::~History()
{
    queue_.submit([state = state_] { state->store.reset(); });
}

void History::submit(std::function<void(HistoryStore*)> work)
{
    queue_.submit([state = state_, work = std::move(work)] { work(state->store.get()); });
}

void History::record(HistorySnapshot snapshot)
{
    queue_.submit([state = state_, snapshot = std::move(snapshot), tell = tell_] {
        QString problem;
        if (state->store && !state->store->record(snapshot, &problem) && !std::exchange(state->problemTold, true))
            tell(QStringLiteral("The history could not be written (%1); the refresh itself is not affected").arg(problem));
    });
}

void History::recordRemoval(HistoryRemoval removal)
{
    queue_.submit([state = state_, removal = std::move(removal), tell = tell_] {
        QString problem;
        if (state->store && !state->store->recordRemoval(removal, &problem) && !std::exchange(state->problemTold, true))
            tell(QStringLiteral("The history could not be written (%1)").arg(problem));
    });
}

}  // namespace stowage
