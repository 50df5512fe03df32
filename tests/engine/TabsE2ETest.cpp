// "Delete entire project" pressed on a project card removes that project from the private engine
// and the card from the tab.

#include "EngineRig.h"

#include "ui/ProjectCardList.h"
#include "ui/ProjectListModel.h"
#include "ui/ProjectsTab.h"

#include <QListView>
#include <QTest>

namespace stowage::test {
namespace {

using ProjectCardE2ETest = FreshFixtureTest;

// sgfx-beta runs redis:7, which sgfx-delta runs too, and mounts sgfx-alpha's shared-data volume.
TEST_F(ProjectCardE2ETest, DeleteEntireProjectOnACardRemovesItFromTheEngine)
{
    EngineModelRig rig(engine);
    ASSERT_TRUE(rig.refreshAndWait()) << rig.model->statusText().toStdString();
    const DockerState before = DockerState::read(engine);
    const QString betaApi = engine.imageId("sgfx-beta_api:latest");
    const QSet<QString> betaContainers = containerIdsOf({"sgfx-beta_api_1", "sgfx-beta_cache_1"});
    ProjectsTab tab(*rig.model);
    tab.resize(1200, 900);
    tab.show();
    drainEvents();
    const QRect button = tab.actionRect("sgfx-beta", CardAction::deleteProject);
    ASSERT_FALSE(button.isEmpty());
    QTest::mouseClick(tab.list().viewport(), Qt::LeftButton, {}, button.center());
    ASSERT_TRUE(waitUntil([&] { return !rig.alerts.confirms().isEmpty(); }));
    ASSERT_TRUE(rig.waitIdle());
    EXPECT_TRUE(rig.alerts.confirms()[0].message.contains("\n\nKEPT (base / shared — not removed):\n  • redis:7\n"));

    const DockerState after = DockerState::read(engine);
    EXPECT_EQ(after.containerIds, before.containerIds - betaContainers);
    EXPECT_EQ(after.imageRefs, before.imageRefs - QSet<QString>{"sgfx-beta_api:latest"});
    EXPECT_EQ(after.volumes, before.volumes - QSet<QString>{"sgfx-beta_state"});
    EXPECT_EQ(rig.itemsOf({"rmi"}), QStringList{betaApi});
    EXPECT_EQ(rig.itemsOf({"volume", "rm"}), QStringList{"sgfx-beta_state"});
    tab.render();
    EXPECT_EQ(tab.cards().rowOf("sgfx-beta"), -1);
    EXPECT_GE(tab.cards().rowOf("sgfx-alpha"), 0);
}

}  // namespace
}  // namespace stowage::test
