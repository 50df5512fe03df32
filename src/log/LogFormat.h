#pragma once
// Text forms of log entries: the line layout of the log file (read and
// written) and the line layout of the exported text.

#include "log/ActivityLog.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace stowage::logformat {

// How many lines of the previous run's file are read back at start.
inline constexpr int previousRunLines = 400;

// Stands in the file for a line feed inside a message.
inline const QString lineFeedMark = QStringLiteral(" \u23CE ");

// UTC with milliseconds, e.g. "2026-12-05T08:20:30.123Z".
QString formatDiskTime(const QDateTime& time);
// Accepts exactly the form formatDiskTime writes.
std::optional<QDateTime> parseDiskTime(QStringView text);

// One file line, UTF-8, ended by a line feed: time TAB level TAB message.
QByteArray diskLine(const LogEntry& entry);
// One file line without its line feed; none when any field is unreadable.
// The entry gets a fresh id.
std::optional<LogEntry> parseDiskLine(QStringView line);

// The readable entries among the last `previousRunLines` non-empty lines of a
// whole log file, oldest first. None readable (or the bytes are not UTF-8) → empty.
QList<LogEntry> parsePreviousRun(const QByteArray& fileContents);

// "[yyyy-MM-dd HH:mm:ss.SSS] LEVEL message" in local time, the level padded to 5.
QString exportLine(const LogEntry& entry);

}  // namespace stowage::logformat
