#pragma once
// The file operations of the activity log. Every failure is ignored: the log
// never reports (or logs) its own file trouble.

#include <QByteArray>
#include <QString>

namespace stowage::logfile {

// The one previous generation kept beside the file.
QString backupPath(const QString& path);

// Appends `line` to the file at `path` in one write. A file larger than
// `maxBytes` is first moved to the backup (replacing an older one); a missing
// file is created, folder included, private to the user. Safe against other
// processes appending to the same file.
void appendLine(const QString& path, const QByteArray& line, qint64 maxBytes);

// Moves the file to the backup (replacing an older one), under the file's
// lock; nothing happens when there is no regular file at `path`.
void setAside(const QString& path);

// The last `maxBytes` of the file, starting at a whole line; empty when it is
// not a regular file or cannot be read (a FIFO named like the log never blocks).
QByteArray readTail(const QString& path, qint64 maxBytes);

}  // namespace stowage::logfile
