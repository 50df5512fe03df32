// The query facade against the real engine, with both docker clients: every listing parses
// into the fixture's facts, batched inspection merges and reports as documented, and the
// removal operations remove what docker confirms and report what it refuses.

#include "EngineRig.h"

#include "docker/Classify.h"
#include "docker/DockerError.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QHash>

using namespace stowage;
using namespace stowage::test;
using ::testing::Contains;

namespace {

class DockerClientEngineTest : public EngineTest, public ::testing::WithParamInterface<QString> {
protected:
    QString dockerClient() const { return GetParam(); }

    // The fixture's entry named `name` in the array `key` of expected.json.
    QJsonObject expectedEntry(const char* key, const QString& field, const QString& name) const
    {
        for (const QJsonValue& value : expected.value(key).toArray()) {
            if (value.toObject().value(field).toString() == name)
                return value.toObject();
        }
        ADD_FAILURE() << "no " << key << " entry " << name.toStdString() << " in expected.json";
        return {};
    }

    QJsonObject expectedProject(const QString& name) const
    {
        return expected.value("projects").toObject().value(name).toObject();
    }

    // A docker fact read with the client under test: one trimmed line.
    QString dockerLine(const QStringList& args) const
    {
        return QString::fromUtf8(engine.docker(args, dockerClient())).trimmed();
    }
};

TEST_P(DockerClientEngineTest, ContainersCarryTheirComposeLabels)
{
    EngineClientRig rig(engine, dockerClient());
    const QList<SGContainer> containers = rig.client->containers();
    ASSERT_EQ(containers.size(), expectedCount(expected, "containers"));
    for (const SGContainer& container : containers) {
        SCOPED_TRACE(container.name.toStdString());
        const QJsonObject fixture = expectedEntry("containers", "name", container.name);
        const QJsonObject project = expectedProject(fixture.value("project").toString());
        EXPECT_EQ(container.id, engine.containerId(container.name).left(12));
        EXPECT_EQ(container.image, fixture.value("image").toString());
        EXPECT_EQ(container.state, fixture.value("state").toString());
        EXPECT_EQ(container.project, fixture.value("project").toString());
        EXPECT_EQ(container.workingDir, project.value("path").toString());
        // Two compose files in the label: only the first one is kept.
        EXPECT_EQ(container.configFiles, project.value("configFiles").toString());
        EXPECT_TRUE(container.ports.isEmpty());
        EXPECT_FALSE(container.status.isEmpty());
        EXPECT_FALSE(container.created.isEmpty());
        // Nothing of the inspection is known from the listing alone.
        EXPECT_TRUE(container.imageID.isEmpty());
        EXPECT_TRUE(container.mounts.isEmpty());
        EXPECT_FALSE(container.startedAt.has_value());
    }
}

TEST_P(DockerClientEngineTest, LabelValuesAreDecodedFromDockersJson)
{
    EngineClientRig rig(engine, dockerClient());
    const QList<SGContainer> containers = rig.client->containers();
    const auto solo = std::find_if(containers.begin(), containers.end(),
                                   [](const SGContainer& c) { return c.name == "sgfx-solo"; });
    ASSERT_NE(solo, containers.end());
    // docker escapes & < > inside its JSON, and the value holds a non-ASCII letter and an "=".
    EXPECT_EQ(Classify::label(solo->labels, "org.stowage.fixture.owner"), QStringLiteral("Zoë & Co <ops>"));
    EXPECT_EQ(Classify::label(solo->labels, "org.stowage.fixture.query"), "a=b");
    EXPECT_TRUE(solo->project.isEmpty());
}

TEST_P(DockerClientEngineTest, ImagesListEveryRowWithItsIdAndSize)
{
    EngineClientRig rig(engine, dockerClient());
    const QList<SGImage> images = rig.client->images();
    ASSERT_EQ(images.size(), expectedCount(expected, "imageRows"));

    QStringList rows;
    QSet<QString> ids;
    for (const SGImage& image : images) {
        SCOPED_TRACE(image.repository.toStdString() + ":" + image.tag.toStdString());
        rows << image.id + " " + image.repository + ":" + image.tag;
        ids << image.id;
        EXPECT_TRUE(image.id.startsWith("sha256:"));
        EXPECT_GT(image.sizeBytes, 0);
        EXPECT_EQ(image.sizeBytes, SizeFormat::parseDockerSize(image.size));
        EXPECT_FALSE(image.created.isEmpty());
    }
    // docker orders images created in the same second differently from one call to the next.
    EXPECT_EQ(sorted(rows), sorted(engine.lines({"images", "-a", "--no-trunc", "--format", "{{.ID}} {{.Repository}}:{{.Tag}}"},
                                                dockerClient())));
    EXPECT_EQ(ids.size(), expectedCount(expected, "imageIds"));
    EXPECT_EQ(std::count_if(images.begin(), images.end(), [](const SGImage& i) { return i.repository == "<none>"; }),
              expectedCount(expected, "untaggedImageRows"));
    for (const QJsonValue& value : expected.value("images").toArray()) {
        const QJsonObject fixture = value.toObject();
        if (fixture.value("repository").toString() == "<none>")
            continue;
        const QString row = engine.imageId(fixture.value("ref").toString()) + " " + fixture.value("ref").toString();
        EXPECT_THAT(rows, Contains(row));
    }
}

TEST_P(DockerClientEngineTest, VolumesCarryTheirProjectLabel)
{
    EngineClientRig rig(engine, dockerClient());
    const QList<SGVolume> volumes = rig.client->volumes();
    QHash<QString, SGVolume> byName;
    for (const SGVolume& volume : volumes)
        byName.insert(volume.name, volume);
    ASSERT_EQ(volumes.size(), expectedCount(expected, "volumes"));
    ASSERT_EQ(byName.size(), volumes.size());
    for (const QJsonValue& value : expected.value("volumes").toArray()) {
        const QJsonObject fixture = value.toObject();
        const QString name = engine.volumeName(fixture.value("name").toString());
        SCOPED_TRACE(fixture.value("name").toString().toStdString() + " = " + name.toStdString());
        ASSERT_TRUE(byName.contains(name));
        const SGVolume& volume = byName[name];
        EXPECT_EQ(volume.project, fixture.value("project").toString());
        EXPECT_EQ(volume.driver, "local");
        EXPECT_EQ(volume.mountpoint, engine.engineDir() + "/data/volumes/" + name + "/_data");
        EXPECT_EQ(volume.sizeBytes, 0);  // sizes come from the disk-usage query
    }
}

TEST_P(DockerClientEngineTest, DiskUsageAndEngineFacts)
{
    EngineClientRig rig(engine, dockerClient());

    const BuildCache cache = rig.client->buildCache();
    EXPECT_GT(cache.sizeBytes, 0);
    EXPECT_GT(cache.reclaimableBytes, 0);
    EXPECT_EQ(cache.size + " " + cache.reclaimable,
              dockerLine({"system", "df", "--format",
                          "{{if eq .Type \"Build Cache\"}}{{.Size}} {{.Reclaimable}}{{end}}"}));

    const QHash<QString, qint64> sizes = rig.client->volumeSizes();
    EXPECT_EQ(sizes.size(), expectedCount(expected, "volumes"));
    for (const QJsonValue& value : expected.value("volumes").toArray()) {
        const QJsonObject fixture = value.toObject();
        const QString name = engine.volumeName(fixture.value("name").toString());
        SCOPED_TRACE(name.toStdString());
        ASSERT_TRUE(sizes.contains(name));
        EXPECT_EQ(sizes[name], SizeFormat::parseDockerSize(fixture.value("sizeText").toString()));
        // Docker prints four digits of decimal units: the content, to within 0.05%.
        const double content = fixture.value("contentBytes").toDouble();
        EXPECT_NEAR(double(sizes[name]), content, 0.0005 * content);
    }

    EXPECT_EQ(rig.client->dockerRoot(), engine.engineDir() + "/data");

    const QSet<QString> dangling = rig.client->danglingVolumeNames();
    QStringList expectedDangling;
    for (const QJsonValue& value : expected.value("volumes").toArray()) {
        if (value.toObject().value("dangling").toBool())
            expectedDangling << engine.volumeName(value.toObject().value("name").toString());
    }
    EXPECT_EQ(sorted(dangling), sorted(expectedDangling));
    EXPECT_EQ(dangling.size(), expectedCount(expected, "danglingVolumes"));
}

// docker's time stamp to whole seconds since the epoch, read without the code under test.
qint64 dockerSeconds(const QString& text)
{
    return QDateTime::fromString(text.left(19) + "Z", Qt::ISODate).toSecsSinceEpoch();
}

TEST_P(DockerClientEngineTest, InspectionInSeveralBatchesCoversEveryContainer)
{
    DockerClient::Limits limits;
    limits.inspectBatchSize = 3;  // 7 containers: batches of 3, 3 and 1
    EngineClientRig rig(engine, dockerClient(), limits);
    QStringList ids;
    QHash<QString, QString> nameOfId;
    for (const SGContainer& container : rig.client->containers()) {
        ids << container.id;
        nameOfId.insert(container.id, container.name);
    }
    ASSERT_EQ(ids.size(), expectedCount(expected, "containers"));

    const DockerClient::InspectOutcome outcome = rig.client->inspectMany(ids);
    EXPECT_TRUE(outcome.missing.isEmpty()) << outcome.missing.join(' ').toStdString();
    EXPECT_TRUE(outcome.errors.isEmpty()) << outcome.errors.join('\n').toStdString();
    ASSERT_EQ(outcome.details.size(), ids.size());

    for (const QString& id : ids) {
        const QString name = nameOfId[id];
        SCOPED_TRACE(name.toStdString());
        ASSERT_TRUE(outcome.details.contains(id.left(12)));
        const ContainerDetail& detail = outcome.details[id.left(12)];
        const QJsonObject fixture = expectedEntry("containers", "name", name);
        EXPECT_EQ(detail.imageID, engine.imageId(fixture.value("imageRef").toString()));
        // Named and anonymous volumes only; the bind and tmpfs mounts of sgfx-solo-idle are left out.
        EXPECT_EQ(sorted(detail.mounts), sorted(realVolumeNames(engine, jsonStrings(fixture.value("volumes")))));

        const QStringList times = engine.lines(
            {"inspect", name, "--format", "{{.State.StartedAt}}\n{{.State.FinishedAt}}"}, dockerClient());
        ASSERT_EQ(times.size(), 2);
        ASSERT_EQ(detail.startedAt.has_value(), fixture.value("started").toBool());
        ASSERT_EQ(detail.finishedAt.has_value(), fixture.value("finished").toBool());
        if (detail.startedAt) {
            EXPECT_EQ(detail.startedAt->toSecsSinceEpoch(), dockerSeconds(times[0]));
        }
        if (detail.finishedAt) {
            EXPECT_EQ(detail.finishedAt->toSecsSinceEpoch(), dockerSeconds(times[1]));
        }
        // Running containers were restarted once: their last finish lies before their start.
        if (fixture.value("state").toString() == "running") {
            ASSERT_TRUE(detail.startedAt && detail.finishedAt);
            EXPECT_LT(*detail.finishedAt, *detail.startedAt);
        }
    }
}

TEST_P(DockerClientEngineTest, AMountPathWithTheSeparatorKeepsTimesAndMounts)
{
    // sgfx-delta_db_1 mounts its volume at /data@@x: its inspect line has an extra "@@".
    EngineClientRig rig(engine, dockerClient());
    const QString id = engine.containerId("sgfx-delta_db_1");
    const auto outcome = rig.client->inspectMany({id});
    ASSERT_TRUE(outcome.details.contains(id.left(12)));
    const ContainerDetail& detail = outcome.details[id.left(12)];
    EXPECT_EQ(detail.mounts, QStringList{"sgfx-delta_store"});
    EXPECT_EQ(detail.imageID, engine.imageId("redis:7"));
    ASSERT_TRUE(detail.startedAt.has_value());
    EXPECT_EQ(detail.startedAt->toSecsSinceEpoch(),
              dockerSeconds(engine.lines({"inspect", id, "--format", "{{.State.StartedAt}}"}).value(0)));
    EXPECT_TRUE(detail.finishedAt.has_value());
}

TEST_P(DockerClientEngineTest, AnUnknownIdIsMissingWithOneErrorAndTheOthersStillCount)
{
    EngineClientRig rig(engine, dockerClient());
    const QString web = engine.containerId("sgfx-alpha_web_1").left(12);
    const QString idle = engine.containerId("sgfx-solo-idle");
    const QString unknown = "0123456789ab0123456789ab0123456789ab0123456789ab0123456789abcdef";
    const auto outcome = rig.client->inspectMany({web, unknown, idle});
    EXPECT_EQ(outcome.missing, QStringList{unknown});
    EXPECT_EQ(outcome.errors, QStringList{"Error: No such object: " + unknown});
    EXPECT_EQ(sorted(outcome.details.keys()), sorted(QStringList{web, idle.left(12)}));
}

TEST_P(DockerClientEngineTest, BatchRemoveRemovesWhatItCanAndReportsTheVolumeInUse)
{
    RestoreFixtureAtEnd restore(engine);
    DockerClient::Limits limits;
    limits.removeBatchSize = 2;
    EngineClientRig rig(engine, dockerClient(), limits);
    const QString orphan = engine.volumeName("anonymous:orphan");
    const QString soloId = engine.containerId("sgfx-solo");
    // sgfx-solo-data is mounted by the running sgfx-solo; the other three are orphans.
    const QStringList items = {"sgfx-loose", "sgfx-solo-data", orphan, "sgfx-gamma_db"};

    const DockerClient::BatchResult result = rig.client->batchRemove("volume", {"volume", "rm"}, items);

    EXPECT_EQ(sorted(result.removed), sorted(QStringList{"sgfx-loose", orphan, "sgfx-gamma_db"}));
    EXPECT_EQ(result.errors, QStringList{"volume sgfx-solo-data: Error response from daemon: remove sgfx-solo-data: "
                                         "volume is in use - ["
                                         + soloId + "]"});
    EXPECT_FALSE(result.timedOut);
    const QStringList left = engine.lines({"volume", "ls", "-q"});
    EXPECT_THAT(left, Contains(QString("sgfx-solo-data")));
    for (const QString& gone : {QString("sgfx-loose"), orphan, QString("sgfx-gamma_db")})
        EXPECT_FALSE(left.contains(gone)) << gone.toStdString();
    EXPECT_EQ(left.size(), expectedCount(expected, "volumes") - 3);
    const QStringList messages = rig.messages();
    EXPECT_EQ(messages.count("→ volume rm ×2"), 2);
    EXPECT_THAT(messages, Contains(QString("✓ volume rm: 1/2 removed")));
    EXPECT_THAT(messages, Contains(QString("✓ volume rm: 2/2 removed")));
}

// An image is removed with all its names in one step, never forced; when the engine keeps it
// (a container uses it, another image is built on it), every name it had is still there.
TEST_P(DockerClientEngineTest, RemoveImageDeletesByAllNamesAndLeavesARefusedImageAsItWas)
{
    RestoreFixtureAtEnd restore(engine);
    EngineClientRig rig(engine, dockerClient());
    const auto unitOf = [&](const QStringList& names) {
        return ImageUnit{engine.imageId(names[0]), names, names.join(", "), {}, 0};
    };
    const auto namesOf = [&](const QString& id) {
        return sorted(engine.lines({"image", "inspect", "--format", "{{range .RepoTags}}{{println .}}{{end}}", id}));
    };

    // Named in two repositories (a compose 1.x build shared by two services).
    const ImageUnit gamma = unitOf({"sgfx-gamma_app:latest", "sgfx-gamma_worker:latest"});
    EXPECT_NO_THROW(rig.client->removeImage(gamma, 180));
    EXPECT_FALSE(engine.run({"image", "inspect", gamma.id}).ok());

    engine.docker({"tag", "redis:7", "sgfx-mirror/redis:7"});
    const QString parent = QString::fromUtf8(engine.docker({"image", "inspect", "--format", "{{.Parent}}",
                                                            "sgfx-alpha_web:latest"})).trimmed();
    engine.docker({"tag", parent, "sgfx-base:1"});
    engine.docker({"tag", parent, "sgfx-base-copy:1"});
    const struct {
        ImageUnit image;
        QString error;
    } refused[] = {
        {unitOf({"redis:7", "sgfx-mirror/redis:7"}), "Error response from daemon: conflict"},  // running containers
        {unitOf({"sgfx-base:1", "sgfx-base-copy:1"}), "docker kept the image (another image is built on it)"},
        {unitOf({"sgfx-alpha_worker:latest"}), "Error response from daemon: conflict"},  // one name: by id
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.image.name.toStdString());
        const QStringList before = namesOf(c.image.id);
        ASSERT_EQ(before.size(), c.image.references.size());
        try {
            rig.client->removeImage(c.image, 180);
            ADD_FAILURE() << "docker removed an image it should refuse";
        } catch (const DockerError& error) {
            EXPECT_EQ(error.kind(), DockerError::Kind::commandFailed);
            EXPECT_TRUE(error.description().startsWith(c.error)) << error.description().toStdString();
        }
        EXPECT_EQ(namesOf(c.image.id), before);
    }
}

INSTANTIATE_TEST_SUITE_P(BothClients, DockerClientEngineTest,
                         ::testing::Values(Engine::docker20Client(), Engine::docker28Client()),
                         [](const ::testing::TestParamInfo<QString>& info) {
                             return info.param == Engine::docker20Client() ? std::string("Client20")
                                                                           : std::string("Client28");
                         });

}  // namespace
