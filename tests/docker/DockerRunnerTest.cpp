// The command runner against the fault-injecting fake docker: message rules,
// time limits and kill escalation, cancellation, big outputs, concurrency,
// executable lookup and the line stream.

#include "docker/ChildSupervisor.h"
#include "docker/DockerClient.h"
#include "docker/DockerRunner.h"
#include "docker/OperationCenter.h"
#include "log/ActivityLog.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>
#include <future>
#include <optional>
#include <sys/wait.h>

using namespace stowage;
using namespace stowage::test;
using namespace std::chrono_literals;
using ::testing::Contains;

namespace {

// A runner wired to the fake docker, its own operation center and an in-memory
// log, with short timing rules so that the tests are fast.
struct RunnerRig {
    OperationCenter operations;
    ActivityLog log{std::nullopt};
    std::unique_ptr<DockerRunner> cli;

    explicit RunnerRig(DockerRunner::Config config = fastConfig()) { attach(std::move(config)); }

    void attach(DockerRunner::Config config)
    {
        config.operations = &operations;
        config.log = &log;
        cli = std::make_unique<DockerRunner>(std::move(config));
    }

    static DockerRunner::Config fastConfig()
    {
        DockerRunner::Config config;
        config.fixedCandidates = {fakeDockerPath()};
        config.searchPath = false;
        config.loginShell = QString();
        config.baseEnvironment = systemEnvironment();
        config.killGrace = 0.5;
        config.postTimeoutWait = 3.0;
        config.drainAfterExit = 0.5;
        config.slowRunThreshold = 0.4;
        return config;
    }

    QStringList lines() const { return logLines(log); }
};

QString readPid(const QString& path) { return QString::fromUtf8(readFile(path)).trimmed(); }

// Gone for good, or a zombie of someone else's (a reparented grandchild).
bool processIsGone(pid_t pid)
{
    if (::kill(pid, 0) != 0)
        return errno == ESRCH;
    return readFile(QStringLiteral("/proc/%1/stat").arg(pid)).contains(") Z ");
}

// How a run failed: its kind and text (nullopt when it succeeded).
template <class Run>
std::optional<std::pair<DockerError::Kind, QString>> failureOf(Run run)
{
    try {
        run();
    } catch (const DockerError& error) {
        return std::pair{error.kind(), error.description()};
    }
    return std::nullopt;
}

class DockerRunnerTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        // No run may leave a zombie behind. A killed child may still be on its
        // way through a background reaper: look without reaping (which would
        // race that reaper), and give it a moment.
        const auto zombieLeft = [] {
            siginfo_t info{};
            return waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid != 0;
        };
        EXPECT_TRUE(waitUntil([&] { return !zombieLeft(); })) << "a child process was left unreaped";
    }
    RunnerRig rig;
};

