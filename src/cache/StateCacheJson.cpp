// The state cache as earlier versions wrote it: one JSON object, read once
// when no newer file is there yet.

#include "cache/StateCache.h"

#include <QCborValue>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <functional>

namespace stowage {

namespace {

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

}  // namespace

namespace StateCache {

std::optional<CachedState> decodeJson(const QByteArray& json)
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

}  // namespace stowage
