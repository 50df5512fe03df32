#pragma once
// The query facade: the one place that knows which docker commands read the
// inventory and remove things, and how their output becomes records. Every
// operation blocks its (worker) thread while docker runs; a stop request on
// the token kills the running child through the runner.
//
// The parsers are static and pure so that they can be used without a
// process. They never throw: output of an unexpected shape is skipped or
// degrades to an empty value.

#include "docker/DockerRunner.h"
#include "docker/ImageLayers.h"
#include "docker/ImageUnit.h"
#include "docker/Records.h"
#include "text/FailureLines.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <stop_token>

namespace stowage {

class DockerRunner;

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
        // One "<noun> <item>: <reason>" line per item not removed, in the order they failed.
        FailureLines errors;
        // A batch hit its time limit; later batches were not attempted.
        bool timedOut = false;
    };

    // What `docker system df` says: the build cache and the engine's image total.
    struct DiskUsage {
        BuildCache buildCache;
        EngineImageTotals images;
        // The sizes of every row (images, containers, volumes, build cache) summed.
        qint64 totalBytes = 0;
    };

    // Result of inspecting many images' layers; never a failure.
    struct LayersOutcome {
        QHash<QString, ImageLayers> images;  // by full image id
        QStringList errors;                  // one line per failed batch
    };

    // Batch sizes and time limits (seconds). Tests shrink them.
    struct Limits {
        // Container ids per `inspect`: this many at first. Each run of the docker client
        // costs tens of ms of processor time, so once the engine has shown its pace, later
        // batches grow to as many ids as that pace lets one end within inspectBatchSeconds,
        // up to inspectBatchMax. A local engine answers 1,000 in about a second; over ssh,
        // where each id costs a round trip, batches stay at this size.
        int inspectBatchSize = 200;
        int inspectBatchMax = 1000;
        double inspectBatchSeconds = 10.0;
        // Image ids per `image inspect`: each run of the docker client costs tens of ms of
        // processor time (a second over ssh), and an engine answers one image in well under
        // a millisecond, so the layer facts are read in fewer, larger runs.
        int layersBatchSize = 1000;
        int removeBatchSize = 50;
        double listingTimeout = 300.0;
        double inspectTimeout = 120.0;
        double removeBatchTimeout = 240.0;
        // Putting back the tags of an image that stayed: each command, and
        // twice this for all of them. Short: it often runs after Stop.
        double restoreTimeout = 5.0;
    };

    // The inspect template: id, image id, mounts as JSON and the two times,
    // separated by "@@".
    static const QString inspectTemplate;
    // The image inspect template: id, parent, exact size and the layers as JSON, separated by "@@".
    static const QString imageLayersTemplate;
    // The listing templates: each line is {"Listing": <the usual JSON object>,
    // "LabelValues": {key: value}} with the compose labels' values asked for by
    // key. The usual "Labels" text joins labels with bare commas, so a value
    // holding ",com.docker.compose.project=X" cannot be told from a label there.
    static const QString containerListingTemplate;
    static const QString volumeListingTemplate;

    explicit DockerClient(DockerRunner& cli);
    DockerClient(DockerRunner& cli, Limits limits);

    const Limits& limits() const { return limits_; }

    // Listings and queries. Runner failures (DockerError, CancelledError,
    // SpawnError) pass through unchanged.
    QList<SGContainer> containers(std::stop_token stop = {}) const;
    QList<SGImage> images(std::stop_token stop = {}) const;
    QList<SGVolume> volumes(std::stop_token stop = {}) const;
    BuildCache buildCache(std::stop_token stop = {}) const;
    DiskUsage diskUsage(std::stop_token stop = {}) const;
    QHash<QString, qint64> volumeSizes(std::stop_token stop = {}) const;
    QString dockerRoot(std::stop_token stop = {}) const;
    QSet<QString> danglingVolumeNames(std::stop_token stop = {}) const;

    // Inspects the containers in batches, one after another; never throws.
    InspectOutcome inspectMany(const QStringList& ids, std::stop_token stop = {}) const;
    // Inspects the images' layers in batches; never throws.
    LayersOutcome imageLayers(const QStringList& ids, std::stop_token stop = {}) const;

    // Runs a changing command once, and once more if the first run timed out; its output.
    QString mutate(const QString& label, const QStringList& args, double timeout, std::stop_token stop = {}) const;

    // Removes one image, never forcing: returns once the engine deleted it and
    // throws like mutate otherwise (retried once after a time-out). An image
    // with at most one reference is removed by id: the engine then refuses, in
    // one step, an image a container uses or another image is built on. The
    // engine refuses an id with several references ("referenced in multiple
    // repositories"), so such an image is removed by the references it holds
    // now; docker untags them one by one and may still keep the image (a
    // container or a child image depends on it), so references it untagged
    // are put back when the image stays. Returns the ids the engine reports
    // deleted: the image and the untagged parents that went with it.
    QStringList removeImage(const ImageUnit& image, double timeout, std::stop_token stop = {}) const;

    // Asks the engine for its version; throws like the runner when it does not
    // answer within `timeout` seconds. Removals start with it.
    void checkDaemon(double timeout, std::stop_token stop = {}) const;

    // Streams `docker builder prune -af`: each output line goes to `onLine`,
    // which returns false to stop reading. Never throws.
    StreamEnding pruneBuildCache(double timeout, const std::function<bool(const QString&)>& onLine,
                                 std::stop_token stop = {}) const;

    // Removes containers in batches: `rm -f` when `force` (a running container
    // the person was told about), plain `rm` otherwise, which the engine
    // refuses for a container that runs.
    BatchResult removeContainers(const QStringList& ids, bool force, std::stop_token stop = {}) const;
    // Removes volumes in batches (`volume rm`, never forced).
    BatchResult removeVolumes(const QStringList& names, std::stop_token stop = {}) const;

    // Runs `base` followed by up to removeBatchSize items per command, one
    // batch after another; never throws. Stops before the next batch when a
    // stop is requested.
    BatchResult batchRemove(const QString& noun, const QStringList& base, const QStringList& items,
                            std::stop_token stop = {}) const;

    // Pure parsers of each command's output. A listing line without exact
    // label values (a plain JSON object) gives a record without project.
    // The large listings are read as the UTF-8 docker prints, never decoded
    // as a whole; the QString forms encode and parse the same way.
    static QList<SGContainer> parseContainers(const QByteArray& out);
    static QList<SGContainer> parseContainers(const QString& out);
    static QList<SGImage> parseImages(const QByteArray& out);
    static QList<SGImage> parseImages(const QString& out);
    static QList<SGVolume> parseVolumes(const QByteArray& out);
    static QList<SGVolume> parseVolumes(const QString& out);
    static BuildCache parseBuildCache(const QString& out);
    // The Images row; not known when there is none.
    static EngineImageTotals parseEngineImageTotals(const QString& out);
    static DiskUsage parseDiskUsage(const QString& out);
    static QHash<QString, ImageLayers> parseImageLayers(const QByteArray& out);
    static QHash<QString, ImageLayers> parseImageLayers(const QString& out);
    // The ids of the "Deleted: <id>" lines of `docker rmi` output.
    static QStringList parseDeletedImages(const QString& out);
    static QHash<QString, qint64> parseVolumeSizes(const QByteArray& out);
    static QHash<QString, qint64> parseVolumeSizes(const QString& out);
    static QSet<QString> parseDanglingNames(const QString& out);
    static QString parseDockerRoot(const QString& out);
    static QHash<QString, ContainerDetail> parseInspect(const QByteArray& out);
    static QHash<QString, ContainerDetail> parseInspect(const QString& out);
    // Names of the volumes (type "volume", non-empty name) in a mounts JSON array.
    static QStringList namedVolumes(const QString& mountsJSON);

    DockerRunner& cli;

