#include "model/removal/RemovalEnding.h"

#include "docker/DockerError.h"
#include "log/ActivityLog.h"
#include "model/removal/ConfirmationText.h"
#include "platform/PlatformWords.h"
#include "text/CountText.h"

#include <QCoreApplication>

#include <algorithm>

namespace stowage {

namespace {

constexpr int keptPruneLines = 12;

// The window's words for a removal's ending (the command line prints them in
// English); the log's lines are built apart, always in English.
struct Shown {
    Q_DECLARE_TR_FUNCTIONS(RemovalEnding)
};

// The failures as the window shows them: our words translated, docker's as docker wrote them.
QString firstErrors(const FailureLines& errors) { return joinLines(errors.shown.mid(0, maxShownErrors)); }

QString lastLines(const QStringList& lines, int count)
{
    return joinLines(lines.mid(std::max<qsizetype>(0, lines.size() - count)));
}

// "2 containers, 3 images (and 2 build layers)": only the kinds that went; "nothing" when none did.
// In English for the log, or in the user's language.
QString removedCounts(const RemovalOutcome& outcome, bool forLog)
{
    const qsizetype containers = outcome.containers.size(), images = outcome.images.size();
    const qsizetype volumes = outcome.volumes.size(), layers = outcome.buildLayers();
    QStringList parts;
    if (containers > 0)
        parts << (forLog ? counted(containers, QStringLiteral("container"))
                         : Shown::tr("%n container(s)", nullptr, int(containers)));
    if (images > 0) {
        const QString counts = forLog ? counted(images, QStringLiteral("image"))
                                      : Shown::tr("%n image(s)", nullptr, int(images));
        parts << (layers == 0 ? counts
                  : forLog
                      ? counts + QStringLiteral(" (and ") + counted(layers, QStringLiteral("build layer")) + u')'
                      : Shown::tr("%1 (and %n build layer(s))", nullptr, int(layers)).arg(counts));
    }
    if (volumes > 0)
        parts << (forLog ? counted(volumes, QStringLiteral("volume"))
                         : Shown::tr("%n volume(s)", nullptr, int(volumes)));
    if (parts.isEmpty())
        return forLog ? QStringLiteral("nothing") : Shown::tr("nothing");
    return parts.join(QStringLiteral(", "));
}

// One "✗" line per failure, with docker's reason; past the first few, how many more.
QStringList failureLines(const FailureLines& errors)
{
    QStringList lines;
    for (const QString& error : errors.shown.mid(0, maxShownErrors))
        lines << QStringLiteral("✗ ") + error;
    if (errors.size() > maxShownErrors)
        lines << Shown::tr("✗ … and %n more (see Logs)", nullptr, int(errors.size() - maxShownErrors));
    return lines;
}

RemovalEnding listedEnding(const RemovalPlan& plan, const RemovalOutcome& outcome, const FreedSpace& freed)
{
    RemovalEnding ending;
    const QString prefix = QLatin1Char('[') + plan.operationName + QStringLiteral("] ");
    const qsizetype total = plan.containers.size() + plan.images.size() + plan.volumes.size();
    if (!outcome.deletedImages.isEmpty())
        ending.log.append({LogLevel::info, prefix + freed.text()});
    const QString counts = QStringLiteral("%1/%2").arg(outcome.removed()).arg(total);
    QString summary = prefix + QStringLiteral("removed ") + counts;
    if (!outcome.errors.isEmpty())
        summary += QStringLiteral(", ") + counted(outcome.errors.size(), QStringLiteral("error"));
    if (outcome.stopped)
        summary += QStringLiteral(", aborted");
    ending.log.append({outcome.errors.isEmpty() ? LogLevel::info : LogLevel::warn, summary});

    const QString& logName = plan.operationName;
    const QString name = plan.shownName();
    const QString freedNote =
        outcome.deletedImages.isEmpty() ? QString() : QStringLiteral("  ·  ") + freed.shownText();
    const QString removed = QString::number(outcome.removed());
    if (outcome.stopped && !outcome.cancelled) {
        ending.status = {Shown::tr("%1: stopped early — removed %2. See Logs.").arg(name, counts),
                         logName + QStringLiteral(": stopped early — removed ") + counts
                             + QStringLiteral(". See Logs.")};
        ending.notice = {true, Shown::tr("Stopped early"),
                         Shown::tr("%1: removed %2 of %3 before stopping (Docker became unresponsive).")
                                 .arg(name, removed, QString::number(total))
                             + QStringLiteral("\n\n") + firstErrors(outcome.errors)};
    } else if (outcome.cancelled) {
        ending.status = {Shown::tr("%1: cancelled — removed %2.").arg(name, counts),
                         logName + QStringLiteral(": cancelled — removed ") + counts + u'.'};
    } else if (!outcome.errors.isEmpty()) {
        ending.status = {Shown::tr("%1: completed with errors — removed %2, %n error(s). See Logs.", nullptr,
                                   int(outcome.errors.size()))
                             .arg(name, counts),
                         logName + QStringLiteral(": completed with errors — removed ") + counts + QStringLiteral(", ")
                             + counted(outcome.errors.size(), QStringLiteral("error")) + QStringLiteral(". See Logs.")};
        ending.notice = {true, Shown::tr("Completed with errors"),
                         name + QStringLiteral(":\n\n") + firstErrors(outcome.errors)
                             + (freedNote.isEmpty() ? QString() : QStringLiteral("\n\n") + freed.shownText() + u'.')};
    } else {
        ending.status = {Shown::tr("%1: removed %2%3  ·  data is stale — Refresh to reconcile.")
                             .arg(name, removedCounts(outcome, false), freedNote),
                         logName + QStringLiteral(": removed ") + removedCounts(outcome, true)
                             + (outcome.deletedImages.isEmpty() ? QString() : QStringLiteral("  ·  ") + freed.text())
                             + QStringLiteral("  ·  data is stale — Refresh to reconcile.")};
    }
    return ending;
}

RemovalEnding safeCleanEnding(const RemovalPlan& plan, const RemovalOutcome& outcome, const FreedSpace& freed)
{
    RemovalEnding ending;
    const QString& name = plan.operationName;
    const QString images = Shown::tr("%n image(s)", nullptr, int(outcome.images.size()));
    const QString volumes = Shown::tr("%n volume(s)", nullptr, int(outcome.volumes.size()));
    if (outcome.cancelled) {
        ending.log.append({LogLevel::warn, name + QStringLiteral(" cancelled")});
        ending.status = {(outcome.pruned ? Shown::tr("Safe clean cancelled — build cache cleared, removed %1, %2.")
                                         : Shown::tr("Safe clean cancelled — removed %1, %2."))
                             .arg(images, volumes),
                         QStringLiteral("Safe clean cancelled — %1removed %2, %3.")
                             .arg(outcome.pruned ? QStringLiteral("build cache cleared, ") : QString(),
                                  counted(outcome.images.size(), QStringLiteral("image")),
                                  counted(outcome.volumes.size(), QStringLiteral("volume")))};
        return ending;
    }
    ending.log.append({outcome.errors.isEmpty() && !outcome.stopped ? LogLevel::info : LogLevel::warn,
                       name + QStringLiteral(" done: %1, %2, %3; %4")
                                   .arg(counted(outcome.images.size(), QStringLiteral("image")),
                                        counted(outcome.volumes.size(), QStringLiteral("volume")),
                                        counted(outcome.errors.size(), QStringLiteral("error")), freed.text())});
    const QString done = safeCleanDone(plan.clean, outcome) + QStringLiteral("\n\n") + freed.shownText() + u'.';
    if (outcome.stopped)
        ending.notice = {true, Shown::tr("Stopped early"),
                         done + QStringLiteral("\n\n")
                             + Shown::tr("Docker became unresponsive, so the rest was not tried.")};
    else if (!outcome.errors.isEmpty())
        ending.notice = {true, Shown::tr("Completed with errors"), done};
    else
        ending.notice = {false, Shown::tr("Done"), done};
    ending.reconcile = true;
    return ending;
}

RemovalEnding buildCacheEnding(const RemovalOutcome& outcome)
{
    RemovalEnding ending;
    if (outcome.pruned) {
        ending.log.append({LogLevel::info, QStringLiteral("Build cache cleared")});
        ending.notice = {false, Shown::tr("Done"),
                         Shown::tr("Build cache cleared.") + QStringLiteral("\n\n")
                             + lastLines(outcome.pruneLines, keptPruneLines)};
    } else if (outcome.cancelled) {
        // The prune may have removed part of the cache before it was stopped.
        ending.log.append({LogLevel::warn, QStringLiteral("Build cache clear cancelled")});
        ending.status = {Shown::tr("Build cache clear cancelled."), QStringLiteral("Build cache clear cancelled.")};
        return ending;
    } else {
        ending.log.append({LogLevel::error, QStringLiteral("Build cache clear failed: ") + outcome.pruneFailure});
        ending.notice = {false, Shown::tr("Build cache not cleared"),
                         Shown::tr("docker builder prune failed: %1").arg(shownDescription(outcome.pruneFailure))};
    }
    // Whatever the prune managed is read back; not after Stop, which asked for nothing more to run.
    ending.reconcile = true;
    return ending;
}

}  // namespace

RemovalEnding removalEnding(const RemovalPlan& plan, const RemovalOutcome& outcome, const FreedSpace& freed)
{
    switch (plan.kind) {
    case RemovalPlan::Kind::listed: return listedEnding(plan, outcome, freed);
    case RemovalPlan::Kind::safeClean: return safeCleanEnding(plan, outcome, freed);
    case RemovalPlan::Kind::buildCache: return buildCacheEnding(outcome);
    }
    return {};
}

RemovalEnding daemonSilentEnding(const RemovalPlan& plan)
{
    RemovalEnding ending;
    ending.status = {
        Shown::tr("%1: aborted — Docker daemon not responding. Nothing was removed.").arg(plan.shownName()),
        plan.operationName + QStringLiteral(": aborted — Docker daemon not responding. Nothing was removed.")};
    ending.log.append({LogLevel::error, QLatin1Char('[') + plan.operationName +
                                            QStringLiteral("] aborted — Docker daemon not responding")});
    ending.notice = {false, Shown::tr("Docker not responding"),
                     Shown::tr("The Docker daemon didn't respond to a health check, so nothing was deleted.")
                         + QStringLiteral("\n\n") + platform::platformWords().restartDockerHelp};
    return ending;
}

QString safeCleanLabel(CleanKinds kinds)
{
    if (kinds == safeCleanAllKinds)
        return QStringLiteral("Safe Clean All");
    QStringList parts;
    if (kinds.testFlag(CleanKind::buildCache))
        parts << QStringLiteral("build cache");
    if (kinds.testFlag(CleanKind::unusedImages))
        parts << QStringLiteral("unused images");
    if (kinds.testFlag(CleanKind::orphanVolumes))
        parts << QStringLiteral("orphan volumes");
    else if (kinds.testFlag(CleanKind::anonymousOrphanVolumes))
        parts << QStringLiteral("anonymous orphan volumes");
    return QStringLiteral("Safe clean (%1)").arg(parts.join(QStringLiteral(", ")));
}

QString shownSafeCleanLabel(CleanKinds kinds)
{
    if (kinds == safeCleanAllKinds)
        return Shown::tr("Safe Clean All");
    QStringList parts;
    if (kinds.testFlag(CleanKind::buildCache))
        parts << Shown::tr("build cache");
    if (kinds.testFlag(CleanKind::unusedImages))
        parts << Shown::tr("unused images");
    if (kinds.testFlag(CleanKind::orphanVolumes))
        parts << Shown::tr("orphan volumes");
    else if (kinds.testFlag(CleanKind::anonymousOrphanVolumes))
        parts << Shown::tr("anonymous orphan volumes");
    return Shown::tr("Safe clean (%1)").arg(parts.join(QStringLiteral(", ")));
}

// A part that removed nothing and failed gets no tick.
QString safeCleanDone(const CleanPlan& plan, const RemovalOutcome& outcome)
{
    const bool withErrors = !outcome.errors.isEmpty() || outcome.stopped;
    const qsizetype images = outcome.images.size();
    const qsizetype volumes = outcome.volumes.size();
    QStringList lines;
    if (plan.buildCache)
        lines << (outcome.pruned ? Shown::tr("✓ Build cache cleared")
                  : outcome.pruneFailure.isEmpty()
                      ? Shown::tr("✗ Build cache not cleared")
                      : Shown::tr("✗ Build cache not cleared: %1").arg(shownDescription(outcome.pruneFailure)));
    if (plan.kinds.testFlag(CleanKind::unusedImages)) {
        if (images > 0 || outcome.imageErrors.isEmpty()) {
            const QString removed = withErrors ? Shown::tr("✓ Removed %n image(s)", nullptr, int(images))
                                               : Shown::tr("✓ Removed %n unused image(s)", nullptr, int(images));
            lines << (outcome.buildLayers() > 0
                          ? Shown::tr("%1 (and %n build layer(s))", nullptr, int(outcome.buildLayers())).arg(removed)
                          : removed);
        }
        lines << failureLines(outcome.imageErrors);
    }
    if (cleansVolumes(plan.kinds)) {
        if (volumes > 0 || outcome.volumeErrors.isEmpty())
            lines << (withErrors ? Shown::tr("✓ Removed %n volume(s)", nullptr, int(volumes))
                                 : Shown::tr("✓ Removed %1").arg(volumeBucketCount(plan.kinds, int(volumes))));
        lines << failureLines(outcome.volumeErrors);
    }
    return joinLines(lines);
}

}  // namespace stowage
