#pragma once
// The engines the window can show, and one model for each engine shown so
// far. The engine docker selects by itself (its current context, or
// DOCKER_HOST / DOCKER_CONTEXT) keeps the model the window was started with,
// on the shared runner, which is pinned to that context once the list names
// it (so a later `docker context use` does not move it); every other engine gets, on first
// use, a runner bound to its context (`docker --context NAME …`) with its own
// running-command list, and a model with that engine's state cache. Each
// model keeps its own one-operation gate, so an operation on one engine never
// blocks another, and a model lives on while another engine is shown.
// Lives on the UI thread; the context list is read off it.

#include "docker/EngineContext.h"
#include "model/AppModel.h"
#include "model/OffThread.h"

#include <QDateTime>
#include <QHash>
#include <QObject>

#include <functional>
#include <map>
#include <memory>

namespace stowage {

class OperationCenter;

class EngineSessions : public QObject {
    Q_OBJECT
public:
    // What a bound engine runs on: its runner and the options of its model.
    struct EngineParts {
        std::unique_ptr<DockerRunner> runner;
        AppModel::Options options;
    };
    // Makes the parts for a context other than the one docker selects by itself.
    // The runner must register its commands with `operations`, the engine's own list.
    using PartsFactory = std::function<EngineParts(const EngineContext& engine, OperationCenter& operations)>;

    // `selected` runs on `shared`, which must not be bound to a context. The
    // default factory binds a copy of the shared runner's configuration (its
    // environment read once already) and gives the model `base`'s options.
    EngineSessions(AppModel& selected, DockerRunner& shared, AppModel::Options base, QObject* parent = nullptr);
    EngineSessions(AppModel& selected, DockerRunner& shared, PartsFactory factory, QObject* parent = nullptr);
    ~EngineSessions() override;

    // The engines as docker last listed them (empty until the first list arrives).
    const QList<EngineContext>& contexts() const { return contexts_; }
    // Whether the last list failed; its description.
    const QString& listError() const { return listError_; }
    // More than one engine to choose from.
    bool several() const { return contexts_.size() > 1; }
    // Reads `docker context ls` off the UI thread; contextsChanged follows.
    void refreshContexts();

    // The key of the engine docker selected by itself: "" (its model is `selected`).
    static QString selectedKey() { return {}; }
    // The key a listed context is shown under: "" for the one docker selected
    // when the window first listed them (the current one until then), its name
    // for every other.
    QString keyOf(const EngineContext& context) const;
    // The model for `key`, made on first use; the current one's model for "".
    AppModel& model(const QString& key);
    // The model for `key` when one was made.
    AppModel* existing(const QString& key) const;
    // Every model made so far, the selected engine's first.
    QList<AppModel*> models() const;
    // The engine listed under `key`; none when docker no longer knows it.
    std::optional<EngineContext> listed(const QString& key) const;
    // What this session's refreshes of an engine found: whether it answered the
    // last one (none before one ended), when the last complete one ended.
    struct Health {
        std::optional<bool> reachable;
        std::optional<QDateTime> lastRefresh;
    };
    Health health(const QString& key) const { return health_.value(key); }
    // When the state cache of the context named `name` was last written (by this
    // session or an earlier one): none when it has none. Read with the list.
    std::optional<QDateTime> cachedAt(const QString& name) const;

signals:
    void contextsChanged();
    void modelCreated(const QString& key);

private:
    struct Bound {
        std::unique_ptr<OperationCenter> operations;
        std::unique_ptr<DockerRunner> runner;
        std::unique_ptr<AppModel> model;
    };
    void track(const QString& key, AppModel& model);
    struct Listing {
        QList<EngineContext> contexts;
        QString error;
        QHash<QString, QDateTime> cachedAt;  // by context name
    };
    void applyList(const Listing& listing);
    void pinSelected();

    AppModel& selected_;
    DockerRunner& shared_;
    PartsFactory factory_;
    std::map<QString, Bound> bound_;
    QList<QString> order_;
    QList<EngineContext> contexts_;
    QString listError_;
    QHash<QString, Health> health_;
    QHash<QString, QDateTime> cachedAt_;
    // The context the selected engine's runs are pinned to; "" until a list
    // named it, and when the environment (DOCKER_HOST, DOCKER_CONTEXT) chose it.
    QString pinned_;
    // Lists the contexts once the shared runner is pinned: a pinned run would
    // report the pinned context as docker's current one.
    std::unique_ptr<DockerRunner> listRunner_;
    bool listing_ = false;
    OffThread lister_{1};
};

}  // namespace stowage
