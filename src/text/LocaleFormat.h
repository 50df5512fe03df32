#pragma once
// Date and time texts in the user's locale, in the styles the status line and
// the project summary use: a "medium" time (with seconds, no date) and a
// "medium" date (abbreviated month) with a short time.

#include <QDateTime>
#include <QString>

namespace stowage::LocaleFormat {

QString mediumTime(const QDateTime& moment);
QString mediumDateShortTime(const QDateTime& moment);

}  // namespace stowage::LocaleFormat
