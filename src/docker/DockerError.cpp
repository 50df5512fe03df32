#include "docker/DockerError.h"

#include <QCoreApplication>

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

QString shownDescription(const QString& description)
{
    static const char* const fixed[] = {
        QT_TRANSLATE_NOOP("DockerError", "Cannot connect to the Docker daemon. Is Docker running?"),
        QT_TRANSLATE_NOOP("DockerError", "docker command failed"),
        QT_TRANSLATE_NOOP("DockerError", "Could not find the `docker` program."),
        QT_TRANSLATE_NOOP("DockerError", "docker command timed out."),
        QT_TRANSLATE_NOOP("DockerError", "The operation was cancelled."),
    };
    for (const char* text : fixed)
        if (description == QLatin1String(text))
            return QCoreApplication::translate("DockerError", text);
    return description;
}

bool isSocketPermissionDenied(const QString& text)
{
    return text.contains(QStringLiteral("permission denied"), Qt::CaseInsensitive)
        && text.contains(QStringLiteral("connect"), Qt::CaseInsensitive);
}

}  // namespace stowage
