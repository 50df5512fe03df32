#include "docker/DockerClient.h"

#include "docker/Classify.h"
#include "docker/DockerRunner.h"
#include "log/ActivityLog.h"
#include "text/TextTrim.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <utility>

namespace stowage {

const QString DockerClient::inspectTemplate =
    QStringLiteral("{{.Id}}@@{{.Image}}@@{{json .Mounts}}@@{{.State.StartedAt}}@@{{.State.FinishedAt}}");

const QString DockerClient::imageLayersTemplate =
    QStringLiteral("{{.Id}}@@{{.Parent}}@@{{.Size}}@@{{json .RootFS.Layers}}@@{{json .RepoDigests}}");

namespace {

const QString jsonFormat = QStringLiteral("{{json .}}");

// {"Listing":{{json .}},"LabelValues":{"k":{{json (.Label "k")}},…}}
QString listingTemplate(const QStringList& keys)
{
    QStringList values;
    for (const QString& key : keys)
        values << QStringLiteral("\"%1\":{{json (.Label \"%1\")}}").arg(key);
    return QStringLiteral("{\"Listing\":{{json .}},\"LabelValues\":{") + values.join(u',') + QStringLiteral("}}");
}

// The output's lines, each without surrounding spaces and tabs.
QSet<QString> lineSet(const QString& text)
{
    QSet<QString> lines;
    for (QStringView line : QStringView(text).split(u'\n', Qt::SkipEmptyParts)) {
        const QStringView trimmed = trimSpacesAndTabs(line);
        if (!trimmed.isEmpty())
            lines.insert(trimmed.toString());
    }
    return lines;
}

// The window's words for a removal's failed items; the log's lines stay English.
struct Shown {
    Q_DECLARE_TR_FUNCTIONS(BatchRemoval)
};

// A failed item's line as the window shows it: the noun in the user's language
// (a noun without a translation as it is).
QString shownItemError(const QString& noun, const QString& item, const QString& shownReason)
{
    static const std::pair<QLatin1String, const char*> lines[] = {
        {QLatin1String("container"), QT_TRANSLATE_NOOP("BatchRemoval", "container %1: %2")},
        {QLatin1String("volume"), QT_TRANSLATE_NOOP("BatchRemoval", "volume %1: %2")}};
    for (const auto& [word, line] : lines)
        if (noun == word)
            return Shown::tr(line).arg(item, shownReason);
    return QStringLiteral("%1 %2: %3").arg(noun, item, shownReason);
}

}  // namespace

const QString DockerClient::containerListingTemplate =
    listingTemplate({ComposeLabel::project, ComposeLabel::workingDir, ComposeLabel::configFiles});
const QString DockerClient::volumeListingTemplate = listingTemplate({ComposeLabel::project});

DockerClient::DockerClient(DockerRunner& cli) : DockerClient(cli, Limits{})
{
}

DockerClient::DockerClient(DockerRunner& cli, Limits limits) : cli(cli), limits_(limits)
{
    limits_.inspectBatchSize = std::max(1, limits_.inspectBatchSize);
    limits_.inspectBatchMax = std::max(limits_.inspectBatchSize, limits_.inspectBatchMax);
    limits_.removeBatchSize = std::max(1, limits_.removeBatchSize);
    limits_.layersBatchSize = std::max(1, limits_.layersBatchSize);
}

QString DockerClient::readListing(const QStringList& args, std::stop_token stop) const
{
    return cli.run(args, limits_.listingTimeout, stop);
}

QByteArray DockerClient::readUtf8Listing(const QStringList& args, std::stop_token stop) const
{
    return cli.runUtf8(args, limits_.listingTimeout, stop);
}

QList<SGContainer> DockerClient::containers(std::stop_token stop) const
{
    return parseContainers(readUtf8Listing({"ps", "-a", "--format", containerListingTemplate}, stop));
}

QList<SGImage> DockerClient::images(std::stop_token stop) const
{
    return parseImages(readUtf8Listing({"images", "-a", "--no-trunc", "--format", jsonFormat}, stop));
}

QList<SGVolume> DockerClient::volumes(std::stop_token stop) const
{
    return parseVolumes(readUtf8Listing({"volume", "ls", "--format", volumeListingTemplate}, stop));
}

BuildCache DockerClient::buildCache(std::stop_token stop) const
{
    return diskUsage(stop).buildCache;
}

DockerClient::DiskUsage DockerClient::diskUsage(std::stop_token stop) const
{
    return parseDiskUsage(readListing({"system", "df", "--format", jsonFormat}, stop));
}

QHash<QString, qint64> DockerClient::volumeSizes(std::stop_token stop) const
{
    return parseVolumeSizes(readUtf8Listing({"system", "df", "-v", "--format", jsonFormat}, stop));
}

QString DockerClient::dockerRoot(std::stop_token stop) const
{
    return parseDockerRoot(readListing({"info", "--format", "{{.DockerRootDir}}"}, stop));
}

QSet<QString> DockerClient::danglingVolumeNames(std::stop_token stop) const
{
    return parseDanglingNames(readListing({"volume", "ls", "-q", "--filter", "dangling=true"}, stop));
}

int DockerClient::nextBatchSize(const BatchSizing& sizing, double secondsPerId)
{
    if (!(secondsPerId > 0))
        return sizing.most;
    return int(std::clamp(sizing.seconds / secondsPerId, double(sizing.first), double(sizing.most)));
}

QStringList DockerClient::inspectInBatches(const QStringList& command, const QStringList& ids, const QString& format,
                                           BatchSizing sizing, double timeout,
                                           const std::function<void(const QByteArray&)>& take,
                                           std::stop_token stop) const
{
    QStringList inspectable;
    std::copy_if(ids.begin(), ids.end(), std::back_inserter(inspectable),
                 [](const QString& id) { return !id.isEmpty() && !looksLikeOption(id); });
    QStringList errors;
    int batchSize = sizing.first;
    double slowestPace = 0;  // seconds per id of the slowest batch so far, failed ones included
    for (qsizetype start = 0; start < inspectable.size();) {
        const QStringList batch = inspectable.mid(start, batchSize);
        start += batch.size();
        const QStringList args = command + batch + QStringList{QStringLiteral("--format"), format};
        const auto began = std::chrono::steady_clock::now();
        try {
            const Utf8RunResult result = cli.runRawUtf8(args, timeout, stop);
            // What came back counts even when docker reported a failure for another id of the batch.
            take(result.out);
            if (result.status != 0)
                errors.append(firstLine(result.err).value_or(QStringLiteral("docker inspect failed")));
        } catch (const RunError& error) {
            errors.append(error.description());
        } catch (const std::exception& error) {
            errors.append(QString::fromLocal8Bit(error.what()));
        }
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - began;
        slowestPace = std::max(slowestPace, took.count() / double(batch.size()));
        batchSize = nextBatchSize(sizing, slowestPace);
    }
    return errors;
}

DockerClient::InspectOutcome DockerClient::inspectMany(const QStringList& ids, std::stop_token stop) const
{
    InspectOutcome outcome;
    const BatchSizing sizing{limits_.inspectBatchSize, limits_.inspectBatchMax, limits_.inspectBatchSeconds};
    outcome.errors = inspectInBatches({QStringLiteral("inspect")}, ids, inspectTemplate, sizing,
                                      limits_.inspectTimeout, [&](const QByteArray& out) {
        const auto parsed = parseInspect(out);
        for (auto it = parsed.begin(); it != parsed.end(); ++it) {
            if (!outcome.details.contains(it.key()))
                outcome.details.insert(it.key(), it.value());
        }
    }, stop);

    // The listing's short ids and inspect's full ids meet in their first 12 characters.
    for (const QString& id : ids) {
        if (!outcome.details.contains(id.left(12)))
            outcome.missing.append(id);
    }
    return outcome;
}

DockerClient::LayersOutcome DockerClient::imageLayers(const QStringList& ids, std::stop_token stop) const
{
    LayersOutcome outcome;
    // A batch reads as many images as a listing may hold, and gets a listing's time.
    outcome.errors = inspectInBatches({QStringLiteral("image"), QStringLiteral("inspect")}, ids, imageLayersTemplate,
                                      {limits_.layersBatchSize, limits_.layersBatchSize, 0}, limits_.listingTimeout,
                                      [&](const QByteArray& out) { outcome.images.insert(parseImageLayers(out)); }, stop);
    return outcome;
}

bool DockerClient::looksLikeOption(const QString& item)
{
    return item.startsWith(u'-');
}

QString DockerClient::mutate(const QString& label, const QStringList& args, double timeout, std::stop_token stop) const
{
    QString out;
    retryingAfterTimeout(label, [&] { out = cli.run(args, timeout, stop); });
    return out;
}

void DockerClient::retryingAfterTimeout(const QString& label, const std::function<void()>& attempt) const
{
    try {
        attempt();
        return;
    } catch (const DockerError& error) {
        if (error.kind() != DockerError::Kind::timedOut)
            throw;
    }
    cli.log().log(LogLevel::warn, QStringLiteral("↻ retrying %1 after timeout (attempt 2)").arg(label));
    attempt();
}

void DockerClient::checkDaemon(double timeout, std::stop_token stop) const
{
    cli.run({QStringLiteral("version"), QStringLiteral("--format"), QStringLiteral("{{.Server.Version}}")}, timeout,
            stop);
}

StreamEnding DockerClient::pruneBuildCache(double timeout, const std::function<bool(const QString&)>& onLine,
                                           std::stop_token stop) const
{
    return cli.stream({QStringLiteral("builder"), QStringLiteral("prune"), QStringLiteral("-af")}, timeout, onLine,
                      stop);
}

DockerClient::BatchResult DockerClient::removeContainers(const QStringList& ids, bool force, std::stop_token stop) const
{
    QStringList base{QStringLiteral("rm")};
    if (force)
        base << QStringLiteral("-f");
    return batchRemove(QStringLiteral("container"), base, ids, stop);
}

DockerClient::BatchResult DockerClient::removeVolumes(const QStringList& names, std::stop_token stop) const
{
    return batchRemove(QStringLiteral("volume"), {QStringLiteral("volume"), QStringLiteral("rm")}, names, stop);
}

DockerClient::BatchResult DockerClient::batchRemove(const QString& noun, const QStringList& base,
                                                    const QStringList& items, std::stop_token stop) const
{
    BatchResult result;
    // Each line in English for the log and the command line, and in the window's words;
    // `reason` is ours (translated) or docker's (shown as docker wrote it).
    auto failItems = [&](const QStringList& batch, const QString& reason, const QString& shownReason) {
        for (const QString& item : batch)
            result.errors.append(QStringLiteral("%1 %2: %3").arg(noun, item, reason),
                                 shownItemError(noun, item, shownReason));
    };

    QStringList removable;
    QStringList refused;
    for (const QString& item : items)
        (looksLikeOption(item) ? refused : removable).append(item);
    failItems(refused, QStringLiteral("not a valid name"), Shown::tr("not a valid name"));

    for (qsizetype start = 0; start < removable.size(); start += limits_.removeBatchSize) {
        if (stop.stop_requested())
            return result;
        const QStringList batch = removable.mid(start, limits_.removeBatchSize);
        cli.log().log(LogLevel::info, QStringLiteral("→ %1 rm ×%2").arg(noun, QString::number(batch.size())));
        try {
            const RunResult run = cli.runRaw(base + batch, limits_.removeBatchTimeout, stop);
            // docker prints each removed item on its own line, exactly as passed.
            const QSet<QString> echoed = lineSet(run.out);
            const std::optional<QString> reason = firstLine(run.err);
            qsizetype confirmed = 0;
            QStringList refusedNow;
            for (const QString& item : batch) {
                if (echoed.contains(item)) {
                    result.removed.insert(item);
                    ++confirmed;
                } else if (run.status != 0) {
                    refusedNow << item;
                }
            }
            failItems(refusedNow, reason.value_or(QStringLiteral("failed")), reason.value_or(Shown::tr("failed")));
            cli.log().log(LogLevel::info, QStringLiteral("✓ %1 rm: %2/%3 removed")
                                              .arg(noun, QString::number(confirmed), QString::number(batch.size())));
        } catch (const CancelledError&) {
            return result;
        } catch (const DockerError& error) {
            if (error.kind() == DockerError::Kind::timedOut) {
                failItems(batch, QStringLiteral("timed out"), Shown::tr("timed out"));
                result.timedOut = true;
                return result;
            }
            failItems(batch, error.description(), error.shownDescription());
        } catch (const RunError& error) {
            failItems(batch, error.description(), error.shownDescription());
        } catch (const std::exception& error) {
            failItems(batch, QString::fromLocal8Bit(error.what()), QString::fromLocal8Bit(error.what()));
        }
    }
    return result;
}

}  // namespace stowage