TEST_F(DockerRunnerTest, RunTurnsFailuresIntoErrorsWithTheRightMessage)
{
    using Kind = DockerError::Kind;
    const struct {
        QStringList args;
        Kind kind;
        QString text;
    } cases[] = {
        {{"--fake-exit", "1"}, Kind::commandFailed, "docker command failed"},
        {{"--fake-stdout", "output", "--fake-stderr", "\n", "--fake-exit", "1"}, Kind::commandFailed, "docker command failed"},
        {{"--fake-stdout", "  from stdout \n", "--fake-exit", "2"}, Kind::commandFailed, "from stdout"},
        {{"--fake-stdout", "out", "--fake-stderr", "Error: no such volume: x\n", "--fake-exit", "1"}, Kind::commandFailed,
         "Error: no such volume: x"},
        {{"--fake-stderr", "Cannot connect to the Docker daemon at unix:///var/run/docker.sock. Is the docker daemon running?\n",
          "--fake-exit", "1"},
         Kind::daemonDown, "Cannot connect to the Docker daemon. Is Docker running?"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(failureOf([&] { rig.cli->run(c.args, 10); }), std::pair(c.kind, c.text)) << c.args.join(' ').toStdString();
}

TEST_F(DockerRunnerTest, RunReturnsTrimmedOutputAndRawKeepsEverything)
{
    EXPECT_EQ(rig.cli->run({"--fake-stdout", "\n  hello world \n\n"}, 10), "hello world");
    const RunResult raw = rig.cli->runRaw({"--fake-stdout", "partial line", "--fake-stderr", "warn\n", "--fake-exit", "3"}, 10);
    EXPECT_EQ(std::tuple(raw.status, raw.out, raw.err), std::tuple(3, QString("partial line"), QString("warn\n")));
    // Output that is not UTF-8 becomes empty.
    const RunResult invalid = rig.cli->runRaw({"--fake-invalid-utf8", "--fake-stderr", "fine"}, 10);
    EXPECT_EQ(invalid.out + "|" + invalid.err, "|fine");
    // Output kept as bytes follows the same rules: invalid UTF-8 reads as none,
    // and a byte order mark is dropped as the decoder drops it.
    const Utf8RunResult invalidBytes = rig.cli->runRawUtf8({"--fake-invalid-utf8", "--fake-stderr", "fine"}, 10);
    EXPECT_EQ(std::tuple(invalidBytes.out, invalidBytes.err), std::tuple(QByteArray(), QString("fine")));
    const Utf8RunResult marked = rig.cli->runRawUtf8({"--fake-stdout", "\uFEFFé\n"}, 10);
    EXPECT_EQ(marked.out, QByteArray("\xC3\xA9\n"));
    // Arguments reach the child literally, without a shell.
    const QStringList hostile = {"--fake-echo-args", "a b", "$(touch /tmp/stowage-pwned)", "'\"; rm -rf /", "*", "{{json .}}"};
    EXPECT_EQ(rig.cli->run(hostile, 10).split('\n'), hostile);
    EXPECT_FALSE(QFile::exists("/tmp/stowage-pwned"));
    // A runner bound to a context puts it before every command it runs, as one
    // argument, names it in its log lines, and never lets ssh ask for a password.
    auto config = RunnerRig::fastConfig();
    config.context = "my <b>ctx";
    config.baseEnvironment->insert_or_assign("SSH_ASKPASS", "/usr/bin/ssh-askpass");
    rig.attach(config);
    EXPECT_EQ(rig.cli->run(hostile, 10).split('\n'), QStringList({"--context", "my <b>ctx"}) + hostile);
    QStringList streamed;
    rig.cli->stream({"--fake-echo-args"}, 10, [&](const QString& line) { return streamed << line, true; });
    EXPECT_EQ(streamed.join(' '), "--context my <b>ctx --fake-echo-args");
    rig.cli->runRaw({"--fake-stderr", "gone", "--fake-exit", "3"}, 10);
    EXPECT_EQ(rig.lines().last(), "warn --fake-stderr gone --fake-exit 3 (engine my <b>ctx) — exit 3: gone");
    EXPECT_TRUE(!rig.cli->environment().contains("SSH_ASKPASS") && rig.cli->environment().at("SSH_ASKPASS_REQUIRE") == "never");
    // Log labels: the first four arguments, a long output template named by its braces.
    EXPECT_EQ(DockerRunner::label({"a", "b", "c", "d", "e", "f"}), "a b c d");
    EXPECT_EQ(DockerRunner::label({"ps", "-a", "--format", DockerClient::containerListingTemplate}), "ps -a --format {{…}}");
    EXPECT_EQ(DockerRunner::label({"version", "--format", "{{.Server.Version}}"}), "version --format {{.Server.Version}}");
}

TEST_F(DockerRunnerTest, LogsSlowSuccessesAndFailuresWithTheFirst160Characters)
{
    // 200 family emoji, each one user-perceived character of several code points.
    const QString family = QString::fromUtf8("👨‍👩‍👧");
    rig.cli->run({"--fake-stdout", "quick"}, 10);
    rig.cli->run({"--fake-sleep", "0.6"}, 10);
    rig.cli->runRaw({"--fake-stderr", family.repeated(200), "--fake-exit", "4"}, 10);
    EXPECT_EQ(rig.lines(), (QStringList{"info docker: " + fakeDockerPath() + " (a fixed location)",
                                        "info --fake-sleep 0.6 — done in 1s",
                                        "warn --fake-stderr " + family.repeated(200) + " --fake-exit 4 — exit 4: " + family.repeated(160)}));
}

TEST_F(DockerRunnerTest, ChildIgnoringSigtermIsKilledAfterTheGracePeriod)
{
    QTemporaryDir dir;
    const QString pidFile = dir.filePath("pid");
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(failureOf([&] { rig.cli->runRaw({"--fake-pid-file", pidFile, "--fake-ignore-term", "--fake-sleep", "30"}, 0.5); }),
              std::pair(DockerError::Kind::timedOut, QString("docker command timed out.")));
    // Time limit 0.5 s plus the 0.5 s grace before SIGKILL; the child would sleep 30 s.
    EXPECT_GE(timer.elapsed(), 900);
    EXPECT_LT(timer.elapsed(), 15000);
    EXPECT_TRUE(processIsGone(readPid(pidFile).toInt()));
    EXPECT_THAT(rig.lines(), Contains("error --fake-pid-file " + pidFile
                                      + " --fake-ignore-term --fake-sleep — TIMED OUT after 1s (process killed)"));
}

TEST_F(DockerRunnerTest, CancellationEndsTheChildBeforeOrWhileItRuns)
{
    std::stop_source early;
    early.request_stop();
    EXPECT_THROW(rig.cli->runRaw({"--fake-sleep", "30"}, 60, early.get_token()), CancelledError);
    EXPECT_THAT(rig.lines(), Contains("warn --fake-sleep 30 — cancelled after 0s"));

    // Once the runner holds the running child, a stop ends it by signal and keeps what it printed.
    // The child writes its pid as soon as it runs, which on a loaded machine can be before the
    // runner, descheduled between starting it and taking its pid, holds it: a stop then cancels
    // the run, which is sound too. So the stop is tried until it lands on a held child.
    std::optional<RunResult> ended;
    for (int attempt = 0; attempt < 5 && !ended; ++attempt) {
        QTemporaryDir dir;
        std::stop_source stop;
        auto result = std::async(std::launch::async, [&] {
            return rig.cli->runRaw({"--fake-stdout", "started\n", "--fake-pid-file", dir.filePath("1"), "--fake-sleep", "30"},
                                   60, stop.get_token());
        });
        ASSERT_TRUE(waitUntil([&] { return !readPid(dir.filePath("1")).isEmpty(); }));
        stop.request_stop();
        ASSERT_EQ(result.wait_for(5s), std::future_status::ready);
        try {
            ended = result.get();
        } catch (const CancelledError&) {
            // The stop came before the runner held the child: tried again.
        }
    }
    ASSERT_TRUE(ended.has_value());
    EXPECT_EQ(std::pair(ended->status, ended->out), std::pair(int(SIGTERM), QString("started\n")));
}

TEST_F(DockerRunnerTest, BigOutputsGrandchildrenAndHangingRunsHoldNothingUp)
{
    const qint64 bytes = 10 * 1024 * 1024;
    const RunResult spew = rig.cli->runRaw({"--fake-spew", QString::number(bytes)}, 60);
    EXPECT_EQ(std::tuple(spew.status, spew.out.size(), spew.err.size()), std::tuple(0, bytes, bytes));

    QElapsedTimer timer;
    timer.start();
    const RunResult raw = rig.cli->runRaw({"--fake-stdout", "all of it\n", "--fake-grandchild", "20"}, 30);
    EXPECT_EQ(std::pair(raw.status, raw.out), std::pair(0, QString("all of it\n")));
    EXPECT_LT(timer.elapsed(), 10000);  // the grandchild holds the pipes for 20 s

    auto hanging = std::async(std::launch::async, [&] { (void)failureOf([&] { rig.cli->runRaw({"--fake-sleep", "30"}, 60); }); });
    ASSERT_TRUE(waitForCommand(rig.operations, "--fake-sleep 30"));
    timer.restart();
    auto quick = std::async(std::launch::async, [&] { return rig.cli->run({"--fake-sleep", "0.1", "--fake-stdout", "quick"}, 10); });
    EXPECT_EQ(quick.get(), "quick");
    EXPECT_LT(timer.elapsed(), 15000);  // not after the hanging run's 30 s
    rig.operations.killAll();
    EXPECT_EQ(hanging.wait_for(5s), std::future_status::ready);

    // Past the output limit the child is stopped and the run fails, whether it is read whole or as
    // lines (one endless line here); an exception out of the reader kills and reaps the child.
    DockerRunner::Config config = RunnerRig::fastConfig();
    config.outputLimit = 1024 * 1024;
    RunnerRig capped(config);
    const QString tooLarge = "docker printed more than 1 MB, so the command was stopped.";
    EXPECT_EQ(failureOf([&] { capped.cli->runRaw({"--fake-spew", QString::number(bytes)}, 60); }),
              std::pair(DockerError::Kind::commandFailed, tooLarge));
    EXPECT_EQ(capped.cli->stream({"--fake-spew", QString::number(bytes)}, 60, [](const QString&) { return true; }).failure,
              tooLarge);
    const platform::SpawnedChild child = platform::spawnChild(fakeDockerPath(), {"--fake-spew", "1000000000"}, {}, false);
    ProcessBox box;
    box.set(child.pid);
    EXPECT_THROW(superviseChild(child, box, {.timeout = 60}, [](ChildStream, QByteArrayView) { throw std::bad_alloc(); },
                                [] {}),
                 std::bad_alloc);
    EXPECT_TRUE(waitUntil([&] { return processIsGone(child.pid); }));
}

class ExecutableLookupTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name) { return dir.filePath(name); }
    void makeDocker(const QString& folder)
    {
        QDir(dir.path()).mkpath(folder);
        ASSERT_TRUE(writeFile(path(folder + "/docker"), "#!/bin/sh\necho " + folder.toUtf8() + "\n", true));
    }
};

