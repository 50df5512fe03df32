#include "platform/FileProbe.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace stowage::platform {

namespace {

PathPresence presenceOf(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR: return PathPresence::missing;
    case EACCES:
    case EPERM: return PathPresence::notPermitted;
    default: return PathPresence::unavailable;
    }
}

// Closes the descriptor when the read ends, however it ends.
struct Descriptor {
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

}  // namespace

PathFacts probePath(const QString& path)
{
    if (path.isEmpty() || !QDir::isAbsolutePath(path))
        return {};
    struct stat info{};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        const int error = errno;
        return {presenceOf(error), false, QString::fromLocal8Bit(std::strerror(error))};
    }
    return {PathPresence::present, S_ISDIR(info.st_mode), {}};
}

std::optional<FileBytes> readRegularFile(const QString& path, qint64 maxBytes, FilePart part)
{
    // O_NONBLOCK: opening a FIFO would otherwise wait for a writer forever.
    const Descriptor file{::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
    struct stat info{};
    if (file.fd < 0 || ::fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode) || maxBytes < 0)
        return std::nullopt;

    const qint64 size = info.st_size;
    off_t offset = part == FilePart::tail ? off_t(std::max<qint64>(0, size - maxBytes)) : 0;
    FileBytes out;
    out.bytes.resize(std::min(size, maxBytes));
    qint64 filled = 0;
    while (filled < out.bytes.size()) {
        const ssize_t got = ::pread(file.fd, out.bytes.data() + filled, size_t(out.bytes.size() - filled), offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;  // the file shrank while being read
        filled += got;
        offset += got;
    }
    out.bytes.truncate(filled);
    out.whole = size <= maxBytes;
    return out;
}

}  // namespace stowage::platform
