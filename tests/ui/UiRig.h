#pragma once
// The window tests' rig: an AppModel over the scripted fake docker, with scripted
// dialogs and a recording desktop; and inventories, loaded through the state cache
// or printed as docker prints them. `realistic()` is a small development machine.

#include "cache/StateCache.h"
#include "docker/DockerRunner.h"
#include "docker/OperationCenter.h"
#include "log/ActivityLog.h"
#include "model/AppModel.h"
#include "support/AppModelAccess.h"
#include "support/RecordingDesktop.h"
#include "support/ScriptedAlerts.h"
#include "support/ScriptedDocker.h"
#include "support/TestSupport.h"
#include "text/SizeFormat.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <QTextDocument>

#include <memory>

namespace stowage::test {

// A text as a label or tooltip shows it: what Qt takes for rich text is rendered first.
inline QString shownText(const QString& text)
{
    if (!Qt::mightBeRichText(text))
        return text;
    QTextDocument rendered;
    rendered.setHtml(text);
    return rendered.toPlainText();
}

struct UiRig {
    ScriptedDocker docker;
    OperationCenter operations;
    QTemporaryDir dir;  // the activity log and the state cache
    ActivityLog log{std::optional<QString>(dir.path())};
    ScriptedAlerts alerts;
    RecordingDesktop desktop;
    std::unique_ptr<DockerRunner> cli;
    std::unique_ptr<AppModel> model;
    // The model's clock reads this when set, the system clock otherwise.
    std::optional<QDateTime> now;

    // `options` brings limits; the rig fills in the rest.
    explicit UiRig(const QList<FakeRule>& rules, HostPathFacts::Probes pathProbes = {}, AppModel::Options options = {})
    {
        docker.setRules(rules);
        cli = std::make_unique<DockerRunner>(docker.config(&operations, &log));
        options.cacheFile = std::optional<QString>(cacheFile());
        options.alerts = &alerts;
        options.desktop = &desktop;
        options.pathProbes = std::move(pathProbes);
        options.clock = [this] { return now.value_or(QDateTime::currentDateTimeUtc()); };
        model = std::make_unique<AppModel>(*cli, options);
    }

    QString cacheFile() const { return dir.filePath("state.cache"); }

    bool waitIdle()
    {
        const bool idle = waitUntil([&] { return !model->isLoading(); }, std::chrono::seconds(20));
        drainEvents();
        return idle;
    }
    bool refreshAndWait() { model->refresh(); return waitIdle(); }
};

namespace records {

inline QString imageId(const QString& seed)
{
    return "sha256:" + QString::fromLatin1(QCryptographicHash::hash(seed.toUtf8(), QCryptographicHash::Sha256).toHex());
}

class StateBuilder {
public:
    StateBuilder& image(const QString& repository, const QString& tag, const QString& size,
                        const QString& created = "2 weeks ago")
    {
        const qint64 bytes = SizeFormat::parseDockerSize(size);
        const SGImage i{imageId(repository + ':' + tag), repository, tag, size, bytes, created};
        state_.images << i;
        state_.imageLayers << ImageLayers{i.id, {}, bytes, {i.id + "-layer"}};  // on a layer of its own
        return *this;
    }

    // `image` is "repository:tag" of an image added before (its ID is derived from it).
    StateBuilder& container(const QString& name, const QString& project, const QString& image, bool running,
                            const QStringList& mounts = {}, std::optional<int> activeMinutesAgo = std::nullopt,
                            const QString& workingDir = {})
    {
        SGContainer c;
        c.id = imageId(name).mid(7, 12);
        c.name = name;
        c.image = image.endsWith(":latest") ? image.chopped(7) : image;
        c.imageID = imageId(image);
        c.state = running ? "running" : "exited";
        c.status = running ? "Up 3 hours" : "Exited (0) 2 days ago";
        c.project = project;
        c.workingDir = project.isEmpty() ? QString() : workingDir;
        c.mounts = mounts;
        if (activeMinutesAgo) {
            const QDateTime when = QDateTime::currentDateTimeUtc().addSecs(-60 * *activeMinutesAgo);
            c.startedAt = running ? when : when.addDays(-1);
            if (!running)
                c.finishedAt = when;
        }
        state_.containers << c;
        return *this;
    }

    StateBuilder& volume(const QString& name, const QString& project, const QString& size, bool dangling = false)
    {
        state_.volumes << SGVolume{name, "local", "/var/lib/docker/volumes/" + name + "/_data", {}, project};
        state_.volumeSizes.insert(name, SizeFormat::parseDockerSize(size));
        if (dangling)
            state_.danglingVolumeNames << name;
        return *this;
    }

