// Parsers of docker's output. All of them are tolerant: a line that is not a
// JSON object is skipped, a missing or non-string value reads as "", and a
// document of the wrong shape gives an empty result. None of them throws.

#include "docker/Classify.h"
#include "docker/DockerClient.h"
#include "docker/TextTrim.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>

namespace stowage {

namespace {

std::optional<QJsonDocument> parseJson(const QByteArray& bytes)
{
    QJsonParseError error;
    QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        return std::nullopt;
    return document;
}

// Calls `visit` with every line of `out` that holds a JSON object, in order.
// The text is converted to UTF-8 once and the lines are parsed in place.
template <typename Visit>
void forEachObjectLine(const QString& out, Visit&& visit)
{
    const QByteArray bytes = out.toUtf8();
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        if (end > start) {
            const auto line = QByteArray::fromRawData(bytes.constData() + start, end - start);
            const auto document = parseJson(line);
            if (document && document->isObject()) {
                if (!visit(document->object()))
                    return;
            }
        }
        start = end + 1;
    }
}

QString stringValue(const QJsonObject& o, QLatin1String key)
{
    return o.value(key).toString();  // "" when missing or not a string
}

QString stringValue(const QJsonObject& o, QLatin1String key, const QString& fallback)
{
    const QJsonValue v = o.value(key);
    return v.isString() ? v.toString() : fallback;
}

// Calls `visit` with every non-empty line of `text`.
template <typename Visit>
void forEachLine(const QString& text, Visit&& visit)
{
    for (QStringView line : QStringView(text).split(u'\n', Qt::SkipEmptyParts))
        visit(line);
}

const QString zeroSize = QStringLiteral("0B");

// One line of a listing asked for with a listing template: the usual object
// and the exact values of the labels asked for. A plain object has no exact
// values, and its comma-joined labels text is never read for them.
struct ListingLine {
    QJsonObject listing;
    QJsonObject labelValues;

    explicit ListingLine(const QJsonObject& line)
    {
        const QJsonValue wrapped = line.value(QLatin1String("Listing"));
        listing = wrapped.isObject() ? wrapped.toObject() : line;
        labelValues = line.value(QLatin1String("LabelValues")).toObject();
    }

    QString label(const char* key) const { return labelValues.value(QLatin1String(key)).toString(); }
};

}  // namespace

QList<SGContainer> DockerClient::parseContainers(const QString& out)
{
    QList<SGContainer> containers;
    forEachObjectLine(out, [&](const QJsonObject& line) {
        const ListingLine listed(line);
        const QJsonObject& o = listed.listing;
        SGContainer c;
        c.id = stringValue(o, QLatin1String("ID"));
        c.name = stringValue(o, QLatin1String("Names"));
        c.image = stringValue(o, QLatin1String("Image"));
        c.status = stringValue(o, QLatin1String("Status"));
        c.state = stringValue(o, QLatin1String("State"));
        c.size = stringValue(o, QLatin1String("Size"));
        c.ports = stringValue(o, QLatin1String("Ports"));
        c.created = stringValue(o, QLatin1String("CreatedAt"));
        c.labels = stringValue(o, QLatin1String("Labels"));
        c.project = listed.label(ComposeLabel::project);
        c.workingDir = listed.label(ComposeLabel::workingDir);
        // Compose joins several configuration files with commas: the first one is kept.
        c.configFiles = listed.label(ComposeLabel::configFiles).section(u',', 0, 0);
        containers.append(std::move(c));
        return true;
    });
    return containers;
}

QList<SGImage> DockerClient::parseImages(const QString& out)
{
    QList<SGImage> images;
    forEachObjectLine(out, [&](const QJsonObject& o) {
        SGImage i;
        i.id = stringValue(o, QLatin1String("ID"));
        i.repository = stringValue(o, QLatin1String("Repository"));
        i.tag = stringValue(o, QLatin1String("Tag"));
        i.size = stringValue(o, QLatin1String("Size"));
        i.sizeBytes = SizeFormat::parseDockerSize(i.size);
        i.created = stringValue(o, QLatin1String("CreatedSince"));
        images.append(std::move(i));
        return true;
    });
    return images;
}

