// The client's process-running operations against the scripted fake docker:
// batched inspection, batched removal and the image-removal retry.

#include "docker/DockerClient.h"
#include "docker/OperationCenter.h"
#include "log/ActivityLog.h"
#include "support/ScriptedDocker.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QRegularExpression>

#include <thread>

#include <memory>

using namespace stowage;
using namespace stowage::test;
using ::testing::ElementsAre;

namespace {

QString inspectLine(const QString& id)
{
    return id + QString(64 - id.size(), QChar('0')) + "@@sha256:img@@[]@@2024-05-01T10:11:12Z@@0001-01-01T00:00:00Z\n";
}

struct ClientRig {
    ScriptedDocker docker;
    OperationCenter operations;
    ActivityLog log{std::nullopt};
    std::unique_ptr<DockerRunner> cli;
    std::unique_ptr<DockerClient> client;

    explicit ClientRig(DockerClient::Limits limits = {})
    {
        cli = std::make_unique<DockerRunner>(docker.config(&operations, &log));
        client = std::make_unique<DockerClient>(*cli, limits);
    }

    // The client's lines; not the runner's one line naming the docker program it found.
    QStringList logLines() { return test::logLines(log).filter(QRegularExpression("^\\w+ (?!docker: )")); }
};

TEST(DockerClientProcess, InspectRunsBatchesAndCarriesOnAfterATimedOutOne)
{
    // Five ids in batches of two: the second batch times out, the third still runs.
    ClientRig rig({.inspectBatchSize = 2, .inspectBatchMax = 2, .inspectTimeout = 0.5});
    const QStringList ids = {"aaaaaaaaaaa1", "aaaaaaaaaaa2", "bbbbbbbbbbb1", "bbbbbbbbbbb2", "ccccccccccc1"};
    rig.docker.setRules({{"inspect aaaaaaaaaaa1 aaaaaaaaaaa2", inspectLine("aaaaaaaaaaa1") + inspectLine("aaaaaaaaaaa2")},
                         {"inspect bbbbbbbbbbb1", {}, {}, 0, 30},
                         {"inspect ccccccccccc1", inspectLine("ccccccccccc1")}});
    const auto outcome = rig.client->inspectMany(ids);
    EXPECT_EQ(rig.docker.calls().size(), 3);
    EXPECT_EQ(outcome.details.size(), 3);
    EXPECT_EQ(outcome.missing, (QStringList{"bbbbbbbbbbb1", "bbbbbbbbbbb2"}));
    EXPECT_EQ(outcome.errors, QStringList{"docker command timed out."});
    EXPECT_EQ(rig.docker.calls()[0], "inspect aaaaaaaaaaa1 aaaaaaaaaaa2 --format " + DockerClient::inspectTemplate);

    // A failed batch keeps what it printed and records its first error line once.
    rig.docker.setRules({{"inspect", inspectLine("aaaaaaaaaaa1"), "\n  Error: No such object: gone  \nmore\n", 1}});
    const auto failed = rig.client->inspectMany({"aaaaaaaaaaa1", "gone"});
    EXPECT_EQ(failed.details.keys(), QStringList{"aaaaaaaaaaa1"});
    EXPECT_EQ(failed.missing, QStringList{"gone"});
    EXPECT_EQ(failed.errors, QStringList{"Error: No such object: gone"});
}

// Batches after the first grow to as many ids as the engine's pace fits in the time a batch may
// take: a quick engine gets the largest batches, a slow one (ssh) keeps the first size.
TEST(DockerClientProcess, InspectBatchesGrowOnlyAsFarAsTheEnginesPaceAllows)
{
    struct Case {
        const char* engine;
        double batchSeconds;
        QList<int> batches;
    };
    QStringList ids;
    for (int i = 1; i <= 9; ++i)
        ids << QStringLiteral("aaaaaaaaaaa%1").arg(i);
    for (const Case& c : {Case{"quick", 1e6, {2, 4, 3}}, Case{"slow", 1e-6, {2, 2, 2, 2, 1}}}) {
        SCOPED_TRACE(c.engine);
        ClientRig rig({.inspectBatchSize = 2, .inspectBatchMax = 4, .inspectBatchSeconds = c.batchSeconds});
        QString all;
        for (const QString& id : ids)
            all += inspectLine(id);
        rig.docker.setRules({{"inspect", all}});
        const auto outcome = rig.client->inspectMany(ids);
        EXPECT_TRUE(outcome.missing.isEmpty());
        QList<int> batches;
        QStringList inspected;
        for (const QString& call : rig.docker.calls()) {
            const QStringList batch = call.section(" --format ", 0, 0).split(' ').mid(1);
            batches << int(batch.size());
            inspected << batch;
        }
        EXPECT_EQ(batches, c.batches);
        EXPECT_EQ(inspected, ids);
    }
}

// Image layers come in batches of their own size, each with a listing's time limit: the second
// batch outlives it, the first one's images still count.
TEST(DockerClientProcess, ImageLayersRunInTheirOwnBatchesWithAListingsTimeLimit)
{
    ClientRig rig({.layersBatchSize = 2, .listingTimeout = 0.6, .inspectTimeout = 0.1});
    const auto layers = [](const QString& id) { return id + "@@@@100@@[\"sha256:l1\"]@@[]\n"; };
    rig.docker.setRules({{"image inspect sha256:a sha256:b", layers("sha256:a") + layers("sha256:b"), {}, 0, 0.3},
                         {"image inspect sha256:c", {}, {}, 0, 30}});
    const auto outcome = rig.client->imageLayers({"sha256:a", "sha256:b", "sha256:c"});
    EXPECT_EQ(rig.docker.calls(), (QStringList{"image inspect sha256:a sha256:b --format " + DockerClient::imageLayersTemplate,
                                               "image inspect sha256:c --format " + DockerClient::imageLayersTemplate}));
    EXPECT_EQ(outcome.images.size(), 2);
    EXPECT_EQ(outcome.errors, QStringList{"docker command timed out."});
}

// docker removes what it can, prints those names, and refuses the one in use; an item that
// looks like an option never reaches docker. A batch that times out, or a stop, ends the removal.
TEST(DockerClientProcess, BatchRemoveReportsRefusalsPerItemLogsEachBatchAndStopsAfterATimeoutOrAStop)
{
    ClientRig rig({.removeBatchSize = 2, .removeBatchTimeout = 0.4});
    rig.docker.setRules({{"volume rm v1 busy", "v1\n", "Error response from daemon: remove busy: volume is in use\n", 1},
                         {"volume rm", {}, {}, 0, 0, -1, true}});
    const auto result = rig.client->batchRemove("volume", {"volume", "rm"}, {"v1", "busy", "--force", "v3", "v4", "v5"});
    EXPECT_EQ(result.removed, (QSet<QString>{"v1", "v3", "v4", "v5"}));
    EXPECT_EQ(result.errors.logged, (QStringList{"volume --force: not a valid name",
                                                 "volume busy: Error response from daemon: remove busy: volume is in use"}));
    EXPECT_EQ(rig.docker.calls(), (QStringList{"volume rm v1 busy", "volume rm v3 v4", "volume rm v5"}));
    EXPECT_FALSE(result.timedOut);
    EXPECT_THAT(rig.logLines(), ElementsAre("info → volume rm ×2", "warn volume rm v1 busy — exit 1: Error response from daemon: remove busy: volume is in use",
                                            "info ✓ volume rm: 1/2 removed", "info → volume rm ×2",
                                            "info ✓ volume rm: 2/2 removed", "info → volume rm ×1",
                                            "info ✓ volume rm: 1/1 removed"));

    rig.docker.setRules({{"rm -f c3", {}, {}, 0, 30}, {"rm -f", {}, {}, 0, 0, -1, true}});
    const auto timedOut = rig.client->batchRemove("container", {"rm", "-f"}, {"c1", "c2", "c3", "c4", "c5"});
    EXPECT_EQ(timedOut.removed, (QSet<QString>{"c1", "c2"}));
    EXPECT_EQ(timedOut.errors.logged, (QStringList{"container c3: timed out", "container c4: timed out"}));
    EXPECT_TRUE(timedOut.timedOut);
    EXPECT_EQ(rig.docker.calls().size(), 3 + 2);  // the third batch never ran

    std::stop_source stop;
    stop.request_stop();
    const auto none = rig.client->batchRemove("container", {"rm", "-f"}, {"c1"}, stop.get_token());
    EXPECT_TRUE(none.removed.isEmpty());
    EXPECT_EQ(rig.docker.calls().size(), 3 + 2);
}

TEST(DockerClientProcess, MutateRetriesOnceAfterATimeoutOnly)
{
    ClientRig rig;
    const QString id = "sha256:0123456789abcdef0123456789abcdef";
    rig.docker.setRules({{"rmi " + id, {}, {}, 0, 30, 1}, {"rmi " + id, "Deleted\n"}});
    rig.client->mutate("rmi " + id.left(19), {"rmi", id}, 0.4);
    EXPECT_EQ(rig.docker.calls().size(), 2);
    EXPECT_EQ(rig.logLines().filter("retrying"), QStringList{"warn ↻ retrying rmi sha256:0123456789ab after timeout (attempt 2)"});

    ClientRig refused;
    refused.docker.setRules({{"rmi", {}, "Error: image is being used by running container\n", 1}});
    EXPECT_THROW(refused.client->mutate("rmi x", {"rmi", "x"}, 5), DockerError);
    EXPECT_EQ(refused.docker.calls().size(), 1);
}

// Answers of a 20.10 engine (see ImageRemoval.cpp) to the removal of an image named a-x:1 and b-y:2.
TEST(DockerClientProcess, RemoveImageTakesEveryNameAndPutsThemBackWhenTheImageStaysOrAStopComes)
{
    const QString id = "sha256:" + QString(64, 'a');
    const QString inspect = "image inspect --format {{json .RepoTags}} " + id;
    const FakeRule bothHeld{inspect, R"(["a-x:1","b-y:2"])", {}, 0, 0, 1};
    const ImageUnit twoNames{id, {"a-x:1", "b-y:2"}, "a-x:1, b-y:2", "1MB", 1};
    const struct {
        const char* name;
        ImageUnit image;
        QList<FakeRule> rules;
        QStringList calls;
        QString error;  // empty when the image was removed
    } cases[] = {
        {"a container uses it: the untagged name is put back", twoNames,
         {bothHeld, {inspect, R"(["b-y:2"])"},
          {"rmi", "Untagged: a-x:1\n", "Error response from daemon: conflict: unable to remove repository reference \"b-y:2\" (must force)\n", 1},
          {"tag", ""}},
         {inspect, "rmi a-x:1 b-y:2", inspect, "tag " + id + " a-x:1"},
         "Error response from daemon: conflict: unable to remove repository reference \"b-y:2\" (must force); its tags were put back"},
        {"a child image holds it: untagged, kept, status 0", twoNames,
         {bothHeld, {inspect, "[]"}, {"rmi", "Untagged: a-x:1\nUntagged: b-y:2\n"}, {"tag " + id + " b", {}, "boom\n", 1}, {"tag", ""}},
         {inspect, "rmi a-x:1 b-y:2", inspect, "tag " + id + " a-x:1", "tag " + id + " b-y:2"},
         "docker kept the image (another image is built on it); putting back b-y:2 failed"},
        {"one name moved to another image since the listing", twoNames,
         {{inspect, R"(["b-y:2"])"}, {"rmi", "Untagged: b-y:2\nDeleted: " + id + "\n"}},
         {inspect, "rmi " + id}, {}},
        {"an id that reads as an option never reaches docker", {"--force", {"a:1", "b:2"}, "a:1, b:2", "1MB", 1}, {}, {},
         "not a valid image id"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ClientRig rig;
        rig.docker.setRules(c.rules);
        QString error;
        try {
            rig.client->removeImage(c.image, 5);
        } catch (const RunError& e) {
            error = e.description();
        }
        EXPECT_EQ(error.toStdString(), c.error.toStdString());
        EXPECT_EQ(rig.docker.calls().join(" | ").toStdString(), c.calls.join(" | ").toStdString());
    }

    // Stop during the removal: the untagged name is put back, but within the restore's own short
    // limit, not the removal's.
    ClientRig rig({.restoreTimeout = 0.5});
    rig.docker.setRules({{inspect, R"(["a-x:1","b-y:2"])", {}, 0, 0, 1}, {"rmi", {}, {}, 0, 30}, {inspect, R"(["b-y:2"])"},
                         {"tag", {}, {}, 0, 30}});
    std::stop_source stop;
    std::jthread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        stop.request_stop();
    });
    QElapsedTimer timer;
    timer.start();
    EXPECT_THROW(rig.client->removeImage(twoNames, 60, stop.get_token()), RunError);
    EXPECT_LT(timer.elapsed(), 10000);  // the hanging `tag` would hold the removal's 60 s
    EXPECT_EQ(rig.docker.callsStartingWith("tag"), QStringList{"tag " + id + " a-x:1"});
}

}  // namespace
