#pragma once
// Docker's container status told at another moment. Docker words a status
// when it is listed ("Up 3 hours", "Exited (0) 5 minutes ago"); the window
// shows it for much longer, so the duration is worked out again from the
// inspected start or finish time, in Docker's own words (in the user's
// language when a catalogue has them). A status without a duration, or
// without the date it needs, is kept as Docker gave it.

#include "docker/Records.h"

#include <QDateTime>
#include <QString>

namespace stowage::ContainerStatus {

// Docker's wording of a duration: "Less than a second", "About a minute", "3 hours", "2 weeks".
QString humanDuration(qint64 seconds);

QString at(const QString& status, const OptionalDate& startedAt, const OptionalDate& finishedAt, const QDateTime& now);
QString at(const SGContainer& container, const QDateTime& now);

}  // namespace stowage::ContainerStatus
