// The clean-up commands: their candidates, refusals and exact dialog texts,
// and the two sequences that stream the build-cache prune.

#include "model/InventoryFixtures.h"
#include "model/ModelTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace stowage;
using namespace stowage::test;
using ::testing::Contains;
using ::testing::IsEmpty;

namespace {

const QString& anon() { return sample::anonymousVolume; }

// The sample inventory with a named volume that nothing mounts and no project claims, as
// `docker volume create appdata` leaves it once its container is gone.
QList<FakeRule> withNamedOrphan()
{
    const QString named = R"({"Name":"appdata","Driver":"local","Mountpoint":"/m/appdata","Labels":""})";
    return sample::rules(
        {FakeRule{"volume ls --format", sample::volumesOut() + named + "\n"},
         FakeRule{"system df -v", R"({"Volumes":[{"Name":"shop_data","Size":"100MB"},{"Name":"shop_cache","Size":"2MB"},)"
                                  R"({"Name":"appdata","Size":"5MB"},{"Name":")" + anon() + R"(","Size":"1MB"}]})"},
         FakeRule{"volume ls -q", "shop_cache\nappdata\n" + anon() + "\n"}});
}

class Cleanup : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(rig.refreshAndWait()); }
    ModelRig rig;
};

TEST_F(Cleanup, UnusedImagesAreOfferedOnceWithAllTheirNamesAndRemovedWhole)
{
    // The unused image is also tagged into a second repository.
    const QString archive = R"({"ID":"%1","Repository":"shop-archive","Tag":"v1","Size":"20MB","CreatedSince":"3 weeks ago"})";
    // The engine's disk usage: the refresh and the removal's start read 435MB of images, its end 415MB.
    const QString usage = R"({"Type":"Images","TotalCount":"%1","Size":"%2"})";
    rig.rebuild(sample::rules(
        {FakeRule{"system df --format", usage.arg("4", "435MB"), {}, 0, 0, 2},
         FakeRule{"system df --format", usage.arg("2", "410MB")},
         FakeRule{"images -a", sample::imagesOut() + archive.arg(sample::oldImage) + "\n"},
         FakeRule{"image inspect --format {{json .RepoTags}} " + sample::oldImage, R"(["shop-old:v1","shop-archive:v1"])"},
         FakeRule{"rmi shop-old:v1 shop-archive:v1", "Untagged: shop-old:v1\nUntagged: shop-archive:v1\nDeleted: " + sample::oldImage}}));
    ASSERT_TRUE(rig.refreshAndWait());
    // Both names of the unused image, and the dangling image named by its short id and age.
    EXPECT_EQ(rig.model->classification().unusedImages().size(), 3);
    EXPECT_EQ(rig.model->classification().unusedImageBytes(), (ByteRange{25000000, 25000000}));  // counted once

    rig.model->removals().cleanUnusedImages();
    ASSERT_EQ(rig.alerts.confirms().size(), 1);
    EXPECT_EQ(rig.alerts.confirms()[0].title, "Remove unused images");
    EXPECT_TRUE(rig.alerts.confirms()[0].message.endsWith("\n  shop-old:v1, shop-archive:v1 (20MB)\n"
                                                          "  untagged image 444444444444, created 3 weeks ago (5MB)"));
    EXPECT_TRUE(rig.alerts.confirms()[0].destructive);
    ASSERT_TRUE(rig.waitIdle());
    EXPECT_EQ(rig.docker.callsStartingWith("rmi"),
              (QStringList{"rmi shop-old:v1 shop-archive:v1", "rmi " + sample::danglingImage}));
    EXPECT_EQ(rig.model->statusText(), "unused images: removed 2 images  ·  Freed 25.0 MB on "
                                       "disk (expected 25.0 MB)  ·  data is stale — Refresh to reconcile.");
    EXPECT_EQ(rig.model->classification().imageCount(), 2);  // the engine's count after the removal
    EXPECT_TRUE(rig.model->classification().unusedImages().isEmpty());

    rig.model->removals().cleanUnusedImages();
    EXPECT_EQ(std::pair(rig.alerts.shown.last().title, rig.alerts.shown.last().message),
              std::pair(QString("Info"), QString("No unused images found.")));
}

