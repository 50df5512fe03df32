#include "log/LogFile.h"

#include "platform/FileProbe.h"
#include "platform/LockedFile.h"
#include "platform/Paths.h"

#include <QFile>
#include <QFileInfo>

#include <filesystem>

namespace stowage::logfile {

namespace {

// Opening, a rotation by another process and a removed folder each cost one
// more round; more than that means the file cannot be written.
constexpr int maxAttempts = 4;

// rename() replaces an older backup in one step. Returns whether it moved the file.
bool rotate(const QString& path)
{
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(path).toStdString(), QFile::encodeName(backupPath(path)).toStdString(),
                            error);
    return !error;
}

}  // namespace

QString backupPath(const QString& path)
{
    return path + QStringLiteral(".1");
}

void appendLine(const QString& path, const QByteArray& line, qint64 maxBytes)
{
    // Something other than a file in the log's place (a FIFO would block the
    // writing thread until someone reads it) is left alone. One status call:
    // QFileInfo may stat twice, and a rotation by the other writer between
    // the two would make the file look like "exists but is not a file".
    std::error_code statusError;
    const auto status = std::filesystem::status(QFile::encodeName(path).toStdString(), statusError);
    if (!statusError && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        return;
    // Every step runs under the file's lock, so `stowage --probe` and the
    // window can share the log: lines stay whole, and one rotation never
    // throws away the generation another process has just rotated.
    for (int attempt = 0; attempt < maxAttempts; ++attempt) {
        platform::LockedFile file(path, platform::LockedFile::Wait::untilFree);
        if (!file.isLocked()) {
            // The folder may have been removed while the application runs.
            // A file that exists but cannot be opened is left as it is.
            if (QFileInfo::exists(path) || !platform::makePrivateDir(QFileInfo(path).absolutePath()))
                return;
            continue;
        }
        if (!file.isAt(path))
            continue;  // rotated or removed while this process waited for the lock
        // A file that cannot be rotated still takes the line.
        if (file.size() > maxBytes && rotate(path))
            continue;
        file.append(line);
        return;
    }
}

void setAside(const QString& path)
{
    if (!QFileInfo(path).isFile())
        return;
    const platform::LockedFile file(path, platform::LockedFile::Wait::untilFree);
    if (file.isLocked() && file.isAt(path))
        rotate(path);
}

QByteArray readTail(const QString& path, qint64 maxBytes)
{
    auto tail = platform::readRegularFile(path, maxBytes, platform::FilePart::tail);
    if (!tail)
        return {};
    if (!tail->whole) {
        // The cut went through a line (and maybe a UTF-8 sequence): start after it.
        const qsizetype firstLineEnd = tail->bytes.indexOf('\n');
        tail->bytes.remove(0, firstLineEnd < 0 ? tail->bytes.size() : firstLineEnd + 1);
    }
    return tail->bytes;
}

}  // namespace stowage::logfile
