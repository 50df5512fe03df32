#pragma once
// The inventory records: plain values holding what docker reports. They are
// compared and hashed over all fields; the first four also have a JSON form
// (keys = field names) used by the state cache. The "SG" prefix marks
// them (and the window's standard button, SGButton) as this application's
// own, apart from the docker words they share (container, image, volume).

#include "docker/DockerDate.h"

#include <QDateTime>
#include <QHash>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <optional>

namespace stowage {

struct SGContainer {
    QString id;
    QString name;
    QString image;
    QString status;
    QString state;
    QString size;
    QString ports;
    QString created;
    QString labels;
    QString project;
    QString workingDir;
    QString configFiles;
    // Filled in from inspection after the listing.
    QString imageID;
    QStringList mounts;
    OptionalDate startedAt;
    OptionalDate finishedAt;

    bool operator==(const SGContainer&) const = default;

    // The container's own writable layer: the first figure of docker's size
    // text ("12.3kB (virtual 1.2GB)"); the image below it is not counted.
    qint64 writableBytes() const;
};

struct SGImage {
    QString id;
    QString repository;
    QString tag;
    QString size;
    qint64 sizeBytes = 0;
    QString created;

    bool operator==(const SGImage&) const = default;
};

// An image ID as people read it: without any "sha256:", cut to its first 12 characters.
QString shortImageId(const QString& id);

struct SGVolume {
    QString name;
    QString driver;
    QString mountpoint;
    QString labels;
    QString project;
    qint64 sizeBytes = 0;

    bool operator==(const SGVolume&) const = default;
};

struct BuildCache {
    QString size = QStringLiteral("0B");
    qint64 sizeBytes = 0;
    QString reclaimable = QStringLiteral("0B");
    qint64 reclaimableBytes = 0;

    // Docker's texts when the engine could not say ("?"); then no amount is known.
    static QString unknownText() { return QStringLiteral("?"); }
    // The amounts in the window's one size format ("5.9 MB", "0 B"), or "?".
    QString shownSize() const;
    QString shownReclaimable() const;

    bool operator==(const BuildCache&) const = default;
};

// What inspecting one container adds to its listing.
struct ContainerDetail {
    QString imageID;
    QStringList mounts;
    OptionalDate startedAt;
    OptionalDate finishedAt;

    bool operator==(const ContainerDetail&) const = default;
};

// Derived summary of one compose project; built by the project index, never stored.
struct ProjectMeta {
    QList<SGImage> images;
    QList<SGVolume> volumes;
    QList<SGImage> builtImages;
    QString path;
    QString configFiles;
    OptionalDate lastStarted;
    OptionalDate lastActivity;

    bool operator==(const ProjectMeta&) const = default;
};

size_t qHash(const SGContainer& c, size_t seed = 0) noexcept;
size_t qHash(const SGImage& i, size_t seed = 0) noexcept;
size_t qHash(const SGVolume& v, size_t seed = 0) noexcept;
size_t qHash(const BuildCache& b, size_t seed = 0) noexcept;
size_t qHash(const ContainerDetail& d, size_t seed = 0) noexcept;
size_t qHash(const ProjectMeta& m, size_t seed = 0) noexcept;

// JSON form used by the state cache. Dates are seconds since 2001-01-01 UTC;
// an absent date leaves its key out. Reading is strict: a missing or mistyped
// required key yields std::nullopt.
QJsonObject toJson(const SGContainer& c);
QJsonObject toJson(const SGImage& i);
QJsonObject toJson(const SGVolume& v);
QJsonObject toJson(const BuildCache& b);
std::optional<SGContainer> containerFromJson(const QJsonObject& o);
std::optional<SGImage> imageFromJson(const QJsonObject& o);
std::optional<SGVolume> volumeFromJson(const QJsonObject& o);
std::optional<BuildCache> buildCacheFromJson(const QJsonObject& o);

// Dates in the on-disk encoding: a JSON number of seconds since 2001-01-01 00:00:00 UTC.
double toReferenceSeconds(const QDateTime& t);
QDateTime fromReferenceSeconds(double seconds);

}  // namespace stowage

// The records hold only implicitly shared Qt values, numbers and optionals of
// those, none pointing into the record itself: a QList may move them with
// memmove when it grows or inserts instead of moving them one by one.
Q_DECLARE_TYPEINFO(stowage::SGContainer, Q_RELOCATABLE_TYPE);
Q_DECLARE_TYPEINFO(stowage::SGImage, Q_RELOCATABLE_TYPE);
Q_DECLARE_TYPEINFO(stowage::SGVolume, Q_RELOCATABLE_TYPE);
Q_DECLARE_TYPEINFO(stowage::BuildCache, Q_RELOCATABLE_TYPE);
Q_DECLARE_TYPEINFO(stowage::ContainerDetail, Q_RELOCATABLE_TYPE);
Q_DECLARE_TYPEINFO(stowage::ProjectMeta, Q_RELOCATABLE_TYPE);

template <> struct std::hash<stowage::SGContainer> {
    size_t operator()(const stowage::SGContainer& v) const noexcept { return stowage::qHash(v); }
};
template <> struct std::hash<stowage::SGImage> {
    size_t operator()(const stowage::SGImage& v) const noexcept { return stowage::qHash(v); }
};
template <> struct std::hash<stowage::SGVolume> {
    size_t operator()(const stowage::SGVolume& v) const noexcept { return stowage::qHash(v); }
};
