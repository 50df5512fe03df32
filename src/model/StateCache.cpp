#include "model/StateCache.h"

#include "platform/Paths.h"
#include "platform/ThreadPriority.h"

#include <QCborValue>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <cmath>
#include <functional>

namespace stowage {

namespace {

template <typename Record>
QJsonArray recordsToJson(const QList<Record>& records)
{
    QJsonArray array;
    for (const Record& record : records)
        array.append(toJson(record));
    return array;
}

QJsonArray stringsToJson(const QStringList& strings)
{
    return QJsonArray::fromStringList(strings);
}

// Records of one kind; none when the value is not an array or any element fails to read.
template <typename Record>
std::optional<QList<Record>> recordsFromJson(const QJsonValue& value,
                                             const std::function<std::optional<Record>(const QJsonObject&)>& read)
{
    if (!value.isArray())
        return std::nullopt;
    const QJsonArray array = value.toArray();
    QList<Record> records;
    records.reserve(array.size());
    for (const QJsonValue& element : array) {
        if (!element.isObject())
            return std::nullopt;
        std::optional<Record> record = read(element.toObject());
        if (!record)
            return std::nullopt;
        records.append(std::move(*record));
    }
    return records;
}

std::optional<QStringList> stringsFromJson(const QJsonValue& value)
{
    if (!value.isArray())
        return std::nullopt;
    const QJsonArray array = value.toArray();
    QStringList strings;
    strings.reserve(array.size());
    for (const QJsonValue& element : array) {
        if (!element.isString())
            return std::nullopt;
        strings.append(element.toString());
    }
    return strings;
}

// A JSON number that holds an integer exactly representable in 64 bits
// (QJsonValue::toDouble would lose precision above 2^53).
std::optional<qint64> exactInteger(const QJsonValue& value)
{
    if (!value.isDouble())
        return std::nullopt;
    const QCborValue cbor = QCborValue::fromJsonValue(value);
    if (!cbor.isInteger())
        return std::nullopt;
    return cbor.toInteger();
}

std::optional<QHash<QString, qint64>> sizesFromJson(const QJsonValue& value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    QHash<QString, qint64> sizes;
    sizes.reserve(object.size());
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        const std::optional<qint64> bytes = exactInteger(it.value());
        if (!bytes)
            return std::nullopt;
        sizes.insert(it.key(), *bytes);
    }
    return sizes;
}

// QJsonObject keeps its keys sorted, so inserting them in ascending order
// appends instead of shifting the entries: linear instead of quadratic.
QJsonObject sizesToJson(const QHash<QString, qint64>& sizes)
{
    QStringList names = sizes.keys();
    names.sort();
    QJsonObject object;
    for (const QString& name : std::as_const(names))
        object.insert(name, QJsonValue(sizes.value(name)));
    return object;
}

void writeAtomically(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    // QSaveFile copies an existing file's mode: the snapshot holds project
    // paths and names, so it is private to the user whatever it was before.
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return;
    }
    file.commit();
}

}  // namespace

