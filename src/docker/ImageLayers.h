#pragma once
// What the engine says about images beyond the listing: each image's layers,
// exact size and the image the classic builder built it on (from
// `docker image inspect`), and the engine's own image total (the Images row
// of `docker system df`). A listing row's size counts every layer of the
// image again, shared or not; these facts let figures count each layer once.

#include <QHash>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <optional>

namespace stowage {

struct ImageLayers {
    QString id;
    // The image this one was built on by the classic builder; empty otherwise.
    QString parent;
    // Every layer of the image, in bytes, exact.
    qint64 sizeBytes = 0;
    // The layers' diff ids, base first.
    QStringList layers;
    // The image's repository digests ("name@sha256:…"): an image pulled from a
    // registry has one for each repository it came from; one built here has
    // none until it is pushed. Absent when the engine was not asked.
    std::optional<QStringList> repoDigests;

    // Whether the engine says the image came from a registry; none without that fact.
    std::optional<bool> pulled() const
    {
        return repoDigests ? std::optional<bool>(!repoDigests->isEmpty()) : std::nullopt;
    }

    bool operator==(const ImageLayers&) const = default;
};

// The Images row of `docker system df`: top-level images only (one per id; the
// classic builder's intermediate images are not counted), every layer once.
struct EngineImageTotals {
    bool known = false;
    int count = 0;
    QString size;
    qint64 sizeBytes = 0;

    bool operator==(const EngineImageTotals&) const = default;
};

// JSON forms for the state cache; reading gives none for a wrong shape. The
// digests are optional on reading: a cache written without them has no such facts.
QJsonObject toJson(const ImageLayers& image);
QJsonObject toJson(const EngineImageTotals& totals);
std::optional<ImageLayers> imageLayersFromJson(const QJsonObject& o);
std::optional<EngineImageTotals> engineImageTotalsFromJson(const QJsonObject& o);

}  // namespace stowage

// Implicitly shared Qt values and optionals of those: safe to move with memmove.
Q_DECLARE_TYPEINFO(stowage::ImageLayers, Q_RELOCATABLE_TYPE);
