// `stowage report` and `stowage clean` against the private engine with both docker clients:
// the report's verdicts are the fixture's and its listings Docker's own, a dry run removes
// nothing, and --yes removes exactly the fixture's safe set and nothing in use. The real
// executable gives the same answer and leaves the window's state cache alone.

#include "engine/EngineModelRig.h"
#include "engine/EngineRig.h"

#include "cli/HeadlessRun.h"

#include <gmock/gmock.h>

#include <QBuffer>
#include <QJsonDocument>
#include <QProcess>

namespace stowage::test {
namespace {

using cli::Command;
using cli::Request;

const QString clients[] = {Engine::docker20Client(), Engine::docker28Client()};

// A headless run on the rig's model, its output in memory.
struct HeadlessOnEngine {
    HeadlessOnEngine(const Engine& engine, const QString& client)
        : rig(engine, [&] {
              EngineModelSetup setup;
              setup.client = client;
              setup.refreshAfterCleanup = false;
              return setup;
          }())
    {
    }

    int run(const Request& request)
    {
        out.setData({});
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        cli::HeadlessRun run(*rig.model, request, console);
        run.start();
        EXPECT_TRUE(waitUntil([&] { return run.isFinished(); }, std::chrono::seconds(120)));
        out.close();
        err.close();
        return run.exitStatus();
    }
    QJsonObject json() const { return QJsonDocument::fromJson(out.data()).object(); }

