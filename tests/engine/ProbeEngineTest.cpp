// `stowage --probe` end to end: the real executable against the private engine prints the
// fixture's six summary lines, a stopped daemon gives one ERROR line, and in every case the
// process ends with status 0 after its log lines reached the file.

#include "EngineRig.h"

#include "docker/Probe.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace stowage;
using namespace stowage::test;
using ::testing::Contains;
using ::testing::ElementsAre;

namespace {

struct ProbeRun {
    int exitCode = -1;
    QStringList lines;  // standard output, line by line
    QString logFile;    // the activity log the run wrote
};

class ProbeEngineTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(home.isValid() && bin.isValid());
        // The docker on PATH; the runner's fixed candidates still come first.
        ASSERT_TRUE(QFile::link(Engine::docker28Client(), bin.filePath("docker")));
    }

    // Runs the real executable with the engine's environment, a private data folder (so that
    // the user's activity log is never touched) and `dockerHost` when given.
    ProbeRun runProbe(const QStringList& arguments, const QString& dockerHost = {})
    {
        QProcessEnvironment env = engine.environment();
        env.insert("XDG_DATA_HOME", home.path());
        env.insert("PATH", bin.path() + ":" + env.value("PATH"));
        if (!dockerHost.isEmpty())
            env.insert("DOCKER_HOST", dockerHost);
        QProcess process;
        process.setProgram(QStringLiteral(STOWAGE_EXE_PATH));
        process.setArguments(arguments);
        process.setProcessEnvironment(env);
        process.start();
        ProbeRun run;
        run.logFile = home.filePath("Stowage/activity.log");
        if (!process.waitForFinished(120000)) {
            process.kill();
            process.waitForFinished();
            ADD_FAILURE() << "stowage --probe did not end: " << process.errorString().toStdString();
            return run;
        }
        if (process.exitStatus() == QProcess::NormalExit)
            run.exitCode = process.exitCode();
        run.lines = QString::fromUtf8(process.readAllStandardOutput()).split('\n');
        if (run.lines.value(run.lines.size() - 1).isEmpty())
            run.lines.removeLast();  // the last line ends with a line feed
        return run;
    }

    QStringList fixtureSummary() const
    {
        const QString buildCache = QString::fromUtf8(engine.docker(
            {"system", "df", "--format", "{{if eq .Type \"Build Cache\"}}{{.Size}} reclaimable {{.Reclaimable}}{{end}}"}));
        return {
            QStringLiteral("containers: %1").arg(expectedCount(expected, "containers")),
            QStringLiteral("images: %1 | first id is sha256: true").arg(expectedCount(expected, "imageRows")),
            QStringLiteral("volumes: %1").arg(expectedCount(expected, "volumes")),
            "build cache: " + buildCache.trimmed(),
            // 3.146MB + 2.097MB + 1.573MB + 524.3kB, read in powers of 1024, are 7.33 MiB.
            QStringLiteral("volume sizes: %1 | total 7.3 MB").arg(expectedCount(expected, "volumes")),
            "docker root: " + engine.engineDir() + "/data",
        };
    }

    QTemporaryDir home;
    QTemporaryDir bin;
};

QStringList fileLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

// A socket file that nobody listens on, as a crashed daemon leaves behind.
bool makeStaleSocket(const QString& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray bytes = QFile::encodeName(path);
    if (bytes.size() >= qsizetype(sizeof(address.sun_path))) {
        ::close(fd);
        return false;
    }
    std::copy(bytes.begin(), bytes.end(), address.sun_path);
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return bound;
}

TEST_F(ProbeEngineTest, TheExecutablePrintsTheFixturesSummaryAndExitsZero)
{
    const ProbeRun run = runProbe({"--probe"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.lines, fixtureSummary());
}

TEST_F(ProbeEngineTest, BothClientsGiveTheSameSummary)
{
    for (const QString& client : {Engine::docker20Client(), Engine::docker28Client()}) {
        SCOPED_TRACE(client.toStdString());
        EngineClientRig rig(engine, client);
        EXPECT_EQ(Probe::lines(*rig.client), fixtureSummary());
    }
}

TEST_F(ProbeEngineTest, AStoppedDaemonGivesOneErrorLineAndTheLogReachesTheFile)
{
    QTemporaryDir sockets;
    ASSERT_TRUE(sockets.isValid());
    const QString stale = sockets.filePath("stale.sock");
    ASSERT_TRUE(makeStaleSocket(stale));
    for (const QString& socket : {stale, sockets.filePath("missing.sock")}) {
        SCOPED_TRACE(socket.toStdString());
        QFile::remove(home.filePath("Stowage/activity.log"));
        const ProbeRun run = runProbe({"--probe"}, "unix://" + socket);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_THAT(run.lines, ElementsAre(QString("ERROR: Cannot connect to the Docker daemon. Is Docker running?")));

        // The runner's line about the failed listing was written before the process ended.
        static const QRegularExpression fileLine(
            "^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}Z\twarn\tps -a --format \\{\\{…\\}\\} — exit 1: "
            "Cannot connect to the Docker daemon at unix://.*\\.sock\\. Is the docker daemon running\\?$");
        const QStringList logged = fileLines(run.logFile);
        EXPECT_TRUE(std::any_of(logged.begin(), logged.end(),
                                [](const QString& line) { return fileLine.match(line).hasMatch(); }))
            << logged.join('\n').toStdString();
    }
}

TEST_F(ProbeEngineTest, ProbeAmongOtherArgumentsStillProbes)
{
    const ProbeRun run = runProbe({"-v", "--probe", "extra"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.lines.size(), 6);
    EXPECT_EQ(run.lines.value(0), QStringLiteral("containers: %1").arg(expectedCount(expected, "containers")));
}

TEST_F(ProbeEngineTest, NoDockerProgramGivesTheNotFoundLine)
{
    DockerCLI::Config config = engineRunnerConfig(engine, {});
    config.fixedCandidates.clear();
    OperationCenter operations;
    ActivityLog log{std::nullopt};
    config.operations = &operations;
    config.log = &log;
    DockerCLI cli(config);
    EXPECT_THAT(Probe::lines(DockerClient(cli)),
                ElementsAre(QString("ERROR: Could not find the `docker` CLI. Install Docker Desktop or colima, "
                                    "then retry.")));
}

}  // namespace
