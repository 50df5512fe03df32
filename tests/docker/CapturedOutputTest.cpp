// The parsers over real output of two docker clients (28.x and 20.10) taken
// from the fixture engine; see tests/data/captures/README.md.

#include "docker/Classify.h"
#include "docker/DockerClient.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace stowage;

namespace {

QDateTime utc(int y, int mo, int d, int h, int mi, int s)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

class CapturedOutput : public testing::TestWithParam<const char*> {
protected:
    // Standard output byte for byte, as runRaw hands it over.
    QString raw(const char* name) const
    {
        QFile file(QStringLiteral(TEST_DATA_DIR "/captures/%1/%2").arg(GetParam(), name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(file.fileName());
        return QString::fromUtf8(file.readAll());
    }
    // Standard output as run hands it over: trimmed.
    QString trimmed(const char* name) const { return raw(name).trimmed(); }
};

SGContainer findContainer(const QList<SGContainer>& list, const QString& name)
{
    auto it = std::find_if(list.begin(), list.end(), [&](const SGContainer& c) { return c.name == name; });
    return it == list.end() ? SGContainer{} : *it;
}

const QString engineDir = QStringLiteral("/tmp/stowage-engine.pZ0bdF");

}  // namespace

TEST_P(CapturedOutput, ContainerListing)
{
    const auto containers = DockerClient::parseContainers(trimmed("ps-a.out"));
    QStringList ids;
    for (const auto& c : containers)
        ids << c.id;
    EXPECT_EQ(ids, (QStringList{"4ccd02ba8da4", "b0da30bf8b48", "9dee7a9b14dd", "b99168b14bd1", "5617aecd3ee3",
                                "6039cb6430b3", "b51b5d6eac15"}));

    // Inspection fills image id, mounts and times later.
    SGContainer api;
    api.id = "4ccd02ba8da4";
    api.name = "sgfx-beta_api_1";
    api.image = "sgfx-beta_api";
    api.size = "0B (virtual 1.98MB)";
    api.created = "2026-12-07 01:26:38 +0000 UTC";
    api.state = "running";
    api.project = "sgfx-beta";
    api.workingDir = engineDir + "/fixture/beta";
    api.configFiles = engineDir + "/fixture/beta/docker-compose.yml";
    SGContainer found = findContainer(containers, api.name);
    EXPECT_TRUE(found.status.startsWith("Up ")) << qPrintable(found.status);
    found.status.clear();
    found.labels.clear();
    EXPECT_EQ(found, api);

    // Started from two compose files: only the first is kept.
    EXPECT_EQ(findContainer(containers, "sgfx-delta_db_1").configFiles, engineDir + "/fixture/delta/delta-base.yml");
    EXPECT_EQ(findContainer(containers, "sgfx-alpha_worker_1").state, "exited");
    EXPECT_EQ(findContainer(containers, "sgfx-solo-idle").state, "created");

    // No compose labels; escaped and non-ASCII label text decoded.
    const SGContainer solo = findContainer(containers, "sgfx-solo");
    EXPECT_TRUE(solo.project.isEmpty());
    EXPECT_TRUE(solo.workingDir.isEmpty());
    EXPECT_EQ(Classify::label(solo.labels, "org.stowage.fixture.owner"), QString::fromUtf8("Zoë & Co <ops>"));
    EXPECT_EQ(Classify::label(solo.labels, "org.stowage.fixture.query"), "a=b");
}

TEST_P(CapturedOutput, ImageListing)
{
    const auto images = DockerClient::parseImages(trimmed("images-a.out"));
    ASSERT_EQ(images.size(), 14);
    int dangling = 0;
    int soloTags = 0;
    for (const SGImage& image : images) {
        EXPECT_TRUE(image.id.startsWith("sha256:")) << qPrintable(image.id);
        EXPECT_EQ(image.id.size(), 71);
        EXPECT_EQ(image.size, "1.98MB");
        EXPECT_EQ(image.sizeBytes, 1980000);  // 1.98 × 1000²
        EXPECT_TRUE(image.created.endsWith(" ago")) << qPrintable(image.created);
        if (image.repository == "<none>") {
            EXPECT_EQ(image.tag, "<none>");
            ++dangling;
        }
        if (image.repository == "sgfx-solo") {
            EXPECT_EQ(image.id, "sha256:9d5c33b93fd417b816a8bceb0bb85aab8c84be954a85bea0a37c5b03f459c7f6");
            ++soloTags;
        }
    }
    EXPECT_EQ(dangling, 3);
    EXPECT_EQ(soloTags, 2);  // one image under two tags: two records
}

TEST_P(CapturedOutput, VolumeListing)
{
    const auto volumes = DockerClient::parseVolumes(trimmed("volume-ls.out"));
    ASSERT_EQ(volumes.size(), 9);
    QHash<QString, QString> projects;
    for (const SGVolume& v : volumes) {
        EXPECT_EQ(v.driver, "local");
        EXPECT_EQ(v.mountpoint, engineDir + "/data/volumes/" + v.name + "/_data");
        EXPECT_EQ(v.sizeBytes, 0);
        projects.insert(v.name, v.project);
    }
    EXPECT_EQ(projects.value("sgfx-alpha_shared-data"), "sgfx-alpha");
    EXPECT_EQ(projects.value("sgfx-gamma_db"), "sgfx-gamma");
    EXPECT_EQ(projects.value("sgfx-loose"), "");
    EXPECT_EQ(projects.value("e92139ace83d9d64be70c3929119f82849e486c2e0533e66ebf010cfdfdb13d5"), "");
}

TEST_P(CapturedOutput, DiskUsage)
{
    // The build-cache row carries no percentage; the others do.
    const BuildCache cache = DockerClient::parseBuildCache(trimmed("system-df.out"));
    EXPECT_EQ(cache, (BuildCache{"1.983MB", 1983000, "1.983MB", 1983000}));

    const QHash<QString, qint64> expected{
        {"sgfx-alpha_shared-data", 1573000},
        {"sgfx-alpha_spool", 0},
        {"sgfx-gamma_db", 3146000},
        {"sgfx-loose", 0},
        {"sgfx-solo-data", 524300},
        {"e92139ace83d9d64be70c3929119f82849e486c2e0533e66ebf010cfdfdb13d5", 0},
        {"333b3fdd928738d7237a83d72fc3597141ea33f9ba8af8f8b14a3d0473052e29", 2097000},
        {"sgfx-beta_state", 0},
        {"sgfx-delta_store", 0},
    };
    EXPECT_EQ(DockerClient::parseVolumeSizes(raw("system-df-v.out")), expected);
}

TEST_P(CapturedOutput, RootAndDanglingNames)
{
    EXPECT_EQ(DockerClient::parseDockerRoot(trimmed("info-root.out")), engineDir + "/data");
    EXPECT_EQ(DockerClient::parseDanglingNames(trimmed("volume-ls-dangling.out")),
              (QSet<QString>{"333b3fdd928738d7237a83d72fc3597141ea33f9ba8af8f8b14a3d0473052e29", "sgfx-gamma_db",
                             "sgfx-loose"}));
}

TEST_P(CapturedOutput, Inspection)
{
    const auto details = DockerClient::parseInspect(raw("inspect.out"));
    const QStringList requested = raw("inspect.ids").split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(requested.size(), 7);
    ASSERT_EQ(details.size(), 7);
    for (const QString& id : requested)
        EXPECT_TRUE(details.contains(id)) << qPrintable(id);

    auto mountSet = [&](const char* id) {
        const QStringList mounts = details.value(id).mounts;
        return QSet<QString>(mounts.begin(), mounts.end());
    };
    // Mount order is not stable between runs; the named volumes are.
    EXPECT_EQ(mountSet("b51b5d6eac15"),
              (QSet<QString>{"sgfx-alpha_shared-data",
                             "e92139ace83d9d64be70c3929119f82849e486c2e0533e66ebf010cfdfdb13d5"}));
    EXPECT_EQ(mountSet("4ccd02ba8da4"), (QSet<QString>{"sgfx-alpha_shared-data", "sgfx-beta_state"}));
    EXPECT_TRUE(details.value("b0da30bf8b48").mounts.isEmpty());

    // A mount destination with "@@": six parts, the times are still right.
    const ContainerDetail db = details.value("9dee7a9b14dd");
    EXPECT_EQ(db, (ContainerDetail{"sha256:680e680a425d5e29b4431cc50991e8b73786f2817e4a62638461b29f70672450",
                                   {"sgfx-delta_store"}, db.startedAt, utc(2026, 12, 7, 1, 26, 45)}));  // whole second
    EXPECT_TRUE(db.startedAt.has_value());

    // Never started: tmpfs and bind mounts only, Docker's zero time for both.
    const ContainerDetail idle = details.value("b99168b14bd1");
    EXPECT_EQ(idle, (ContainerDetail{idle.imageID, {}, std::nullopt, std::nullopt}));
    const ContainerDetail worker = details.value("6039cb6430b3");
    EXPECT_EQ(worker.startedAt, utc(2026, 12, 7, 1, 26, 34));
    EXPECT_EQ(worker.finishedAt, worker.startedAt);
    // Eight fraction digits (a trailing zero dropped, in one of the captures) parse as well.
    EXPECT_TRUE(details.value("4ccd02ba8da4").startedAt.has_value());
    for (const ContainerDetail& d : details)
        EXPECT_TRUE(d.imageID.startsWith("sha256:"));
}

INSTANTIATE_TEST_SUITE_P(BothClients, CapturedOutput, testing::Values("client28", "client20"));
