#pragma once
// The query facade: the one place that knows which docker commands read the
// inventory and remove things, and how their output becomes records. Every
// operation blocks its (worker) thread while docker runs; a stop request on
// the token kills the running child through the runner.
//
// The parsers are static and pure so that they can be used without a
// process. They never throw: output of an unexpected shape is skipped or
// degrades to an empty value.

#include "docker/ImageUnit.h"
#include "docker/Records.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <stop_token>

namespace stowage {

class DockerCLI;

class DockerClient {
public:
    using ContainerDetail = stowage::ContainerDetail;

    // Result of inspecting many containers; never a failure.
    struct InspectOutcome {
        // Keyed by the first 12 characters of the container id.
        QHash<QString, ContainerDetail> details;
        // Requested ids with no detail, in request order, as requested.
        QStringList missing;
        // One line per failed batch.
        QStringList errors;
    };

    // Result of removing many containers or volumes; never a failure.
    struct BatchResult {
        // Items docker confirmed as removed, exactly as passed in.
        QSet<QString> removed;
        // One "<noun> <item>: <reason>" line per item not removed.
        QStringList errors;
        // A batch hit its time limit; later batches were not attempted.
        bool timedOut = false;
    };

    // Batch sizes and time limits (seconds). Tests shrink them.
    struct Limits {
        int inspectBatchSize = 200;
        int removeBatchSize = 50;
        double listingTimeout = 300.0;
        double inspectTimeout = 120.0;
        double removeBatchTimeout = 240.0;
    };

    // The inspect template: id, image id, mounts as JSON and the two times,
    // separated by "@@".
    static const QString inspectTemplate;
    // The listing templates: each line is {"Listing": <the usual JSON object>,
    // "LabelValues": {key: value}} with the compose labels' values asked for by
    // key. The usual "Labels" text joins labels with bare commas, so a value
    // holding ",com.docker.compose.project=X" cannot be told from a label there.
    static const QString containerListingTemplate;
    static const QString volumeListingTemplate;

    explicit DockerClient(DockerCLI& cli);
    DockerClient(DockerCLI& cli, Limits limits);
    DockerClient(DockerCLI& cli, int inspectBatchSize, int removeBatchSize);

    const Limits& limits() const { return limits_; }

    // Listings and queries. Runner failures (DockerError, CancelledError,
    // SpawnError) pass through unchanged.
    QList<SGContainer> containers(std::stop_token stop = {}) const;
    QList<SGImage> images(std::stop_token stop = {}) const;
    QList<SGVolume> volumes(std::stop_token stop = {}) const;
    BuildCache buildCache(std::stop_token stop = {}) const;
    QHash<QString, qint64> volumeSizes(std::stop_token stop = {}) const;
    QString dockerRoot(std::stop_token stop = {}) const;
    QSet<QString> danglingVolumeNames(std::stop_token stop = {}) const;

    // Inspects the containers in batches; never throws.
    InspectOutcome inspectMany(const QStringList& ids, std::stop_token stop = {}) const;

    // Runs a changing command once, and once more if the first run timed out.
    void mutate(const QString& label, const QStringList& args, double timeout, std::stop_token stop = {}) const;

    // Removes one image, never forcing: returns once the engine deleted it and
    // throws like mutate otherwise (retried once after a time-out). An image
    // with at most one reference is removed by id: the engine then refuses, in
    // one step, an image a container uses or another image is built on. The
    // engine refuses an id with several references ("referenced in multiple
    // repositories"), so such an image is removed by the references it holds
    // now; docker untags them one by one and may still keep the image (a
    // container or a child image depends on it), so references it untagged
    // are put back when the image stays.
    void removeImage(const ImageUnit& image, double timeout, std::stop_token stop = {}) const;

    // Runs `base` followed by up to removeBatchSize items per command, one
    // batch after another; never throws. Stops before the next batch when a
    // stop is requested.
    BatchResult batchRemove(const QString& noun, const QStringList& base, const QStringList& items,
                            std::stop_token stop = {}) const;

    // Pure parsers of each command's output. A listing line without exact
    // label values (a plain JSON object) gives a record without project.
    static QList<SGContainer> parseContainers(const QString& out);
    static QList<SGImage> parseImages(const QString& out);
    static QList<SGVolume> parseVolumes(const QString& out);
    static BuildCache parseBuildCache(const QString& out);
    static QHash<QString, qint64> parseVolumeSizes(const QString& out);
    static QSet<QString> parseDanglingNames(const QString& out);
    static QString parseDockerRoot(const QString& out);
    static QHash<QString, ContainerDetail> parseInspect(const QString& out);
    // Names of the volumes (type "volume", non-empty name) in a mounts JSON array.
    static QStringList namedVolumes(const QString& mountsJSON);

    DockerCLI& cli;

private:
    // Runs a read-only query with the listing time limit; trimmed output.
    QString readListing(const QStringList& args, std::stop_token stop) const;
    void retryingAfterTimeout(const QString& label, const std::function<void()>& attempt) const;
    // The "repository:tag" references the engine holds for the image now.
    QStringList heldReferences(const QString& id, double timeout, std::stop_token stop) const;
    void untagAndDelete(const QString& id, double timeout, std::stop_token stop) const;
    // Tags the image again with those of `references` it lost; a note for the error text.
    QString restoreReferences(const QString& id, const QStringList& references, double timeout) const;
    // docker reads an argument that starts with "-" as an option, so such a
    // name is never placed among the items of a command.
    static bool looksLikeOption(const QString& item);

    Limits limits_;
};

}  // namespace stowage
