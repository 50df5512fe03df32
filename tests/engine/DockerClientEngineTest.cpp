// The query facade against the real engine, with both docker clients: every listing parses
// into what docker itself prints, batched inspection merges, and an image goes with all its names
// or stays as it was. (A volume batch docker refuses in part: CleanupE2ETest.)

#include "EngineRig.h"

#include "docker/Classify.h"
#include "docker/DockerError.h"

#include <gmock/gmock.h>

#include <QHash>

namespace stowage::test {
namespace {

using ::testing::Contains;

class DockerClientEngineTest : public EngineTest, public ::testing::WithParamInterface<QString> {
protected:
    QStringList dockerLines(const QStringList& args) const { return engine.lines(args, GetParam()); }
};

// Every listing parses into the fixture's facts and into what docker itself prints.
TEST_P(DockerClientEngineTest, ListingsAndDiskUsageParseIntoWhatDockerPrints)
{
    EngineModelRig rig(engine, {.client = GetParam()});
    const QList<SGContainer> containers = rig.client->containers();
    ASSERT_EQ(containers.size(), count("containers"));
    for (const SGContainer& container : containers) {
        SCOPED_TRACE(container.name.toStdString());
        const QJsonObject fixture = entry("containers", container.name);
        const QJsonObject project = expected.value("projects").toObject().value(fixture.value("project").toString()).toObject();
        EXPECT_EQ(container.id, shortId(engine.containerId(container.name)));
        EXPECT_EQ(container.image, fixture.value("image").toString());
        EXPECT_EQ(container.state, fixture.value("state").toString());
        EXPECT_EQ(container.project, fixture.value("project").toString());
        EXPECT_EQ(container.workingDir, project.value("path").toString());
        // Two compose files in sgfx-delta's label: only the first one is kept.
        EXPECT_EQ(container.configFiles, project.value("configFiles").toString());
        // docker escapes & < > inside its JSON; the values hold a non-ASCII letter and an "=".
        if (container.name == "sgfx-solo") {
            EXPECT_EQ(Classify::label(container.labels, "org.stowage.fixture.owner"), QStringLiteral("Zoë & Co <ops>"));
            EXPECT_EQ(Classify::label(container.labels, "org.stowage.fixture.query"), "a=b");
        }
    }

    QStringList rows;
    for (const SGImage& image : rig.client->images()) {
        rows << image.id + " " + image.repository + ":" + image.tag + " " + image.size;
        SCOPED_TRACE(rows.last().toStdString());
        EXPECT_EQ(image.sizeBytes, dockerReading(engine.line({"image", "inspect", image.id, "--format", "{{.Size}}"}).toLongLong(), 3));
    }
    // docker orders images created in the same second differently from one call to the next.
    EXPECT_EQ(sorted(rows), sorted(dockerLines({"images", "-a", "--no-trunc", "--format", "{{.ID}} {{.Repository}}:{{.Tag}} {{.Size}}"})));
    EXPECT_EQ(rows.size(), count("imageRows"));

    const BuildCache cache = rig.client->buildCache();
    EXPECT_GT(cache.sizeBytes, 0);
    EXPECT_EQ(cache.size + " " + cache.reclaimable,
              dockerLines({"system", "df", "--format", R"({{if eq .Type "Build Cache"}}{{.Size}} {{.Reclaimable}}{{end}})"}).value(0));
    EXPECT_EQ(rig.client->dockerRoot(), engine.engineDir() + "/data");

    QHash<QString, SGVolume> listed;
    for (const SGVolume& volume : rig.client->volumes())
        listed.insert(volume.name, volume);
    const QHash<QString, qint64> sizes = rig.client->volumeSizes();
    QStringList dangling;
    EXPECT_EQ(listed.size(), count("volumes"));
    EXPECT_EQ(sizes.size(), count("volumes"));
    for (const QJsonValue& value : expected.value("volumes").toArray()) {
        const QString name = engine.volumeName(value["name"].toString());
        SCOPED_TRACE(name.toStdString());
        ASSERT_TRUE(listed.contains(name) && sizes.contains(name));
        EXPECT_EQ(listed[name].project, value["project"].toString());
        EXPECT_EQ(listed[name].mountpoint, engine.engineDir() + "/data/volumes/" + name + "/_data");
        EXPECT_EQ(sizes[name], dockerReading(value["contentBytes"].toInteger()));  // the bytes build-fixture.sh wrote
        if (value["dangling"].toBool())
            dangling << name;
    }
    EXPECT_EQ(sorted(rig.client->danglingVolumeNames()), sorted(dangling));
}

// docker's time stamp to whole seconds since the epoch, read without the code under test.
qint64 dockerSeconds(const QString& text)
{
    return QDateTime::fromString(text.left(19) + "Z", Qt::ISODate).toSecsSinceEpoch();
}

// In batches of 3 (3, 3, 2 ids), one of them unknown to the engine: it alone is missing, with
// docker's error, and the others still count. sgfx-delta_db_1 mounts its volume at /data@@x,
// which puts an extra "@@" into its inspect line.
TEST_P(DockerClientEngineTest, InspectionInSeveralBatchesCoversEveryContainer)
{
    EngineModelRig rig(engine, {.limits = {.inspectBatchSize = 3, .inspectBatchMax = 3}, .client = GetParam()});
    const QString unknown = "0123456789ab0123456789ab0123456789ab0123456789ab0123456789abcdef";
    QStringList ids{unknown};
    QHash<QString, QString> nameOfId;
    for (const SGContainer& container : rig.client->containers()) {
        ids << container.id;
        nameOfId.insert(container.id, container.name);
    }
    ASSERT_EQ(nameOfId.size(), count("containers"));

    const DockerClient::InspectOutcome outcome = rig.client->inspectMany(ids);
    EXPECT_EQ(outcome.missing, QStringList{unknown});
    EXPECT_EQ(outcome.errors, QStringList{"Error: No such object: " + unknown});
    EXPECT_EQ(sorted(outcome.details.keys()), sorted(nameOfId.keys()));
    for (auto it = nameOfId.cbegin(); it != nameOfId.cend(); ++it) {
        SCOPED_TRACE(it.value().toStdString());
        const ContainerDetail detail = outcome.details.value(it.key());
        const QJsonObject fixture = entry("containers", it.value());
        EXPECT_EQ(detail.imageID, engine.imageId(fixture.value("imageRef").toString()));
        // Named and anonymous volumes only; the bind and tmpfs mounts of sgfx-solo-idle are left out.
        EXPECT_EQ(sorted(detail.mounts), sorted(volumesOf(jsonStrings(fixture.value("volumes")))));
        const QStringList times = dockerLines({"inspect", it.value(), "--format", "{{.State.StartedAt}}\n{{.State.FinishedAt}}"});
        ASSERT_EQ(times.size(), 2);
        // Never started: both times are docker's zero time and read as absent. Every running
        // container was restarted once by the fixture's snapshot, so its last finish is set.
        ASSERT_EQ(detail.startedAt.has_value(), fixture.value("started").toBool());
        ASSERT_EQ(detail.finishedAt.has_value(), fixture.value("started").toBool());
        if (detail.startedAt) {
            EXPECT_EQ(detail.startedAt->toSecsSinceEpoch(), dockerSeconds(times[0]));
            EXPECT_EQ(detail.finishedAt->toSecsSinceEpoch(), dockerSeconds(times[1]));
        }
    }
}

// An image is removed with all its names in one step, never forced; when the engine keeps it
// (a container uses it, another image is built on it), every name it had is still there.
TEST_P(DockerClientEngineTest, RemoveImageDeletesByAllNamesAndLeavesARefusedImageAsItWas)
{
    engine.markChanged();
    EngineModelRig rig(engine, {.client = GetParam()});
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
    const QString parent = engine.line({"image", "inspect", "--format", "{{.Parent}}", "sgfx-alpha_web:latest"});
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
    EXPECT_THAT(rig.removalCalls(), Contains(QStringList{"rmi", "sgfx-gamma_app:latest", "sgfx-gamma_worker:latest"}));
}

INSTANTIATE_TEST_SUITE_P(BothClients, DockerClientEngineTest,
                         ::testing::Values(Engine::docker20Client(), Engine::docker28Client()),
                         [](const ::testing::TestParamInfo<QString>& info) {
                             return std::string(info.param == Engine::docker20Client() ? "Client20" : "Client28");
                         });

}  // namespace
}  // namespace stowage::test
