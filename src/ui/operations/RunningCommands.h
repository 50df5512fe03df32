#pragma once
// How long a running docker command has been going and when it counts as
// stuck; shared by the status bar's monitor and the Logs tab's list. The clock
// is injectable so that tests can move time.

#include "docker/OperationCenter.h"

#include <QDateTime>
#include <QObject>

#include <functional>
#include <optional>

class QTimer;

namespace stowage {

using Clock = std::function<QDateTime()>;
Clock systemClock();

// Whole seconds from `startedAt` to `now`, truncated, never negative.
qint64 elapsedSeconds(const QDateTime& startedAt, const QDateTime& now);

// A command is stuck from 61 seconds on.
constexpr qint64 stuckAfterSeconds = 60;
constexpr bool isStuck(qint64 seconds) { return seconds > stuckAfterSeconds; }

// The command that started first; on equal times the earlier one in the list.
std::optional<OperationCenter::Op> oldestOp(const QList<OperationCenter::Op>& active);

// Once per second while anything runs: a timer that starts and stops with the
// operation center's list and calls `tick` at each second and at each change.
class SecondTicker : public QObject {
    Q_OBJECT
public:
    SecondTicker(OperationCenter& ops, std::function<void()> tick, QObject* parent);

private:
    void onActiveChanged();

    OperationCenter& ops_;
    std::function<void()> tick_;
    QTimer* timer_;
};

}  // namespace stowage
