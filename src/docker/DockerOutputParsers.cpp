// Parsers of docker's output. All of them are tolerant: a line that is not a
// JSON object is skipped, a missing or non-string value reads as "", and a
// document of the wrong shape gives an empty result. None of them throws.

#include "docker/Classify.h"
#include "docker/DockerClient.h"
#include "docker/JsonFields.h"
#include "text/SizeFormat.h"
#include "text/TextTrim.h"

#include <QVarLengthArray>

#include <cstring>
#include <type_traits>

namespace stowage {

namespace {

using json::Object;

qsizetype lineEnd(QStringView text, qsizetype from) { return text.indexOf(u'\n', from); }
qsizetype lineEnd(QByteArrayView text, qsizetype from) { return text.indexOf('\n', from); }

// Calls `visit` with every non-empty line of `text` (a QStringView, or a
// QByteArrayView of UTF-8), in order, without making a list of the lines;
// a `visit` that returns a bool ends the walk by returning false.
template <typename Text, typename Visit>
void forEachLine(Text text, Visit&& visit)
{
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = lineEnd(text, start);
        if (end < 0)
            end = text.size();
        if (end > start) {
            const Text line = text.sliced(start, end - start);
            if constexpr (std::is_void_v<std::invoke_result_t<Visit&, Text>>)
                visit(line);
            else if (!visit(line))
                return;
        }
        start = end + 1;
    }
}

// Calls `visit` with every line of `text` that holds a JSON object, in order,
// until it returns false. The lines are parsed one at a time into one reused
// tape (docker prints thousands of them).
template <typename Text, typename Visit>
void forEachObjectLine(Text text, Visit&& visit)
{
    json::Reader reader;
    forEachLine(text, [&](Text line) {
        const auto document = reader.parse(line);
        const Object object = document ? Object(*document) : Object();
        return !object.isObject() || visit(object);
    });
}

// The elements of a JSON array document, or nothing when `text` is not one.
template <typename Text>
std::optional<simdjson::dom::array> arrayDocument(json::Reader& reader, Text text)
{
    const auto document = reader.parse(text);
    simdjson::dom::array array;
    if (!document || document->get(array) != simdjson::SUCCESS)
        return std::nullopt;
    return array;
}

// The elements as texts, "" for any that is not a string.
QStringList strings(simdjson::dom::array array)
{
    QStringList texts;
    texts.reserve(qsizetype(array.size()));
    for (const json::Element element : array) {
        std::string_view text;
        texts.append(element.get(text) == simdjson::SUCCESS ? json::toQString(text) : QString());
    }
    return texts;
}

// Where each "@@" in `line` starts, found left to right as a split would;
// kept on the stack, since this runs for every container and image. memchr
// finds the '@'s: Qt's general search costs more on lines this long.
QVarLengthArray<qsizetype, 8> separatorsIn(QByteArrayView line)
{
    QVarLengthArray<qsizetype, 8> cuts;
    const char* const begin = line.data();
    const char* const end = begin + line.size();
    for (const char* at = begin; at < end;) {
        const auto* found = static_cast<const char*>(std::memchr(at, '@', size_t(end - at)));
        if (!found || found + 1 == end)
            break;
        if (found[1] == '@') {
            cuts.append(found - begin);
            at = found + 2;
        } else {
            at = found + 1;
        }
    }
    return cuts;
}

// How many lines `text` holds, counting an unfinished last one.
qsizetype lineCount(QByteArrayView text)
{
    qsizetype lines = 0;
    const char* const end = text.data() + text.size();
    for (const char* at = text.data(); at < end; ++lines) {
        const auto* found = static_cast<const char*>(std::memchr(at, '\n', size_t(end - at)));
        at = found ? found + 1 : end;
    }
    return lines;
}

const QString zeroSize = QStringLiteral("0B");

// The names of the named volumes in a container's mounts (a JSON array of
// objects; any other shape gives none).
template <typename Text>
QStringList namedVolumesIn(json::Reader& reader, Text mountsJSON)
{
    const auto mounts = arrayDocument(reader, mountsJSON);
    if (!mounts)
        return {};
    for (const json::Element mount : *mounts) {
        if (!mount.is_object())
            return {};
    }
    QStringList names;
    for (const json::Element mount : *mounts) {
        const Object o(mount);
        const QString name = o.string("Name");
        if (o.string("Type") == u"volume" && !name.isEmpty())
            names.append(name);
    }
    return names;
}

// One line of a listing asked for with a listing template: the usual object
// and the exact values of the labels asked for. A plain object has no exact
// values, and its comma-joined labels text is never read for them.
struct ListingLine {
    Object listing;
    Object labelValues;