    EngineModelRig rig;
    QBuffer out;
    QBuffer err;
    cli::Console console{out, err};
};

QSet<QString> stringSet(const QJsonValue& array) { return toSet(jsonStrings(array)); }

// The strings of doc[object][key].
QSet<QString> stringsAt(const QJsonObject& doc, const char* object, const char* key)
{
    return stringSet(doc.value(QLatin1String(object)).toObject().value(QLatin1String(key)));
}

// Docker's state apart from what a clean may change, for "nothing changed" checks.
void expectUnchanged(const DockerState& before, const DockerState& after)
{
    EXPECT_EQ(after.containerIds, before.containerIds);
    EXPECT_EQ(after.imageIds, before.imageIds);
    EXPECT_EQ(after.volumes, before.volumes);
    EXPECT_EQ(after.buildCacheSize, before.buildCacheSize);
}

using HeadlessE2ETest = FreshFixtureTest;

// Tests that only read take the fixture as it is: every test that changes it restores it.
class HeadlessReadOnlyE2ETest : public FreshFixtureTest {
protected:
    void SetUp() override { EngineTest::SetUp(); }
};

TEST_F(HeadlessReadOnlyE2ETest, ReportAgreesWithTheFixtureAndWithDocker)
{
    for (const QString& client : clients) {
        SCOPED_TRACE(client.toStdString());
        HeadlessOnEngine headless(engine, client);
        ASSERT_EQ(headless.run({Command::report, true}), cli::ExitStatus::success);
        const QJsonObject doc = headless.json();
        EXPECT_TRUE(doc.value("usageDataComplete").toBool());
        EXPECT_EQ(doc.value("usageDataProblem").toString(), "");
        EXPECT_EQ(doc.value("containers").toObject(),
                  (QJsonObject{{"total", expectedCount(expected, "containers")},
                               {"running", expectedCount(expected, "runningContainers")}}));
        // The image totals are the engine's own (docker system df), not the listing's rows summed.
        const EngineImageTotals engineImages = DockerClient::parseEngineImageTotals(
            QString::fromUtf8(engine.docker({"system", "df", "--format", "{{json .}}"})));
        EXPECT_EQ(doc.value("totals")["imageBytes"].toInteger(), engineImages.sizeBytes);
        EXPECT_EQ(doc.value("totals")["imageCount"].toInt(), engineImages.count);

        // One entry per image id and per volume, exactly the ones Docker lists.
        QHash<QString, QJsonObject> byRef;
        QSet<QString> ids;
        int untagged = 0;
        for (const QJsonValue value : doc.value("images").toArray()) {
            const QJsonObject image = value.toObject();
            ids.insert(image.value("id").toString());
            const QStringList refs = jsonStrings(image.value("repositories"));
            untagged += refs.isEmpty();
            for (const QString& ref : refs)
                byRef.insert(ref, image);
        }
        EXPECT_EQ(ids, toSet(engine.lines({"images", "-aq", "--no-trunc"})));
        EXPECT_EQ(untagged, expectedCount(expected, "untaggedImageRows"));
        for (const QJsonValue value : expected.value("images").toArray()) {
            const QJsonObject fixture = value.toObject();
            const QString ref = fixture.value("ref").toString();
            if (fixture.value("repository").toString() == "<none>")
                continue;
            SCOPED_TRACE(ref.toStdString());
            const QJsonObject image = byRef.value(ref);
            EXPECT_EQ(image.value("status").toString(), fixture.value("reason").toString());
            EXPECT_EQ(image.value("offered").toBool(), fixture.value("inUnusedImages").toBool());
            if (fixture.contains("sameIdAs")) {
                EXPECT_EQ(image, byRef.value(fixture.value("sameIdAs").toString()));
            }
        }

        QHash<QString, QJsonObject> byName;
        for (const QJsonValue value : doc.value("volumes").toArray())
            byName.insert(value["name"].toString(), value.toObject());
        EXPECT_EQ(toSet(byName.keys()), toSet(engine.lines({"volume", "ls", "-q"})));
        // Of the orphans only the anonymous one is safe: the named and the project's orphan may hold data.
        const QSet<QString> orphans = toSet(realVolumeNames(engine, {"anonymous:orphan"}));
        for (const QJsonValue value : expected.value("volumes").toArray()) {
            const QJsonObject fixture = value.toObject();
            const QString name = engine.volumeName(fixture.value("name").toString());
            SCOPED_TRACE(name.toStdString());
            const QJsonObject volume = byName.value(name);
            EXPECT_EQ(volume.value("usage").toString(), fixture.value("usage").toString());
            EXPECT_EQ(volume.value("status").toString(), fixture.value("statusText").toString());
            EXPECT_EQ(volume.value("project").toString(), fixture.value("project").toString());
            EXPECT_EQ(volume.value("sizeBytes").toInteger(),
                      SizeFormat::parseDockerSize(fixture.value("sizeText").toString()));
            EXPECT_EQ(volume.value("offered").toBool(), orphans.contains(name));
        }

        const QJsonObject wouldRemove = doc.value("wouldRemove").toObject();
        EXPECT_TRUE(wouldRemove.value("buildCache").toBool());
        EXPECT_EQ(stringSet(wouldRemove.value("images")), imageIdsOf(expectedList("unusedImages")));
        EXPECT_EQ(jsonStrings(wouldRemove.value("volumes")), realVolumeNames(engine, {"anonymous:orphan"}));
        EXPECT_GT(doc.value("buildCache").toObject().value("sizeBytes").toInteger(), 0);
        EXPECT_TRUE(headless.rig.removalCalls().isEmpty());
    }
}

TEST_F(HeadlessE2ETest, DryRunRemovesNothingAndYesRemovesExactlyTheSafeSet)
{
    for (const QString& client : clients) {
        SCOPED_TRACE(client.toStdString());
        if (client != clients[0]) {
            ASSERT_TRUE(engine.rebuildFixture());
        }
        HeadlessOnEngine headless(engine, client);
        const QSet<QString> unused = imageIdsOf(expectedList("unusedImages"));
        const QSet<QString> orphans = volumesOf({"anonymous:orphan"});  // the named and the project's orphan stay
        const DockerState before = DockerState::read(engine);
        ASSERT_NE(before.buildCacheSize, "0B");

        ASSERT_EQ(headless.run({Command::clean, true}), cli::ExitStatus::success);
        expectUnchanged(before, DockerState::read(engine));
        EXPECT_TRUE(headless.rig.removalCalls().isEmpty());
        EXPECT_EQ(stringsAt(headless.json(), "wouldRemove", "images"), unused);
        EXPECT_EQ(stringsAt(headless.json(), "wouldRemove", "volumes"), orphans);

        const QSet<QString> usedImages = headless.rig.model->usedImageIDs();
        const QSet<QString> mountedVolumes = headless.rig.model->containerVolumeNames();
        ASSERT_EQ(headless.run({Command::clean, true, true}), cli::ExitStatus::success);
        const DockerState after = DockerState::read(engine);
        EXPECT_EQ(after.imageIds, before.imageIds - unused);
        EXPECT_EQ(after.volumes, before.volumes - orphans);
        EXPECT_EQ(after.containerIds, before.containerIds);
        EXPECT_EQ(after.buildCacheSize, "0B");
        EXPECT_TRUE(after.imageIds.contains(usedImages)) << "an image a container uses was removed";
        EXPECT_TRUE(after.volumes.contains(mountedVolumes)) << "a mounted volume was removed";
        EXPECT_EQ(engine.lines({"ps", "-q"}).size(), expectedCount(expected, "runningContainers"));
        // Each unused image has two names: one rmi each, with both names, never forced.
        QList<QStringList> rmis = headless.rig.removalCalls();
        rmis.removeIf([](const QStringList& args) { return args.value(0) != "rmi"; });
        EXPECT_EQ(rmis.size(), unused.size());
        EXPECT_EQ(toSet(headless.rig.itemsOf({"rmi"})), toSet(expectedList("unusedImages")));
        EXPECT_EQ(toSet(headless.rig.itemsOf({"volume", "rm"})), orphans);

        const QJsonObject removed = headless.json().value("removed").toObject();
        EXPECT_TRUE(removed.value("buildCache").toBool());
        EXPECT_EQ(stringSet(removed.value("images")), unused);
        EXPECT_EQ(stringSet(removed.value("volumes")), orphans);
        EXPECT_TRUE(headless.json().value("errors").toArray().isEmpty());
    }
}

// The executable itself, with the docker client it finds on its own.
TEST_F(HeadlessReadOnlyE2ETest, TheExecutableReportsAndDryRunsWithoutTouchingTheStateCache)
{
    QTemporaryDir home;
    QProcessEnvironment env = engine.environment();
    env.insert("XDG_DATA_HOME", home.path());
    const QSet<QString> unused = imageIdsOf(expectedList("unusedImages"));
    const DockerState before = DockerState::read(engine);
    for (const QStringList& arguments : {QStringList{"report", "--json"}, QStringList{"clean", "--json"}}) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(STOWAGE_EXE_PATH), arguments);
        ASSERT_TRUE(process.waitForFinished(120'000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        const QJsonObject doc = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
        EXPECT_TRUE(doc.value("usageDataComplete").toBool());
        EXPECT_EQ(stringsAt(doc, "wouldRemove", "images"), unused);
    }
    expectUnchanged(before, DockerState::read(engine));
    EXPECT_TRUE(QFile::exists(home.filePath("Stowage/activity.log")));
    EXPECT_FALSE(QFile::exists(home.filePath("Stowage/state.json"))) << "the state cache is the window's";
}

}  // namespace
}  // namespace stowage::test
