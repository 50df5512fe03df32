#include "text/LocaleFormat.h"

#include <QLocale>
#include <QRegularExpression>

namespace stowage::LocaleFormat {

namespace {

// Qt offers short and long formats only. The medium time is the short time
// with seconds; the medium date is the long date without the weekday and with
// the month name abbreviated.
QString mediumTimeFormat(const QLocale& locale)
{
    QString format = locale.timeFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1Char('s')))
        format.replace(QStringLiteral("mm"), QStringLiteral("mm:ss"));
    return format;
}

QString mediumDateFormat(const QLocale& locale)
{
    QString format = locale.dateFormat(QLocale::LongFormat);
    format.remove(QRegularExpression(QStringLiteral("d{4}[,.]?\\s*")));
    format.replace(QStringLiteral("MMMM"), QStringLiteral("MMM"));
    return format.trimmed();
}

}  // namespace

QString mediumTime(const QDateTime& moment)
{
    const QLocale locale;
    return locale.toString(moment.toLocalTime().time(), mediumTimeFormat(locale));
}

QString mediumDateShortTime(const QDateTime& moment)
{
    const QLocale locale;
    const QDateTime local = moment.toLocalTime();
    return locale.toString(local.date(), mediumDateFormat(locale)) + QStringLiteral(" at ")
           + locale.toString(local.time(), QLocale::ShortFormat);
}

}  // namespace stowage::LocaleFormat
