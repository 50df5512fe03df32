// One window per data folder, with real processes: a second start brings the window forward,
// the probe runs beside it, a crashed window's lock is no obstacle, a silent holder is reported.
#include "AppProcess.h"

#include "platform/LockedFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>

#include <pwd.h>
#include <unistd.h>

namespace stowage::test {
namespace {

const QString broughtForward = "Another start of Stowage brought this window to the front";

// How many times the window was brought forward, by its log.
qsizetype timesBroughtForward(const AppWorld& world)
{
    return QString::fromUtf8(readFile(world.logFile())).count(broughtForward);
}

struct RunningWindow {
    explicit RunningWindow(const AppWorld& world) : process(world.start({}))
    {
        EXPECT_TRUE(waitUntil([&] { return world.windowListens(); }, std::chrono::seconds(60)));
    }
    ~RunningWindow()
    {
        process->kill();
        process->waitForFinished();
    }
    bool running() const { return process->state() == QProcess::Running; }
    std::unique_ptr<QProcess> process;
};

TEST(SingleInstance, ASecondStartBringsTheWindowForwardTheProbeRunsBesideAndACrashLeavesNoLock)
{
    const AppWorld world;
    {
        RunningWindow window(world);
        const Finished second = world.run({});
        EXPECT_EQ(second.exitCode, 0);
        EXPECT_TRUE(second.err.contains("already running")) << second.err.toStdString();
        EXPECT_TRUE(waitUntil([&] { return timesBroughtForward(world) == 1; }));

        const Finished probe = world.run({"--probe"});
        EXPECT_EQ(probe.exitCode, 0);
        EXPECT_TRUE(probe.out.startsWith("ERROR: ")) << probe.out.toStdString();
        EXPECT_TRUE(window.running());
        EXPECT_EQ(fileMode(world.dataDir()), 0700);
        EXPECT_EQ(fileMode(world.logFile()), 0600);
    }  // killed with SIGKILL: no clean-up at all, the lock file and the socket stay

    ASSERT_TRUE(QFile::exists(world.dataDir() + "/stowage.lock"));
    RunningWindow next(world);
    EXPECT_EQ(world.run({}).exitCode, 0);
    EXPECT_TRUE(waitUntil([&] { return timesBroughtForward(world) == 2; }));
    EXPECT_TRUE(next.running());
}

// With no usable runtime folder, Qt offers none and the socket must not fall into the shared
// temporary folder, where another user could put one of their own first.
TEST(SingleInstance, TheSocketNeverLivesInAFolderOthersMayWriteTo)
{
    AppWorld world;
    const QString shared = world.runtimeDir() + "-shared";
    ASSERT_TRUE(QDir().mkdir(shared));
    ASSERT_TRUE(QFile::setPermissions(shared, QFileDevice::Permissions(0x7777)));
    // Qt's own fallback, <tmp>/runtime-<user>, is taken by a file.
    const QString notAFolder = shared + "/runtime-" + QString::fromLocal8Bit(::getpwuid(::geteuid())->pw_name);
    ASSERT_TRUE(writeFile(notAFolder, {}));
    world.env.insert("XDG_RUNTIME_DIR", notAFolder);
    world.env.insert("TMPDIR", shared);

    RunningWindow window(world);
    EXPECT_TRUE(QDir(shared).entryList({"stowage-*"}, QDir::System | QDir::Files).isEmpty());
    EXPECT_EQ(QDir(world.dataDir()).entryList({"stowage-*.socket"}, QDir::System).size(), 1);
    EXPECT_EQ(world.run({}).exitCode, 0);
    EXPECT_TRUE(waitUntil([&] { return timesBroughtForward(world) == 1; }));
}

TEST(SingleInstance, ALockHeldByAProcessThatDoesNotAnswerIsReported)
{
    const AppWorld world;
    ASSERT_TRUE(QDir().mkpath(world.dataDir()));
    const platform::LockedFile held(world.dataDir() + "/stowage.lock", platform::LockedFile::Wait::no);
    ASSERT_TRUE(held.isLocked());

    // The start shows a dialog and says the same on standard error.
    const auto start = world.start({});
    QString err;
    EXPECT_TRUE(waitUntil([&] {
        err += QString::fromLocal8Bit(start->readAllStandardError());
        return err.contains("did not answer");
    }, std::chrono::seconds(60)));
    EXPECT_FALSE(world.windowListens());
    start->kill();
    start->waitForFinished();
}

}  // namespace
}  // namespace stowage::test
