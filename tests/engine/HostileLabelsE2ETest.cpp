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
    EXPECT_THAT(orphanDialog, HasSubstr(("\n  • " + project + ": 1 volume, 0 B\n  • sgfx-gamma: 1 volume, ").toStdString()));
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
    EXPECT_EQ(rig.model->statusText(), "project " + project + ": removed 1 container, 0 images, 1 volume  ·  data is stale — "
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

// docker's listing joins labels with bare commas, so a label value (from any image's LABEL) can
// forge the compose project label. The project is read from the label itself, with either
// client: a forged one never draws a container or a volume into another project's teardown.
TEST_F(HostileLabelsE2ETest, AForgedProjectLabelNeverMovesAnythingIntoAnotherProject)
{
    const QString forged = "a=x,com.docker.compose.project=sgfx-beta";
    engine.docker({"create", "--name", "sgfx-spoof", "--label", "com.docker.compose.project=spoofproj", "--label", forged,
                   "sgfx-solo:latest"});
    engine.docker({"create", "--name", "sgfx-forged-only", "--label", forged, "sgfx-solo:latest"});
    // A forged anonymous-volume label must not make a named volume safe to remove either.
    engine.docker({"volume", "create", "--label", forged + ",com.docker.volume.anonymous=", "sgfx-forged-vol"});

    for (const QString& client : {Engine::docker28Client(), Engine::docker20Client()}) {
        SCOPED_TRACE(client.toStdString());
        EngineModelRig rig(engine, {.client = client});
        ASSERT_TRUE(rig.refreshAndWait());
        auto namesIn = [&](const QString& project) {
            QSet<QString> names;
            for (const SGContainer& c : rig.model->projects().value(project))
                names.insert(c.name);
            return names;
        };
        EXPECT_EQ(namesIn("sgfx-beta"), (QSet<QString>{"sgfx-beta_api_1", "sgfx-beta_cache_1"}));
        EXPECT_EQ(namesIn("spoofproj"), QSet<QString>{"sgfx-spoof"});
        EXPECT_TRUE(namesIn("").contains("sgfx-forged-only"));
        const auto volume = std::find_if(rig.model->volumes().begin(), rig.model->volumes().end(),
                                         [](const SGVolume& v) { return v.name == "sgfx-forged-vol"; });
        ASSERT_NE(volume, rig.model->volumes().end());
        EXPECT_EQ(volume->project, "");
        EXPECT_EQ(rig.model->volumeUsage(*volume), Classify::VolumeUsage::orphanNamed);

        rig.alerts.defaultAnswer = false;
        rig.model->deleteEntireProject("sgfx-beta");
        ASSERT_EQ(rig.alerts.confirms().size(), 1);
        const std::string dialog = rig.alerts.confirms()[0].message.toStdString();
        EXPECT_THAT(dialog, HasSubstr("Containers to remove (2):"));
        EXPECT_THAT(dialog, ::testing::Not(HasSubstr("sgfx-spoof")));
        EXPECT_THAT(dialog, ::testing::Not(HasSubstr("sgfx-forged")));
    }
    EXPECT_EQ(DockerState::read(engine).containerIds.size(), 9);  // declined: nothing removed
}

}  // namespace
}  // namespace stowage::test
