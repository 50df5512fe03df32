#pragma once
// An AppModel over the scripted fake docker, with its own operation center,
// in-memory log and a cache file in a temporary folder, plus a recorder of
// every status text it shows.

#include "docker/DockerRunner.h"
#include "docker/OperationCenter.h"
#include "log/ActivityLog.h"
#include "model/AppModel.h"
#include "support/AppModelAccess.h"
#include "support/RecordingDesktop.h"
#include "support/ScriptedAlerts.h"
#include "support/ScriptedDocker.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>

#include <memory>

namespace stowage::test {

// A small, realistic inventory as docker prints it: project "shop" with a
// running web container and a stopped database, a standalone container, four
// images, three volumes.
namespace sample {
inline const QString webId = "c1aaaaaaaaaa";
inline const QString dbId = "c2bbbbbbbbbb";
inline const QString webImage = "sha256:" + QString(64, u'1');
inline const QString dbImage = "sha256:" + QString(64, u'2');
inline const QString oldImage = "sha256:" + QString(64, u'3');
inline const QString danglingImage = "sha256:" + QString(64, u'4');
inline const QString anonymousVolume = "0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef";

inline QString containersOut()
{
    const auto line = [](const QString& id, const QString& name, const QString& image, const QString& status,
                         const QString& state, const QString& project, const QString& dir = {}) {
        const QString json = QStringLiteral(R"({"ID":"%1","Names":"%2","Image":"%3","Status":"%4","State":"%5","Size":"0B",)"
                                            R"("Ports":"","CreatedAt":"2024-05-01 10:11:12 +0000 UTC","Labels":"%6"})")
                                 .arg(id, name, image, status, state,
                                      project.isEmpty() ? QString() : "com.docker.compose.project=" + project);
        return listingLine(json, project, dir) + "\n";
    };
    return line(webId, "shop-web-1", "shop-web", "Up 2 hours", "running", "shop", "/src/shop")
        + line(dbId, "shop-db-1", "postgres:16", "Exited (0) 1 hour ago", "exited", "shop")
        + line("c3cccccccccc", "tool", "postgres:16", "Restarting", "restarting", "");
}

inline QString imagesOut()
{
    const QString row = R"({"ID":"%1","Repository":"%2","Tag":"%3","Size":"%4","CreatedSince":"3 weeks ago"})" "\n";
    return row.arg(webImage, "shop-web", "latest", "10MB") + row.arg(dbImage, "postgres", "16", "400MB")
        + row.arg(oldImage, "shop-old", "v1", "20MB") + row.arg(danglingImage, "<none>", "<none>", "5MB");
}

inline QString volumesOut()
{
    const QString row = R"({"Name":"%1","Driver":"local","Mountpoint":"/var/lib/docker/volumes/%1/_data","Labels":"%2"})";
    return listingLine(row.arg("shop_data", "com.docker.compose.project=shop"), "shop") + "\n"
        + listingLine(row.arg("shop_cache", "com.docker.compose.project=shop"), "shop") + "\n"
        + row.arg(anonymousVolume, "") + "\n";
}

inline QString inspectLine(const QString& id, const QString& image, const QString& mounts)
{
    return id + QString(52, u'0') + "@@" + image + "@@" + mounts + "@@2024-05-01T10:11:12.123456789Z@@0001-01-01T00:00:00Z\n";
}

inline QString inspectOut()
{
    return inspectLine(webId, webImage, R"([{"Type":"volume","Name":"shop_data"},{"Type":"bind","Source":"/src"}])")
        + inspectLine(dbId, dbImage, R"([{"Type":"volume","Name":"shop_data"}])") + inspectLine("c3cccccccccc", dbImage, "[]");
}

// Each image on layers of its own, of the size docker lists (which counts 1 MB as 10^6 bytes).
inline QString imageLayersOut()
{
    QString out;
    const std::pair<QString, qint64> images[] = {
        {webImage, 10'000'000}, {dbImage, 400'000'000}, {oldImage, 20'000'000}, {danglingImage, 5'000'000}};
    for (const auto& [id, size] : images)
        out += QStringLiteral("%1@@@@%2@@[\"sha256:layer-%3\"]\n").arg(id).arg(size).arg(id.right(4));
    return out;
}

// Rules for a complete, successful refresh; `overrides` come first and win.
inline QList<FakeRule> rules(const QList<FakeRule>& overrides = {})
{
    QList<FakeRule> all = overrides;
    all << FakeRule{"ps -a", containersOut()} << FakeRule{"images -a", imagesOut()}
        << FakeRule{"volume ls --format", volumesOut()}
        << FakeRule{"system df -v", R"({"Volumes":[{"Name":"shop_data","Size":"100MB"},{"Name":"shop_cache","Size":"2MB"},{"Name":")"
                                        + anonymousVolume + R"(","Size":"1MB"}]})"}
        << FakeRule{"system df --format", R"x({"Type":"Build Cache","Size":"1.5GB","Reclaimable":"1.2GB (80%)"})x"}
        << FakeRule{"inspect", inspectOut()} << FakeRule{"image inspect sha256:", imageLayersOut()}
        << FakeRule{"volume ls -q", "shop_cache\n" + anonymousVolume + "\n"}
        << FakeRule{"info", "/var/lib/docker\n"} << FakeRule{"version", "20.10.24\n"}
        << FakeRule{"rm -f", {}, {}, 0, 0, -1, true} << FakeRule{"rm ", {}, {}, 0, 0, -1, true}
        << FakeRule{"rmi", "Deleted\n"}
        << FakeRule{"volume rm", {}, {}, 0, 0, -1, true} << FakeRule{"builder prune", "Total reclaimed space: 1.5GB\n"};
    return all;
}
}  // namespace sample