// The orphan buckets say what may hold data. Safe Clean All takes only orphans Docker created
// without a name; it names them, and says which orphans it leaves (they may hold data) and where
// to remove them.
TEST_F(Cleanup, OrphanVolumesCarryTheCaveatsAndSafeCleanAllTakesOnlyTheSafeSet)
{
    rig.rebuild(withNamedOrphan());
    ASSERT_TRUE(rig.refreshAndWait());
    rig.alerts.defaultAnswer = false;
    rig.model->removals().cleanOrphanVolumes();
    ASSERT_EQ(rig.alerts.confirms().size(), 1);
    const QString& orphans = rig.alerts.confirms()[0].message;
    EXPECT_TRUE(orphans.startsWith("Remove 3 volumes (8.0 MB)?") && orphans.contains(":\n  • shop: 1 volume, 2.0 MB\n\n")
                && orphans.contains(":\n  • appdata (5.0 MB)\n\n"));
    EXPECT_EQ(rig.alerts.confirms()[0].button, "Remove 3 Volumes");

    // Only the volume Docker named itself is anonymous.
    rig.model->removals().cleanAnonymousOrphanVolumes();
    EXPECT_EQ(rig.alerts.confirms()[1].title, "Remove anonymous orphan volumes");
    EXPECT_TRUE(rig.alerts.confirms()[1].message.endsWith("!\n\n  " + anon() + " (1.0 MB)"));

    rig.alerts.defaultAnswer = true;
    int reconciled = 0;
    AppModelTestAccess::onReconcile(*rig.model, [&] { ++reconciled; });
    rig.model->removals().safeCleanAll();
    ASSERT_EQ(rig.alerts.confirms().size(), 3);
    EXPECT_EQ(rig.alerts.confirms()[2].message,
              "This will safely remove:\n\n  • Build cache: 1.2 GB\n  • 2 unused images (frees 25.0 MB)\n"
              "  • 1 anonymous orphan volume\n\n"
              "Left alone: 1 named and 1 project orphan volumes, which may hold data. Check them in the Volumes tab, "
              "whose \"Remove All Orphans\" button removes them after naming each one.\n\n"
              "Containers and their resources will NOT be touched.\n\nContinue?\n\n"
              "Unused images:\n  shop-old:v1 (20MB)\n  untagged image 444444444444, created 3 weeks ago (5MB)\n\n"
              "Anonymous orphan volumes:\n  " + anon() + " (1.0 MB)");
    ASSERT_TRUE(rig.waitIdle());
    EXPECT_EQ(reconciled, 1);
    EXPECT_EQ(rig.docker.callsStartingWith("builder prune"), QStringList{"builder prune -af"});
    EXPECT_EQ(rig.docker.callsStartingWith("rmi"), (QStringList{"rmi " + sample::oldImage, "rmi " + sample::danglingImage}));
    EXPECT_EQ(rig.docker.callsStartingWith("volume rm"), QStringList{"volume rm " + anon()});
    EXPECT_EQ(rig.alerts.infos().last().message,
              "✓ Build cache cleared\n✓ Removed 2 unused images\n✓ Removed 1 anonymous orphan volume\n\n"
              "Freed 0 B on disk (expected 1.2 GB).");
    EXPECT_THAT(rig.logLines(), Contains("info Safe Clean All done: 2 images, 1 volume, 0 errors; Freed 0 B on disk "
                                         "(expected 1.2 GB)"));
}

// Of anonymous orphans, a confirmation names forty and counts the rest; a named one it
// always names, however many come before it.
TEST_F(Cleanup, FortyOneAnonymousOrphansAreListedAsFortyAndAllRemoved)
{
    QString volumes, dangling;
    for (int i = 0; i <= 41; ++i) {
        // As anonymous as the engine names them, then one that someone named.
        const QString name = i < 41 ? QStringLiteral("%1").arg(i, 64, 10, QChar('0')) : QStringLiteral("zz-named");
        volumes += QStringLiteral(R"({"Name":"%1","Driver":"local","Mountpoint":"/m","Labels":""})").arg(name) + "\n";
        dangling += name + "\n";
    }
    rig.rebuild(sample::rules({FakeRule{"volume ls --format", volumes}, FakeRule{"volume ls -q", dangling}}));
    ASSERT_TRUE(rig.refreshAndWait());
    AppModelTestAccess::onReconcile(*rig.model, [] {});
    const QString more = "\n  … and 1 more anonymous volume";
    rig.alerts.defaultAnswer = false;
    rig.model->removals().cleanOrphanVolumes();
    rig.alerts.defaultAnswer = true;
    rig.model->removals().safeCleanAll();
    ASSERT_EQ(rig.alerts.confirms().size(), 2);
    for (const auto& confirm : rig.alerts.confirms())
        EXPECT_EQ(confirm.message.count("\n  0000"), 40);
    EXPECT_TRUE(rig.alerts.confirms()[0].details.endsWith("39 (0 B)\n  zz-named (0 B)" + more));
    EXPECT_TRUE(rig.alerts.confirms()[1].details.endsWith("39 (0 B)" + more));  // Safe Clean All leaves it
    ASSERT_TRUE(rig.waitIdle());
    const QStringList removals = rig.docker.callsStartingWith("volume rm");
    ASSERT_EQ(removals.size(), 1);
    EXPECT_EQ(removals[0].split(' ').size(), 2 + 41);
}

