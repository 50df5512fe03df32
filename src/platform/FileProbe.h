#pragma once
// Facts about paths that came from Docker, and bounded reads of the files they
// name. Both block for as long as the file system likes (a hung network
// mount, an automount, a FUSE folder): call them off the UI thread only.

#include <QByteArray>
#include <QString>

#include <optional>

namespace stowage::platform {

enum class PathPresence {
    present,
    missing,       // nothing there (or a path no engine could have meant: empty, relative)
    notPermitted,  // something may be there, but this user may not look
    unavailable,   // the file system failed to answer (I/O error, stale handle, …)
};

struct PathFacts {
    PathPresence presence = PathPresence::missing;
    bool isFolder = false;
    // The system's own words for why the path is not present ("Permission denied").
    QString reason;

    bool operator==(const PathFacts&) const = default;
};

// What the file system says about `path`, following links. Docker reports
// absolute paths; an empty or relative one is missing without a look.
PathFacts probePath(const QString& path);

struct FileBytes {
    QByteArray bytes;
    bool whole = true;  // false when the file was longer than the bytes read
};

enum class FilePart { head, tail };

// At most `maxBytes` of the start (or the end) of a regular file. None for a
// FIFO, a device, a folder or anything unreadable: the file is opened without
// waiting for a writer and checked before a byte is read.
std::optional<FileBytes> readRegularFile(const QString& path, qint64 maxBytes, FilePart part = FilePart::head);

}  // namespace stowage::platform
