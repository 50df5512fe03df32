#include "docker/DockerError.h"

namespace stowage {

DockerError DockerError::fromMessage(const QString& message)
{
    if (message.contains(QStringLiteral("Cannot connect to the Docker daemon")))
        return daemonDown(message);
    return commandFailed(message);
}

QString DockerError::textFor(Kind kind, const QString& message)
{
    switch (kind) {
    case Kind::daemonDown:
        return QStringLiteral("Cannot connect to the Docker daemon. Is Docker running?");
    case Kind::commandFailed:
        return message.isEmpty() ? QStringLiteral("docker command failed") : message;
    case Kind::notFound:
        // What to install differs between systems: the window adds the platform's help.
        return QStringLiteral("Could not find the `docker` program.");
    case Kind::timedOut:
        return QStringLiteral("docker command timed out.");
    }
    return {};
}

bool isSocketPermissionDenied(const QString& text)
{
    return text.contains(QStringLiteral("permission denied"), Qt::CaseInsensitive)
        && text.contains(QStringLiteral("connect"), Qt::CaseInsensitive);
}

}  // namespace stowage
