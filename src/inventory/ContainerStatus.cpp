#include "inventory/ContainerStatus.h"

#include <QRegularExpression>

namespace stowage::ContainerStatus {

QString humanDuration(qint64 seconds)
{
    constexpr qint64 hour = 3600;
    constexpr qint64 day = 24 * hour;
    if (seconds < 1)
        return QStringLiteral("Less than a second");
    if (seconds == 1)
        return QStringLiteral("1 second");
    if (seconds < 60)
        return QStringLiteral("%1 seconds").arg(seconds);
    if (const qint64 minutes = seconds / 60; minutes == 1)
        return QStringLiteral("About a minute");
    else if (minutes < 60)
        return QStringLiteral("%1 minutes").arg(minutes);
    // Hours are rounded, as Docker does; longer units are truncated.
    const qint64 hours = (seconds + hour / 2) / hour;
    if (hours == 1)
        return QStringLiteral("About an hour");
    if (hours < 48)
        return QStringLiteral("%1 hours").arg(hours);
    if (hours < 24 * 7 * 2)
        return QStringLiteral("%1 days").arg(hours / 24);
    if (hours < 24 * 30 * 2)
        return QStringLiteral("%1 weeks").arg(hours / 24 / 7);
    if (hours < 24 * 365 * 2)
        return QStringLiteral("%1 months").arg(hours / 24 / 30);
    return QStringLiteral("%1 years").arg(seconds / day / 365);
}

namespace {

// The duration from `date` to `now`, or none when the date is unknown or ahead of now.
std::optional<QString> since(const OptionalDate& date, const QDateTime& now)
{
    if (!date || !date->isValid() || *date > now)
        return std::nullopt;
    return humanDuration(date->secsTo(now));
}

}  // namespace

QString at(const QString& status, const OptionalDate& startedAt, const OptionalDate& finishedAt, const QDateTime& now)
{
    // "Up 3 hours", "Up 2 minutes (healthy)", "Up About an hour (Paused)".
    static const QRegularExpression up(QStringLiteral("^Up (.+?)( \\(.*\\))?$"));
    // "Exited (0) 5 minutes ago", "Restarting (1) 3 seconds ago".
    static const QRegularExpression ended(QStringLiteral("^(Exited|Restarting) (\\(-?\\d+\\)) .+ ago$"));
    if (const auto match = up.match(status); match.hasMatch()) {
        if (const auto duration = since(startedAt, now))
            return QStringLiteral("Up ") + *duration + match.captured(2);
    } else if (const auto match = ended.match(status); match.hasMatch()) {
        if (const auto duration = since(finishedAt, now))
            return match.captured(1) + QLatin1Char(' ') + match.captured(2) + QLatin1Char(' ') + *duration
                   + QStringLiteral(" ago");
    }
    return status;
}

QString at(const SGContainer& container, const QDateTime& now)
{
    return at(container.status, container.startedAt, container.finishedAt, now);
}

}  // namespace stowage::ContainerStatus
