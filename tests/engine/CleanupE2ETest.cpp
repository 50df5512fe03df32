// The clean-up commands against the private engine, checked with docker itself: Safe Clean
// All, the orphan-volume buckets and the selections remove exactly what the classification
// calls safe, volumes that may hold data only when named in the confirmation, and Docker still
// refuses what became unsafe after the last refresh.

#include "docker/CountText.h"
#include "engine/EngineModelRig.h"

#include "ui/OverviewTab.h"
#include "ui/SGButton.h"
#include "ui/VolumesTab.h"

#include <gmock/gmock.h>

namespace stowage::test {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

using CleanupE2ETest = FreshFixtureTest;

// The fixture's two unused images are each named in two repositories (a compose 1.x project whose
// services share one build, and a `docker tag`): each goes as one image, with both its names in
// one `rmi`, never forced. Each client runs one of the two paths (DockerClientEngineTest runs the
// image removal itself with both).
TEST_F(CleanupE2ETest, UnusedImagesGoWithAllTheirNamesAndSafeCleanAllTakesOnlyTheSafeSet)
{
    const struct {
        const char* name;
        bool safeCleanAll;
        QString client;
    } cases[] = {
        {"unused images, client 28", false, Engine::docker28Client()},
        {"safe clean all, client 20", true, Engine::docker20Client()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (&c != &cases[0]) {
            ASSERT_TRUE(engine.rebuildFixture());
        }
        EngineModelRig rig(engine, {.client = c.client});
        ASSERT_TRUE(rig.refreshAndWait());
        const DockerState before = DockerState::read(engine);
        ASSERT_NE(before.buildCacheSize, "0B");
        const QStringList unusedRefs = expectedList("unusedImages");
        const QSet<QString> unused = imageIdsOf(unusedRefs);
        const QSet<QString> orphans = volumesOf(expectedList("orphanVolumes"));
        const QSet<QString> anonymous = volumesOf({"anonymous:orphan"});
        ASSERT_EQ(unused.size(), expected.value("counts").toObject().value("unusedImages").toInt());
        ASSERT_EQ(imageIds(rig.model->unusedImages()), unused);
        ASSERT_EQ(volumeNames(rig.model->orphanVolumes()), orphans);
        const QSet<QString> usedImages = rig.model->usedImageIDs();
        const QSet<QString> mountedVolumes = rig.model->containerVolumeNames();
        const QString baseImage = engine.imageId("postgres:16");
        const QStringList danglingImages = engine.lines({"images", "-q", "--no-trunc", "--filter", "dangling=true"});
        ASSERT_EQ(danglingImages.size(), 1);

        if (c.safeCleanAll)
            rig.model->safeCleanAll();
        else
            rig.model->cleanUnusedImages();
        ASSERT_TRUE(rig.waitIdle());  // for Safe Clean All, also the refresh that reconciles after it

        const DockerState after = DockerState::read(engine);
        EXPECT_EQ(after.imageIds, before.imageIds - unused);
        EXPECT_EQ(after.volumes, c.safeCleanAll ? before.volumes - anonymous : before.volumes);
        EXPECT_EQ(after.containerIds, before.containerIds);
        EXPECT_EQ(after.buildCacheSize == "0B", c.safeCleanAll);
        EXPECT_TRUE(after.imageIds.contains(usedImages)) << "an image a container uses was removed";
        EXPECT_TRUE(after.volumes.contains(mountedVolumes)) << "a mounted volume was removed";
        EXPECT_TRUE(after.imageIds.contains(baseImage));
        EXPECT_TRUE(after.imageIds.contains(danglingImages[0]));
        EXPECT_EQ(engine.lines({"ps", "-q"}).size(), 5);

        // One rmi per image, with both its names and no force flag; nothing else was removed.
        QList<QStringList> rmis = rig.removalCalls();
        rmis.removeIf([](const QStringList& args) { return args.value(0) != "rmi"; });
        ASSERT_EQ(rmis.size(), 2);
        for (const QStringList& args : rmis)
            EXPECT_EQ(args.size(), 3) << args.join(' ').toStdString();
        EXPECT_EQ(toSet(rig.itemsOf({"rmi"})), toSet(unusedRefs));
        EXPECT_EQ(toSet(rig.itemsOf({"volume", "rm"})), c.safeCleanAll ? anonymous : QSet<QString>());
        EXPECT_TRUE(rig.itemsOf({"rm"}).isEmpty());

        ASSERT_EQ(rig.alerts.confirms().size(), 1);
        const std::string confirm = rig.alerts.confirms()[0].message.toStdString();
        if (c.safeCleanAll) {
            // The unused images share every layer with images in use: removing them frees nothing.
            EXPECT_THAT(confirm, HasSubstr("\n  • 2 unused images (frees 0 B)\n  • 1 anonymous orphan volume:\n"));
            ASSERT_EQ(rig.alerts.infos().size(), 1);
            EXPECT_EQ(rig.alerts.infos()[0].title, "Done");
            EXPECT_THAT(rig.alerts.infos()[0].message.toStdString(),
                        StartsWith("✓ Build cache cleared\n✓ Removed 2 unused images\n✓ Removed 1 anonymous orphan volume\n\nFreed "));
            // The reconciling refresh left the model agreeing with Docker.
            EXPECT_FALSE(rig.model->dataStale());
            EXPECT_EQ(rig.model->buildCache().sizeBytes, 0);
            EXPECT_EQ(volumeNames(rig.model->orphanVolumes()), orphans - anonymous);
        } else {
            EXPECT_THAT(confirm, StartsWith("Remove 2 unused images?\n\n"));
            for (const QString& ref : unusedRefs)
                EXPECT_EQ(rig.alerts.confirms()[0].message.count(ref), 1) << ref.toStdString();
            EXPECT_TRUE(rig.alerts.infos().isEmpty());
            EXPECT_EQ(rig.model->statusText(), "unused images: removed 0 containers, 2 images, 0 volumes  ·  Freed 0 B on "
                                                "disk (expected 0 B)  ·  data is stale — Refresh to reconcile.");
        }
        EXPECT_EQ(imageIds(rig.model->images()), after.imageIds);
        EXPECT_TRUE(rig.model->unusedImages().isEmpty());
    }
}

// Both orphan buckets remove only volumes that Docker's own dangling filter listed, and say
// which of them still carry a project label.
TEST_F(CleanupE2ETest, OrphanBucketsRemoveOnlyVolumesDockerCallsDangling)
{
    struct Bucket {
        const char* name;
        void (AppModel::*clean)();
        QStringList removed;  // fixture names
        QString title;
        QString label;
        QString caveat;  // a piece of the confirmation text
    };
    const Bucket buckets[] = {
        {"all orphans", &AppModel::cleanOrphanVolumes, {"sgfx-gamma_db", "anonymous:orphan", "sgfx-loose"},
         "Remove orphan volumes", "orphan volumes",
         "Mounted by no container, and Docker's own dangling filter agrees.\n\n⚠ 1 of these carry a compose "
         "project label. No container mounts them any more, but this IS that project's data — a leftover from an "
         "older compose file, or a project whose containers were removed:\n  • sgfx-gamma: 1 volume, "},
        {"anonymous orphans", &AppModel::cleanAnonymousOrphanVolumes, {"anonymous:orphan"},
         "Remove anonymous orphan volumes", "anonymous orphan volumes",
         "These belong to no compose project and are mounted by no container.\n\n"},
    };
    for (const Bucket& bucket : buckets) {
        SCOPED_TRACE(bucket.name);
        if (&bucket != &buckets[0]) {
            ASSERT_TRUE(engine.rebuildFixture());
        }
        EngineModelRig rig(engine);
        ASSERT_TRUE(rig.refreshAndWait());
        const DockerState before = DockerState::read(engine);
        const QSet<QString> wanted = volumesOf(bucket.removed);

        (rig.model.get()->*bucket.clean)();
        ASSERT_TRUE(rig.waitIdle());

        const DockerState after = DockerState::read(engine);
        const QSet<QString> removed = before.volumes - after.volumes;
        EXPECT_EQ(removed, wanted);
        EXPECT_TRUE(before.danglingVolumes.contains(removed));
        EXPECT_TRUE(before.danglingVolumes.contains(toSet(rig.itemsOf({"volume", "rm"}))))
            << "docker was asked to remove a volume its dangling filter did not list";
        EXPECT_EQ(after.containerIds, before.containerIds);
        EXPECT_EQ(after.imageIds, before.imageIds);

        ASSERT_EQ(rig.alerts.confirms().size(), 1);
        const ShownAlert confirm = rig.alerts.confirms()[0];
        EXPECT_EQ(confirm.title, bucket.title);
        EXPECT_THAT(confirm.message.toStdString(), HasSubstr(bucket.caveat.toStdString()));
        for (const QString& name : wanted)
            EXPECT_THAT(confirm.message.toStdString(), HasSubstr(("\n  " + name + " (").toStdString()));
        EXPECT_TRUE(rig.alerts.infos().isEmpty());
        EXPECT_EQ(rig.model->statusText(), bucket.label + ": removed 0 containers, 0 images, "
                                               + counted(wanted.size(), "volume")
                                               + "  ·  data is stale — Refresh to reconcile.");

        // The local update matches what a fresh read of Docker finds.
        const QSet<QString> shownBeforeRefresh = volumeNames(rig.model->volumes());
        ASSERT_TRUE(rig.refreshAndWait());
        EXPECT_EQ(shownBeforeRefresh, volumeNames(rig.model->volumes()));
        EXPECT_EQ(volumeNames(rig.model->volumes()), after.volumes);
    }
}

// Volumes that may hold data, with both clients: a named volume holding a file and a compose
// project's volume left by `down` survive Safe Clean All, which removes the anonymous orphan,
// names it, and says what it leaves; "Safe to remove" counts exactly that. "Remove All N
// Orphans" in the Volumes tab, confirmed, then removes all three, each named with its size.
TEST_F(CleanupE2ETest, SafeCleanAllLeavesVolumesThatMayHoldDataAndRemoveAllOrphansTakesThem)
{
    const QString anonymous = engine.volumeName("anonymous:orphan");
    const QStringList clients{Engine::docker28Client(), Engine::docker20Client()};
    for (const QString& client : clients) {
        SCOPED_TRACE(client.toStdString());
        if (client != clients.first()) {
            ASSERT_TRUE(engine.rebuildFixture());
        }
        const QString mountpoint =
            QString::fromUtf8(engine.docker({"volume", "inspect", "sgfx-loose", "--format", "{{.Mountpoint}}"})).trimmed();
        ASSERT_TRUE(mountpoint.startsWith(engine.engineDir() + '/'));
        QFile notes(mountpoint + "/notes.txt");
        ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
        notes.write("keep me\n");
        notes.close();
        {
            EngineModelRig rig(engine, {.client = client});
            ASSERT_TRUE(rig.refreshAndWait());
            const DockerState before = DockerState::read(engine);
            const OverviewTab::Figures figures = OverviewTab::figures(*rig.model);
            const qint64 otherBytes =
                rig.model->buildCache().reclaimableBytes + rig.model->classification().unusedImageBytes().low;
            EXPECT_EQ(figures.reclaimableBytes.low - otherBytes, rig.model->volumeSizes().value(anonymous));
            EXPECT_GT(rig.model->volumeSizes().value("sgfx-loose"), 0);

            rig.model->safeCleanAll();
            ASSERT_TRUE(rig.waitIdle());
            EXPECT_EQ(before.volumes - DockerState::read(engine).volumes, QSet<QString>{anonymous});
            EXPECT_EQ(toSet(rig.itemsOf({"volume", "rm"})), QSet<QString>{anonymous});
            ASSERT_TRUE(notes.open(QIODevice::ReadOnly));
            EXPECT_EQ(notes.readAll(), "keep me\n");
            notes.close();
            ASSERT_EQ(rig.alerts.confirms().size(), 1);
            EXPECT_THAT(rig.alerts.confirms()[0].message.toStdString(),
                        HasSubstr(("  • 1 anonymous orphan volume:\n  " + anonymous + " ("
                                   + SizeFormat::humanSize(figures.reclaimableBytes.low - otherBytes)
                                   + ")\n\nLeft alone: 1 named and 1 project orphan volumes, which may hold data.")
                                      .toStdString()));
        }

        ASSERT_TRUE(engine.rebuildFixture());
        EngineModelRig rig(engine, {.client = client});
        ASSERT_TRUE(rig.refreshAndWait());
        VolumesTab tab(*rig.model);
        tab.show();
        drainEvents();
        ASSERT_EQ(tab.removeAllOrphansButton().text(), "Remove All 3 Orphans");
        tab.removeAllOrphansButton().click();
        ASSERT_TRUE(rig.waitIdle());
        EXPECT_FALSE(DockerState::read(engine).volumes.intersects(volumesOf(expectedList("orphanVolumes"))));
        ASSERT_EQ(rig.alerts.confirms().size(), 1);
        EXPECT_THAT(rig.alerts.confirms()[0].message.toStdString(),
                    HasSubstr("\n\n⚠ 1 of these have a name but no project label."));
        EXPECT_THAT(rig.alerts.confirms()[0].message.toStdString(), HasSubstr("\n  • sgfx-loose (0 B)"));
    }
}

// A container created after the refresh mounts an "orphan": the shown data is stale, but
// Docker refuses to remove a volume in use, the error is reported and the volume stays listed.
TEST_F(CleanupE2ETest, AVolumeMountedSinceTheRefreshIsRefusedAndStaysListed)
{
    EngineModelRig rig(engine);
    ASSERT_TRUE(rig.refreshAndWait());
    engine.docker({"create", "--name", "sgfx-late", "-v", "sgfx-loose:/late", "sgfx-solo:latest"});
    const QSet<QString> others = volumesOf({"sgfx-gamma_db", "anonymous:orphan"});

    rig.model->cleanOrphanVolumes();
    ASSERT_TRUE(rig.waitIdle());

    const DockerState after = DockerState::read(engine);
    EXPECT_TRUE(after.volumes.contains("sgfx-loose"));
    EXPECT_FALSE(after.volumes.intersects(others));
    EXPECT_TRUE(after.containerNames.contains("sgfx-late"));

    ASSERT_EQ(rig.alerts.infos().size(), 1);
    EXPECT_EQ(rig.alerts.infos()[0].title, "Completed with errors");
    EXPECT_THAT(rig.alerts.infos()[0].message.toStdString(), StartsWith("orphan volumes:\n\nvolume sgfx-loose: "));
    EXPECT_THAT(rig.alerts.infos()[0].message.toStdString(), HasSubstr("in use"));
    EXPECT_THAT(rig.logLines(), ::testing::Contains("warn [orphan volumes] removed 2/3, 1 error"));
    const QSet<QString> shown = volumeNames(rig.model->volumes());
    EXPECT_TRUE(shown.contains("sgfx-loose"));
    EXPECT_FALSE(shown.intersects(others));
}

// Selecting everything: only what no container uses reaches docker, never with a force flag;
// Docker's own refusals (intermediate images with children) are reported, not hidden.
TEST_F(CleanupE2ETest, SelectingEverythingNeverHandsAnInUseItemToDocker)
{
    EngineModelRig rig(engine);
    ASSERT_TRUE(rig.refreshAndWait());
    const DockerState before = DockerState::read(engine);
    const QSet<QString> usedImages = rig.model->usedImageIDs();
    const QSet<QString> mountedVolumes = rig.model->containerVolumeNames();
    ASSERT_EQ(usedImages.size(), 5);
    const QSet<QString> free = imageIdsOf({"sgfx-gamma_app:latest", "sgfx-alpha-tools:latest", "postgres:16"})
                               + toSet(engine.lines({"images", "-q", "--no-trunc", "--filter", "dangling=true"}));
    ASSERT_EQ(free.size(), 4);

    rig.model->removeSelectedImages(imageIds(rig.model->images()));
    ASSERT_TRUE(rig.waitIdle());

    ASSERT_EQ(rig.alerts.confirms().size(), 1);
    const QString imageDialog = rig.alerts.confirms()[0].message;
    EXPECT_THAT(imageDialog.toStdString(), StartsWith("BLOCKED (in use):\n"));
    EXPECT_THAT(imageDialog.toStdString(), HasSubstr("\n  redis:7 (Used by container)\n"));
    EXPECT_THAT(imageDialog.toStdString(), HasSubstr("\n\nWill remove:\n"));
    // Ids, or the names of an image named twice; none of an image in use.
    const QStringList rmiItems = rig.itemsOf({"rmi"});
    EXPECT_FALSE(toSet(rmiItems).intersects(usedImages));
    for (const QString& item : rmiItems)
        EXPECT_TRUE(item.startsWith("sha256:") || expectedList("unusedImages").contains(item)) << item.toStdString();

    DockerState after = DockerState::read(engine);
    EXPECT_EQ(before.imageIds - after.imageIds, free);
    EXPECT_TRUE(after.imageIds.contains(usedImages));
    EXPECT_EQ(after.containerIds, before.containerIds);
    // The two intermediate images are build layers: never handed to docker on their own.
    EXPECT_TRUE(rig.alerts.infos().isEmpty());
    EXPECT_EQ(imageDialog.count("(Build layer of "), 2);
    EXPECT_EQ(imageIds(rig.model->images()), after.imageIds);

    rig.model->removeSelectedVolumes(volumeNames(rig.model->volumes()));
    ASSERT_TRUE(rig.waitIdle());

    ASSERT_EQ(rig.alerts.confirms().size(), 2);
    const QString volumeDialog = rig.alerts.confirms()[1].message;
    EXPECT_THAT(volumeDialog.toStdString(), StartsWith("BLOCKED (in use):\n"));
    EXPECT_THAT(volumeDialog.toStdString(), HasSubstr("\n  sgfx-alpha_shared-data — In use — 3 containers (running)\n"));
    EXPECT_THAT(volumeDialog.toStdString(), HasSubstr("\n  sgfx-alpha_spool — In use — 1 container (stopped)\n"));
    after = DockerState::read(engine);
    EXPECT_EQ(after.volumes, before.volumes - before.danglingVolumes);
    EXPECT_TRUE(after.volumes.contains(mountedVolumes));
    EXPECT_TRUE(before.danglingVolumes.contains(toSet(rig.itemsOf({"volume", "rm"}))));
    EXPECT_TRUE(rig.itemsOf({"rm"}).isEmpty());
    EXPECT_EQ(engine.lines({"ps", "-q"}).size(), 5);
}

}  // namespace
}  // namespace stowage::test
