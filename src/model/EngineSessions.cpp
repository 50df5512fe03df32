#include "model/EngineSessions.h"

#include "cache/StateCache.h"
#include "docker/DockerError.h"
#include "docker/OperationCenter.h"

#include <QFileInfo>

namespace stowage {

namespace {

// The context list comes from docker's configuration files: quick, yet bounded like every run.
constexpr double listTimeoutSeconds = 15.0;

EngineSessions::PartsFactory bindingFactory(DockerRunner& shared, AppModel::Options base)
{
    return [&shared, base](const EngineContext& engine, OperationCenter& operations) {
        DockerRunner::Config config = shared.config();
        // The engine was offered by a context list the shared runner read, so its
        // environment (the login shell's PATH) is known already: this does not wait.
        config.baseEnvironment = shared.environment();
        config.loginShell = QString();
        config.context = engine.name;
        config.operations = &operations;
        AppModel::Options options = base;
        options.cacheFile.reset();  // the engine's own file in the data folder
        options.engine = engine;
        return EngineSessions::EngineParts{std::make_unique<DockerRunner>(std::move(config)), std::move(options)};
    };
}

}  // namespace

EngineSessions::EngineSessions(AppModel& selected, DockerRunner& shared, AppModel::Options base, QObject* parent)
    : EngineSessions(selected, shared, bindingFactory(shared, std::move(base)), parent)
{
}

EngineSessions::EngineSessions(AppModel& selected, DockerRunner& shared, PartsFactory factory, QObject* parent)
    : QObject(parent), selected_(selected), shared_(shared), factory_(std::move(factory))
{
    track(selectedKey(), selected_);
}

EngineSessions::~EngineSessions() = default;

void EngineSessions::track(const QString& key, AppModel& model)
{
    order_ << key;
    connect(&model, &AppModel::refreshEnded, this, [this, key](RefreshEnd end) {
        Health& health = health_[key];
        if (end == RefreshEnd::cancelled)
            return;
        health.reachable = end == RefreshEnd::completed;
        if (end == RefreshEnd::completed)
            health.lastRefresh = QDateTime::currentDateTimeUtc();
        emit contextsChanged();
    });
}

void EngineSessions::refreshContexts()
{
    if (listing_)
        return;
    listing_ = true;
    DockerRunner* runner = listRunner_ ? listRunner_.get() : &shared_;
    lister_.run<Listing>(
        [runner, pinned = pinned_] {
            Listing listing;
            try {
                listing.contexts = listContexts(*runner, listTimeoutSeconds);
            } catch (const RunError& error) {
                listing.error = error.description();
            }
            // The engines' own state caches say when each was last read, by any session.
            for (const EngineContext& context : std::as_const(listing.contexts)) {
                const bool selected = pinned.isEmpty() ? context.current : context.name == pinned;
                if (const auto path = StateCache::fileURL(selected ? QString() : context.name)) {
                    const QFileInfo file(*path);
                    if (file.isFile())
                        listing.cachedAt.insert(context.name, file.lastModified().toUTC());
                }
            }
            return listing;
        },
        [this](const Listing& listing) {
            listing_ = false;
            applyList(listing);
        });
}

void EngineSessions::applyList(const Listing& listing)
{
    listError_ = listing.error;
    if (listing.error.isEmpty()) {
        contexts_ = listing.contexts;
        cachedAt_ = listing.cachedAt;
    }
    pinSelected();
    // With one engine nothing names it, as before; with several every model says which it is.
    for (const QString& key : std::as_const(order_)) {
        AppModel& shown = key == selectedKey() ? selected_ : *bound_.at(key).model;
        if (const auto context = listed(key))
            shown.setEngine(several() ? context : std::nullopt);
    }
    emit contextsChanged();
}

std::optional<QDateTime> EngineSessions::cachedAt(const QString& name) const
{
    const auto found = cachedAt_.constFind(name);
    return found == cachedAt_.cend() ? std::nullopt : std::optional(*found);
}

// The engine docker selected by its configuration stays the selected one:
// every later run of its model names the context, so `docker context use`
// while the window is open makes another engine current for docker, never
// points this engine's view, cache and removals at that one. An engine chosen
// by the environment cannot change under the window and is left as it is.
void EngineSessions::pinSelected()
{
    if (!pinned_.isEmpty())
        return;
    for (const EngineContext& context : std::as_const(contexts_)) {
        if (!context.current || context.fromEnvironment || context.name.isEmpty())
            continue;
        pinned_ = context.name;
        // The shared runner has run `context ls`, so its environment is known and this does not wait.
        DockerRunner::Config config = shared_.config();
        config.baseEnvironment = shared_.environment();
        config.loginShell = QString();
        listRunner_ = std::make_unique<DockerRunner>(std::move(config));
        shared_.pinContext(pinned_);
        return;
    }
}

QString EngineSessions::keyOf(const EngineContext& context) const
{
    const bool selected = pinned_.isEmpty() ? context.current : context.name == pinned_;
    return selected ? selectedKey() : context.name;
}

std::optional<EngineContext> EngineSessions::listed(const QString& key) const
{
    for (const EngineContext& context : contexts_)
        if (keyOf(context) == key)
            return context;
    return std::nullopt;
}

AppModel* EngineSessions::existing(const QString& key) const
{
    if (key == selectedKey())
        return &selected_;
    const auto it = bound_.find(key);
    return it == bound_.end() ? nullptr : it->second.model.get();
}

AppModel& EngineSessions::model(const QString& key)
{
    if (AppModel* made = existing(key))
        return *made;
    EngineContext engine = listed(key).value_or(EngineContext{key, {}, {}, false, false, {}});
    Bound& bound = bound_[key];
    bound.operations = std::make_unique<OperationCenter>();
    EngineParts parts = factory_(engine, *bound.operations);
    bound.runner = std::move(parts.runner);
    bound.model = std::make_unique<AppModel>(*bound.runner, std::move(parts.options));
    track(key, *bound.model);
    emit modelCreated(key);
    return *bound.model;
}

QList<AppModel*> EngineSessions::models() const
{
    QList<AppModel*> all;
    for (const QString& key : order_)
        all << existing(key);
    return all;
}

}  // namespace stowage
