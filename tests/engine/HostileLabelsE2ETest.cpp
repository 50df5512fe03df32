// Labels are free text that anyone who can run a container writes. A project named with shell
// syntax, quotes and format placeholders, with a working directory of the same kind, is shown
// literally and removed through the ordinary paths; docker receives plain ids and names, and no
// shell ever runs any of it.

#include "EngineRig.h"

#include <QDir>
#include <QFile>

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
    const QString containerId = engine.line(QStringList{"create", "--name", "sgfx-evil-app"} + labels
                                            + QStringList{"-v", "sgfx-evil-data:/data", "sgfx-solo:latest"});
    ASSERT_FALSE(containerId.isEmpty());

    EngineModelRig rig(engine);
    ASSERT_TRUE(rig.refreshAndWait());
    ASSERT_TRUE(rig.model->index().projects.contains(project));
    EXPECT_EQ(rig.model->index().projectsMeta.value(project).path, workingDir);
    ASSERT_TRUE(volumeNames(rig.model->classification().volumesMatching(Classify::VolumeUsage::orphanLabeled)).contains("sgfx-evil"));
    const QSet<QString> orphans = volumesOf({"sgfx-evil", "sgfx-gamma_db", "anonymous:orphan", "sgfx-loose"});
    ASSERT_FALSE(orphans.contains(QString()));

    // The labelled orphan first: the caveat names its project as it is.
    rig.model->removals().cleanOrphanVolumes();
    ASSERT_TRUE(rig.waitIdle());
    ASSERT_EQ(rig.alerts.confirms().size(), 1);
    EXPECT_THAT(rig.alerts.confirms()[0].message.toStdString(), HasSubstr(("\n  • " + project + ": 1 volume, 0 B\n").toStdString()));
    EXPECT_EQ(toSet(rig.itemsOf({"volume", "rm"})), orphans);
    DockerState state = DockerState::read(engine);
    EXPECT_FALSE(state.volumes.intersects(orphans));
    EXPECT_TRUE(state.volumes.contains("sgfx-evil-data"));

    // Then the whole project: its container and its remaining volume; the standalone image it
    // runs stays.
    rig.model->removals().deleteEntireProject(project);
    ASSERT_TRUE(rig.waitIdle());
    ASSERT_EQ(rig.alerts.confirms().size(), 2);
    EXPECT_THAT(rig.alerts.confirms()[1].message.toStdString(), StartsWith(("Project: " + project + "\n\n").toStdString()));
    EXPECT_THAT(rig.logLines(), Contains("info [project " + project + "] removed 2/2"));
    const QList<QStringList> calls = rig.removalCalls();
    ASSERT_GE(calls.size(), 2);
    EXPECT_EQ(calls.mid(calls.size() - 2),
              (QList<QStringList>{{"rm", shortId(containerId)}, {"volume", "rm", "sgfx-evil-data"}}));  // created, not running
    state = DockerState::read(engine);
    EXPECT_FALSE(state.containerNames.contains("sgfx-evil-app"));
    EXPECT_FALSE(state.volumes.contains("sgfx-evil-data"));
    EXPECT_TRUE(state.imageRefs.contains("sgfx-solo:latest"));
    EXPECT_EQ(state.containerIds.size(), count("containers"));
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
            return toSet(listOf(rig.model->index().projects.value(project), [](const SGContainer& c) { return c.name; }));
        };
        EXPECT_EQ(namesIn("sgfx-beta"), (QSet<QString>{"sgfx-beta_api_1", "sgfx-beta_cache_1"}));
        EXPECT_EQ(namesIn("spoofproj"), QSet<QString>{"sgfx-spoof"});
        EXPECT_TRUE(namesIn("").contains("sgfx-forged-only"));
        EXPECT_TRUE(volumeNames(rig.model->classification().volumesMatching(Classify::VolumeUsage::orphanNamed)).contains("sgfx-forged-vol"));

        rig.alerts.defaultAnswer = false;
        rig.model->removals().deleteEntireProject("sgfx-beta");
        ASSERT_EQ(rig.alerts.confirms().size(), 1);
        EXPECT_THAT(rig.alerts.confirms()[0].message.toStdString(), ::testing::Not(HasSubstr("sgfx-spoof")));
        EXPECT_THAT(rig.alerts.confirms()[0].message.toStdString(), ::testing::Not(HasSubstr("sgfx-forged")));
    }
    EXPECT_EQ(DockerState::read(engine).containerIds.size(), count("containers") + 2);  // declined: nothing removed
}

}  // namespace
}  // namespace stowage::test
