#pragma once
// What a removal run is asked to do (the plan) and what it did (the
// outcome): the two values the runner and the ending texts share.

#include "classification/CleanPlan.h"
#include "docker/ImageUnit.h"
#include "docker/Records.h"
#include "inventory/FreedSpace.h"
#include "text/FailureLines.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

namespace stowage {

struct RemovalPlan {
    // How the run reports and ends: a listed removal says what went; a safe
    // clean reports each step and, like a build-cache clear, reads the engine
    // again at its end.
    enum class Kind { listed, safeClean, buildCache };
    Kind kind = Kind::listed;
    // The operation's name in the log ("unused images"), always English, and
    // in the window, in the user's language (the log's when not set).
    QString operationName;
    QString windowName;
    // Removed in this order, after the build cache when that is pruned.
    QList<SGContainer> containers;
    QList<ImageUnit> images;
    QList<SGVolume> volumes;
    // The build cache is pruned first (`docker builder prune -af`).
    bool pruneBuildCache = false;
    // A safe clean's plan, for its report.
    CleanPlan clean;
    // What the confirmation said the removal frees.
    ByteRange expected;

    const QString& shownName() const { return windowName.isEmpty() ? operationName : windowName; }
    bool empty() const { return !pruneBuildCache && containers.isEmpty() && images.isEmpty() && volumes.isEmpty(); }
};

// What a removal run did, handed to the UI thread at its end.
struct RemovalOutcome {
    QSet<QString> containers;
    QSet<QString> images;
    // Every image id the engine reported deleted: the images and the build layers that went with them.
    QSet<QString> deletedImages;
    QSet<QString> volumes;
    // Every error, and those of the image and volume steps on their own, for endings that tell them apart;
    // each in English for the log and the command line, and in the window's words.
    FailureLines errors;
    FailureLines imageErrors;
    FailureLines volumeErrors;
    int consecutiveTimeouts = 0;
    // Ended before every step was tried (a time-out, Docker wedged, or Stop).
    bool stopped = false;
    bool cancelled = false;
    // The build cache prune exited 0, even if Stop came while it ran.
    bool pruned = false;
    QStringList pruneLines;
    QString pruneFailure;

    qsizetype removed() const { return containers.size() + images.size() + volumes.size(); }
    qsizetype buildLayers() const { return deletedImages.size() - images.size(); }
};

}  // namespace stowage
