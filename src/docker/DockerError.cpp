#include "docker/DockerError.h"

#include <QCoreApplication>

namespace stowage {

namespace {

// Stowage's own descriptions, in English for the log and the command line; the window translates them.
const char* const daemonDownText =
    QT_TRANSLATE_NOOP("DockerError", "Cannot connect to the Docker daemon. Is Docker running?");
const char* const commandFailedText = QT_TRANSLATE_NOOP("DockerError", "docker command failed");
const char* const notFoundText = QT_TRANSLATE_NOOP("DockerError", "Could not find the `docker` program.");
const char* const timedOutText = QT_TRANSLATE_NOOP("DockerError", "docker command timed out.");
const char* const cancelledText = QT_TRANSLATE_NOOP("DockerError", "The operation was cancelled.");

}  // namespace

DockerError::DockerError(Kind kind, const QString& message, const QString& shownMessage)
    : RunError(textFor(kind, message),
               shownMessage.isEmpty() ? stowage::shownDescription(textFor(kind, message)) : shownMessage),
      kind_(kind), message_(message)
{
}

DockerError DockerError::fromMessage(const QString& message)
{
    if (message.contains(QStringLiteral("Cannot connect to the Docker daemon")))
        return daemonDown(message);
    return commandFailed(message);
}

QString DockerError::textFor(Kind kind, const QString& message)
{
    switch (kind) {
    case Kind::daemonDown: return QString::fromLatin1(daemonDownText);
    case Kind::commandFailed: return message.isEmpty() ? QString::fromLatin1(commandFailedText) : message;
    // What to install differs between systems: the window adds the platform's help.
    case Kind::notFound: return QString::fromLatin1(notFoundText);
    case Kind::timedOut: return QString::fromLatin1(timedOutText);
    }
    return {};
}

CancelledError::CancelledError()
    : RunError(QString::fromLatin1(cancelledText), QCoreApplication::translate("DockerError", cancelledText))
{
}

QString shownDescription(const QString& description)
{
    for (const char* text : {daemonDownText, commandFailedText, notFoundText, timedOutText, cancelledText})
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
