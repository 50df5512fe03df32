#include "platform/LockedFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace stowage::platform {

namespace {

constexpr mode_t ownerOnly = S_IRUSR | S_IWUSR;
constexpr mode_t groupAndOthers = S_IRWXG | S_IRWXO;

int lockInterruptible(int fd, int operation)
{
    int result;
    do
        result = ::flock(fd, operation);
    while (result != 0 && errno == EINTR);
    return result;
}

}  // namespace

LockedFile::LockedFile(const QString& path, Wait wait)
{
    // Close-on-exec: a docker child or a file manager started later must not
    // inherit the lock and hold it past this process's end.
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, ownerOnly);
    if (fd < 0)
        return;
    if (lockInterruptible(fd, LOCK_EX | (wait == Wait::no ? LOCK_NB : 0)) != 0) {
        ::close(fd);
        return;
    }
    struct stat info {};
    if (::fstat(fd, &info) == 0 && (info.st_mode & groupAndOthers) != 0)
        ::fchmod(fd, info.st_mode & ~groupAndOthers & 07777);
    fd_ = fd;
}

LockedFile::~LockedFile()
{
    if (fd_ >= 0)
        ::close(fd_);  // releases the lock
}

bool LockedFile::isAt(const QString& path) const
{
    struct stat open {};
    struct stat named {};
    return fd_ >= 0 && ::fstat(fd_, &open) == 0 && ::stat(QFile::encodeName(path).constData(), &named) == 0
        && open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

qint64 LockedFile::size() const
{
    struct stat info {};
    return fd_ >= 0 && ::fstat(fd_, &info) == 0 ? qint64(info.st_size) : 0;
}

bool LockedFile::append(const QByteArray& bytes)
{
    if (fd_ < 0)
        return false;
    qsizetype written = 0;
    // A regular file takes the whole line in one write; the loop only
    // finishes one cut short by a signal or a full disk.
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.constData() + written, size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        written += n;
    }
    return true;
}

}  // namespace stowage::platform
