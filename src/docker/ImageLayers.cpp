#include "docker/ImageLayers.h"

#include <QJsonArray>

namespace stowage {

QJsonObject toJson(const ImageLayers& image)
{
    QJsonObject o{
        {QStringLiteral("id"), image.id},
        {QStringLiteral("parent"), image.parent},
        {QStringLiteral("sizeBytes"), image.sizeBytes},
        {QStringLiteral("layers"), QJsonArray::fromStringList(image.layers)},
    };
    if (image.repoDigests)
        o.insert(QStringLiteral("repoDigests"), QJsonArray::fromStringList(*image.repoDigests));
    return o;
}

namespace {

std::optional<QStringList> stringList(const QJsonValue& value)
{
    if (!value.isArray())
        return std::nullopt;
    QStringList list;
    for (const QJsonValue& item : value.toArray()) {
        if (!item.isString())
            return std::nullopt;
        list.append(item.toString());
    }
    return list;
}

}  // namespace

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
    const QJsonValue digests = o.value(QLatin1String("repoDigests"));
    const auto layerList = stringList(layers);
    const auto digestList = stringList(digests);
    if (!id.isString() || !parent.isString() || !size.isDouble() || !layerList
        || (!digests.isUndefined() && !digestList))
        return std::nullopt;
    return ImageLayers{id.toString(), parent.toString(), size.toInteger(), *layerList, digestList};
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
