#pragma once
// A file opened for appending and held under an exclusive advisory lock
// (flock) for the object's lifetime. The kernel drops the lock when the file
// is closed or the process ends, however it ends, so a crashed run never
// leaves a lock behind that a later one would have to break.
//
// The activity log is appended to by the window and by `stowage --probe`
// running beside it: each append and each rotation happens under this lock.
// The data folder's lock file admits one window at a time.

#include <QByteArray>
#include <QString>

namespace stowage::platform {

class LockedFile {
public:
    enum class Wait { untilFree, no };

    // Opens `path` for appending, creating it readable and writable by its
    // owner only (an existing file loses any group and other access), and
    // locks it. With Wait::no, a lock held elsewhere leaves this one unlocked.
    LockedFile(const QString& path, Wait wait);
    ~LockedFile();

    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;

    bool isLocked() const { return fd_ >= 0; }
    // Whether `path` still names this file: another process may have moved
    // it away (rotated the log) while this one waited for the lock.
    bool isAt(const QString& path) const;
    qint64 size() const;
    // Appends `bytes` with one write: with O_APPEND the kernel puts it at the
    // end whole, never interleaved with another process's write.
    bool append(const QByteArray& bytes);

private:
    int fd_ = -1;
};

}  // namespace stowage::platform
