// `stowage report` as a real process: SIGINT while its docker client waits on
// an engine that never answers stops the client and ends the run with 130.
#include "AppProcess.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QLocalServer>
#include <QStandardPaths>

#include <csignal>

namespace stowage::test {
namespace {

TEST(HeadlessCommand, SigintStopsTheDockerClientAndEndsWith130)
{
    if (!QFile::exists("/usr/local/bin/docker") && QStandardPaths::findExecutable("docker").isEmpty())
        GTEST_SKIP() << "no docker client";
    QTemporaryDir sockets;
    const QString path = sockets.filePath("silent.sock");
    QLocalServer engine;  // takes connections and never answers them
    ASSERT_TRUE(engine.listen(path));
    AppWorld world;
    const QString dockerHost = "DOCKER_HOST=unix://" + path;
    world.env.insert("DOCKER_HOST", "unix://" + path);

    const auto process = world.start({"report"});
    ASSERT_TRUE(waitUntil([&] { return processesWithEnvironment(dockerHost) >= 2; }, std::chrono::seconds(30)))
        << "stowage and its docker client";
    ::kill(pid_t(process->processId()), SIGINT);
    ASSERT_TRUE(process->waitForFinished(10'000));
    EXPECT_EQ(process->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process->exitCode(), 130);
    EXPECT_EQ(QString::fromUtf8(process->readAllStandardError()),
              "stowage: stopping…\nstowage: interrupted — nothing was removed.\n");
    EXPECT_TRUE(waitUntil([&] { return processesWithEnvironment(dockerHost) == 0; }, std::chrono::seconds(3)))
        << "a docker client outlived stowage";
}

}  // namespace
}  // namespace stowage::test