    explicit ListingLine(const Object& line)
        : listing(line.object("Listing"))
        , labelValues(line.object("LabelValues"))
    {
        if (!listing.isObject())
            listing = line;
    }

    QString label(const char* key) const { return labelValues.string(key); }
};

}  // namespace

QList<SGContainer> DockerClient::parseContainers(const QString& out) { return parseContainers(out.toUtf8()); }

QList<SGContainer> DockerClient::parseContainers(const QByteArray& out)
{
    QList<SGContainer> containers;
    forEachObjectLine(QByteArrayView(out), [&](const Object& line) {
        const ListingLine listed(line);
        const Object& o = listed.listing;
        SGContainer c;
        c.id = o.string("ID");
        c.name = o.string("Names");
        c.image = o.string("Image");
        c.status = o.string("Status");
        c.state = o.string("State");
        c.size = o.string("Size");
        c.ports = o.string("Ports");
        c.created = o.string("CreatedAt");
        c.labels = o.string("Labels");
        c.project = listed.label(ComposeLabel::project);
        c.workingDir = listed.label(ComposeLabel::workingDir);
        // Compose joins several configuration files with commas: the first one is kept.
        c.configFiles = listed.label(ComposeLabel::configFiles).section(u',', 0, 0);
        containers.append(std::move(c));
        return true;
    });
    return containers;
}

QList<SGImage> DockerClient::parseImages(const QString& out) { return parseImages(out.toUtf8()); }

QList<SGImage> DockerClient::parseImages(const QByteArray& out)
{
    QList<SGImage> images;
    forEachObjectLine(QByteArrayView(out), [&](const Object& o) {
        SGImage i;
        i.id = o.string("ID");
        i.repository = o.string("Repository");
        i.tag = o.string("Tag");
        i.size = o.string("Size");
        i.sizeBytes = SizeFormat::parseDockerSize(i.size);
        i.created = o.string("CreatedSince");
        images.append(std::move(i));
        return true;
    });
    return images;
}

QList<SGVolume> DockerClient::parseVolumes(const QString& out) { return parseVolumes(out.toUtf8()); }

QList<SGVolume> DockerClient::parseVolumes(const QByteArray& out)
{
    QList<SGVolume> volumes;
    forEachObjectLine(QByteArrayView(out), [&](const Object& line) {
        const ListingLine listed(line);
        const Object& o = listed.listing;
        SGVolume v;
        v.name = o.string("Name");
        v.driver = o.string("Driver");
        v.mountpoint = o.string("Mountpoint");
        v.labels = o.string("Labels");
        v.project = listed.label(ComposeLabel::project);
        volumes.append(std::move(v));
        return true;
    });
    return volumes;
}

