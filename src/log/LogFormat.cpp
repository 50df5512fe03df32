#include "log/LogFormat.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>

namespace stowage::logformat {

QString formatDiskTime(const QDateTime& time)
{
    return time.toUTC().toString(Qt::ISODateWithMs);
}

std::optional<QDateTime> parseDiskTime(QStringView text)
{
    // Qt's ISO parser also takes offsets and missing fractions; the file only
    // ever holds the one UTC form, so anything else is a damaged line.
    static const QRegularExpression shape(
        QStringLiteral(R"(^\d{4}-\d{2}-\d{2}T\d{2}:\d{2}:\d{2}\.\d{3}Z$)"));
    if (!shape.match(text).hasMatch())
        return std::nullopt;
    const QDateTime time = QDateTime::fromString(text.toString(), Qt::ISODateWithMs);
    if (!time.isValid())
        return std::nullopt;
    return time;
}

QByteArray diskLine(const LogEntry& entry)
{
    QString message = entry.message;
    message.replace(u'\n', lineFeedMark);
    const QString line = formatDiskTime(entry.time) + u'\t' + rawValue(entry.level) + u'\t' + message + u'\n';
    return line.toUtf8();
}

std::optional<LogEntry> parseDiskLine(QStringView line)
{
    const QList<QStringView> fields = line.split(u'\t');
    if (fields.size() < 3)
        return std::nullopt;
    const auto time = parseDiskTime(fields[0]);
    if (!time)
        return std::nullopt;
    const auto level = logLevelFromRaw(fields[1].toString());
    if (!level)
        return std::nullopt;
    // Tabs inside the message were written as they are: put them back.
    QString message = line.sliced(fields[0].size() + fields[1].size() + 2).toString();
    message.replace(lineFeedMark, QStringLiteral("\n"));
    return LogEntry{QUuid::createUuid(), *time, *level, message};
}

QList<LogEntry> parsePreviousRun(const QByteArray& fileContents)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(fileContents);
    if (decoder.hasError())
        return {};

    const QList<QStringView> lines = QStringView(text).split(u'\n', Qt::SkipEmptyParts);
    QList<LogEntry> entries;
    for (const QStringView line : lines.sliced(std::max<qsizetype>(0, lines.size() - previousRunLines))) {
        if (auto entry = parseDiskLine(line))
            entries.append(std::move(*entry));
    }
    return entries;
}

QString exportLine(const LogEntry& entry)
{
    return u'[' + entry.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")) + QStringLiteral("] ")
        + rawValue(entry.level).toUpper().leftJustified(5, u' ') + u' ' + entry.message;
}

}  // namespace stowage::logformat
