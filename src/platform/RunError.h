#pragma once
// Errors of running a child process. Every failure a run can report derives
// from RunError, whose what() is the text shown to the user; the command
// layer adds its own kinds on top.

#include <QString>

#include <stdexcept>

namespace stowage {

class RunError : public std::runtime_error {
public:
    // `shown` is the window's form when it differs: our own words in the user's
    // language. The system's and docker's texts are shown as they are.
    explicit RunError(const QString& description, const QString& shown = {})
        : std::runtime_error(description.toStdString()), description_(description), shown_(shown) {}
    // The user-facing text of the error, in English: the log and the command line print it.
    const QString& description() const noexcept { return description_; }
    // The same as the window shows it.
    const QString& shownDescription() const noexcept { return shown_.isEmpty() ? description_ : shown_; }

private:
    QString description_;
    QString shown_;
};

// The child process could not be started; carries the operating system's reason.
class SpawnError : public RunError {
public:
    using RunError::RunError;
};

}  // namespace stowage