QList<SGVolume> DockerClient::parseVolumes(const QString& out)
{
    QList<SGVolume> volumes;
    forEachObjectLine(out, [&](const QJsonObject& line) {
        const ListingLine listed(line);
        const QJsonObject& o = listed.listing;
        SGVolume v;
        v.name = stringValue(o, QLatin1String("Name"));
        v.driver = stringValue(o, QLatin1String("Driver"));
        v.mountpoint = stringValue(o, QLatin1String("Mountpoint"));
        v.labels = stringValue(o, QLatin1String("Labels"));
        v.project = listed.label(ComposeLabel::project);
        volumes.append(std::move(v));
        return true;
    });
    return volumes;
}

BuildCache DockerClient::parseBuildCache(const QString& out)
{
    BuildCache cache;
    forEachObjectLine(out, [&](const QJsonObject& o) {
        if (stringValue(o, QLatin1String("Type")) != u"Build Cache")
            return true;
        cache.size = stringValue(o, QLatin1String("Size"), zeroSize);
        cache.reclaimable = stringValue(o, QLatin1String("Reclaimable"), zeroSize);
        cache.sizeBytes = SizeFormat::parseDockerSize(cache.size);
        // "1.2GB (100%)": the amount is what precedes the percentage.
        cache.reclaimableBytes = SizeFormat::parseDockerSize(cache.reclaimable);
        for (QStringView piece : QStringView(cache.reclaimable).split(u'(', Qt::SkipEmptyParts)) {
            const QStringView amount = trimSpacesAndTabs(piece);
            if (!amount.isEmpty()) {
                cache.reclaimableBytes = SizeFormat::parseDockerSize(amount.toString());
                break;
            }
        }
        return false;  // the first build-cache line counts
    });
    return cache;
}

EngineImageTotals DockerClient::parseEngineImageTotals(const QString& out)
{
    EngineImageTotals totals;
    forEachObjectLine(out, [&](const QJsonObject& o) {
        if (stringValue(o, QLatin1String("Type")) != u"Images")
            return true;
        // The count is text ("9"); a number is taken too.
        const QJsonValue count = o.value(QLatin1String("TotalCount"));
        totals.count = count.isString() ? count.toString().toInt() : count.toInt();
        totals.size = stringValue(o, QLatin1String("Size"), zeroSize);
        totals.sizeBytes = SizeFormat::parseDockerSize(totals.size);
        totals.known = true;
        return false;
    });
    return totals;
}

DockerClient::DiskUsage DockerClient::parseDiskUsage(const QString& out)
{
    DiskUsage usage{parseBuildCache(out), parseEngineImageTotals(out), 0};
    forEachObjectLine(out, [&](const QJsonObject& o) {
        usage.totalBytes += SizeFormat::parseDockerSize(stringValue(o, QLatin1String("Size"), zeroSize));
        return true;
    });
    return usage;
}

QHash<QString, ImageLayers> DockerClient::parseImageLayers(const QString& out)
{
    QHash<QString, ImageLayers> images;
    forEachLine(out, [&](QStringView line) {
        // None of the parts can hold "@@": ids, a number and JSON lists of digests.
        // The fifth, the repository digests, is missing from output of a
        // template without it: then the image's origin is not known.
        const QList<QStringView> parts = line.split(u"@@");
        if (parts.size() != 4 && parts.size() != 5)
            return;
        // An empty list prints as "null" (an image without layers, one without digests).
        const auto list = [](QStringView text) {
            const QStringView trimmed = trimSpacesAndTabs(text);
            return trimmed == u"null" ? std::optional(QJsonDocument(QJsonArray())) : parseJson(trimmed.toUtf8());
        };
        ImageLayers image;
        image.id = trimSpacesAndTabs(parts[0]).toString();
        image.parent = trimSpacesAndTabs(parts[1]).toString();
        bool numeric = false;
        image.sizeBytes = trimSpacesAndTabs(parts[2]).toLongLong(&numeric);
        const auto layers = list(parts[3]);
        if (image.id.isEmpty() || !numeric || !layers || !layers->isArray())
            return;
        for (const QJsonValue& layer : layers->array())
            image.layers.append(layer.toString());
        if (parts.size() == 5) {
            const auto digests = list(parts[4]);
            if (!digests || !digests->isArray())
                return;
            image.repoDigests.emplace();
            for (const QJsonValue& digest : digests->array())
                image.repoDigests->append(digest.toString());
        }
        images.insert(image.id, std::move(image));
    });
    return images;
}

