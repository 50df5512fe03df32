#include "ui/operations/RunningCommands.h"

#include <QTimer>

#include <algorithm>

namespace stowage {

Clock systemClock()
{
    return [] { return QDateTime::currentDateTimeUtc(); };
}

qint64 elapsedSeconds(const QDateTime& startedAt, const QDateTime& now)
{
    return std::max<qint64>(0, startedAt.msecsTo(now) / 1000);
}

std::optional<OperationCenter::Op> oldestOp(const QList<OperationCenter::Op>& active)
{
    if (active.isEmpty())
        return std::nullopt;
    return *std::min_element(active.cbegin(), active.cend(),
                             [](const auto& a, const auto& b) { return a.startedAt < b.startedAt; });
}

SecondTicker::SecondTicker(OperationCenter& ops, std::function<void()> tick, QObject* parent)
    : QObject(parent), ops_(ops), tick_(std::move(tick)), timer_(new QTimer(this))
{
    timer_->setInterval(1000);
    connect(timer_, &QTimer::timeout, this, [this] { tick_(); });
    connect(&ops_, &OperationCenter::activeChanged, this, &SecondTicker::onActiveChanged);
    onActiveChanged();
}

void SecondTicker::onActiveChanged()
{
    if (ops_.active().isEmpty())
        timer_->stop();
    else if (!timer_->isActive())
        timer_->start();
    tick_();
}

}  // namespace stowage
