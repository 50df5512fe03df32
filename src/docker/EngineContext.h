#pragma once
// The engines the docker program knows how to reach: its contexts, as
// `docker context ls` lists them. Every field comes from docker (and from the
// files a user may edit by hand), so none of it is trusted: it is shown only
// through the printable filter and passed on only as one argument-list element.

#include "docker/DockerRunner.h"

#include <QList>
#include <QString>

#include <optional>
#include <stop_token>

namespace stowage {

struct EngineContext {
    QString name;
    QString description;
    QString endpoint;  // the docker endpoint (unix://…, ssh://…, tcp://…); "" when docker names none
    bool current = false;
    // The engine comes from DOCKER_HOST or DOCKER_CONTEXT rather than from the
    // context docker's configuration selects.
    bool fromEnvironment = false;
    QString error;  // what docker reports wrong with the context; "" when nothing

    bool operator==(const EngineContext&) const = default;
};

// The contexts of `docker context ls --format '{{json .}}'`, one JSON object a
// line (the 20.10 and the 28.x clients print different keys: missing ones read
// as empty). Lines without a name are skipped. `env` is the environment docker
// ran in: with DOCKER_HOST set the current context (then "default", pointing
// at DOCKER_HOST) comes from the environment; with only DOCKER_CONTEXT set, the
// context it names does.
QList<EngineContext> parseContextList(const QString& out, const Environment& env);

// Lists the contexts through `runner` (which must not itself be bound to a
// context: the list is the same from every one). Throws like the runner.
QList<EngineContext> listContexts(DockerRunner& runner, double timeout, std::stop_token stop = {});

// The context named `name` in `contexts`; none when docker knows no such one.
std::optional<EngineContext> findContext(const QList<EngineContext>& contexts, const QString& name);

// "NAME (ENDPOINT)" for messages, made printable.
QString engineLabel(const QString& name, const QString& endpoint);

// The host an engine runs on when it is not this one: "user@host" or "host"
// of an ssh://, tcp:// or other remote endpoint, made printable; "" for a local
// socket (unix://, npipe://) or no endpoint. Paths the engine reports (compose
// folders, mountpoints) are on that host, not here.
QString remoteHost(const QString& endpoint);

}  // namespace stowage