TEST_F(ExecutableLookupTest, TakesTheFirstExecutableCandidateThenPathEntriesAndRetriesAFailedLookup)
{
    for (const char* folder : {"second", "third", "onpath"})
        makeDocker(folder);
    QDir(dir.path()).mkpath("plain");
    ASSERT_TRUE(writeFile(path("plain/docker"), "#!/bin/sh\necho plain\n"));  // exists but is not executable

    auto config = RunnerRig::fastConfig();
    config.fixedCandidates = {path("missing/docker"), path("plain/docker"), path("second/docker"), path("third/docker")};
    RunnerRig rig(config);
    EXPECT_EQ(rig.cli->dockerExecutable(), path("second/docker"));

    // Linux takes the user's PATH first (what `which docker` finds), macOS the fixed places.
    config.searchPath = true;
    (*config.baseEnvironment)["PATH"] = "::" + path("nothing") + ":" + path("onpath") + ":" + path("third");
    for (const auto& [pathFirst, expected] : {std::pair(true, "onpath"), {false, "second"}}) {
        config.pathFirst = pathFirst;
        rig.attach(config);
        EXPECT_EQ(rig.cli->run({}, 10), expected);
    }
    EXPECT_THAT(rig.lines(), Contains("info docker: " + path("onpath/docker") + " (found on PATH)"));
    config.fixedCandidates = {path("missing/docker")};
    config.pathFirst = false;
    rig.attach(config);
    EXPECT_EQ(rig.cli->run({}, 10), "onpath");
    const qsizetype linesBefore = rig.lines().size();

    // A lookup that failed is not remembered.
    config.fixedCandidates = {path("later/docker")};
    config.searchPath = false;
    rig.attach(config);
    EXPECT_EQ(failureOf([&] { rig.cli->run({"ps"}, 10); }),
              std::pair(DockerError::Kind::notFound,
                        QString("Could not find the `docker` program.")));
    EXPECT_EQ(rig.lines().size(), linesBefore);
    EXPECT_TRUE(rig.operations.active().isEmpty());
    makeDocker("later");
    EXPECT_EQ(rig.cli->run({"ps"}, 10), "later");
}

