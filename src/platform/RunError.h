#pragma once
// Errors of running a child process. Every failure a run can report derives
// from RunError, whose what() is the text shown to the user; the command
// layer adds its own kinds on top.

#include <QString>

#include <stdexcept>

namespace stowage {

class RunError : public std::runtime_error {
public:
    explicit RunError(const QString& description)
        : std::runtime_error(description.toStdString()), description_(description) {}
    // The user-facing text of the error.
    const QString& description() const noexcept { return description_; }

private:
    QString description_;
};

// The child process could not be started; carries the operating system's reason.
class SpawnError : public RunError {
public:
    using RunError::RunError;
};

}  // namespace stowage
