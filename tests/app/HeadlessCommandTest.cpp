// `stowage report` as a real process: SIGINT while its docker client waits on
// an engine that never answers stops the client and ends the run with 130.
#include "AppProcess.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <csignal>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace stowage::test {
namespace {

// A socket that takes connections into its backlog and never answers them.
class SilentEngine {
public:
    explicit SilentEngine(const QString& path) : fd_(::socket(AF_UNIX, SOCK_STREAM, 0))
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray bytes = QFile::encodeName(path);
        std::copy(bytes.begin(), bytes.end(), address.sun_path);
        listening_ = bytes.size() < qsizetype(sizeof(address.sun_path))
            && ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 && ::listen(fd_, 16) == 0;
    }
    ~SilentEngine() { ::close(fd_); }
    bool listening() const { return listening_; }

private:
    int fd_;
    bool listening_ = false;
};

TEST(HeadlessCommand, SigintStopsTheDockerClientAndEndsWith130)
{
    if (!QFile::exists("/usr/local/bin/docker") && QStandardPaths::findExecutable("docker").isEmpty())
        GTEST_SKIP() << "no docker client";
    QTemporaryDir sockets;
    const QString path = sockets.filePath("silent.sock");
    SilentEngine engine(path);
    ASSERT_TRUE(engine.listening());
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
