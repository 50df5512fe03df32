#pragma once
// A date told relative to now with full unit names: "5 minutes ago",
// "1 hour ago", "in 2 days". The largest unit that fits is used, counted in
// whole units (truncated), as a person would say it.

#include <QDateTime>
#include <QString>

namespace stowage::RelativeTime {

QString describe(const QDateTime& date, const QDateTime& now = QDateTime::currentDateTimeUtc());

}  // namespace stowage::RelativeTime