    // Incomplete: not every container was inspected, so no image is known to be in use.
    CachedState build(bool complete = true) const
    {
        CachedState s = state_;
        s.usageDataComplete = complete;
        s.danglingKnown = true;
        s.buildCache = {"3.4GB", SizeFormat::parseDockerSize("3.4GB"), "2.8GB", SizeFormat::parseDockerSize("2.8GB")};
        if (complete)
            for (const SGContainer& c : s.containers)
                if (!s.usedImageIDs.contains(c.imageID))
                    s.usedImageIDs << c.imageID;
        return s;
    }

private:
    CachedState state_;
};

inline const QString anonBig = imageId("anon-1").mid(7);
inline const QString anonMounted = imageId("anon-3").mid(7);

// `projectsRoot` is where the compose projects' working directories are said to be.
inline StateBuilder realisticBuilder(const QString& projectsRoot = "/home/dev/src")
{
    const auto dir = [&](const char* project) { return projectsRoot + '/' + project; };
    StateBuilder b;
    b.image("shop-web", "latest", "512MB", "3 hours ago")
        .image("shop-worker", "latest", "480MB", "3 hours ago")
        .image("postgres", "16", "432MB", "3 weeks ago")
        .image("redis", "7-alpine", "41MB", "5 weeks ago")
        .image("blog-app", "latest", "350MB", "4 days ago")
        .image("mariadb", "11", "404MB", "2 months ago")
        .image("analytics-notebook", "latest", "2.1GB", "1 day ago")
        .image("analytics-scheduler", "latest", "812MB", "1 day ago")
        .image("metabase/metabase", "v0.49", "700MB", "3 months ago")
        .image("ml-lab-trainer", "latest", "6.4GB", "2 weeks ago")
        .image("portainer/portainer-ce", "latest", "294MB", "6 weeks ago")
        .image("shop-web", "v0.9", "498MB", "3 weeks ago")
        .image("legacy-api", "latest", "310MB", "5 months ago")
        .image("<none>", "<none>", "120MB", "3 weeks ago")
        .image("nginx", "1.25", "187MB", "2 months ago")
        .image("node", "20-alpine", "135MB", "1 month ago");
    b.container("shop-web-1", "shop", "shop-web:latest", true, {"shop_static"}, 12, dir("shop"))
        .container("shop-worker-1", "shop", "shop-worker:latest", true, {"shop_static"}, 12, dir("shop"))
        .container("shop-db-1", "shop", "postgres:16", true, {"shop_pgdata"}, 12, dir("shop"))
        .container("shop-cache-1", "shop", "redis:7-alpine", false, {"shop_redis"}, 600, dir("shop"))
        .container("blog-app-1", "blog", "blog-app:latest", false, {"blog_uploads"}, 3 * 24 * 60, dir("blog"))
        .container("blog-db-1", "blog", "mariadb:11", false, {"blog_db"}, 3 * 24 * 60, dir("blog"))
        .container("blog-cache-1", "blog", "redis:7-alpine", false, {}, 3 * 24 * 60, dir("blog"))
        .container("analytics-notebook-1", "analytics", "analytics-notebook:latest", true, {"analytics_data"}, 5,
                   dir("analytics"))
        .container("analytics-scheduler-1", "analytics", "analytics-scheduler:latest", true, {"analytics_data"}, 5,
                   dir("analytics"))
        .container("analytics-metabase-1", "analytics", "metabase/metabase:v0.49", true,
                   {"analytics_data", "metabase_plugins"}, 5, dir("analytics"))
        .container("ml-lab-trainer-1", "ml-lab", "ml-lab-trainer:latest", false, {"ml-lab_checkpoints", anonMounted})
        .container("portainer", "", "portainer/portainer-ce:latest", true, {"portainer_data"}, 2 * 60)
        .container("scratch-redis", "", "redis:7-alpine", false, {}, 9 * 24 * 60);
    b.volume("shop_pgdata", "shop", "1.2GB")
        .volume("shop_static", "shop", "88MB")
        .volume("shop_redis", "shop", "12MB")
        .volume("blog_uploads", "blog", "640MB")
        .volume("blog_db", "blog", "310MB")
        .volume("analytics_data", "analytics", "4.3GB")
        .volume("metabase_plugins", "", "6MB")
        .volume("ml-lab_checkpoints", "ml-lab", "9.1GB")
        .volume(anonMounted, "", "2MB")
        .volume("portainer_data", "", "3MB")
        .volume("oldshop_pgdata", "oldshop", "700MB", true)
        .volume("oldshop_static", "oldshop", "45MB", true)
        .volume(anonBig, "", "256MB", true)
        .volume(imageId("anon-2").mid(7), "", "1MB", true)
        .volume("legacy_cache", "", "18MB");  // unmounted, yet not dangling for the engine: disputed
    return b;
}

inline CachedState realistic(const QString& projectsRoot = "/home/dev/src") { return realisticBuilder(projectsRoot).build(); }

// Writes `state` as the rig's cache file and loads it into the model.
inline bool loadInto(UiRig& rig, const CachedState& state)
{
    QFile file(rig.cacheFile());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.write(StateCache::encode(state));
    file.close();
    if (!AppModelTestAccess::loadCache(*rig.model))
        return false;
    AppModelTestAccess::takeFactsAsRead(*rig.model);  // removals confirm at once, as after a refresh
    return true;
}

// A rig whose model holds `state`; nothing talks to docker.
struct LoadedRig : UiRig {
    explicit LoadedRig(const CachedState& state = realistic(), HostPathFacts::Probes probes = {}, AppModel::Options options = {})
        : UiRig(QList<FakeRule>{}, std::move(probes), std::move(options))
    {
        loaded = loadInto(*this, state);
    }
    bool loaded = false;
};

// --- The same inventories as docker prints them ---

// `docker inspect` of the first `count` containers (all of them when negative).
inline QString inspectOut(const CachedState& s, qsizetype count = -1)
{
    QString out;
    for (const SGContainer& c : s.containers.first(count < 0 ? s.containers.size() : count)) {
        QStringList mounts;
        for (const QString& v : c.mounts)
            mounts << QStringLiteral(R"({"Type":"volume","Name":"%1"})").arg(v);
        out += c.id + QString(52, '0') + "@@" + c.imageID + "@@[" + mounts.join(',')
            + "]@@2024-05-01T10:11:12.123456789Z@@2024-05-02T08:00:00Z\n";
    }
    return out;
}

// A complete, successful refresh of `s`; `overrides` come first and win. The
// engine's image total (11GB) is its own, not the rows' sizes summed.
inline QList<FakeRule> dockerRules(const CachedState& s, const QList<FakeRule>& overrides = {})
{
    QString ps, images, layers, volumes;
    QStringList sizes;
    for (const SGContainer& c : s.containers) {
        const QString labels = c.project.isEmpty() ? QString() : "com.docker.compose.project=" + c.project;
        ps += listingLine(QStringLiteral(R"({"ID":"%1","Names":"%2","Image":"%3","Status":"%4","State":"%5","Size":"0B","Ports":"","CreatedAt":"2024-05-01 10:11:12 +0000 UTC","Labels":"%6"})")
                              .arg(c.id, c.name, c.image, c.status, c.state, labels),
                          c.project, c.workingDir)
            + '\n';
    }
    for (const SGImage& i : s.images) {
        images += QStringLiteral(R"({"ID":"%1","Repository":"%2","Tag":"%3","Size":"%4","CreatedSince":"%5"})" "\n")
                      .arg(i.id, i.repository, i.tag, i.size, i.created);
        layers += QStringLiteral("%1@@@@%2@@[\"%1-layer\"]\n").arg(i.id).arg(i.sizeBytes);
    }
    for (const SGVolume& v : s.volumes) {
        const QString labels = v.project.isEmpty() ? QString() : "com.docker.compose.project=" + v.project;
        volumes += listingLine(QStringLiteral(R"({"Name":"%1","Driver":"local","Mountpoint":"%2","Labels":"%3"})")
                                   .arg(v.name, v.mountpoint, labels),
                               v.project)
            + '\n';
        sizes << QStringLiteral(R"({"Name":"%1","Size":"%2B"})").arg(v.name).arg(s.volumeSizes.value(v.name));
    }
    const QString diskUsage =
        QStringLiteral(R"({"Type":"Images","TotalCount":"%1","Size":"11GB"})" "\n"
                       R"x({"Type":"Build Cache","Size":"%2","Reclaimable":"%3 (50%)"})x")
            .arg(s.images.size())
            .arg(s.buildCache.size, s.buildCache.reclaimable);
    return overrides
        + QList<FakeRule>{{"ps -a", ps},
                          {"images -a", images},
                          {"volume ls --format", volumes},
                          {"system df -v", "{\"Volumes\":[" + sizes.join(',') + "]}"},
                          {"system df --format", diskUsage},
                          {"inspect", inspectOut(s)},
                          {"image inspect sha256:", layers},
                          {"volume ls -q", s.danglingVolumeNames.join('\n') + '\n'},
                          {"info", s.dockerRoot + '\n'}};
}

// Every listing fails with `err` on standard error.
inline QList<FakeRule> failingRules(const QString& err)
{
    return {{"ps", "", err, 1},     {"images", "", err, 1},  {"volume", "", err, 1},
            {"system", "", err, 1}, {"inspect", "", err, 1}, {"info", "", err, 1}};
}

}  // namespace records
}  // namespace stowage::test