TEST_F(Cleanup, OrphanBucketsAreBlockedWithoutCompleteUsageData)
{
    const QString partial = sample::inspectLine(sample::webId, sample::webImage, "[]");
    rig.rebuild(sample::rules({FakeRule{"inspect", partial, "Error: No such object\n", 1}}));
    ASSERT_TRUE(rig.refreshAndWait());
    rig.model->removals().cleanOrphanVolumes();
    rig.model->removals().cleanAnonymousOrphanVolumes();
    const QString blocked = "Volume usage could not be fully verified, so nothing is being called an orphan.\n\n"
                            "2 of 3 containers could not be inspected — Error: No such object\n\nPress Refresh and try again.";
    ASSERT_EQ(rig.alerts.infos().size(), 2);
    for (const auto& alert : rig.alerts.infos())
        EXPECT_EQ(std::pair(alert.title, alert.message), std::pair(QString("Blocked"), blocked));
}

TEST_F(Cleanup, SelectedImagesAndVolumesAreSplitIntoBlockedAndAllowed)
{
    rig.model->removals().removeSelectedImages({sample::webImage, sample::oldImage});
    ASSERT_EQ(rig.alerts.confirms().size(), 1);
    EXPECT_TRUE(rig.alerts.confirms()[0].message.endsWith("\n\nWill remove:\n  shop-old:v1 (20MB)"));
    ASSERT_TRUE(rig.waitIdle());
    EXPECT_EQ(rig.docker.callsStartingWith("rmi"), QStringList{"rmi " + sample::oldImage});

    // An untagged image is told apart by its short id and age, never as "<none>:<none>".
    rig.alerts.defaultAnswer = false;
    rig.model->removals().removeSelectedImages({sample::danglingImage});
    EXPECT_EQ(rig.alerts.confirms().last().details, "Will remove:\n  untagged image 444444444444, created 3 weeks ago (5MB)");

    rig.model->removals().removeSelectedImages({sample::webImage});
    EXPECT_EQ(std::pair(rig.alerts.shown.last().title, rig.alerts.shown.last().message),
              std::pair(QString("Blocked"), QString("BLOCKED (in use):\n  shop-web:latest (Used by container)\n\nNo safe images selected.")));
    rig.model->removals().removeSelectedImages({"sha256:gone"});
    EXPECT_EQ(rig.alerts.shown.last().message, "Select images to remove first.");

    // Selected volumes: only orphans ever go.
    rig.alerts.defaultAnswer = true;
    const QString blocked = "BLOCKED (in use):\n  shop_data — In use — 2 containers (running)\n\n";
    rig.model->removals().removeSelectedVolumes({"shop_data"});
    EXPECT_EQ(std::pair(rig.alerts.shown.last().title, rig.alerts.shown.last().message),
              std::pair(QString("Blocked"), blocked + "No orphan volumes selected."));
    rig.model->removals().removeSelectedVolumes({"shop_data", "shop_cache"});
    ASSERT_EQ(rig.alerts.confirms().size(), 3);  // nothing asked for the blocked volume alone
    EXPECT_EQ(rig.alerts.confirms()[2].details, "Will remove:\n  shop_cache (2.0 MB)");
    ASSERT_TRUE(rig.waitIdle());
    EXPECT_EQ(rig.docker.callsStartingWith("volume rm"), QStringList{"volume rm shop_cache"});
}

