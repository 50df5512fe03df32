#include "model/MinuteClock.h"

namespace stowage {

MinuteClock::MinuteClock(Source source, QObject* parent) : QObject(parent), source_(std::move(source))
{
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::CoarseTimer);
    connect(&timer_, &QTimer::timeout, this, &MinuteClock::tick);
    waitForNextMinute();
}

QDateTime MinuteClock::now() const
{
    return source_ ? source_() : QDateTime::currentDateTimeUtc();
}

void MinuteClock::tick()
{
    emit minuteChanged();
    waitForNextMinute();
}

void MinuteClock::waitForNextMinute()
{
    // Wakes just after the minute turns, so "1 minute ago" appears when it becomes true.
    constexpr qint64 minuteMs = 60'000;
    const qint64 intoMinute = QDateTime::currentMSecsSinceEpoch() % minuteMs;
    timer_.start(int(minuteMs - intoMinute + 50));
}

}  // namespace stowage
