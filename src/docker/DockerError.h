#pragma once
// Errors of the command layer, on top of those of running a child process
// (RunError, SpawnError).

#include "platform/RunError.h"

#include <QString>

namespace stowage {

// A failure's description as the window shows it: the command layer's own
// texts in the user's language, docker's messages as docker wrote them.
QString shownDescription(const QString& description);

class DockerError : public RunError {
public:
    enum class Kind { daemonDown, commandFailed, notFound, timedOut };

    static DockerError daemonDown(const QString& message) { return {Kind::daemonDown, message}; }
    static DockerError commandFailed(const QString& message) { return {Kind::commandFailed, message}; }
    // A failure in our own words: `shownMessage` is `message` in the user's language.
    static DockerError commandFailed(const QString& message, const QString& shownMessage)
    {
        return {Kind::commandFailed, message, shownMessage};
    }
    static DockerError notFound() { return {Kind::notFound, {}}; }
    static DockerError timedOut() { return {Kind::timedOut, {}}; }
    // The error of a command that failed saying `message`: daemonDown when it
    // could not reach the engine, commandFailed otherwise.
    static DockerError fromMessage(const QString& message);

    Kind kind() const noexcept { return kind_; }
    // The payload of daemonDown and commandFailed (not shown for daemonDown).
    const QString& message() const noexcept { return message_; }

    static QString textFor(Kind kind, const QString& message);

private:
    // Without a `shownMessage`, the window shows the text as shownDescription() gives it.
    DockerError(Kind kind, const QString& message, const QString& shownMessage = {});

    Kind kind_;
    QString message_;
};

// Whether a failure text is the docker client's report that the engine's
// socket refused this user ("permission denied while trying to connect to the
// Docker daemon socket at unix://…").
bool isSocketPermissionDenied(const QString& text);

// The waiting caller was cancelled (its stop token fired before the child was
// registered, or before an operation step began).
class CancelledError : public RunError {
public:
    CancelledError();
};

}  // namespace stowage
