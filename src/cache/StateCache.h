#pragma once
// The last inventory kept on disk ("state.cache" in the application's data
// folder) so that the window can show data at once on the next start. It holds
// what a refresh reads plus the usage facts, never the derived project index,
// and ahead of them a summary the Overview can paint before the rest is read.

#include "classification/OverviewFigures.h"
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
    // The Overview's figures for this inventory, as the model worked them out;
    // none when unknown (then the file has no summary to show first).
    std::optional<OverviewFigures> figures;

    bool operator==(const CachedState&) const = default;
};

// What the Overview shows, stored first in the file.
struct CacheSummary {
    QDateTime savedAt;
    QString dockerRoot;
    bool usageDataComplete = false;
    qsizetype containers = 0;
    qsizetype volumes = 0;
    BuildCache buildCache;
    OverviewFigures figures;
    QList<OverviewProjectRow> projects;

    bool operator==(const CacheSummary&) const = default;
};

namespace StateCache {

// "<app data dir>/state.cache" for the engine docker selects by itself (no
// context named), else a file of the named context's own (see fileName); the
// folder is created when missing. None when there is no per-user data location.
std::optional<QString> fileURL(const QString& context = {});
// "state.cache" for no context; for a context "state-NAME-HASH.cache", NAME
// the name's ASCII letters, digits and '-' (others as '_', at most 40), HASH
// from the whole name: no path separator and no ".." reach
// the file system, and distinct names (even in case only) get distinct files.
QString fileName(const QString& context);
// "<app data dir>/state.json": the JSON cache of earlier versions, read when
// there is no state.cache yet and removed once the new file is written.
std::optional<QString> legacyFileURL();

// A larger file is not read: no inventory comes near it.
inline constexpr qint64 maxFileBytes = 256LL * 1024 * 1024;

// A versioned CBOR layout (StateCacheBinary.cpp): a header, the summary, then the inventory.
QByteArray encode(const CachedState& state);

// Strict: every field must be present with its type and nothing may follow,
// else none. Also reads the JSON of earlier versions (StateCacheJson.cpp).
std::optional<CachedState> decode(const QByteArray& bytes);

// Only the summary at the start of a file: none when the file has none (no
// figures were known, or the JSON of earlier versions) or it does not read.
std::optional<CacheSummary> decodeSummary(const QByteArray& bytes);

// The JSON layout of earlier versions: every one of the eleven keys must be
// present with the right type (extra keys are ignored); the image layers and
// the engine's image totals are optional, but of the right shape when present.
std::optional<CachedState> decodeJson(const QByteArray& json);

struct FileBytes {
    std::optional<QByteArray> bytes;  // none when missing or refused
    QString problem;  // why a file that is there was refused (not regular, too large, unreadable); "" otherwise
};

// The bytes of the cache file at `path`, if it is a regular file no larger
// than maxFileBytes. Blocks on the disk: call it off the UI thread.
FileBytes readFile(const QString& path);

}  // namespace StateCache

// Writes snapshots to the cache file on a background thread of its own.
// Saves are written in the order they were made; a save that arrives while an
// older one is still waiting replaces it, so an older snapshot never overwrites
// a newer one and a burst of saves costs one write. Each write is atomic
// (temporary file, then rename). Failures are silent: the previous file stays.
class StateCacheWriter {
public:
    // `filePath` none: saves are accepted and dropped. `supersededPath`, when
    // set, is removed after the first successful write (the cache of an earlier version).
    explicit StateCacheWriter(std::optional<QString> filePath, std::optional<QString> supersededPath = {});
    // Writes what is still pending, then stops the thread.
    ~StateCacheWriter();

    StateCacheWriter(const StateCacheWriter&) = delete;
    StateCacheWriter& operator=(const StateCacheWriter&) = delete;

    // Returns at once; encoding and writing happen on the writer's thread.
    // Returns the snapshot written before, which the writer no longer reads,
    // for the caller to free where it suits it (it may be large).
    std::optional<CachedState> save(CachedState snapshot);
    // Blocks until every snapshot saved so far has been written (or dropped in favour of a newer one).
    void flush();

private:
    void run();

    const std::optional<QString> filePath_;
    std::optional<QString> supersededPath_;  // the writer thread's alone
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