BuildCache DockerClient::parseBuildCache(const QString& out)
{
    BuildCache cache;
    forEachObjectLine(QStringView(out), [&](const Object& o) {
        if (o.string("Type") != u"Build Cache")
            return true;
        cache.size = o.string("Size", zeroSize);
        cache.reclaimable = o.string("Reclaimable", zeroSize);
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
    forEachObjectLine(QStringView(out), [&](const Object& o) {
        if (o.string("Type") != u"Images")
            return true;
        // The count is text ("9"); a number is taken too.
        totals.count = o.integer("TotalCount");
        totals.size = o.string("Size", zeroSize);
        totals.sizeBytes = SizeFormat::parseDockerSize(totals.size);
        totals.known = true;
        return false;
    });
    return totals;
}

DockerClient::DiskUsage DockerClient::parseDiskUsage(const QString& out)
{
    DiskUsage usage{parseBuildCache(out), parseEngineImageTotals(out), 0};
    forEachObjectLine(QStringView(out), [&](const Object& o) {
        usage.totalBytes += SizeFormat::parseDockerSize(o.string("Size", zeroSize));
        return true;
    });
    return usage;
}

QHash<QString, ImageLayers> DockerClient::parseImageLayers(const QString& out)
{
    return parseImageLayers(out.toUtf8());
}

QHash<QString, ImageLayers> DockerClient::parseImageLayers(const QByteArray& out)
{
    QHash<QString, ImageLayers> images;
    // One image per line: sized once rather than grown.
    images.reserve(lineCount(out));
    json::Reader reader;
    forEachLine(QByteArrayView(out), [&](QByteArrayView line) {
        // None of the parts can hold "@@": ids, a number and JSON lists of digests.
        // The fifth, the repository digests, is missing from output of a
        // template without it: then the image's origin is not known.
        const auto cuts = separatorsIn(line);
        if (cuts.size() != 3 && cuts.size() != 4)
            return;
        const auto part = [&](qsizetype index) {
            const qsizetype from = index == 0 ? 0 : cuts[index - 1] + 2;
            const qsizetype to = index < cuts.size() ? cuts[index] : line.size();
            return trimSpacesAndTabs(line.sliced(from, to - from));
        };
        // An empty list prints as "null" (an image without layers, one without digests).
        const auto list = [&reader](QByteArrayView text) -> std::optional<QStringList> {
            if (text == "null")
                return QStringList();
            const auto array = arrayDocument(reader, text);
            return array ? std::optional(strings(*array)) : std::nullopt;
        };
        ImageLayers image;
        image.id = QString::fromUtf8(part(0));
        image.parent = QString::fromUtf8(part(1));
        bool numeric = false;
        image.sizeBytes = part(2).toLongLong(&numeric);
        auto layers = list(part(3));
        if (image.id.isEmpty() || !numeric || !layers)
            return;
        image.layers = std::move(*layers);
        if (cuts.size() == 4) {
            auto digests = list(part(4));
            if (!digests)
                return;
            image.repoDigests = std::move(*digests);
        }
        QString id = image.id;
        images.emplace(std::move(id), std::move(image));
    });
    return images;
}

QHash<QString, qint64> DockerClient::parseVolumeSizes(const QString& out) { return parseVolumeSizes(out.toUtf8()); }

QHash<QString, qint64> DockerClient::parseVolumeSizes(const QByteArray& out)
{
    json::Reader reader;
    const auto document = reader.parse(out);
    const auto volumes = document ? Object(*document).value("Volumes") : std::nullopt;
    simdjson::dom::array array;
    if (!volumes || volumes->get(array) != simdjson::SUCCESS)
        return {};
    // The list must be objects throughout; anything else is a shape we do
    // not know and is ignored as a whole.
    for (const json::Element element : array) {
        if (!element.is_object())
            return {};
    }
    QHash<QString, qint64> sizes;
    sizes.reserve(qsizetype(array.size()));
    for (const json::Element element : array) {
        const Object o(element);
        const auto name = o.value("Name");
        if (!name || !name->is_string())
            continue;
        sizes.insert(o.string("Name"), SizeFormat::parseDockerSize(o.string("Size", zeroSize)));
    }
    return sizes;
}

QSet<QString> DockerClient::parseDanglingNames(const QString& out)
{
    QSet<QString> names;
    forEachLine(QStringView(out), [&](QStringView line) {
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

QHash<QString, ContainerDetail> DockerClient::parseInspect(const QString& out) { return parseInspect(out.toUtf8()); }

QHash<QString, ContainerDetail> DockerClient::parseInspect(const QByteArray& out)
{
    QHash<QString, ContainerDetail> details;
    details.reserve(lineCount(out));
    json::Reader reader;
    forEachLine(QByteArrayView(out), [&](QByteArrayView line) {
        const auto cuts = separatorsIn(line);
        if (cuts.size() < 4)
            return;
        const auto part = [&](qsizetype from, qsizetype to) { return line.sliced(from, to - from); };
        const QByteArrayView id = trimSpacesAndTabs(part(0, cuts[0]));
        if (id.isEmpty())
            return;
        // The id, the image and the two times never contain "@@"; a mount
        // path may, so everything between them is the mounts text.
        const qsizetype lastCut = cuts.size() - 1;
        const QByteArrayView mountsText = part(cuts[1] + 2, cuts[lastCut - 1]);

        ContainerDetail detail;
        detail.imageID = QString::fromUtf8(trimSpacesAndTabs(part(cuts[0] + 2, cuts[1])));
        detail.mounts = namedVolumesIn(reader, mountsText);
        detail.startedAt = parseDockerDate(QString::fromUtf8(part(cuts[lastCut - 1] + 2, cuts[lastCut])));
        detail.finishedAt = parseDockerDate(QString::fromUtf8(line.sliced(cuts[lastCut] + 2)));
        // The short id is ASCII when it is an id at all: the first 12 characters, not bytes.
        details.insert(QString::fromUtf8(id).left(12), std::move(detail));
    });
    return details;
}

QStringList DockerClient::namedVolumes(const QString& mountsJSON)
{
    json::Reader reader;
    return namedVolumesIn(reader, mountsJSON);
}

}  // namespace stowage
