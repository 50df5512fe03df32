// "Delete entire project" against the private engine, checked with docker itself: the
// project's containers, its exclusive built images and exclusive volumes go; what it shares
// with another project stays, and the confirmation says so.

#include "docker/CountText.h"
#include "engine/EngineModelRig.h"

#include <gmock/gmock.h>

namespace stowage::test {
namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

using ProjectTeardownE2ETest = FreshFixtureTest;

// sgfx-alpha's shared-data volume is also mounted by sgfx-beta; redis:7 runs in sgfx-beta and
// sgfx-delta.
TEST_F(ProjectTeardownE2ETest, DeletingAProjectKeepsWhatItSharesWithAnother)
{
    struct Case {
        QString project;
        QStringList containers;    // names
        QStringList images;        // refs of the built images that go
        QStringList volumes;       // fixture names of the volumes that go
        QStringList keptImages;    // refs listed under KEPT
        QStringList keptVolumes;   // fixture names
    };
    const Case cases[] = {
        {"sgfx-alpha", {"sgfx-alpha_web_1", "sgfx-alpha_worker_1"}, {"sgfx-alpha_web:latest", "sgfx-alpha_worker:latest"},
         {"anonymous:alpha-cache", "sgfx-alpha_spool"}, {}, {"sgfx-alpha_shared-data"}},
        {"sgfx-beta", {"sgfx-beta_api_1", "sgfx-beta_cache_1"}, {"sgfx-beta_api:latest"}, {"sgfx-beta_state"},
         {"redis:7"}, {"sgfx-alpha_shared-data"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.project.toStdString());
        if (&c != &cases[0]) {
            ASSERT_TRUE(engine.rebuildFixture());
        }
        EngineModelRig rig(engine);
        ASSERT_TRUE(rig.refreshAndWait());
        const DockerState before = DockerState::read(engine);
        const QSet<QString> containers = containerIdsOf(c.containers);
        const QSet<QString> images = imageIdsOf(c.images);
        const QSet<QString> volumes = volumesOf(c.volumes);
        const QSet<QString> keptImages = imageIdsOf(c.keptImages);
        const int runningBefore = static_cast<int>(engine.lines({"ps", "-q"}).size());

        rig.model->deleteEntireProject(c.project);
        ASSERT_TRUE(rig.waitIdle());

        // The confirmation lists exactly what goes, and what is kept.
        ASSERT_EQ(rig.alerts.confirms().size(), 1);
        EXPECT_EQ(rig.alerts.confirms()[0].title, "Delete entire project");
        const std::string text = rig.alerts.confirms()[0].message.toStdString();
        EXPECT_THAT(text, ::testing::StartsWith(QStringLiteral("Project: %1\n\nContainers to remove (%2):\n")
                                                    .arg(c.project)
                                                    .arg(c.containers.size())
                                                    .toStdString()));
        for (const QString& name : c.containers)
            EXPECT_THAT(text, HasSubstr(("\n  • " + name + "  (").toStdString()));
        EXPECT_THAT(text, HasSubstr(QStringLiteral("\n\nBuilt images to remove (%1):\n").arg(c.images.size()).toStdString()));
        for (const QString& ref : c.images)
            EXPECT_THAT(text, HasSubstr(("\n  • " + ref + "  (").toStdString()));
        EXPECT_THAT(text, HasSubstr(QStringLiteral("\n\nVolumes to remove (%1):\n").arg(c.volumes.size()).toStdString()));
        for (const QString& name : volumes)
            EXPECT_THAT(text, HasSubstr(("\n  • " + name + "  (").toStdString()));
        for (const QString& name : c.keptVolumes)
            EXPECT_THAT(text, Not(HasSubstr(name.toStdString())));
        if (c.keptImages.isEmpty()) {
            EXPECT_THAT(text, Not(HasSubstr("KEPT")));
        } else {
            QString kept = "\n\nKEPT (base / shared — not removed):";
            for (const QString& ref : c.keptImages)
                kept += "\n  • " + ref;
            EXPECT_THAT(text, HasSubstr((kept + "\n\n").toStdString()));
        }
        EXPECT_THAT(text, EndsWith("\n\n⚠ Volume data will be permanently deleted. Continue?"));

        // Docker lost exactly the project's containers, exclusive images and exclusive volumes.
        const DockerState after = DockerState::read(engine);
        EXPECT_EQ(after.containerIds, before.containerIds - containers);
        EXPECT_EQ(after.imageIds, before.imageIds - images);
        EXPECT_EQ(after.volumes, before.volumes - volumes);
        EXPECT_TRUE(after.imageIds.contains(keptImages));
        EXPECT_TRUE(after.volumes.contains(volumesOf(c.keptVolumes)));
        EXPECT_EQ(engine.lines({"ps", "-q"}).size(), runningBefore - 2 + (c.project == "sgfx-alpha" ? 1 : 0));

        // Asked by id and name, images without a force flag.
        QSet<QString> removedContainers;
        for (const QString& id : rig.itemsOf({"rm", "-f"}))
            removedContainers.insert(shortId(id));
        EXPECT_EQ(removedContainers, containers);
        EXPECT_EQ(toSet(rig.itemsOf({"rmi"})), images);
        EXPECT_EQ(toSet(rig.itemsOf({"volume", "rm"})), volumes);

        EXPECT_THAT(rig.model->statusText().toStdString(),
                    StartsWith(("project " + c.project + ": removed 2 containers, " + counted(images.size(), "image")
                                + ", " + counted(volumes.size(), "volume") + "  ·  Freed ")
                                   .toStdString()));
        EXPECT_TRUE(rig.alerts.infos().isEmpty());
        EXPECT_FALSE(rig.model->projects().contains(c.project));
        EXPECT_TRUE(rig.model->dataStale());

        // The local update agrees with a fresh read of Docker.
        const QSet<QString> shownContainers = containerIds(rig.model->containers());
        const QSet<QString> shownImages = imageIds(rig.model->images());
        const QSet<QString> shownVolumes = volumeNames(rig.model->volumes());
        ASSERT_TRUE(rig.refreshAndWait());
        EXPECT_EQ(shownContainers, containerIds(rig.model->containers()));
        EXPECT_EQ(shownImages, imageIds(rig.model->images()));
        EXPECT_EQ(shownVolumes, volumeNames(rig.model->volumes()));
        EXPECT_EQ(containerIds(rig.model->containers()), after.containerIds);
    }
}

}  // namespace
}  // namespace stowage::test