namespace StateCache {

std::optional<QString> fileURL()
{
    const std::optional<QString> folder = platform::appDataDir();
    if (!folder)
        return std::nullopt;
    return *folder + QStringLiteral("/state.json");
}

QByteArray encode(const CachedState& state)
{
    QJsonObject object;
    object.insert(QStringLiteral("containers"), recordsToJson(state.containers));
    object.insert(QStringLiteral("images"), recordsToJson(state.images));
    object.insert(QStringLiteral("volumes"), recordsToJson(state.volumes));
    object.insert(QStringLiteral("buildCache"), toJson(state.buildCache));
    object.insert(QStringLiteral("volumeSizes"), sizesToJson(state.volumeSizes));
    object.insert(QStringLiteral("usedImageIDs"), stringsToJson(state.usedImageIDs));
    object.insert(QStringLiteral("dockerRoot"), state.dockerRoot);
    object.insert(QStringLiteral("savedAt"), toReferenceSeconds(state.savedAt));
    object.insert(QStringLiteral("danglingVolumeNames"), stringsToJson(state.danglingVolumeNames));
    object.insert(QStringLiteral("danglingKnown"), state.danglingKnown);
    object.insert(QStringLiteral("usageDataComplete"), state.usageDataComplete);
    object.insert(QStringLiteral("imageLayers"), recordsToJson(state.imageLayers));
    object.insert(QStringLiteral("engineImages"), toJson(state.engineImages));
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<CachedState> decode(const QByteArray& json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    const auto field = [&object](const char* key) { return object.value(QLatin1String(key)); };

    auto containers = recordsFromJson<SGContainer>(field("containers"), containerFromJson);
    auto images = recordsFromJson<SGImage>(field("images"), imageFromJson);
    auto volumes = recordsFromJson<SGVolume>(field("volumes"), volumeFromJson);
    const QJsonValue buildCacheValue = field("buildCache");
    auto buildCache = buildCacheValue.isObject() ? buildCacheFromJson(buildCacheValue.toObject()) : std::nullopt;
    auto volumeSizes = sizesFromJson(field("volumeSizes"));
    auto usedImageIDs = stringsFromJson(field("usedImageIDs"));
    const QJsonValue dockerRoot = field("dockerRoot");
    const QJsonValue savedAt = field("savedAt");
    auto danglingVolumeNames = stringsFromJson(field("danglingVolumeNames"));
    const QJsonValue danglingKnown = field("danglingKnown");
    const QJsonValue usageDataComplete = field("usageDataComplete");
    const QJsonValue imageLayersValue = field("imageLayers");
    auto imageLayers = imageLayersValue.isUndefined() ? std::optional<QList<ImageLayers>>(QList<ImageLayers>())
                                                      : recordsFromJson<ImageLayers>(imageLayersValue, imageLayersFromJson);
    const QJsonValue engineImagesValue = field("engineImages");
    auto engineImages = engineImagesValue.isUndefined() ? std::optional<EngineImageTotals>(EngineImageTotals())
                        : engineImagesValue.isObject()  ? engineImageTotalsFromJson(engineImagesValue.toObject())
                                                        : std::nullopt;

    if (!containers || !images || !volumes || !buildCache || !volumeSizes || !usedImageIDs
        || !dockerRoot.isString() || !savedAt.isDouble() || !danglingVolumeNames || !danglingKnown.isBool()
        || !usageDataComplete.isBool() || !imageLayers || !engineImages)
        return std::nullopt;

    CachedState state;
    state.containers = std::move(*containers);
    state.images = std::move(*images);
    state.volumes = std::move(*volumes);
    state.buildCache = std::move(*buildCache);
    state.volumeSizes = std::move(*volumeSizes);
    state.usedImageIDs = std::move(*usedImageIDs);
    state.dockerRoot = dockerRoot.toString();
    state.savedAt = fromReferenceSeconds(savedAt.toDouble());
    if (!state.savedAt.isValid())
        return std::nullopt;
    state.danglingVolumeNames = std::move(*danglingVolumeNames);
    state.danglingKnown = danglingKnown.toBool();
    state.usageDataComplete = usageDataComplete.toBool();
    state.imageLayers = std::move(*imageLayers);
    state.engineImages = *engineImages;
    return state;
}

}  // namespace StateCache

StateCacheWriter::StateCacheWriter(std::optional<QString> filePath)
    : filePath_(std::move(filePath))
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

void StateCacheWriter::save(CachedState snapshot)
{
    if (!filePath_)
        return;
    std::optional<CachedState> released;
    {
        const std::lock_guard lock(mutex_);
        pending_ = std::move(snapshot);
        released = std::exchange(written_, std::nullopt);
    }
    changed_.notify_all();
    // `released` goes here, on the saving thread, after the lock ordered it
    // behind the writer's reads.
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
        writeAtomically(*filePath_, StateCache::encode(snapshot));
        lock.lock();
        written_ = std::move(snapshot);
        writing_ = false;
        changed_.notify_all();
    }
}

}  // namespace stowage
