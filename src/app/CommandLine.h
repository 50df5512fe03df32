#pragma once
// What the command line asks for.
//
// An argument exactly "--probe", anywhere on the line, selects the headless
// probe whatever else is there (scripts rely on that). Any other line is read
// strictly with Qt's parser: -h/--help, -v/--version and the window options
// Qt itself understands (-platform, -style, …); anything else is a usage error,
// reported with exit status 2. Commands that run without a window are named by
// the first positional argument (`stowage NAME [options]`) and looked up in
// one table, each with options of its own.

#include "cli/HeadlessRequest.h"

#include <QString>
#include <QStringList>

#include <utility>

namespace stowage::commandline {

enum class Action { window, probe, headless, help, version, usageError };

struct Invocation {
    Invocation(Action action = Action::window, QString text = {}, cli::Request headless = {})
        : action(action), text(std::move(text)), headless(headless)
    {
    }

    Action action;
    // The help text, the version line or the error message, for the actions that print.
    QString text;
    // What `stowage report` or `stowage clean` was asked to do.
    cli::Request headless;
};

inline constexpr int usageErrorStatus = 2;

// `arguments` without the program name; `programName` is what the help's
// usage line calls the program.
Invocation parse(const QStringList& arguments, const QString& programName);

}  // namespace stowage::commandline
