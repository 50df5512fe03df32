#include "docker/ImageLayers.h"

#include <QJsonArray>

namespace stowage {

QJsonObject toJson(const ImageLayers& image)
{
    return QJsonObject{
        {QStringLiteral("id"), image.id},
        {QStringLiteral("parent"), image.parent},
        {QStringLiteral("sizeBytes"), image.sizeBytes},
        {QStringLiteral("layers"), QJsonArray::fromStringList(image.layers)},
    };
}

QJsonObject toJson(const EngineImageTotals& totals)
{
    return QJsonObject{
        {QStringLiteral("known"), totals.known},
        {QStringLiteral("count"), totals.count},
        {QStringLiteral("size"), totals.size},
        {QStringLiteral("sizeBytes"), totals.sizeBytes},
    };
}

std::optional<ImageLayers> imageLayersFromJson(const QJsonObject& o)
{
    const QJsonValue id = o.value(QLatin1String("id"));
    const QJsonValue parent = o.value(QLatin1String("parent"));
    const QJsonValue size = o.value(QLatin1String("sizeBytes"));
    const QJsonValue layers = o.value(QLatin1String("layers"));
    if (!id.isString() || !parent.isString() || !size.isDouble() || !layers.isArray())
        return std::nullopt;
    ImageLayers image{id.toString(), parent.toString(), size.toInteger(), {}};
    for (const QJsonValue& layer : layers.toArray()) {
        if (!layer.isString())
            return std::nullopt;
        image.layers.append(layer.toString());
    }
    return image;
}

std::optional<EngineImageTotals> engineImageTotalsFromJson(const QJsonObject& o)
{
    const QJsonValue known = o.value(QLatin1String("known"));
    const QJsonValue count = o.value(QLatin1String("count"));
    const QJsonValue size = o.value(QLatin1String("size"));
    const QJsonValue sizeBytes = o.value(QLatin1String("sizeBytes"));
    if (!known.isBool() || !count.isDouble() || !size.isString() || !sizeBytes.isDouble())
        return std::nullopt;
    return EngineImageTotals{known.toBool(), count.toInt(), size.toString(), sizeBytes.toInteger()};
}

}  // namespace stowage
