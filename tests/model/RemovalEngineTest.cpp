// The removal engine against the scripted fake docker: its five endings, the
// consecutive time-out rule, what is applied locally, and what is reported.

#include "model/InventoryFixtures.h"
#include "model/ModelTestSupport.h"
#include "platform/PlatformWords.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace stowage;
using namespace stowage::test;
using ::testing::Contains;
using ::testing::IsEmpty;

namespace {

ImageUnit img(const QString& id, const QString& repo)
{
    return {id, {repo + ":latest"}, repo + ":latest", "1KB", 1024};
}

class RemovalEngine : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(rig.refreshAndWait()); }
    ModelRig rig;
};

TEST_F(RemovalEngine, ACompleteRunRemovesInOrderAndUpdatesTheInventoryLocally)
{
    const auto& m = *rig.model;
    const SGContainer web = m.inventory().containers[0];  // running
    const SGContainer db = m.inventory().containers[1];   // exited
    const SGImage webImage = m.inventory().images[0];
    const SGVolume cache = m.inventory().volumes[1];
    rig.model->removals().deleteResources("sample", {web, db}, imageUnits({webImage}, rig.model->inventory().images), {cache});
    ASSERT_TRUE(rig.waitIdle());

    const QStringList calls = rig.docker.calls();
    const auto at = [&](const QString& prefix) {
        return std::find_if(calls.begin(), calls.end(), [&](const QString& c) { return c.startsWith(prefix); }) - calls.begin();
    };
    EXPECT_LT(at("version --format {{.Server.Version}}"), at("rm -f " + web.id));
    // Force only for the container the confirmation showed running.
    EXPECT_EQ(rig.docker.callsStartingWith("rm "), (QStringList{"rm -f " + web.id, "rm " + db.id}));
    EXPECT_LT(at("rm " + db.id), at("rmi " + webImage.id));
    EXPECT_LT(at("rmi"), at("volume rm shop_cache"));

    EXPECT_EQ(m.statusText(), "sample: removed 2 containers, 1 image, 1 volume  ·  Freed 0 B on disk (expected 12.0 MB)  ·  "
                              "data is stale — Refresh to reconcile.");
    EXPECT_THAT(rig.logLines(), Contains("info [sample] removed 4/4"));
    EXPECT_TRUE(rig.alerts.shown.isEmpty());
    EXPECT_TRUE(m.dataStale());
    EXPECT_EQ(m.inventory().containers.size(), 1);
    EXPECT_EQ(m.inventory().images.size(), 3);
    EXPECT_FALSE(m.inventory().volumeSizes.contains("shop_cache") || m.inventory().danglingVolumeNames.contains("shop_cache"));
    EXPECT_FALSE(m.inventory().usedImageIDs.contains(sample::webImage));  // its only container went
    // The index was rebuilt: the project lives on through its remaining volume, without containers.
    EXPECT_EQ(m.index().projects.value("shop", {SGContainer{}}), QList<SGContainer>{});

    // The cache on disk already reflects the removal.
    const auto saved = rig.savedCache();
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->containers, m.inventory().containers);
    EXPECT_EQ(saved->volumes, m.inventory().volumes);

    // Empty lists skip the health check and complete at once.
    rig.model->removals().deleteResources("nothing", {}, {}, {});
    ASSERT_TRUE(rig.waitIdle());
    EXPECT_EQ(rig.docker.callsStartingWith("version").size(), 1);
    EXPECT_EQ(rig.model->statusText(), "nothing: removed nothing  ·  data is stale — Refresh to reconcile.");
}

