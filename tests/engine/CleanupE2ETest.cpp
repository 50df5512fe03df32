// The clean-up commands against the private engine, checked with docker itself: Safe Clean
// All, the orphan-volume buckets and the selections remove exactly what the classification
// calls safe, and Docker still refuses what became unsafe after the last refresh.

#include "EngineRig.h"

#include "text/SizeFormat.h"
#include "ui/overview/OverviewTab.h"

#include <gmock/gmock.h>


namespace stowage::test {
namespace {

using ::testing::HasSubstr;

using CleanupE2ETest = FreshFixtureTest;

// The fixture's two unused images are each named in two repositories (a compose 1.x project whose
// services share one build, and a `docker tag`): each goes as one image, with both its names in
// one `rmi`, never forced. Of the orphan volumes only the anonymous one goes: a named volume
// holding a file and a compose project's volume left by `down` may hold data.
TEST_F(CleanupE2ETest, UnusedImagesGoWithAllTheirNamesAndSafeCleanAllTakesOnlyTheSafeSet)
{
    const QString mountpoint = engine.line({"volume", "inspect", "sgfx-loose", "--format", "{{.Mountpoint}}"});
    ASSERT_TRUE(mountpoint.startsWith(engine.engineDir() + '/'));
    const QString notes = mountpoint + "/notes.txt";
    ASSERT_TRUE(writeFile(notes, "keep me\n"));

    EngineModelRig rig(engine);
    ASSERT_TRUE(rig.refreshAndWait());
    const DockerState before = DockerState::read(engine);
    ASSERT_NE(before.buildCacheSize, "0B");
    const QSet<QString> dangling = danglingImageIds();
    const QSet<QString> unused = offeredImageIds();
    const QString anonymous = engine.volumeName("anonymous:orphan");
    ASSERT_EQ(imageIds(rig.model->classification().unusedImages()), unused);
    // The Overview's reclaimable figure: the build cache, the unused images and the 2 MiB written
    // into the anonymous orphan.
    const qint64 otherBytes = rig.model->inventory().buildCache.reclaimableBytes + rig.model->classification().unusedImageBytes().low;
    EXPECT_EQ(OverviewTab::figures(*rig.model).reclaimableBytes.low - otherBytes, dockerReading(2097152));
    const QSet<QString> usedImages = rig.model->inventory().usedImageIDs;
    const QSet<QString> mountedVolumes = rig.model->index().containerVolumeNames;

    rig.model->removals().safeCleanAll();
    ASSERT_TRUE(rig.waitIdle());  // also the refresh that reconciles after it

    const DockerState after = DockerState::read(engine);
    EXPECT_EQ(after.imageIds, before.imageIds - unused);
    EXPECT_EQ(after.volumes, before.volumes - QSet<QString>{anonymous});
    EXPECT_EQ(after.containerIds, before.containerIds);
    EXPECT_EQ(after.buildCacheSize, "0B");
    EXPECT_TRUE(after.imageIds.contains(usedImages)) << "an image a container uses was removed";
    EXPECT_TRUE(after.volumes.contains(mountedVolumes)) << "a mounted volume was removed";
    EXPECT_TRUE(after.imageIds.contains(engine.imageId("postgres:16")));
    EXPECT_EQ(after.running, count("runningContainers"));
    EXPECT_EQ(readFile(notes), "keep me\n");

    // One rmi per image, with both its names (the dangling one by id) and no force flag; nothing else was removed.
    QList<QStringList> rmis = rig.removalCalls();
    rmis.removeIf([](const QStringList& args) { return args.value(0) != "rmi"; });
    ASSERT_EQ(rmis.size(), 3);
    for (const QStringList& args : rmis)
        EXPECT_EQ(args.size(), args.value(1).startsWith("sha256:") ? 2 : 3) << args.join(' ').toStdString();
    EXPECT_EQ(toSet(rig.itemsOf({"rmi"})), toSet(list("unusedImages")) + dangling);
    EXPECT_EQ(rig.itemsOf({"volume", "rm"}), QStringList{anonymous});
    EXPECT_TRUE(rig.itemsOf({"rm"}).isEmpty());

    // The unused images share every layer with images in use: removing them frees nothing.
    ASSERT_EQ(rig.alerts.confirms().size(), 1);
    EXPECT_THAT(rig.alerts.confirms()[0].message.toStdString(), HasSubstr("\n  • 3 unused images (frees 0 B)\n"));
    EXPECT_THAT(rig.alerts.confirms()[0].message.toStdString(),
                HasSubstr("\n\nLeft alone: 1 named and 1 project orphan volumes, which may hold data."));
    ASSERT_EQ(rig.alerts.infos().size(), 1);
    EXPECT_THAT(rig.alerts.infos()[0].message.toStdString(), HasSubstr(" anonymous orphan volume\n\nFreed "));
    // The reconciling refresh left the model agreeing with Docker.
    EXPECT_FALSE(rig.model->dataStale());
    EXPECT_EQ(rig.model->inventory().buildCache.sizeBytes, 0);
    EXPECT_EQ(imageIds(rig.model->inventory().images), after.imageIds);
    EXPECT_EQ(volumeNames(rig.model->inventory().volumes), after.volumes);
    EXPECT_TRUE(rig.model->classification().unusedImages().isEmpty());
}

// Both orphan buckets remove only volumes that Docker's own dangling filter listed. A container
// created after the refresh mounts one of them: the shown data is stale, but Docker refuses to
// remove a volume in use, the error is reported and the volume stays listed.
TEST_F(CleanupE2ETest, OrphanBucketsRemoveOnlyVolumesDockerCallsDangling)
{
    EngineModelRig rig(engine, {.client = Engine::docker28Client()});
    ASSERT_TRUE(rig.refreshAndWait());
    const DockerState before = DockerState::read(engine);
    const QString anonymous = engine.volumeName("anonymous:orphan");

    rig.model->removals().cleanAnonymousOrphanVolumes();
    ASSERT_TRUE(rig.waitIdle());
    EXPECT_EQ(before.volumes - DockerState::read(engine).volumes, QSet<QString>{anonymous});
    EXPECT_EQ(volumeNames(rig.model->inventory().volumes), before.volumes - QSet<QString>{anonymous});
    EXPECT_TRUE(rig.alerts.infos().isEmpty());

    ASSERT_TRUE(rig.refreshAndWait());
    engine.docker({"create", "--name", "sgfx-late", "-v", "sgfx-loose:/late", "sgfx-solo:latest"});
    rig.model->removals().cleanOrphanVolumes();
    ASSERT_TRUE(rig.waitIdle());

    const DockerState after = DockerState::read(engine);
    EXPECT_EQ(before.volumes - after.volumes, (QSet<QString>{anonymous, "sgfx-gamma_db"}));
    EXPECT_TRUE(before.danglingVolumes.contains(toSet(rig.itemsOf({"volume", "rm"}))))
        << "docker was asked to remove a volume its dangling filter did not list";
    EXPECT_EQ(after.imageIds, before.imageIds);
    ASSERT_EQ(rig.alerts.confirms().size(), 2);
    EXPECT_THAT(rig.alerts.confirms()[1].message.toStdString(), HasSubstr("\n  • sgfx-gamma: 1 volume, "));
    ASSERT_EQ(rig.alerts.infos().size(), 1);
    EXPECT_EQ(rig.alerts.infos()[0].title, "Completed with errors");
    EXPECT_THAT(rig.alerts.infos()[0].message.toStdString(), HasSubstr("\nvolume sgfx-loose: "));
    EXPECT_THAT(rig.alerts.infos()[0].message.toStdString(), HasSubstr("volume is in use"));
    EXPECT_THAT(rig.logLines(), ::testing::Contains("warn [orphan volumes] removed 1/2, 1 error"));
    EXPECT_EQ(volumeNames(rig.model->inventory().volumes), after.volumes);
}

// Selecting every image: only what no container uses reaches docker, never with a force flag,
// and never a build layer on its own.
TEST_F(CleanupE2ETest, SelectingEverythingNeverHandsAnInUseItemToDocker)
{
    EngineModelRig rig(engine);
    ASSERT_TRUE(rig.refreshAndWait());
    const DockerState before = DockerState::read(engine);
    const QSet<QString> usedImages = rig.model->inventory().usedImageIDs;
    const QSet<QString> free = imageIdsOf({"sgfx-gamma_app:latest", "sgfx-alpha-tools:latest", "postgres:16"})
                               + toSet(engine.lines({"images", "-q", "--no-trunc", "--filter", "dangling=true"}));
    ASSERT_EQ(free.size(), 4);

    rig.model->removals().removeSelectedImages(imageIds(rig.model->inventory().images));
    ASSERT_TRUE(rig.waitIdle());

    // Ids, or the names of an image named twice; none of an image in use.
    const QStringList rmiItems = rig.itemsOf({"rmi"});
    EXPECT_FALSE(toSet(rmiItems).intersects(usedImages));
    for (const QString& item : rmiItems)
        EXPECT_TRUE(item.startsWith("sha256:") || list("unusedImages").contains(item)) << item.toStdString();
    const DockerState after = DockerState::read(engine);
    EXPECT_EQ(before.imageIds - after.imageIds, free);
    EXPECT_EQ(after.containerIds, before.containerIds);
    // The two intermediate images are build layers: never handed to docker on their own.
    EXPECT_TRUE(rig.alerts.infos().isEmpty());
    ASSERT_EQ(rig.alerts.confirms().size(), 1);
    EXPECT_EQ(rig.alerts.confirms()[0].message.count("(Build layer of "), 2);
    EXPECT_EQ(imageIds(rig.model->inventory().images), after.imageIds);

    EXPECT_TRUE(rig.itemsOf({"rm"}).isEmpty());
    EXPECT_EQ(after.running, count("runningContainers"));
}

// A named orphan volume shown from the cache at a small size receives 5 MB: the confirmation
// is worked out on figures read just before it and names the size the volume has now.
TEST_F(CleanupE2ETest, AConfirmationNamesTheSizeReadJustBeforeItNotTheCachedOne)
{
    EngineModelRig rig(engine);
    ASSERT_TRUE(rig.refreshAndWait());
    const qint64 cached = rig.model->inventory().volumeSizes.value("sgfx-loose");
    rig.model->flushCache();
    ASSERT_TRUE(AppModelTestAccess::loadCache(*rig.model));
    const QString mountpoint = engine.line({"volume", "inspect", "sgfx-loose", "--format", "{{.Mountpoint}}"});
    ASSERT_TRUE(writeFile(mountpoint + "/grown.bin", QByteArray(5 << 20, 'x')));

    rig.alerts.defaultAnswer = false;
    rig.model->removals().cleanOrphanVolumes();
    ASSERT_TRUE(rig.waitIdle());
    ASSERT_EQ(rig.alerts.confirms().size(), 1);
    const qint64 now = rig.model->inventory().volumeSizes.value("sgfx-loose");
    EXPECT_GE(now, cached + 5 * 1000 * 1000);
    EXPECT_THAT(rig.alerts.confirms()[0].details.toStdString(),
                HasSubstr("  sgfx-loose (" + SizeFormat::humanSize(now).toStdString() + ")"));
}

}  // namespace
}  // namespace stowage::test
