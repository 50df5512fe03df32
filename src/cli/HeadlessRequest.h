#pragma once
// What a command without a window was asked to do (`stowage report`,
// `stowage clean`), and the exit statuses it ends with. Scripts rely on both.

#include "classification/CleanPlan.h"
#include "docker/EngineContext.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>

namespace stowage::cli {

enum class Command { report, clean, contexts };

struct Request {
    Command command = Command::report;
    bool json = false;
    // clean: remove; without it a dry run that removes nothing.
    bool yes = false;
    // clean: the parts asked for with --only; Safe Clean All's when none was named.
    CleanKinds kinds = safeCleanAllKinds;
    // report: how far back --since looks for growth; none when not asked.
    std::optional<std::chrono::seconds> since;
    // The docker context asked for with --context; empty: the one docker selects by itself.
    QString context;
    // report --all-contexts: every context docker knows, each its own report.
    bool allContexts = false;
    // The engine the run acts on, named in its output; filled in once the contexts are listed.
    EngineContext engine;
    // The engine has just answered a connect check (report --all-contexts): no second check.
    bool engineAnswered = false;
};

// "7d", "24h", "90m": a duration for --since; none for anything else.
std::optional<std::chrono::seconds> parseSince(const QString& text);

namespace ExitStatus {
inline constexpr int success = 0;
inline constexpr int removalsFailed = 1;
inline constexpr int someEnginesUnreachable = 1;  // report --all-contexts
inline constexpr int outputFailed = 1;  // standard output could not be written
inline constexpr int dockerUnreachable = 2;
inline constexpr int unknownContext = 2;  // also when the contexts cannot be listed
inline constexpr int usageDataIncomplete = 3;
inline constexpr int interrupted = 130;
}  // namespace ExitStatus

// The names --only accepts, in the order the help lists them.
QStringList cleanKindNames();
// The kind a --only name stands for; none for an unknown name.
std::optional<CleanKind> cleanKindNamed(const QString& name);

}  // namespace stowage::cli
