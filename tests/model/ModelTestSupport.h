#pragma once
// An AppModel over the scripted fake docker, with its own operation center,
// in-memory log and a cache file in a temporary folder, plus a recorder of
// every status text it shows.

#include "docker/DockerCLI.h"
#include "docker/OperationCenter.h"
#include "log/ActivityLog.h"
#include "model/AppModel.h"
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
inline const QString toolId = "c3cccccccccc";
inline const QString webImage = "sha256:1111111111111111111111111111111111111111111111111111111111111111";
inline const QString dbImage = "sha256:2222222222222222222222222222222222222222222222222222222222222222";
inline const QString oldImage = "sha256:3333333333333333333333333333333333333333333333333333333333333333";
inline const QString danglingImage = "sha256:4444444444444444444444444444444444444444444444444444444444444444";

inline QString containersOut()
{
    return listingLine(R"({"ID":"c1aaaaaaaaaa","Names":"shop-web-1","Image":"shop-web","Status":"Up 2 hours","State":"running","Size":"0B","Ports":"","CreatedAt":"2024-05-01 10:11:12 +0000 UTC","Labels":"com.docker.compose.project=shop,com.docker.compose.project.working_dir=/src/shop"})",
                       "shop", "/src/shop")
        + "\n"
        + listingLine(R"({"ID":"c2bbbbbbbbbb","Names":"shop-db-1","Image":"postgres:16","Status":"Exited (0) 1 hour ago","State":"exited","Size":"0B","Ports":"","CreatedAt":"2024-05-01 10:11:12 +0000 UTC","Labels":"com.docker.compose.project=shop"})",
                      "shop")
        + "\n"
        + listingLine(R"({"ID":"c3cccccccccc","Names":"tool","Image":"postgres:16","Status":"Restarting","State":"restarting","Size":"0B","Ports":"","CreatedAt":"2024-05-01 10:11:12 +0000 UTC","Labels":""})",
                      "")
        + "\n";
}

inline QString imagesOut()
{
    return QStringLiteral(R"({"ID":"%1","Repository":"shop-web","Tag":"latest","Size":"10MB","CreatedSince":"2 days ago"})"
                          "\n"
                          R"({"ID":"%2","Repository":"postgres","Tag":"16","Size":"400MB","CreatedSince":"3 weeks ago"})"
                          "\n"
                          R"({"ID":"%3","Repository":"shop-old","Tag":"v1","Size":"20MB","CreatedSince":"3 weeks ago"})"
                          "\n"
                          R"({"ID":"%4","Repository":"<none>","Tag":"<none>","Size":"5MB","CreatedSince":"3 weeks ago"})"
                          "\n")
        .arg(webImage, dbImage, oldImage, danglingImage);
}

inline QString volumesOut()
{
    return listingLine(R"({"Name":"shop_data","Driver":"local","Mountpoint":"/var/lib/docker/volumes/shop_data/_data","Labels":"com.docker.compose.project=shop"})",
                       "shop")
        + "\n"
        + listingLine(R"({"Name":"shop_cache","Driver":"local","Mountpoint":"/var/lib/docker/volumes/shop_cache/_data","Labels":"com.docker.compose.project=shop"})",
                      "shop")
        + "\n"
        + R"({"Name":"0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef","Driver":"local","Mountpoint":"/x","Labels":""})"
        + "\n";
}

inline QString inspectLine(const QString& id, const QString& image, const QString& mounts)
{
    return id + QStringLiteral("0000000000000000000000000000000000000000000000000000@@") + image + QStringLiteral("@@")
        + mounts + QStringLiteral("@@2024-05-01T10:11:12.123456789Z@@0001-01-01T00:00:00Z\n");
}

inline QString inspectOut()
{
    return inspectLine(webId, webImage, R"([{"Type":"volume","Name":"shop_data"},{"Type":"bind","Source":"/src"}])")
        + inspectLine(dbId, dbImage, R"([{"Type":"volume","Name":"shop_data"}])")
        + inspectLine(toolId, dbImage, "[]");
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
        << FakeRule{"system df -v", R"({"Volumes":[{"Name":"shop_data","Size":"100MB"},{"Name":"shop_cache","Size":"2MB"},{"Name":"0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef","Size":"1MB"}]})"}
        << FakeRule{"system df --format", R"x({"Type":"Build Cache","Size":"1.5GB","Reclaimable":"1.2GB (80%)"})x"}
        << FakeRule{"inspect", inspectOut()} << FakeRule{"image inspect sha256:", imageLayersOut()}
        << FakeRule{"volume ls -q", "shop_cache\n0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef\n"}
        << FakeRule{"info", "/var/lib/docker\n"} << FakeRule{"version", "20.10.24\n"}
        << FakeRule{"rm -f", {}, {}, 0, 0, -1, true} << FakeRule{"rmi", "Deleted\n"}
        << FakeRule{"volume rm", {}, {}, 0, 0, -1, true} << FakeRule{"builder prune", "Total reclaimed space: 1.5GB\n"};
    return all;
}
}  // namespace sample

struct ModelRig {
    ScriptedDocker docker;
    OperationCenter operations;
    ActivityLog log{std::nullopt};
    ScriptedAlerts alerts;
    QTemporaryDir cacheDir;
    std::unique_ptr<DockerCLI> cli;
    std::unique_ptr<AppModel> model;
    QStringList statuses;
    // Whether cleanups end with a reconciling refresh (the window) or not (a headless run).
    bool refreshAfterCleanup = true;

    explicit ModelRig(const QList<FakeRule>& rules = sample::rules()) { rebuild(rules); }

    void rebuild(const QList<FakeRule>& rules)
    {
        model.reset();
        docker.setRules(rules);
        cli = std::make_unique<DockerCLI>(docker.config(&operations, &log));
        AppModel::Options options;
        options.cacheFile = std::optional<QString>(cacheFile());
        options.alerts = &alerts;
        options.removalLimits = {2.0, 0.4, 30.0};
        options.refreshAfterCleanup = refreshAfterCleanup;
        model = std::make_unique<AppModel>(*cli, options);
        statuses.clear();
        QObject::connect(model.get(), &AppModel::statusTextChanged, [this] { statuses << model->statusText(); });
    }

    QString cacheFile() const { return cacheDir.filePath("state.json"); }

    // Refreshes and waits for the end of the operation.
    bool refreshAndWait(std::chrono::milliseconds limit = std::chrono::seconds(20))
    {
        model->refresh();
        return waitIdle(limit);
    }

    bool waitIdle(std::chrono::milliseconds limit = std::chrono::seconds(20))
    {
        return waitUntil([&] { return !model->isLoading(); }, limit);
    }

    QStringList logLines()
    {
        drainEvents();
        QStringList lines;
        for (const auto& entry : log.entries())
            lines << QStringLiteral("%1 %2").arg(rawValue(entry.level), entry.message);
        return lines;
    }
};

}  // namespace stowage::test
