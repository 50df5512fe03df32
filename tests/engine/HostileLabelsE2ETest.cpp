// Labels are free text that anyone who can run a container writes. A project named with shell
// syntax, quotes and format placeholders, with a working directory of the same kind, is shown
// literally and removed through the ordinary paths; docker receives plain ids and names, and no
// shell ever runs any of it.

#include "engine/EngineModelRig.h"

#include <gmock/gmock.h>

namespace stowage::test {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::StartsWith;

using HostileLabelsE2ETest = FreshFixtureTest;

TEST_F(HostileLabelsE2ETest, ProjectNamesWithShellSyntaxAreShownAndRemovedLiterally)
{
    // Docker keeps names to [a-zA-Z0-9][a-zA-Z0-9_.-]; labels take anything (but a comma, which
    // docker's listing uses to join them).
    const QString marker = QDir::tempPath() + "/sgfx-pwned";
    const QString backtickMarker = QDir::tempPath() + "/sgfx-pwned-bt";
    QFile::remove(marker);
    QFile::remove(backtickMarker);
    const QString project = "evil;$(touch " + marker + ") \"q\" 'sq' `touch " + backtickMarker + "` %1 %2 | & < > * \\";
    const QString workingDir = "/tmp/sgfx evil; $(touch " + marker + ") \"dir\" 'x' %1";
    const QStringList labels = {"--label", "com.docker.compose.project=" + project,
                                "--label", "com.docker.compose.project.working_dir=" + workingDir,
                                "--label", "com.docker.compose.project.config_files=" + workingDir + "/compose.yml"};
    engine.docker(QStringList{"volume", "create"} + labels + QStringList{"sgfx-evil"});
    engine.docker(QStringList{"volume", "create"} + labels + QStringList{"sgfx-evil-data"});
    const QString containerId = QString::fromUtf8(engine.docker(QStringList{"create", "--name", "sgfx-evil-app"} + labels
                                                                + QStringList{"-v", "sgfx-evil-data:/data",
                                                                              "sgfx-solo:latest"}))
                                    .trimmed();
    ASSERT_FALSE(containerId.isEmpty());

    EngineModelRig rig(engine);
    ASSERT_TRUE(rig.refreshAndWait());
    ASSERT_TRUE(rig.model->projects().contains(project));
    EXPECT_EQ(rig.model->projectsMeta().value(project).path, workingDir);
    ASSERT_TRUE(volumeNames(rig.model->volumesMatching(Classify::VolumeUsage::orphanLabeled)).contains("sgfx-evil"));
    const QSet<QString> orphans = volumesOf({"sgfx-evil", "sgfx-gamma_db", "anonymous:orphan", "sgfx-loose"});
    ASSERT_FALSE(orphans.contains(QString()));

    // The labelled orphan first: the caveat names its project as it is.
    rig.model->cleanOrphanVolumes();
    ASSERT_TRUE(rig.waitIdle());
    ASSERT_EQ(rig.alerts.confirms().size(), 1);
    const std::string orphanDialog = rig.alerts.confirms()[0].message.toStdString();
    EXPECT_THAT(orphanDialog, HasSubstr("\n\n⚠ 2 of these carry a compose project label."));
    EXPECT_THAT(orphanDialog, HasSubstr(("\n  • " + project + ": 1 volume(s), 0 B\n  • sgfx-gamma: 1 volume(s), ").toStdString()));
    EXPECT_EQ(toSet(rig.itemsOf({"volume", "rm"})), orphans);
    DockerState state = DockerState::read(engine);
    EXPECT_FALSE(state.volumes.intersects(orphans));
    EXPECT_TRUE(state.volumes.contains("sgfx-evil-data"));
    EXPECT_EQ(rig.model->statusText(), "orphan volumes: removed 0 containers, 0 images, 4 volumes  ·  data is stale — "
                                       "Refresh to reconcile.");

    // Then the whole project: its container and its remaining volume; the standalone image it
    // runs stays.
    rig.model->deleteEntireProject(project);
    ASSERT_TRUE(rig.waitIdle());
    ASSERT_EQ(rig.alerts.confirms().size(), 2);
    const std::string projectDialog = rig.alerts.confirms()[1].message.toStdString();
    EXPECT_THAT(projectDialog, StartsWith(("Project: " + project + "\n\nContainers to remove (1):\n  • sgfx-evil-app  (Created)\n")
                                              .toStdString()));
    EXPECT_THAT(projectDialog, HasSubstr("\n\nVolumes to remove (1):\n  • sgfx-evil-data  ("));
    EXPECT_THAT(projectDialog, HasSubstr("\n\nKEPT (base / shared — not removed):\n  • sgfx-solo:"));
    EXPECT_THAT(rig.logLines(), Contains("info [project " + project + "] removed 2/2"));
    EXPECT_EQ(rig.model->statusText(), "project " + project + ": removed 1 containers, 0 images, 1 volumes  ·  data is stale — "
                                                              "Refresh to reconcile.");
    const QList<QStringList> calls = rig.removalCalls();
    ASSERT_GE(calls.size(), 2);
    EXPECT_EQ(calls.mid(calls.size() - 2),
              (QList<QStringList>{{"rm", "-f", shortId(containerId)}, {"volume", "rm", "sgfx-evil-data"}}));
    state = DockerState::read(engine);
    EXPECT_FALSE(state.containerNames.contains("sgfx-evil-app"));
    EXPECT_FALSE(state.volumes.contains("sgfx-evil-data"));
    EXPECT_TRUE(state.imageRefs.contains("sgfx-solo:latest"));
    EXPECT_EQ(state.containerIds.size(), 7);
    EXPECT_TRUE(rig.alerts.infos().isEmpty());

    EXPECT_FALSE(QFile::exists(marker)) << "a shell ran text from a label";
    EXPECT_FALSE(QFile::exists(backtickMarker)) << "a shell ran text from a label";
}

}  // namespace
}  // namespace stowage::test
