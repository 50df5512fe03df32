// The removal engine against the private engine, checked with docker itself: a daemon that
// does not answer stops a removal before anything goes, and Stop in the middle of a removal
// leaves the model agreeing with what Docker really removed.

#include "engine/EngineModelRig.h"
#include "platform/PlatformWords.h"

#include <gmock/gmock.h>

#include <QThread>

#include <signal.h>

namespace stowage::test {
namespace {

using ::testing::Contains;

using RemovalEngineE2ETest = FreshFixtureTest;

// Holds the private engine's dockerd stopped (SIGSTOP) for its lifetime: the engine then
// accepts connections but answers nothing, as a wedged daemon does.
class FrozenDaemon {
public:
    explicit FrozenDaemon(const Engine& engine)
    {
        QFile file(engine.engineDir() + "/docker.pid");
        if (!file.open(QIODevice::ReadOnly))
            return;
        const pid_t candidate = file.readAll().trimmed().toInt();
        // Only ever the private engine's own dockerd.
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(candidate));
        if (candidate <= 1 || !cmdline.open(QIODevice::ReadOnly))
            return;
        const QByteArray args = cmdline.readAll();
        if (!args.startsWith("dockerd") || !args.contains(engine.engineDir().toUtf8() + "/data"))
            return;
        if (::kill(candidate, SIGSTOP) == 0)
            pid_ = candidate;
    }
    ~FrozenDaemon() { thaw(); }
    FrozenDaemon(const FrozenDaemon&) = delete;
    FrozenDaemon& operator=(const FrozenDaemon&) = delete;

    bool frozen() const { return pid_ > 0; }
    void thaw()
    {
        if (pid_ > 0)
            ::kill(pid_, SIGCONT);
        pid_ = 0;
    }

private:
    pid_t pid_ = 0;
};

// The health-check ending: the notice, the log line, nothing asked of Docker, nothing changed
// in the model or in Docker.
void expectStoppedAtTheHealthCheck(EngineModelRig& rig, const Inventory& shownBefore, const DockerState& before,
                                   const Engine& engine)
{
    ASSERT_EQ(rig.alerts.infos().size(), 1);
    EXPECT_EQ(rig.alerts.infos()[0].title, "Docker not responding");
    EXPECT_EQ(rig.alerts.infos()[0].message, "The Docker daemon didn't respond to a health check, so nothing was deleted."
                                             "\n\n" + platform::platformWords().restartDockerHelp);
    EXPECT_THAT(rig.logLines(), Contains("error [project sgfx-alpha] aborted — Docker daemon not responding"));
    EXPECT_EQ(rig.model->statusText(), "project sgfx-alpha: aborted — Docker daemon not responding. Nothing was removed.");
    EXPECT_TRUE(rig.removalCalls().isEmpty());
    EXPECT_EQ(rig.model->inventory(), shownBefore);
    EXPECT_FALSE(rig.model->isLoading());

    const DockerState after = DockerState::read(engine);
    EXPECT_EQ(after.containerIds, before.containerIds);
    EXPECT_EQ(after.imageIds, before.imageIds);
    EXPECT_EQ(after.volumes, before.volumes);
    EXPECT_EQ(engine.lines({"ps", "-q"}).size(), 5);
}

TEST_F(RemovalEngineE2ETest, AWedgedDaemonStopsTheRemovalAtTheHealthCheck)
{
    EngineModelRig::Setup setup;
    setup.removalLimits.healthCheck = 1.0;
    EngineModelRig rig(engine, setup);
    ASSERT_TRUE(rig.refreshAndWait());
    const Inventory shownBefore = rig.model->inventory();
    const DockerState before = DockerState::read(engine);
    {
        FrozenDaemon frozen(engine);
        ASSERT_TRUE(frozen.frozen()) << "could not stop the private engine's dockerd";
        rig.model->deleteEntireProject("sgfx-alpha");
        ASSERT_TRUE(rig.waitIdle(std::chrono::seconds(15)));
    }
    ASSERT_TRUE(waitUntil([&] { return engine.run({"version"}, Engine::docker20Client(), 5000).ok(); },
                          std::chrono::seconds(20)));
    QThread::msleep(300);  // lets anything queued at the socket while frozen reach the engine first
    const QStringList lines = rig.logLines();
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const QString& line) {
        return line.startsWith("error version --format {{.Server.Version}} — TIMED OUT");
    })) << lines.join('\n').toStdString();
    expectStoppedAtTheHealthCheck(rig, shownBefore, before, engine);
}

