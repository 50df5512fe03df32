#pragma once
// How a removal run ends, as a pure function of its plan and outcome: the log
// lines, the status line, the notice and whether the engine is read again.
// Kept apart from the runner so that every ending can be checked without a
// window or an engine.

#include "model/removal/RemovalPlan.h"

#include <QList>
#include <QString>

#include <optional>

namespace stowage {

enum class LogLevel;

struct RemovalEnding {
    struct LogLine {
        LogLevel level;
        QString text;
    };
    struct Notice {
        // Shown with the warning icon: something failed or the run ended early.
        bool warning = false;
        QString title;
        QString text;
    };
    // The status line in the user's language, and as the log quotes it (English).
    struct Status {
        QString shown;
        QString logged;
    };
    // In this order: the log lines, the status line, the notice, the reconciling refresh.
    QList<LogLine> log;
    std::optional<Status> status;
    std::optional<Notice> notice;
    bool reconcile = false;
};

// The ending of a run that went its way (completed, failed in part, stopped or cancelled).
RemovalEnding removalEnding(const RemovalPlan& plan, const RemovalOutcome& outcome, const FreedSpace& freed);

// The ending of a run whose health check Docker did not answer: nothing was tried.
RemovalEnding daemonSilentEnding(const RemovalPlan& plan);

// A safe clean's name in the log: "Safe Clean All", or the parts it was restricted to;
// and in the window, in the user's language.
QString safeCleanLabel(CleanKinds kinds);
QString shownSafeCleanLabel(CleanKinds kinds);

// The safe clean notice's lines, one per part of the plan: "✓" for what went,
// "✗" with docker's reason for what failed.
QString safeCleanDone(const CleanPlan& plan, const RemovalOutcome& outcome);

}  // namespace stowage