QHash<QString, qint64> DockerClient::parseVolumeSizes(const QString& out)
{
    const auto document = parseJson(out.toUtf8());
    if (!document || !document->isObject())
        return {};
    const QJsonValue volumes = document->object().value(QLatin1String("Volumes"));
    if (!volumes.isArray())
        return {};
    const QJsonArray array = volumes.toArray();
    // The list must be objects throughout; anything else is a shape we do
    // not know and is ignored as a whole.
    for (const QJsonValue& element : array) {
        if (!element.isObject())
            return {};
    }
    QHash<QString, qint64> sizes;
    sizes.reserve(array.size());
    for (const QJsonValue& element : array) {
        const QJsonObject o = element.toObject();
        const QJsonValue name = o.value(QLatin1String("Name"));
        if (!name.isString())
            continue;
        sizes.insert(name.toString(), SizeFormat::parseDockerSize(stringValue(o, QLatin1String("Size"), zeroSize)));
    }
    return sizes;
}

QSet<QString> DockerClient::parseDanglingNames(const QString& out)
{
    QSet<QString> names;
    forEachLine(out, [&](QStringView line) {
        const QStringView name = trimSpacesAndTabs(line);
        if (!name.isEmpty())
            names.insert(name.toString());
    });
    return names;
}

QString DockerClient::parseDockerRoot(const QString& out)
{
    const QString root = out.trimmed();
    return root.isEmpty() ? QStringLiteral("/var/lib/docker") : root;
}

QHash<QString, ContainerDetail> DockerClient::parseInspect(const QString& out)
{
    QHash<QString, ContainerDetail> details;
    forEachLine(out, [&](QStringView line) {
        const QList<QStringView> parts = line.split(u"@@");
        if (parts.size() < 5)
            return;
        const QStringView id = trimSpacesAndTabs(parts.first());
        if (id.isEmpty())
            return;
        // The id, the image and the two times never contain "@@"; a mount
        // path may, so everything between them is the mounts text.
        const qsizetype lastMountPart = parts.size() - 3;
        QString mountsText = parts[2].toString();
        for (qsizetype i = 3; i <= lastMountPart; ++i) {
            mountsText += QStringLiteral("@@");
            mountsText += parts[i];
        }

        ContainerDetail detail;
        detail.imageID = trimSpacesAndTabs(parts[1]).toString();
        detail.mounts = namedVolumes(mountsText);
        detail.startedAt = parseDockerDate(parts[parts.size() - 2].toString());
        detail.finishedAt = parseDockerDate(parts.last().toString());
        details.insert(id.left(12).toString(), std::move(detail));
    });
    return details;
}

QStringList DockerClient::namedVolumes(const QString& mountsJSON)
{
    const auto document = parseJson(mountsJSON.toUtf8());
    if (!document || !document->isArray())
        return {};
    const QJsonArray mounts = document->array();
    for (const QJsonValue& mount : mounts) {
        if (!mount.isObject())
            return {};
    }
    QStringList names;
    for (const QJsonValue& mount : mounts) {
        const QJsonObject o = mount.toObject();
        const QString name = stringValue(o, QLatin1String("Name"));
        if (stringValue(o, QLatin1String("Type")) == u"volume" && !name.isEmpty())
            names.append(name);
    }
    return names;
}

}  // namespace stowage