TEST_F(RemovalEngineE2ETest, NoDaemonBehindTheSocketStopsTheRemovalAtTheHealthCheck)
{
    // The inventory comes from a real refresh (through the state cache); the runner then
    // points at a socket where nothing listens.
    EngineModelRig reader(engine);
    ASSERT_TRUE(reader.refreshAndWait());
    reader.model->flushCache();
    EngineModelRig::Setup setup;
    setup.dockerHost = "unix://" + engine.engineDir() + "/no-daemon.sock";
    setup.cacheFile = reader.cacheFile();
    EngineModelRig rig(engine, setup);
    ASSERT_TRUE(rig.model->loadCache());
    ASSERT_TRUE(rig.model->usageDataComplete());
    const Inventory shownBefore = rig.model->inventory();
    const DockerState before = DockerState::read(engine);

    rig.model->deleteEntireProject("sgfx-alpha");
    ASSERT_TRUE(rig.waitIdle(std::chrono::seconds(15)));

    expectStoppedAtTheHealthCheck(rig, shownBefore, before, engine);
}

// Stop in the middle of a removal of many volumes, one command each: what Docker confirmed is
// gone from the model, the rest is still in Docker and in the model.
TEST_F(RemovalEngineE2ETest, StopInTheMiddleKeepsTheModelInStepWithDocker)
{
    constexpr int count = 24;
    const QSet<QString> fixtureVolumes = DockerState::read(engine).volumes;
    QSet<QString> many;
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("sgfx-many-%1").arg(i, 2, 10, QLatin1Char('0'));
        engine.docker({"volume", "create", name});
        many.insert(name);
    }
    EngineModelRig::Setup setup;
    setup.limits.removeBatchSize = 1;
    EngineModelRig rig(engine, setup);
    ASSERT_TRUE(rig.refreshAndWait());
    ASSERT_TRUE(volumeNames(rig.model->volumes()).contains(many));

    rig.model->removeSelectedVolumes(many);
    ASSERT_TRUE(rig.model->isLoading());
    ASSERT_TRUE(waitUntil([&] { return rig.itemsOf({"volume", "rm"}).size() >= 6; }, std::chrono::seconds(30)));
    rig.model->cancelCurrentOperation();
    ASSERT_TRUE(rig.waitIdle(std::chrono::seconds(15)));
    const qsizetype commandsRun = rig.itemsOf({"volume", "rm"}).size();
    QThread::msleep(300);
    EXPECT_EQ(rig.itemsOf({"volume", "rm"}).size(), commandsRun) << "a removal command started after Stop";

    const DockerState after = DockerState::read(engine);
    const QSet<QString> goneInDocker = many - after.volumes;
    const QSet<QString> goneInModel = many - volumeNames(rig.model->volumes());
    EXPECT_GT(goneInModel.size(), 0);
    EXPECT_LT(goneInDocker.size(), count) << "Stop did not stop the removal";
    EXPECT_TRUE(goneInDocker.contains(goneInModel)) << "the model dropped volumes that Docker still holds";
    // The command running when Stop killed it may or may not have reached the engine; the
    // next refresh reconciles that one. Every other volume agrees.
    EXPECT_LE((goneInDocker - goneInModel).size(), 1);
    EXPECT_EQ(after.volumes - many, fixtureVolumes);

    EXPECT_EQ(rig.model->statusText(),
              QStringLiteral("selected volumes: cancelled — removed %1/%2.").arg(goneInModel.size()).arg(count));
    EXPECT_TRUE(rig.model->dataStale());
    EXPECT_TRUE(rig.alerts.infos().isEmpty());
    const QString summary = QStringLiteral("[selected volumes] removed %1/%2").arg(goneInModel.size()).arg(count);
    const QStringList lines = rig.logLines();
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const QString& line) { return line.contains(summary); }))
        << lines.join('\n').toStdString();
}

}  // namespace
}  // namespace stowage::test