TEST_F(Cleanup, BuildCacheClearShowsTheLastTwelveLinesAndReconciles)
{
    QString thirty;
    for (int i = 1; i <= 30; ++i)
        thirty += QStringLiteral("deleted: layer %1\n").arg(i);
    rig.docker.setRules(sample::rules({FakeRule{"builder prune", thirty}}));
    int reconciled = 0;
    AppModelTestAccess::onReconcile(*rig.model, [&] { ++reconciled; });
    rig.model->removals().cleanBuildCache();
    ASSERT_TRUE(rig.waitIdle());
    EXPECT_EQ(reconciled, 1);
    EXPECT_TRUE(rig.model->dataStale());
    EXPECT_THAT(rig.statuses, Contains("build cache › deleted: layer 30"));
    ASSERT_EQ(rig.alerts.infos().size(), 1);
    EXPECT_EQ(std::pair(rig.alerts.infos()[0].title, rig.alerts.infos()[0].message),
              std::pair(QString("Done"), "Build cache cleared.\n\n" + thirty.section('\n', 18, 29)));
    EXPECT_EQ(rig.logLines().mid(3), (QStringList{"info Clearing build cache (builder prune -af)", "info Build cache cleared"}));
}

// The engine goes away after the health check: every step fails, and each says why.
TEST_F(Cleanup, StepsThatFailAreReportedAsFailures)
{
    const QString gone = "Cannot connect to the Docker daemon at unix:///x.sock. Is the docker daemon running?\n";
    rig.docker.setRules(sample::rules({FakeRule{"builder prune", {}, gone, 1}, FakeRule{"rmi", {}, gone, 1},
                                       FakeRule{"volume rm", {}, gone, 1}}));
    int reconciled = 0;
    AppModelTestAccess::onReconcile(*rig.model, [&] { ++reconciled; });
    const QString failure = "Cannot connect to the Docker daemon. Is Docker running?";

    rig.model->removals().cleanBuildCache();
    ASSERT_TRUE(rig.waitIdle());
    ASSERT_EQ(rig.alerts.infos().size(), 1);
    EXPECT_EQ(std::pair(rig.alerts.infos()[0].title, rig.alerts.infos()[0].message),
              std::pair(QString("Build cache not cleared"), "docker builder prune failed: " + failure));
    EXPECT_EQ(rig.logLines().mid(3), (QStringList{"info Clearing build cache (builder prune -af)",
                                                  "error Build cache clear failed: " + failure}));

    rig.model->removals().safeCleanAll();
    ASSERT_TRUE(rig.waitIdle());
    EXPECT_EQ(reconciled, 2);
    ASSERT_EQ(rig.alerts.infos().size(), 2);
    EXPECT_EQ(std::pair(rig.alerts.infos()[1].warning, rig.alerts.infos()[1].title + ": " + rig.alerts.infos()[1].message),
              std::pair(true, "Completed with errors: ✗ Build cache not cleared: " + failure + "\n✗ image shop-old:v1: " + failure
                  + "\n✗ image untagged image 444444444444, created 3 weeks ago: " + failure + "\n✗ volume " + anon()
                  + ": " + gone.trimmed() + "\n\nFreed 0 B on disk (expected 1.2 GB)."));
}

// A confirmation's dialog runs an event loop: the first refresh may start while
// it is open. Pressing OK then starts nothing and says so; the refresh runs on.
TEST_F(Cleanup, AnOperationStartedWhileAConfirmationIsOpenIsNotReplaced)
{
    const struct {
        const char* name;
        std::function<void(AppModel&)> start;
    } operations[] = {
        {"build cache", [](AppModel& m) { m.removals().cleanBuildCache(); }},
        {"safe clean all", [](AppModel& m) { m.removals().safeCleanAll(); }},
        {"unused images", [](AppModel& m) { m.removals().cleanUnusedImages(); }},
        {"selected images", [](AppModel& m) { m.removals().removeSelectedImages({sample::oldImage}); }},
        {"orphan volumes", [](AppModel& m) { m.removals().cleanOrphanVolumes(); }},
        {"selected volumes", [](AppModel& m) { m.removals().removeSelectedVolumes({"shop_cache"}); }},
        {"project containers", [](AppModel& m) { m.removals().removeProjectContainers("shop"); }},
        {"entire project", [](AppModel& m) { m.removals().deleteEntireProject("shop"); }},
        {"selected projects", [](AppModel& m) { m.removals().deleteProjects({"shop"}); }},
    };
    rig.docker.setRules(sample::rules({FakeRule{"inspect", sample::inspectOut(), {}, 0, 0.5}}));
    rig.alerts.whileAsking = [&] { rig.model->refresh(); };
    for (const auto& operation : operations) {
        SCOPED_TRACE(operation.name);
        rig.alerts.shown.clear();
        operation.start(*rig.model);
        EXPECT_TRUE(rig.model->isLoading());
        ASSERT_EQ(rig.alerts.infos().size(), 1);
        EXPECT_EQ(rig.alerts.infos()[0].title, "Not started");
        ASSERT_TRUE(rig.waitIdle());
        EXPECT_TRUE(rig.model->statusText().startsWith("Loaded: ")) << rig.model->statusText().toStdString();
    }
    for (const char* removal : {"rm ", "rmi", "volume rm", "builder prune"})
        EXPECT_THAT(rig.docker.callsStartingWith(removal), IsEmpty()) << removal;
}

