#pragma once
// A realistic inventory as docker prints it, for the window tests that
// refresh through the fake docker: three compose projects (shop, blog, analytics) and two
// standalone containers, twelve images, nine volumes and a build cache; plus
// the variants with incomplete inspection, a stopped daemon and an empty engine.

#include "docker/Records.h"
#include "support/ScriptedDocker.h"
#include "support/TestSupport.h"

#include <QString>
#include <QStringList>

namespace stowage::test::sample {

struct Container {
    QString id, name, image, state, status, project, imageId;  // id: 12 hex digits
    QStringList volumes;
};
struct Image {
    QString id, repository, tag, size;
};
struct Volume {
    QString name, project, size;
};

inline QString imageId(char digit) { return QStringLiteral("sha256:") + QString(64, QLatin1Char(digit)); }

inline const QList<Image>& images()
{
    static const QList<Image> list = {
        {imageId('1'), "shop-web", "latest", "312MB"},       {imageId('2'), "shop-worker", "latest", "298MB"},
        {imageId('3'), "postgres", "16", "432MB"},           {imageId('4'), "blog-app", "latest", "187MB"},
        {imageId('5'), "redis", "7", "138MB"},               {imageId('6'), "analytics-jupyter", "latest", "1.9GB"},
        {imageId('7'), "portainer/portainer-ce", "latest", "294MB"},
        {imageId('8'), "alpine", "3.19", "7.4MB"},           {imageId('9'), "shop-web", "v0.9", "305MB"},
        {imageId('a'), "blog-app", "old", "181MB"},          {imageId('b'), "node", "20-alpine", "134MB"},
        {imageId('c'), "<none>", "<none>", "96MB"},
    };
    return list;
}

inline const QList<Container>& containers()
{
    static const QList<Container> list = {
        {"a1a1a1a1a1a1", "shop-web-1", "shop-web", "running", "Up 3 hours", "shop", imageId('1'), {"shop_static"}},
        {"a2a2a2a2a2a2", "shop-db-1", "postgres:16", "running", "Up 3 hours", "shop", imageId('3'), {"shop_pgdata"}},
        {"a3a3a3a3a3a3", "shop-worker-1", "shop-worker", "exited", "Exited (0) 2 hours ago", "shop", imageId('2'), {}},
        {"b1b1b1b1b1b1", "blog-app-1", "blog-app", "running", "Up 2 days", "blog", imageId('4'), {"blog_uploads"}},
        {"b2b2b2b2b2b2", "blog-redis-1", "redis:7", "running", "Up 2 days", "blog", imageId('5'), {"blog_redis"}},
        {"c1c1c1c1c1c1", "analytics-jupyter-1", "analytics-jupyter", "exited", "Exited (137) 5 days ago",
         "analytics", imageId('6'), {"analytics_notebooks"}},
        {"c2c2c2c2c2c2", "analytics-db-1", "postgres:16", "exited", "Exited (0) 5 days ago", "analytics", imageId('3'),
         {"analytics_pgdata"}},
        {"d1d1d1d1d1d1", "portainer", "portainer/portainer-ce:latest", "running", "Up 6 days", "", imageId('7'),
         {"portainer_data"}},
        {"d2d2d2d2d2d2", "scratch-shell", "alpine:3.19", "created", "Created", "", imageId('8'), {}},
    };
    return list;
}

inline const QString anonymousVolume = "3f9c2a7d0b1e4c5a8f6d2e1b0a9c8d7e6f5a4b3c2d1e0f9a8b7c6d5e4f3a2b1c";

inline const QList<Volume>& volumes()
{
    static const QList<Volume> list = {
        {"shop_pgdata", "shop", "1.2GB"},        {"shop_static", "shop", "48MB"},
        {"blog_uploads", "blog", "640MB"},       {"blog_redis", "blog", "12MB"},
        {"analytics_notebooks", "analytics", "2.3GB"}, {"analytics_pgdata", "analytics", "870MB"},
        {"portainer_data", "", "3MB"},           {"oldshop_pgdata", "oldshop", "410MB"},
        {anonymousVolume, "", "256MB"},
    };
    return list;
}

// Volumes no container mounts and the engine lists as dangling.
inline QStringList danglingVolumes() { return {"oldshop_pgdata", anonymousVolume}; }

inline QString labelsOf(const QString& project)
{
    return project.isEmpty() ? QString()
                             : QStringLiteral("com.docker.compose.project=%1,com.docker.compose.project.working_dir="
                                              "/home/dev/src/%1")
                                   .arg(project);
}

inline QString containersOut(const QList<Container>& list = containers())
{
    QString out;
    for (const auto& c : list)
        out += listingLine(QStringLiteral(R"({"ID":"%1","Names":"%2","Image":"%3","Status":"%4","State":"%5","Size":"0B","Ports":"","CreatedAt":"2024-05-01 10:11:12 +0000 UTC","Labels":"%6"})")
                               .arg(c.id, c.name, c.image, c.status, c.state, labelsOf(c.project)),
                           c.project, c.project.isEmpty() ? QString() : "/home/dev/src/" + c.project)
               + "\n";
    return out;
}

inline QString imagesOut()
{
    QString out;
    for (const auto& i : images())
        out += QStringLiteral(R"({"ID":"%1","Repository":"%2","Tag":"%3","Size":"%4","CreatedSince":"2 weeks ago"})"
                              "\n")
                   .arg(i.id, i.repository, i.tag, i.size);
    return out;
}

inline QString volumesOut()
{
    QString out;
    for (const auto& v : volumes()) {
        const QString labels = v.project.isEmpty() ? QString() : QStringLiteral("com.docker.compose.project=") + v.project;
        out += listingLine(QStringLiteral(R"({"Name":"%1","Driver":"local","Mountpoint":"/var/lib/docker/volumes/%1/_data","Labels":"%2"})")
                               .arg(v.name, labels),
                           v.project)
               + "\n";
    }
    return out;
}

inline QString volumeSizesOut()
{
    QStringList entries;
    for (const auto& v : volumes())
        entries << QStringLiteral(R"({"Name":"%1","Size":"%2"})").arg(v.name, v.size);
    return QStringLiteral(R"({"Volumes":[%1]})").arg(entries.join(','));
}

inline QString inspectOut(const QList<Container>& list = containers())
{
    QString out;
    for (const auto& c : list) {
        QStringList mounts;
        for (const auto& v : c.volumes)
            mounts << QStringLiteral(R"({"Type":"volume","Name":"%1"})").arg(v);
        out += c.id + QString(52, QLatin1Char('0')) + QStringLiteral("@@") + c.imageId + QStringLiteral("@@[")
            + mounts.join(',') + QStringLiteral("]@@2024-05-01T10:11:12.123456789Z@@2024-05-02T08:00:00Z\n");
    }
    return out;
}

// Each image on a layer of its own, of the size docker lists.
inline QString imageLayersOut()
{
    QString out;
    for (const auto& i : images())
        out += QStringLiteral("%1@@@@%2@@[\"sha256:layer-%3\"]\n")
                   .arg(i.id)
                   .arg(SizeFormat::parseDockerSize(i.size))
                   .arg(i.id.right(1));
    return out;
}

// A complete, successful refresh; `overrides` come first and win.
inline QList<FakeRule> rules(const QList<FakeRule>& overrides = {})
{
    QList<FakeRule> all = overrides;
    all << FakeRule{"ps -a", containersOut()} << FakeRule{"images -a", imagesOut()}
        << FakeRule{"volume ls --format", volumesOut()} << FakeRule{"system df -v", volumeSizesOut()}
        << FakeRule{"system df --format", R"x({"Type":"Images","TotalCount":"12","Size":"3.9GB"})x"
                                          "\n"
                                          R"x({"Type":"Build Cache","Size":"3.4GB","Reclaimable":"2.8GB (82%)"})x"}
        << FakeRule{"inspect", inspectOut()} << FakeRule{"image inspect sha256:", imageLayersOut()}
        << FakeRule{"volume ls -q", danglingVolumes().join('\n') + '\n'}
        << FakeRule{"info", "/var/lib/docker\n"};
    return all;
}

// Two containers cannot be inspected: usage data stays incomplete.
inline QList<FakeRule> incompleteRules()
{
    QList<Container> inspected = containers();
    inspected.removeLast();
    inspected.removeLast();
    return rules({FakeRule{"inspect", inspectOut(inspected), "Error: No such object: d1d1d1d1d1d1\n", 1}});
}

// Every listing fails with `err` on standard error.
inline QList<FakeRule> failingRules(const QString& err)
{
    QList<FakeRule> all;
    for (const char* match : {"ps", "images", "volume", "system", "inspect", "info"})
        all << FakeRule{match, "", err, 1};
    return all;
}

inline const QString daemonDownText =
    "Cannot connect to the Docker daemon at unix:///var/run/docker.sock. Is the docker daemon running?\n";

inline QList<FakeRule> daemonDownRules() { return failingRules(daemonDownText); }

// What both the 20.10 and the 28 client print when the engine's socket refuses the user.
inline const QString socketRefusedText =
    "permission denied while trying to connect to the Docker daemon socket at unix:///var/run/docker.sock: Get "
    "\"http://%2Fvar%2Frun%2Fdocker.sock/v1.24/containers/json\": dial unix /var/run/docker.sock: connect: "
    "permission denied";

inline QList<FakeRule> socketRefusedRules() { return failingRules(socketRefusedText); }

// An engine with nothing on it.
inline QList<FakeRule> emptyEngineRules()
{
    return {FakeRule{"ps -a", ""}, FakeRule{"images -a", ""}, FakeRule{"volume ls", ""},
            FakeRule{"system df -v", R"({"Volumes":[]})"},
            FakeRule{"system df --format", R"x({"Type":"Build Cache","Size":"0B","Reclaimable":"0B (0%)"})x"},
            FakeRule{"inspect", ""}, FakeRule{"info", "/var/lib/docker\n"}};
}

}  // namespace stowage::test::sample