struct ModelRig {
    ScriptedDocker docker;
    OperationCenter operations;
    ActivityLog log{std::nullopt};
    ScriptedAlerts alerts;
    RecordingDesktop desktop;
    HostPathFacts::Probes pathProbes;  // the file system's when empty
    QTemporaryDir cacheDir;
    std::unique_ptr<DockerRunner> cli;
    std::unique_ptr<AppModel> model;
    QStringList statuses;
    // Whether cleanups end with a reconciling refresh (the window) or not (a headless run).
    bool refreshAfterCleanup = true;
    // The model's clock; the system's when empty.
    MinuteClock::Source clock;
    DockerClient::Limits limits;
    History* history = nullptr;

    explicit ModelRig(const QList<FakeRule>& rules = sample::rules()) { rebuild(rules); }

    void rebuild(const QList<FakeRule>& rules)
    {
        model.reset();
        docker.setRules(rules);
        cli = std::make_unique<DockerRunner>(docker.config(&operations, &log));
        AppModel::Options options;
        options.cacheFile = std::optional<QString>(cacheFile());
        options.alerts = &alerts;
        options.desktop = &desktop;
        options.pathProbes = pathProbes;
        // Short enough for the time-out paths, long enough for a loaded machine under a sanitizer.
        options.removalLimits = {2.0, 1.5, 30.0};
        options.limits = limits;
        options.refreshAfterCleanup = refreshAfterCleanup;
        options.clock = clock;
        options.history = history;
        model = std::make_unique<AppModel>(*cli, options);
        statuses.clear();
        QObject::connect(model.get(), &AppModel::statusTextChanged, [this] { statuses << model->statusText(); });
    }

    QString cacheFile() const { return cacheDir.filePath("state.cache"); }

    // Shows `state` in the model, through its cache file; as just read from
    // Docker unless `fromCache`, so that a removal confirms at once.
    bool show(const CachedState& state, bool fromCache = false)
    {
        const bool shown = writeFile(cacheFile(), StateCache::encode(state)) && AppModelTestAccess::loadCache(*model);
        if (shown && !fromCache)
            AppModelTestAccess::takeFactsAsRead(*model);
        return shown;
    }

    // What the model saved in its cache file.
    std::optional<CachedState> savedCache()
    {
        model->flushCache();
        return StateCache::decode(readFile(cacheFile()));
    }

    // Refreshes and waits for the end of the operation.
    bool refreshAndWait()
    {
        model->refresh();
        return waitIdle();
    }

    bool waitIdle(std::chrono::milliseconds limit = std::chrono::seconds(20))
    {
        return waitUntil([&] { return !model->isLoading(); }, limit);
    }

    QStringList logLines() { return test::logLines(log); }
};

}  // namespace stowage::test