TEST_F(RemovalEngine, NothingIsRemovedWhenTheDaemonDoesNotAnswerOrStopEndsTheCheck)
{
    const Inventory before = rig.model->inventory();
    rig.docker.setRules(sample::rules({FakeRule{"version", {}, "Cannot connect to the Docker daemon at unix:///x", 1}}));
    rig.model->removals().deleteResources("sample", {rig.model->inventory().containers[0]}, {}, {rig.model->inventory().volumes[1]});
    ASSERT_TRUE(rig.waitIdle());
    EXPECT_THAT(rig.docker.callsStartingWith("rm -f") + rig.docker.callsStartingWith("volume rm"), IsEmpty());
    EXPECT_EQ(rig.model->inventory(), before);
    EXPECT_EQ(rig.model->statusText(), "sample: aborted — Docker daemon not responding. Nothing was removed.");
    EXPECT_THAT(rig.logLines(), Contains("error [sample] aborted — Docker daemon not responding"));
    ASSERT_EQ(rig.alerts.shown.size(), 1);
    EXPECT_EQ(rig.alerts.shown[0].title + ": " + rig.alerts.shown[0].message,
              "Docker not responding: The Docker daemon didn't respond to a health check, so nothing was deleted.\n\n"
                  + platform::platformWords().restartDockerHelp);

    // Stop while the check runs: a cancellation, not an unresponsive daemon.
    rig.alerts.shown.clear();
    rig.docker.setRules(sample::rules({FakeRule{"version", {}, {}, 0, 30}}));
    rig.model->removals().deleteResources("checked", {}, {}, {rig.model->inventory().volumes[1]});
    ASSERT_TRUE(waitUntil([&] { return !rig.docker.callsStartingWith("version").isEmpty(); }));
    rig.model->cancelCurrentOperation();
    ASSERT_TRUE(rig.waitIdle());
    EXPECT_EQ(rig.model->statusText(), "checked: cancelled — removed 0/1.");
    EXPECT_TRUE(rig.alerts.shown.isEmpty());
    EXPECT_THAT(rig.docker.callsStartingWith("volume rm"), IsEmpty());
}

TEST_F(RemovalEngine, PerItemFailuresAreCollectedAndTheAlertShowsFifteen)
{
    // docker refuses every volume: 20 errors, 15 shown, all counted.
    rig.docker.setRules(sample::rules({FakeRule{"volume rm", {}, "Error response from daemon: volume is in use\n", 1}}));
    QList<SGVolume> volumes;
    for (int i = 0; i < 20; ++i)
        volumes << volume(QStringLiteral("v%1").arg(i, 2, 10, QChar('0')));
    rig.model->removals().deleteResources("many", {}, {}, volumes);
    ASSERT_TRUE(rig.waitIdle());
    ASSERT_EQ(rig.alerts.infos().size(), 1);
    EXPECT_EQ(std::pair(rig.alerts.infos()[0].title, rig.alerts.infos()[0].warning), std::pair(QString("Completed with errors"), true));
    const QStringList lines = rig.alerts.infos()[0].message.split('\n');
    ASSERT_EQ(lines.size(), 17);  // "many:", an empty line, 15 errors
    EXPECT_EQ(lines[0] + lines[16], "many:volume v14: Error response from daemon: volume is in use");
    EXPECT_THAT(rig.logLines(), Contains("warn [many] removed 0/20, 20 errors"));
    EXPECT_EQ(rig.model->statusText(), "many: completed with errors — removed 0/20, 20 errors. See Logs.");
}

TEST_F(RemovalEngine, ThreeTimeoutsInARowStopTheRunButASuccessResetsTheCount)
{
    QList<FakeRule> slow;
    for (const char* id : {"sha256:a", "sha256:b", "sha256:c"})
        slow << FakeRule{QString("rmi ") + id, {}, {}, 0, 30};
    rig.docker.setRules(sample::rules(slow));
    rig.model->removals().deleteResources("wedged", {}, {img("sha256:a", "x-a"), img("sha256:b", "x-b"), img("sha256:c", "x-c"), img("sha256:d", "x-d")},
                               {volume("shop_cache")});
    ASSERT_TRUE(rig.waitIdle(std::chrono::seconds(30)));
    EXPECT_THAT(rig.docker.callsStartingWith("rmi sha256:d") + rig.docker.callsStartingWith("volume rm"), IsEmpty());
    EXPECT_EQ(rig.docker.callsStartingWith("rmi sha256:a").size(), 2);  // one retry after the time-out
    EXPECT_THAT(rig.logLines(), Contains("error [wedged] aborting after 3 consecutive timeouts — daemon likely wedged"));
    EXPECT_THAT(rig.logLines(), Contains("warn [wedged] removed 0/5, 3 errors, aborted"));
    EXPECT_EQ(rig.model->statusText(), "wedged: stopped early — removed 0/5. See Logs.");
    ASSERT_EQ(rig.alerts.infos().size(), 1);
    EXPECT_EQ(rig.alerts.infos()[0].title + ": " + rig.alerts.infos()[0].message,
              "Stopped early: wedged: removed 0 of 5 before stopping (Docker became unresponsive).\n\n"
              "image x-a:latest: timed out\nimage x-b:latest: timed out\nimage x-c:latest: timed out");

    // a and b time out, c goes, d and e time out: never three in a row.
    slow << FakeRule{"rmi sha256:d", {}, {}, 0, 30} << FakeRule{"rmi sha256:e", {}, {}, 0, 30};
    slow.removeAt(2);
    rig.docker.setRules(sample::rules(slow));
    QList<ImageUnit> images;
    for (const char* id : {"a", "b", "c", "d", "e"})
        images << img(QString("sha256:") + id, QString("x-") + id);
    rig.model->removals().deleteResources("flaky", {}, images, {});
    ASSERT_TRUE(rig.waitIdle(std::chrono::seconds(30)));
    EXPECT_THAT(rig.logLines(), Contains("warn [flaky] removed 1/5, 4 errors"));
    ASSERT_EQ(rig.alerts.infos().size(), 2);
    EXPECT_EQ(rig.alerts.infos()[1].title, "Completed with errors");
}

