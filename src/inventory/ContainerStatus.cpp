#include "inventory/ContainerStatus.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace stowage::ContainerStatus {

namespace {

// The window shows statuses in the user's language; durations read after "for" and "ago".
struct Shown {
    Q_DECLARE_TR_FUNCTIONS(ContainerStatus)
};

}  // namespace

QString humanDuration(qint64 seconds)
{
    constexpr qint64 hour = 3600;
    constexpr qint64 day = 24 * hour;
    if (seconds < 1)
        return Shown::tr("Less than a second");
    if (seconds < 60)
        return Shown::tr("%n second(s)", nullptr, int(seconds));
    if (const qint64 minutes = seconds / 60; minutes == 1)
        return Shown::tr("About a minute");
    else if (minutes < 60)
        return Shown::tr("%n minute(s)", nullptr, int(minutes));
    // Hours are rounded, as Docker does; longer units are truncated.
    const qint64 hours = (seconds + hour / 2) / hour;
    if (hours == 1)
        return Shown::tr("About an hour");
    if (hours < 48)
        return Shown::tr("%n hour(s)", nullptr, int(hours));
    if (hours < 24 * 7 * 2)
        return Shown::tr("%n day(s)", nullptr, int(hours / 24));
    if (hours < 24 * 30 * 2)
        return Shown::tr("%n week(s)", nullptr, int(hours / 24 / 7));
    if (hours < 24 * 365 * 2)
        return Shown::tr("%n month(s)", nullptr, int(hours / 24 / 30));
    return Shown::tr("%n year(s)", nullptr, int(seconds / day / 365));
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
            return Shown::tr("Up %1").arg(*duration) + match.captured(2);
    } else if (const auto match = ended.match(status); match.hasMatch()) {
        if (const auto duration = since(finishedAt, now))
            return (match.captured(1) == QLatin1String("Exited") ? Shown::tr("Exited %1 %2 ago")
                                                                 : Shown::tr("Restarting %1 %2 ago"))
                .arg(match.captured(2), *duration);
    }
    return status;
}

QString at(const SGContainer& container, const QDateTime& now)
{
    return at(container.status, container.startedAt, container.finishedAt, now);
}

}  // namespace stowage::ContainerStatus
