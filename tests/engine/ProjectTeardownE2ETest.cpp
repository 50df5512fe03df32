// "Delete entire project" against the private engine, checked with docker itself: the
// project's containers, its exclusive built images and exclusive volumes go; what it shares
// with another project stays, and the confirmation says so. (sgfx-beta, which shares redis:7,
// is taken down through its project card in TabsE2ETest.)

#include "EngineRig.h"

#include <gmock/gmock.h>

namespace stowage::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

using ProjectTeardownE2ETest = FreshFixtureTest;

// sgfx-alpha's shared-data volume is also mounted by sgfx-beta's running container.
TEST_F(ProjectTeardownE2ETest, DeletingAProjectKeepsWhatItSharesWithAnother)
{
    EngineModelRig rig(engine);
    ASSERT_TRUE(rig.refreshAndWait());
    const DockerState before = DockerState::read(engine);
    const QSet<QString> containers = containerIdsOf({"sgfx-alpha_web_1", "sgfx-alpha_worker_1"});
    const QSet<QString> images = imageIdsOf({"sgfx-alpha_web:latest", "sgfx-alpha_worker:latest"});
    const QSet<QString> volumes = volumesOf({"anonymous:alpha-cache", "sgfx-alpha_spool"});

    rig.model->removals().deleteEntireProject("sgfx-alpha");
    ASSERT_TRUE(rig.waitIdle());

    // The confirmation names what goes and not the shared volume.
    ASSERT_EQ(rig.alerts.confirms().size(), 1);
    const std::string text = rig.alerts.confirms()[0].message.toStdString();
    for (const QString& name : QStringList{"sgfx-alpha_web_1", "sgfx-alpha_worker_1", "sgfx-alpha_web:latest",
                                           "sgfx-alpha_worker:latest"} + volumes.values())
        EXPECT_THAT(text, HasSubstr(("\n  • " + name + "  (").toStdString()));
    EXPECT_THAT(text, Not(HasSubstr("sgfx-alpha_shared-data")));

    // Docker lost exactly the project's containers, exclusive images and exclusive volumes, asked
    // by id and name, images without a force flag.
    const DockerState after = DockerState::read(engine);
    EXPECT_EQ(after.containerIds, before.containerIds - containers);
    EXPECT_EQ(after.imageIds, before.imageIds - images);
    EXPECT_EQ(after.volumes, before.volumes - volumes);
    EXPECT_EQ(after.running, before.running - 1);
    QSet<QString> removedContainers;
    for (const QString& id : rig.itemsOf({"rm"}))
        if (id != "-f")
            removedContainers.insert(shortId(id));
    EXPECT_EQ(removedContainers, containers);
    EXPECT_EQ(rig.itemsOf({"rm", "-f"}).size(), 1);  // forced: only the container that runs
    EXPECT_EQ(toSet(rig.itemsOf({"rmi"})), images);
    EXPECT_EQ(toSet(rig.itemsOf({"volume", "rm"})), volumes);
    EXPECT_TRUE(rig.alerts.infos().isEmpty());
    EXPECT_TRUE(rig.model->dataStale());
    EXPECT_THAT(rig.model->statusText().toStdString(), HasSubstr(", 2 volumes  ·  Freed "));  // the engine's figures

    // The local update agrees with a fresh read of Docker.
    EXPECT_EQ(containerIds(rig.model->inventory().containers), after.containerIds);
    EXPECT_EQ(imageIds(rig.model->inventory().images), after.imageIds);
    EXPECT_EQ(volumeNames(rig.model->inventory().volumes), after.volumes);
    // The shared volume is sgfx-alpha's data: the project stays, without containers, with it.
    ASSERT_TRUE(rig.model->index().projects.contains("sgfx-alpha"));
    EXPECT_TRUE(rig.model->index().projects.value("sgfx-alpha").isEmpty());
    EXPECT_EQ(volumeNames(rig.model->index().projectsMeta.value("sgfx-alpha").volumes), QSet<QString>{"sgfx-alpha_shared-data"});
}

}  // namespace
}  // namespace stowage::test
