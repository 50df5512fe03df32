#pragma once
// The last inventory kept on disk ("state.json" in the application's data
// folder) so that the window can show data at once on the next start. It holds
// what a refresh reads plus the usage facts, never the derived project index.

#include "docker/ImageLayers.h"
#include "docker/Records.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace stowage {

struct CachedState {
    QList<SGContainer> containers;
    QList<SGImage> images;
    QList<SGVolume> volumes;
    BuildCache buildCache;
    QHash<QString, qint64> volumeSizes;
    QStringList usedImageIDs;
    QString dockerRoot = QStringLiteral("/var/lib/docker");
    QDateTime savedAt = QDateTime::currentDateTimeUtc();
    QStringList danglingVolumeNames;
    bool danglingKnown = false;
    bool usageDataComplete = false;
    // Optional in the file (older files lack them): read as empty and unknown.
    QList<ImageLayers> imageLayers;
    EngineImageTotals engineImages;

    bool operator==(const CachedState&) const = default;
};

namespace StateCache {

// "<app data dir>/state.json"; the folder is created when missing. None when
// there is no per-user data location.
std::optional<QString> fileURL();

// Compact JSON with one key per field; dates as seconds since 2001-01-01 UTC.
QByteArray encode(const CachedState& state);

// Strict: every one of the eleven keys must be present with the right type
// (extra keys are ignored); the image layers and the engine's image totals
// are optional, but of the right shape when present. Anything else, including truncated text, gives none.
std::optional<CachedState> decode(const QByteArray& json);

}  // namespace StateCache

// Writes snapshots to the cache file on a background thread of its own.
// Saves are written in the order they were made; a save that arrives while an
// older one is still waiting replaces it, so an older snapshot never overwrites
// a newer one and a burst of saves costs one write. Each write is atomic
// (temporary file, then rename). Failures are silent: the previous file stays.
class StateCacheWriter {
public:
    // `filePath` none: saves are accepted and dropped.
    explicit StateCacheWriter(std::optional<QString> filePath);
    // Writes what is still pending, then stops the thread.
    ~StateCacheWriter();

    StateCacheWriter(const StateCacheWriter&) = delete;
    StateCacheWriter& operator=(const StateCacheWriter&) = delete;

    // Returns at once; encoding and writing happen on the writer's thread.
    void save(CachedState snapshot);
    // Blocks until every snapshot saved so far has been written (or dropped in favour of a newer one).
    void flush();

private:
    void run();

    const std::optional<QString> filePath_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<CachedState> pending_;
    // The last snapshot written, released by the next save() on the saving thread:
    // its lists share data with the model's (Qt's implicit sharing), and when the
    // writer dropped the last other reference, the model would change that data
    // in place after nothing but a relaxed check of the reference count.
    std::optional<CachedState> written_;
    bool writing_ = false;
    bool stopping_ = false;
    std::thread worker_;
};

}  // namespace stowage
