// The removal engine against the private engine, checked with docker itself: a daemon that
// accepts connections but answers nothing stops a removal before anything goes, and Stop or a
// termination signal in the middle of a removal leaves the model agreeing with what Docker removed.

#include "EngineRig.h"

#include "platform/TerminationSignals.h"
#include "support/RecordingDesktop.h"
#include "ui/shell/MainWindow.h"

#include <gmock/gmock.h>

#include <QThread>

#include <signal.h>

namespace stowage::test {
namespace {

using ::testing::Contains;

using RemovalEngineE2ETest = FreshFixtureTest;

// Holds the private engine's own dockerd stopped (SIGSTOP) for its lifetime: the engine then
// accepts connections but answers nothing, as a wedged daemon does.
struct FrozenDaemon {
    explicit FrozenDaemon(const Engine& engine)
    {
        const pid_t candidate = readFile(engine.engineDir() + "/docker.pid").trimmed().toInt();
        const QByteArray cmdline = readFile(QStringLiteral("/proc/%1/cmdline").arg(candidate)).replace('\0', ' ');
        if (candidate > 1 && cmdline.startsWith("dockerd --data-root " + engine.engineDir().toUtf8())
            && ::kill(candidate, SIGSTOP) == 0)
            pid = candidate;
    }
    ~FrozenDaemon()
    {
        if (pid > 0)
            ::kill(pid, SIGCONT);
    }
    pid_t pid = 0;
};

TEST_F(RemovalEngineE2ETest, AWedgedDaemonStopsTheRemovalAtTheHealthCheck)
{
    EngineModelRig rig(engine, {.removalLimits = {.healthCheck = 1.0, .imageRemove = 60, .prune = 120}});
    ASSERT_TRUE(rig.refreshAndWait());
    const Inventory shownBefore = rig.model->inventory();
    const DockerState before = DockerState::read(engine);
    {
        FrozenDaemon frozen(engine);
        ASSERT_NE(frozen.pid, 0) << "could not stop the private engine's dockerd";
        rig.model->removals().deleteEntireProject("sgfx-alpha");
        ASSERT_TRUE(rig.waitIdle(std::chrono::seconds(15)));
    }
    ASSERT_TRUE(waitUntil([&] { return engine.run({"version"}, Engine::docker20Client(), 5000).ok(); },
                          std::chrono::seconds(20)));
    QThread::msleep(300);  // lets anything queued at the socket while frozen reach the engine first
    const QStringList lines = rig.logLines();
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const QString& line) {
        return line.startsWith("error version --format {{.Server.Version}} — TIMED OUT");
    })) << lines.join('\n').toStdString();
    EXPECT_EQ(rig.alerts.infos().value(0).title, "Docker not responding");
    EXPECT_THAT(lines, Contains("error [project sgfx-alpha] aborted — Docker daemon not responding"));
    EXPECT_TRUE(rig.removalCalls().isEmpty());
    EXPECT_EQ(rig.model->inventory(), shownBefore);
    const DockerState after = DockerState::read(engine);
    EXPECT_EQ(after.containerIds, before.containerIds);
    EXPECT_EQ(after.imageIds, before.imageIds);
    EXPECT_EQ(after.volumes, before.volumes);
    EXPECT_EQ(after.running, count("runningContainers"));
}

// Stop in the middle of a removal of many volumes, one command each, by the Stop button or by
// SIGTERM to the window: what Docker confirmed is gone from the model, the rest is still in Docker
// and in the model, no command starts after the stop, and a signal closes the window only then,
// with the log saying what went and why it stopped.
TEST_F(RemovalEngineE2ETest, StopInTheMiddleKeepsTheModelInStepWithDocker)
{
    constexpr int total = 24;
    for (const bool bySignal : {false, true}) {
        SCOPED_TRACE(bySignal ? "SIGTERM" : "Stop");
        QSet<QString> many;
        for (int i = 0; i < total; ++i) {
            const QString name = QStringLiteral("sgfx-many-%1-%2").arg(int(bySignal)).arg(i, 2, 10, QLatin1Char('0'));
            engine.docker({"volume", "create", name});
            many.insert(name);
        }
        const QSet<QString> before = DockerState::read(engine).volumes;
        EngineModelRig rig(engine, {.limits = {.removeBatchSize = 1}});
        ASSERT_TRUE(rig.refreshAndWait());
        ASSERT_TRUE(volumeNames(rig.model->inventory().volumes).contains(many));
        RecordingDesktop desktop;
        MainWindow window(*rig.model, rig.log, desktop);
        platform::TerminationSignals termination;
        window.quitOn(termination);
        window.show();

        rig.model->removals().removeSelectedVolumes(many);
        ASSERT_TRUE(rig.model->isLoading());
        ASSERT_TRUE(waitUntil([&] { return rig.itemsOf({"volume", "rm"}).size() >= 6; }, std::chrono::seconds(30)));
        if (bySignal)
            ::raise(SIGTERM);
        else
            rig.model->cancelCurrentOperation();
        ASSERT_TRUE(rig.waitIdle(std::chrono::seconds(15)));
        ASSERT_TRUE(waitUntil([&] { return window.isVisible() != bySignal; }));
        const qsizetype commandsRun = rig.itemsOf({"volume", "rm"}).size();
        QThread::msleep(300);
        EXPECT_EQ(rig.itemsOf({"volume", "rm"}).size(), commandsRun) << "a removal command started after the stop";
        drainEvents();
        EXPECT_TRUE(rig.operations.active().isEmpty());

        const DockerState after = DockerState::read(engine);
        const QSet<QString> goneInDocker = many - after.volumes;
        const QSet<QString> goneInModel = many - volumeNames(rig.model->inventory().volumes);
        EXPECT_GT(goneInModel.size(), 0);
        EXPECT_LT(goneInDocker.size(), total) << "the removal was not stopped";
        EXPECT_TRUE(goneInDocker.contains(goneInModel)) << "the model dropped volumes that Docker still holds";
        // The command running when the stop killed it may or may not have reached the engine; the
        // next refresh reconciles that one. Every other volume agrees.
        EXPECT_LE((goneInDocker - goneInModel).size(), 1);
        EXPECT_EQ(after.volumes - many, before - many);
        EXPECT_TRUE(rig.model->dataStale());

        const QString ending = QStringLiteral("selected volumes: cancelled — removed %1/%2.").arg(goneInModel.size()).arg(total);
        EXPECT_EQ(rig.model->statusText(), ending);
        EXPECT_TRUE(rig.alerts.infos().isEmpty());
        if (bySignal) {
            EXPECT_EQ(rig.logLines().filter("SIGTERM"),
                      (QStringList{"warn SIGTERM received — stopping the running operation, then quitting",
                                   "warn SIGTERM received — operation stopped: " + ending}));
        }
    }
}

}  // namespace
}  // namespace stowage::test