// Stop during the prune: nothing after it runs, no refresh, and what is shown is marked stale.
TEST_F(Cleanup, StoppingDuringThePruneSkipsTheRestAndMarksTheDataStale)
{
    const struct {
        const char* name;
        std::function<void(AppModel&)> start;
        QString status, log;
    } cases[] = {
        {"safe clean", [](AppModel& m) { m.removals().safeCleanAll(); }, "Safe clean cancelled — removed 0 images, 0 volumes.",
         "warn Safe Clean All cancelled"},
        {"build cache", [](AppModel& m) { m.removals().cleanBuildCache(); }, "Build cache clear cancelled.",
         "warn Build cache clear cancelled"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ModelRig rig(sample::rules({FakeRule{"builder prune", "working\n", {}, 0, 30}}));
        ASSERT_TRUE(rig.refreshAndWait());
        int reconciled = 0;
        AppModelTestAccess::onReconcile(*rig.model, [&] { ++reconciled; });
        c.start(*rig.model);
        ASSERT_TRUE(waitForCommand(rig.operations, "builder prune"));
        rig.model->cancelCurrentOperation();
        ASSERT_TRUE(rig.waitIdle());
        EXPECT_EQ(rig.model->statusText(), c.status);
        EXPECT_THAT(rig.docker.callsStartingWith("rmi") + rig.docker.callsStartingWith("volume rm"), IsEmpty());
        EXPECT_TRUE(rig.model->dataStale());
        EXPECT_EQ(reconciled, 0);
        EXPECT_THAT(rig.logLines(), Contains(c.log));
    }
}

// Safe Clean All goes the way of every removal: the engine is asked first, and
// three image removals timing out in a row end the run.
TEST_F(Cleanup, SafeCleanAllChecksTheEngineFirstAndStopsWhenItWedges)
{
    const QString row = R"({"ID":"%1","Repository":"old-%2","Tag":"v1","Size":"1MB","CreatedSince":"3 weeks ago"})" "\n";
    const QString more = row.arg("sha256:" + QString(64, u'5'), "a") + row.arg("sha256:" + QString(64, u'6'), "b");
    const struct {
        const char* name;
        QList<FakeRule> rules;
        QString notice;
        qsizetype prunes, rmis;
    } cases[] = {
        {"no answer", {FakeRule{"version", {}, "Cannot connect to the Docker daemon", 1}}, "Docker not responding", 0, 0},
        // Three images, each tried twice; the fourth and the volume never.
        {"wedged", {FakeRule{"rmi", {}, {}, 0, 30}, FakeRule{"images -a", sample::imagesOut() + more}}, "Stopped early", 1, 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ModelRig rig(sample::rules(c.rules));
        ASSERT_TRUE(rig.refreshAndWait());
        AppModelTestAccess::onReconcile(*rig.model, [] {});
        rig.model->removals().safeCleanAll();
        ASSERT_TRUE(rig.waitIdle(std::chrono::seconds(40)));
        EXPECT_EQ(rig.docker.callsStartingWith("builder prune").size(), c.prunes);
        EXPECT_EQ(rig.docker.callsStartingWith("rmi").size(), c.rmis);
        EXPECT_THAT(rig.docker.callsStartingWith("volume rm"), IsEmpty());
        ASSERT_FALSE(rig.alerts.infos().isEmpty());
        EXPECT_EQ(rig.alerts.infos().last().title, c.notice);
    }
}

}  // namespace