private:
    // Runs a read-only query with the listing time limit; trimmed output.
    QString readListing(const QStringList& args, std::stop_token stop) const;
    // The same as the UTF-8 docker printed (checked, never decoded).
    QByteArray readUtf8Listing(const QStringList& args, std::stop_token stop) const;
    void retryingAfterTimeout(const QString& label, const std::function<void()>& attempt) const;
    // Batch sizes of inspectInBatches: the first, the largest, and the time a grown batch may take.
    struct BatchSizing {
        int first = 1;
        int most = 1;
        double seconds = 0;
    };
    // The size of the next batch, given the slowest pace seen so far (seconds per id,
    // including the client's start): as many ids as fit in `seconds` at that pace,
    // within [first, most].
    static int nextBatchSize(const BatchSizing& sizing, double secondsPerId);
    // Runs `command`, a batch of ids and `--format format` per batch, hands each
    // run's output (UTF-8, as docker printed it) to `take`; the failed batches' error lines.
    QStringList inspectInBatches(const QStringList& command, const QStringList& ids, const QString& format,
                                 BatchSizing sizing, double timeout, const std::function<void(const QByteArray&)>& take,
                                 std::stop_token stop) const;
    // The "repository:tag" references the engine holds for the image now.
    QStringList heldReferences(const QString& id, double timeout, std::stop_token stop) const;
    QStringList untagAndDelete(const QString& id, double timeout, std::stop_token stop) const;
    // A piece of an error text, in English and as the window shows it.
    struct Note {
        QString logged;
        QString shown;
    };
    // Tags the image again with those of `references` it lost; a note for the error text.
    // Ends at its own short deadline, and at a Stop that comes while it runs.
    Note restoreReferences(const QString& id, const QStringList& references, std::stop_token stop) const;
    // docker reads an argument that starts with "-" as an option, so such a
    // name is never placed among the items of a command.
    static bool looksLikeOption(const QString& item);

    Limits limits_;
};

}  // namespace stowage