TEST_F(RemovalEngine, AContainerBatchTimeoutEndsTheRunButKeepsWhatWasRemoved)
{
    // A short removal-batch limit, so that the batch times out quickly.
    rig.limits.removeBatchTimeout = 0.3;
    rig.rebuild(sample::rules({FakeRule{"rm -f", {}, {}, 0, 30}}));
    ASSERT_TRUE(rig.refreshAndWait());
    rig.model->removals().deleteResources("stuck", {rig.model->inventory().containers[0]}, {img("sha256:zz", "x-z")}, {volume("shop_cache")});
    ASSERT_TRUE(rig.waitIdle());
    EXPECT_THAT(rig.docker.callsStartingWith("rmi") + rig.docker.callsStartingWith("volume rm"), IsEmpty());
    EXPECT_EQ(rig.model->statusText(), "stuck: stopped early — removed 0/3. See Logs.");
    EXPECT_TRUE(rig.alerts.infos().last().message.endsWith("container " + sample::webId + ": timed out"));
}

TEST_F(RemovalEngine, StopDuringImagesAppliesWhatWasRemovedAndSaysCancelled)
{
    rig.docker.setRules(sample::rules({FakeRule{"rmi sha256:slow", {}, {}, 0, 30}}));
    const SGImage old = rig.model->inventory().images[2];
    rig.model->removals().deleteResources("imgs", {}, imageUnits({old}, rig.model->inventory().images) + QList{img("sha256:slow", "x-slow"), img("sha256:never", "x-never")}, {});
    ASSERT_TRUE(waitForCommand(rig.operations, "rmi sha256:slow"));
    rig.model->cancelCurrentOperation();
    ASSERT_TRUE(rig.waitIdle());
    EXPECT_EQ(rig.model->statusText(), "imgs: cancelled — removed 1/3.");
    EXPECT_THAT(rig.docker.callsStartingWith("rmi sha256:never"), IsEmpty());
    EXPECT_FALSE(rig.model->inventory().images.contains(old));
    EXPECT_TRUE(rig.alerts.infos().isEmpty());
    EXPECT_TRUE(rig.model->dataStale());
}

TEST_F(RemovalEngine, IgnoredWhileAnotherOperationRuns)
{
    rig.docker.setRules(sample::rules({FakeRule{"inspect", sample::inspectOut(), {}, 0, 0.5}}));
    rig.model->refresh();
    rig.model->removals().deleteResources("late", {}, {}, {volume("shop_cache")});
    ASSERT_TRUE(rig.waitIdle());
    // Only the two refreshes (the fixture's and this one) left lines.
    const QString started = "info Refresh started", complete = "info Refresh complete: 3 containers, 4 images, 3 volumes";
    QStringList lines = rig.logLines();
    lines.removeIf([](const QString& line) { return line.startsWith("info docker: "); });  // the runner's, once
    EXPECT_EQ(lines, (QStringList{started, complete, started, complete}));
    EXPECT_THAT(rig.docker.callsStartingWith("volume rm"), IsEmpty());
}

}  // namespace