TEST_F(ExecutableLookupTest, LoginShellPathFillsGapsAndAHangingOrRefusingShellIsBounded)
{
    ASSERT_TRUE(writeFile(path("shell"), "#!/bin/sh\necho '  /from/login/shell  '\n", true));
    ASSERT_TRUE(writeFile(path("greeting"), "#!/bin/sh\necho 'Welcome back'\necho /from/profile\n", true));
    ASSERT_TRUE(writeFile(path("nologin"), "#!/bin/sh\necho 'This account is currently not available.'\nexit 1\n", true));
    ASSERT_TRUE(writeFile(path("hanging"), "#!/bin/sh\nsleep 30\n", true));
    auto config = RunnerRig::fastConfig();
    (*config.baseEnvironment)["PATH"] = "/usr/bin";
    config.loginShellTimeout = 0.3;
    for (const auto& [shell, expected] :
         {std::pair("shell", "/usr/bin:/from/login/shell"), {"greeting", "/usr/bin:/from/profile"},
          {"nologin", "/usr/bin"}, {"hanging", "/usr/bin"}}) {
        config.loginShell = path(shell);
        QElapsedTimer timer;
        timer.start();
        EXPECT_EQ(RunnerRig(config).cli->environment().at("PATH"), expected) << shell;
        EXPECT_LT(timer.elapsed(), 10000);  // a hanging shell would sleep 30 s
    }
}

