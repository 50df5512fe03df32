#include "ScreenshotInventory.h"


#include <QCryptographicHash>

namespace stowage::screenshots {
namespace {

QString hashOf(const QString& seed)
{
    return QString::fromLatin1(QCryptographicHash::hash(seed.toUtf8(), QCryptographicHash::Sha256).toHex());
}

QString imageId(const QString& reference) { return QStringLiteral("sha256:") + hashOf(reference); }

struct Builder {
    CachedState state;
    QString root;

    void image(const QString& repository, const QString& tag, const QString& size, const QString& created)
    {
        SGImage i;
        i.id = imageId(repository + u':' + tag);
        i.repository = repository;
        i.tag = tag;
        i.size = size;
        i.sizeBytes = SizeFormat::parseDockerSize(size);
        i.created = created;
        state.images << i;
    }

    // `reference` is "repository:tag" of an image added before.
    void container(const QString& name, const QString& project, const QString& reference, bool running,
                   const QStringList& mounts, int minutesAgo)
    {
        SGContainer c;
        c.id = hashOf(name).left(12);
        c.name = name;
        c.image = reference.endsWith(u":latest") ? reference.chopped(7) : reference;
        c.imageID = imageId(reference);
        c.state = running ? QStringLiteral("running") : QStringLiteral("exited");
        c.status = running ? QStringLiteral("Up 3 hours") : QStringLiteral("Exited (0) 2 days ago");
        c.project = project;
        c.workingDir = project.isEmpty() ? QString() : root + u'/' + project;
        c.mounts = mounts;
        const QDateTime when = QDateTime::currentDateTimeUtc().addSecs(-60 * minutesAgo);
        c.startedAt = running ? when : when.addDays(-1);
        if (!running)
            c.finishedAt = when;
        state.containers << c;
    }

    void volume(const QString& name, const QString& project, const QString& size, bool dangling = false)
    {
        SGVolume v;
        v.name = name;
        v.driver = QStringLiteral("local");
        v.project = project;
        v.mountpoint = QStringLiteral("/var/lib/docker/volumes/") + name + QStringLiteral("/_data");
        state.volumes << v;
        state.volumeSizes.insert(name, SizeFormat::parseDockerSize(size));
        if (dangling)
            state.danglingVolumeNames << name;
    }
};

}  // namespace

CachedState realisticState(const QString& projectsRoot, bool complete)
{
    Builder b{{}, projectsRoot};
    b.image("shop-web", "latest", "512MB", "3 hours ago");
    b.image("shop-worker", "latest", "480MB", "3 hours ago");
    b.image("postgres", "16", "432MB", "3 weeks ago");
    b.image("redis", "7-alpine", "41MB", "5 weeks ago");
    b.image("blog-app", "latest", "350MB", "4 days ago");
    b.image("mariadb", "11", "404MB", "2 months ago");
    b.image("analytics-notebook", "latest", "2.1GB", "1 day ago");
    b.image("metabase/metabase", "v0.49", "700MB", "3 months ago");
    b.image("ml-lab-trainer", "latest", "6.4GB", "2 weeks ago");
    b.image("portainer/portainer-ce", "latest", "294MB", "6 weeks ago");
    b.image("shop-web", "v0.9", "498MB", "3 weeks ago");
    b.image("legacy-api", "latest", "310MB", "5 months ago");
    b.image("<none>", "<none>", "120MB", "3 weeks ago");
    b.image("node", "20-alpine", "135MB", "1 month ago");
    const QString anonMounted = hashOf("anon-3");
    b.container("shop-web-1", "shop", "shop-web:latest", true, {"shop_static"}, 12);
    b.container("shop-worker-1", "shop", "shop-worker:latest", true, {"shop_static"}, 12);
    b.container("shop-db-1", "shop", "postgres:16", true, {"shop_pgdata"}, 12);
    b.container("shop-cache-1", "shop", "redis:7-alpine", false, {"shop_redis"}, 600);
    b.container("blog-app-1", "blog", "blog-app:latest", false, {"blog_uploads"}, 3 * 24 * 60);
    b.container("blog-db-1", "blog", "mariadb:11", false, {"blog_db"}, 3 * 24 * 60);
    b.container("blog-cache-1", "blog", "redis:7-alpine", false, {}, 3 * 24 * 60);
    b.container("analytics-notebook-1", "analytics", "analytics-notebook:latest", true, {"analytics_data"}, 5);
    b.container("analytics-metabase-1", "analytics", "metabase/metabase:v0.49", true,
                {"analytics_data", "metabase_plugins"}, 5);
    b.container("ml-lab-trainer-1", "ml-lab", "ml-lab-trainer:latest", false, {"ml-lab_checkpoints", anonMounted},
                14 * 24 * 60);
    b.container("portainer", "", "portainer/portainer-ce:latest", true, {"portainer_data"}, 2 * 60);
    b.container("scratch-redis", "", "redis:7-alpine", false, {}, 9 * 24 * 60);
    b.volume("shop_pgdata", "shop", "1.2GB");
    b.volume("shop_static", "shop", "88MB");
    b.volume("shop_redis", "shop", "12MB");
    b.volume("blog_uploads", "blog", "640MB");
    b.volume("blog_db", "blog", "310MB");
    b.volume("analytics_data", "analytics", "4.3GB");
    b.volume("metabase_plugins", "", "6MB");
    b.volume("ml-lab_checkpoints", "ml-lab", "9.1GB");
    b.volume(anonMounted, "", "2MB");
    b.volume("portainer_data", "", "3MB");
    b.volume("oldshop_pgdata", "oldshop", "700MB", true);
    b.volume(hashOf("anon-1"), "", "256MB", true);
    b.volume("legacy_cache", "", "18MB");  // unmounted, yet not dangling for the engine: disputed

    CachedState& s = b.state;
    s.usageDataComplete = complete;
    s.danglingKnown = true;
    s.buildCache = {"3.4GB", SizeFormat::parseDockerSize("3.4GB"), "2.8GB", SizeFormat::parseDockerSize("2.8GB")};
    if (complete)
        for (const SGContainer& c : s.containers)
            if (!s.usedImageIDs.contains(c.imageID))
                s.usedImageIDs << c.imageID;
    return s;
}

}  // namespace stowage::screenshots
