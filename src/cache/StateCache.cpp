#include "cache/StateCache.h"

#include "platform/FileProbe.h"
#include "platform/Paths.h"
#include "platform/ThreadPriority.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace stowage {

namespace {

bool writeAtomically(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // QSaveFile copies an existing file's mode: the snapshot holds project
    // paths and names, so it is private to the user whatever it was before.
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

std::optional<QString> inDataFolder(const QString& name)
{
    const std::optional<QString> folder = platform::appDataDir();
    if (!folder)
        return std::nullopt;
    return *folder + QLatin1Char('/') + name;
}

}  // namespace

namespace StateCache {

QString fileName(const QString& context)
{
    if (context.isEmpty())
        return QStringLiteral("state.cache");
    QString readable;
    for (const QChar c : context.left(40)) {
        const bool plain = (c.isLetterOrNumber() && c.unicode() < 128) || c == u'-';
        readable += plain ? c : QChar(u'_');
    }
    const QByteArray hash = QCryptographicHash::hash(context.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    return QStringLiteral("state-%1-%2.cache").arg(readable, QString::fromLatin1(hash));
}

std::optional<QString> fileURL(const QString& context) { return inDataFolder(fileName(context)); }

std::optional<QString> legacyFileURL() { return inDataFolder(QStringLiteral("state.json")); }

FileBytes readFile(const QString& path)
{
    const auto tooLarge = [&path] {
        return FileBytes{std::nullopt, QStringLiteral("The state cache %1 is larger than %2 MB; it was ignored.")
                                           .arg(path)
                                           .arg(maxFileBytes / (1024 * 1024))};
    };
    if (const QFileInfo info(path); info.isFile() && info.size() > maxFileBytes)
        return tooLarge();
    // One byte more than allowed tells a file that grew past the limit since from one at it.
    std::optional<platform::FileBytes> file = platform::readRegularFile(path, maxFileBytes + 1);
    if (!file) {
        // QFileInfo follows links: a link to a device or a FIFO is "there" and refused.
        const QFileInfo info(path);
        if (!info.exists() && !info.isSymLink())
            return {};
        return {std::nullopt, QStringLiteral("The state cache %1 is not a regular file that can be read; it was ignored.")
                                  .arg(path)};
    }
    if (!file->whole || file->bytes.size() > maxFileBytes)
        return tooLarge();
    return {std::move(file->bytes), QString()};
}

}  // namespace StateCache

StateCacheWriter::StateCacheWriter(std::optional<QString> filePath, std::optional<QString> supersededPath)
    : filePath_(std::move(filePath)), supersededPath_(std::move(supersededPath))
{
    if (filePath_)
        worker_ = std::thread([this] {
            platform::lowerCurrentThreadPriority();
            run();
        });
}

StateCacheWriter::~StateCacheWriter()
{
    if (!worker_.joinable())
        return;
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    worker_.join();
}

std::optional<CachedState> StateCacheWriter::save(CachedState snapshot)
{
    if (!filePath_)
        return std::nullopt;
    std::optional<CachedState> released;
    {
        const std::lock_guard lock(mutex_);
        pending_ = std::move(snapshot);
        released = std::exchange(written_, std::nullopt);
    }
    changed_.notify_all();
    // `released` is handed to the saving thread, after the lock ordered it
    // behind the writer's reads.
    return released;
}

void StateCacheWriter::flush()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !pending_ && !writing_; });
}

void StateCacheWriter::run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return pending_ || stopping_; });
        if (!pending_)
            return;  // stopping with nothing left to write
        CachedState snapshot = std::move(*pending_);
        pending_.reset();
        writing_ = true;
        lock.unlock();
        if (writeAtomically(*filePath_, StateCache::encode(snapshot)) && supersededPath_)
            QFile::remove(*std::exchange(supersededPath_, std::nullopt));
        lock.lock();
        written_ = std::move(snapshot);
        writing_ = false;
        changed_.notify_all();
    }
}

}  // namespace stowage
