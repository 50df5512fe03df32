// The private engine answers on its own socket and holds the fixture that expected.json
// describes, for both docker clients; rebuildFixture brings it back after changes.
#include "EngineSupport.h"

#include <QJsonArray>
#include <QHash>
#include <QSet>

namespace stowage::test {
namespace {

using EngineSmokeTest = EngineTest;

QStringList strings(const QJsonValue& array)
{
    QStringList result;
    for (const QJsonValue& value : array.toArray())
        result << value.toString();
    return result;
}

int count(const QJsonObject& expected, const char* key) { return expected.value("counts").toObject().value(key).toInt(-1); }

TEST_F(EngineSmokeTest, AnswersOnItsOwnSocketWithItsOwnDataRoot)
{
    EXPECT_TRUE(engine.dockerHost().startsWith("unix:///tmp/stowage-engine."));
    for (const QString& client : {Engine::docker20Client(), Engine::docker28Client()}) {
        SCOPED_TRACE(client.toStdString());
        EXPECT_EQ(engine.lines({"info", "--format", "{{.DockerRootDir}}"}, client),
                  QStringList{engine.engineDir() + "/data"});
    }
}

TEST_F(EngineSmokeTest, ListingCountsMatchTheFixture)
{
    struct Listing {
        QStringList args;
        const char* countKey;
    };
    const Listing listings[] = {
        {{"ps", "-a", "--format", "{{json .}}"}, "containers"},
        {{"ps", "--format", "{{json .}}"}, "runningContainers"},
        {{"images", "-a", "--no-trunc", "--format", "{{json .}}"}, "imageRows"},
        {{"images", "-q", "--filter", "dangling=true"}, "danglingImages"},
        {{"volume", "ls", "--format", "{{json .}}"}, "volumes"},
        {{"volume", "ls", "-q", "--filter", "dangling=true"}, "danglingVolumes"},
    };
    for (const QString& client : {Engine::docker20Client(), Engine::docker28Client()}) {
        for (const Listing& listing : listings) {
            SCOPED_TRACE(client.toStdString() + " " + listing.args.join(' ').toStdString());
            EXPECT_EQ(engine.lines(listing.args, client).size(), count(expected, listing.countKey));
        }
    }
    const QStringList ids = engine.lines({"images", "-a", "-q", "--no-trunc"});
    EXPECT_EQ(QSet<QString>(ids.begin(), ids.end()).size(), count(expected, "imageIds"));
}

// expected.json is written by hand: check its containers against the engine, so that it cannot
// drift from what build-fixture.sh makes.
TEST_F(EngineSmokeTest, ContainersMatchTheFixtureDescription)
{
    for (const QJsonValue& value : expected.value("containers").toArray()) {
        const QJsonObject container = value.toObject();
        const QString name = container.value("name").toString();
        SCOPED_TRACE(name.toStdString());
        const QStringList facts = engine.lines(
            {"inspect", name, "--format",
             "{{.State.Status}}\n{{index .Config.Labels \"com.docker.compose.project\"}}|\n{{.Config.Image}}\n"
             "{{range .Mounts}}{{if eq .Type \"volume\"}}{{.Name}} {{end}}{{end}}|"});
        ASSERT_EQ(facts.size(), 4);
        EXPECT_EQ(facts[0], container.value("state").toString());
        EXPECT_EQ(facts[1], container.value("project").toString() + "|");
        EXPECT_EQ(facts[2], container.value("image").toString());
        QStringList mounted = facts[3].chopped(1).split(' ', Qt::SkipEmptyParts);
        QStringList wanted;
        for (const QString& volume : strings(container.value("volumes")))
            wanted << engine.volumeName(volume);
        mounted.sort();
        wanted.sort();
        EXPECT_EQ(mounted, wanted);
    }
}

TEST_F(EngineSmokeTest, VolumesMatchTheFixtureDescription)
{
    const QStringList danglingList = engine.lines({"volume", "ls", "-q", "--filter", "dangling=true"});
    const QSet<QString> dangling(danglingList.begin(), danglingList.end());
    for (const QJsonValue& value : expected.value("volumes").toArray()) {
        const QJsonObject volume = value.toObject();
        const QString name = engine.volumeName(volume.value("name").toString());
        SCOPED_TRACE(volume.value("name").toString().toStdString() + " = " + name.toStdString());
        ASSERT_FALSE(name.isEmpty());
        EXPECT_EQ(engine.lines({"volume", "inspect", name, "--format",
                                "{{index .Labels \"com.docker.compose.project\"}}|"}),
                  QStringList{volume.value("project").toString() + "|"});
        EXPECT_EQ(dangling.contains(name), volume.value("dangling").toBool());
        QStringList mounters = engine.lines({"ps", "-a", "--filter", "volume=" + name, "--format", "{{.Names}}"});
        mounters.sort();
        EXPECT_EQ(mounters, strings(volume.value("mountedBy")));
    }
}

TEST_F(EngineSmokeTest, ImagesMatchTheFixtureDescription)
{
    // Which image id each container runs, by container name.
    QHash<QString, QString> imageOfContainer;
    for (const QString& line : engine.lines({"ps", "-a", "--format", "{{.Names}}"}))
        imageOfContainer[line] = QString::fromUtf8(engine.docker({"inspect", line, "--format", "{{.Image}}"})).trimmed();
    for (const QJsonValue& value : expected.value("images").toArray()) {
        const QJsonObject image = value.toObject();
        if (image.value("repository").toString() == "<none>")
            continue;  // counted by ListingCountsMatchTheFixture
        const QString ref = image.value("ref").toString();
        SCOPED_TRACE(ref.toStdString());
        const QString id = engine.imageId(ref);
        ASSERT_TRUE(id.startsWith("sha256:"));
        QStringList users;
        for (auto it = imageOfContainer.cbegin(); it != imageOfContainer.cend(); ++it) {
            if (it.value() == id)
                users << it.key();
        }
        users.sort();
        EXPECT_EQ(users, strings(image.value("usedBy")));
        if (image.contains("sameIdAs")) {
            EXPECT_EQ(engine.imageId(image.value("sameIdAs").toString()), id);
        }
    }
}

TEST_F(EngineSmokeTest, BuildCacheIsNotEmpty)
{
    const QByteArray df = engine.docker({"system", "df", "--format", "{{.Type}}={{.Size}}"});
    EXPECT_TRUE(df.contains("Build Cache=")) << df.toStdString();
    EXPECT_FALSE(df.contains("Build Cache=0B")) << df.toStdString();
}

TEST_F(EngineSmokeTest, RebuildFixtureUndoesRemovals)
{
    const QString orphan = engine.volumeName("anonymous:orphan");
    const QString webId = engine.containerId("sgfx-alpha_web_1");
    ASSERT_FALSE(orphan.isEmpty());
    engine.docker({"rm", "-f", "sgfx-alpha_web_1", "sgfx-solo-idle"});
    engine.docker({"volume", "rm", orphan, "sgfx-loose"});
    engine.docker({"builder", "prune", "-af"});
    ASSERT_EQ(engine.lines({"ps", "-aq"}).size(), count(expected, "containers") - 2);

    ASSERT_TRUE(engine.rebuildFixture());

    EXPECT_EQ(engine.lines({"ps", "-aq"}).size(), count(expected, "containers"));
    EXPECT_EQ(engine.lines({"ps", "-q"}).size(), count(expected, "runningContainers"));
    EXPECT_EQ(engine.lines({"volume", "ls", "-q"}).size(), count(expected, "volumes"));
    // The fixture comes back as it was, under the same names and ids.
    EXPECT_EQ(engine.volumeName("anonymous:orphan"), orphan);
    EXPECT_EQ(engine.containerId("sgfx-alpha_web_1"), webId);
    EXPECT_FALSE(engine.docker({"system", "df", "--format", "{{.Type}}={{.Size}}"}).contains("Build Cache=0B"));
}

}  // namespace
}  // namespace stowage::test
