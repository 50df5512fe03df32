#include "model/removal/RemovalEnding.h"

#include "log/ActivityLog.h"
#include "model/removal/ConfirmationText.h"
#include "platform/PlatformWords.h"
#include "text/CountText.h"

#include <algorithm>

namespace stowage {

namespace {

constexpr int keptPruneLines = 12;

QString firstErrors(const QStringList& errors) { return joinLines(errors.mid(0, maxShownErrors)); }

QString lastLines(const QStringList& lines, int count)
{
    return joinLines(lines.mid(std::max<qsizetype>(0, lines.size() - count)));
}

// "2 containers, 3 images (and 2 build layers)": only the kinds that went; "nothing" when none did.
QString removedCounts(const RemovalOutcome& outcome)
{
    QStringList parts;
    if (!outcome.containers.isEmpty())
        parts << counted(outcome.containers.size(), QStringLiteral("container"));
    if (!outcome.images.isEmpty())
        parts << counted(outcome.images.size(), QStringLiteral("image"))
                     + (outcome.buildLayers() > 0
                            ? QStringLiteral(" (and ") + counted(outcome.buildLayers(), QStringLiteral("build layer"))
                                  + u')'
                            : QString());
    if (!outcome.volumes.isEmpty())
        parts << counted(outcome.volumes.size(), QStringLiteral("volume"));
    return parts.isEmpty() ? QStringLiteral("nothing") : parts.join(QStringLiteral(", "));
}

// One "✗" line per failure, with docker's reason; past the first few, how many more.
QStringList failureLines(const QStringList& errors)
{
    QStringList lines;
    for (const QString& error : errors.mid(0, maxShownErrors))
        lines << QStringLiteral("✗ ") + error;
    if (errors.size() > maxShownErrors)
        lines << QStringLiteral("✗ … and %1 more (see Logs)").arg(errors.size() - maxShownErrors);
    return lines;
}

RemovalEnding listedEnding(const RemovalPlan& plan, const RemovalOutcome& outcome, const FreedSpace& freed)
{
    RemovalEnding ending;
    const QString& name = plan.operationName;
    const QString prefix = QLatin1Char('[') + name + QStringLiteral("] ");
    const qsizetype total = plan.containers.size() + plan.images.size() + plan.volumes.size();
    if (!outcome.deletedImages.isEmpty())
        ending.log.append({LogLevel::info, prefix + freed.text()});
    const QString freedNote = outcome.deletedImages.isEmpty() ? QString() : QStringLiteral("  ·  ") + freed.text();
    const QString counts = QStringLiteral("%1/%2").arg(outcome.removed()).arg(total);
    QString summary = prefix + QStringLiteral("removed ") + counts;
    if (!outcome.errors.isEmpty())
        summary += QStringLiteral(", ") + counted(outcome.errors.size(), QStringLiteral("error"));
    if (outcome.stopped)
        summary += QStringLiteral(", aborted");
    ending.log.append({outcome.errors.isEmpty() ? LogLevel::info : LogLevel::warn, summary});

    if (outcome.stopped && !outcome.cancelled) {
        ending.status = name + QStringLiteral(": stopped early — removed ") + counts + QStringLiteral(". See Logs.");
        ending.notice = {true, QStringLiteral("Stopped early"),
                         QStringLiteral("%1: removed %2 of %3 before stopping (Docker became unresponsive).\n\n")
                                 .arg(name, QString::number(outcome.removed()), QString::number(total))
                             + firstErrors(outcome.errors)};
    } else if (outcome.cancelled) {
        ending.status = name + QStringLiteral(": cancelled — removed ") + counts + QStringLiteral(".");
    } else if (!outcome.errors.isEmpty()) {
        ending.status = name + QStringLiteral(": completed with errors — removed ") + counts + QStringLiteral(", ")
                        + counted(outcome.errors.size(), QStringLiteral("error")) + QStringLiteral(". See Logs.");
        ending.notice = {true, QStringLiteral("Completed with errors"),
                         name + QStringLiteral(":\n\n") + firstErrors(outcome.errors)
                             + (freedNote.isEmpty() ? QString() : QStringLiteral("\n\n") + freed.text() + u'.')};
    } else {
        ending.status = name + QStringLiteral(": removed ") + removedCounts(outcome) + freedNote
                        + QStringLiteral("  ·  data is stale — Refresh to reconcile.");
    }
    return ending;
}

RemovalEnding safeCleanEnding(const RemovalPlan& plan, const RemovalOutcome& outcome, const FreedSpace& freed)
{
    RemovalEnding ending;
    const QString& name = plan.operationName;
    const QString images = counted(outcome.images.size(), QStringLiteral("image"));
    const QString volumes = counted(outcome.volumes.size(), QStringLiteral("volume"));
    if (outcome.cancelled) {
        ending.log.append({LogLevel::warn, name + QStringLiteral(" cancelled")});
        ending.status = QStringLiteral("Safe clean cancelled — %1removed %2, %3.")
                            .arg(outcome.pruned ? QStringLiteral("build cache cleared, ") : QString(), images, volumes);
        return ending;
    }
    ending.log.append({outcome.errors.isEmpty() && !outcome.stopped ? LogLevel::info : LogLevel::warn,
                       name + QStringLiteral(" done: %1, %2, %3; %4")
                                   .arg(images, volumes, counted(outcome.errors.size(), QStringLiteral("error")),
                                        freed.text())});
    const QString done = safeCleanDone(plan.clean, outcome) + QStringLiteral("\n\n") + freed.text() + u'.';
    if (outcome.stopped)
        ending.notice = {true, QStringLiteral("Stopped early"),
                         done + QStringLiteral("\n\nDocker became unresponsive, so the rest was not tried.")};
    else if (!outcome.errors.isEmpty())
        ending.notice = {true, QStringLiteral("Completed with errors"), done};
    else
        ending.notice = {false, QStringLiteral("Done"), done};
    ending.reconcile = true;
    return ending;
}

RemovalEnding buildCacheEnding(const RemovalOutcome& outcome)
{
    RemovalEnding ending;
    if (outcome.pruned) {
        ending.log.append({LogLevel::info, QStringLiteral("Build cache cleared")});
        ending.notice = {false, QStringLiteral("Done"),
                         QStringLiteral("Build cache cleared.\n\n") + lastLines(outcome.pruneLines, keptPruneLines)};
    } else if (outcome.cancelled) {
        // The prune may have removed part of the cache before it was stopped.
        ending.log.append({LogLevel::warn, QStringLiteral("Build cache clear cancelled")});
        ending.status = QStringLiteral("Build cache clear cancelled.");
        return ending;
    } else {
        ending.log.append({LogLevel::error, QStringLiteral("Build cache clear failed: ") + outcome.pruneFailure});
        ending.notice = {false, QStringLiteral("Build cache not cleared"),
                         QStringLiteral("docker builder prune failed: ") + outcome.pruneFailure};
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
    ending.status =
        plan.operationName + QStringLiteral(": aborted — Docker daemon not responding. Nothing was removed.");
    ending.log.append({LogLevel::error, QLatin1Char('[') + plan.operationName +
                                            QStringLiteral("] aborted — Docker daemon not responding")});
    ending.notice = {false, QStringLiteral("Docker not responding"),
                     QStringLiteral("The Docker daemon didn't respond to a health check, so nothing was deleted.\n\n")
                         + platform::platformWords().restartDockerHelp};
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

// A part that removed nothing and failed gets no tick.
QString safeCleanDone(const CleanPlan& plan, const RemovalOutcome& outcome)
{
    const bool withErrors = !outcome.errors.isEmpty() || outcome.stopped;
    const qsizetype images = outcome.images.size();
    const qsizetype volumes = outcome.volumes.size();
    QStringList lines;
    if (plan.buildCache)
        lines << (outcome.pruned ? QStringLiteral("✓ Build cache cleared")
                  : outcome.pruneFailure.isEmpty()
                      ? QStringLiteral("✗ Build cache not cleared")
                      : QStringLiteral("✗ Build cache not cleared: ") + outcome.pruneFailure);
    if (plan.kinds.testFlag(CleanKind::unusedImages)) {
        if (images > 0 || outcome.imageErrors.isEmpty())
            lines << QStringLiteral("✓ Removed ")
                         + counted(images, withErrors ? QStringLiteral("image") : QStringLiteral("unused image"))
                         + (outcome.buildLayers() > 0
                                ? QStringLiteral(" (and ")
                                      + counted(outcome.buildLayers(), QStringLiteral("build layer")) + u')'
                                : QString());
        lines << failureLines(outcome.imageErrors);
    }
    if (cleansVolumes(plan.kinds)) {
        if (volumes > 0 || outcome.volumeErrors.isEmpty())
            lines << QStringLiteral("✓ Removed ")
                         + (withErrors ? counted(volumes, QStringLiteral("volume"))
                                       : volumeBucketCount(plan.kinds, int(volumes)));
        lines << failureLines(outcome.volumeErrors);
    }
    return joinLines(lines);
}

}  // namespace stowage