TEST_F(DockerRunnerTest, StreamDeliversTrimmedLinesSaysHowTheChildEndedAndStopsWhenAskedOrTimedOut)
{
    QStringList lines;
    EXPECT_TRUE(rig.cli
                    ->stream({"--fake-stdout", "a\n\n  b  \n", "--fake-stderr", "from stderr\n", "--fake-stdout", "c"}, 10,
                             [&](const QString& line) { lines << line; return true; })
                    .succeeded());
    EXPECT_EQ(lines, (QStringList{"a", "b", "from stderr"}));

    const auto keepAll = [](const QString&) { return true; };
    const struct {
        QStringList args;
        StreamEnding::Kind kind;
        int status;
        QString failure;
    } cases[] = {
        {{"--fake-stdout", "ERROR: prune refused\n", "--fake-exit", "2"}, StreamEnding::Kind::exited, 2, "ERROR: prune refused"},
        {{"--fake-exit", "3"}, StreamEnding::Kind::exited, 3, "docker exited with status 3"},
        {{"--fake-sleep", "30"}, StreamEnding::Kind::timedOut, 0, "docker command timed out."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const StreamEnding ending = rig.cli->stream(c.args, 0.4, keepAll);
        EXPECT_EQ(std::tuple(ending.kind, ending.status, ending.failure, ending.succeeded()),
                  std::tuple(c.kind, c.status, c.failure, false));
    }

    auto config = RunnerRig::fastConfig();
    config.fixedCandidates = {"/nonexistent/docker"};
    rig.attach(config);
    const StreamEnding missing = rig.cli->stream({"builder", "prune"}, 1, keepAll);
    EXPECT_EQ(std::pair(missing.kind, missing.failure), std::pair(StreamEnding::Kind::notStarted, DockerError::notFound().description()));

    // The consumer stops the stream, or the watchdog does.
    rig.attach(RunnerRig::fastConfig());
    QElapsedTimer timer;
    timer.start();
    int delivered = 0;
    const StreamEnding ended = rig.cli->stream({"--fake-stdout", "one\ntwo\n", "--fake-sleep", "30"}, 60, [&](const QString&) {
        ++delivered;
        return false;
    });
    EXPECT_EQ(std::pair(delivered, ended.kind), std::pair(1, StreamEnding::Kind::stopped));
    EXPECT_LT(timer.elapsed(), 15000);  // the child would sleep 30 s

    // A stop that reached a child which then finished its work (exit 0 within the grace) is no stop.
    std::stop_source stop;
    EXPECT_TRUE(rig.cli->stream({"--fake-ignore-term", "--fake-stdout", "started\n", "--fake-sleep", "0.2"}, 10,
                                [&](const QString&) { return stop.request_stop(), true; }, stop.get_token())
                    .succeeded());

    timer.restart();
    rig.cli->stream({"--fake-ignore-term", "--fake-sleep", "30"}, 0.3, [](const QString&) { return true; });
    EXPECT_LT(timer.elapsed(), 15000);  // killed after the grace, not after 30 s
    EXPECT_THAT(rig.lines(), Contains("error --fake-ignore-term --fake-sleep 30 — watchdog timeout, killing"));
}

}  // namespace
