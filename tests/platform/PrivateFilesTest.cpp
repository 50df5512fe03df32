// The application's own files: the data folder 0700, locked files 0600, wider modes
// narrowed, and a lock that dies with its holder, never passed on to a child process.

#include "platform/ChildProcess.h"
#include "platform/LockedFile.h"
#include "platform/Paths.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace stowage::platform {
namespace {

using test::fileMode;

// Sets the process's umask for the lifetime of the object.
struct Umask {
    explicit Umask(mode_t mask) : previous(::umask(mask)) {}
    ~Umask() { ::umask(previous); }
    mode_t previous;
};

TEST(PrivateFiles, TheDataFolderAndLockedFilesAreTheOwnersOnly)
{
    const Umask usual(022);
    const struct { const char* scenario; int folderBefore /* -1: missing */, fileBefore, folderAfter, fileAfter; } cases[] = {
        {"created fresh", -1, -1, 0700, 0600},
        {"left open by an older version", 0755, 0644, 0700, 0600},
        {"narrower than ours is left as it is", 0500, 0400, 0500, 0400},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scenario);
        QTemporaryDir root;
        const QString folder = root.filePath("share/Stowage");
        const QString file = folder + "/activity.log";
        if (c.folderBefore >= 0) {
            ASSERT_TRUE(QDir().mkpath(folder));
            ASSERT_TRUE(test::writeFile(file, {}));
            ::chmod(QFile::encodeName(file).constData(), mode_t(c.fileBefore));
            ::chmod(QFile::encodeName(folder).constData(), mode_t(c.folderBefore));
        }
        EXPECT_TRUE(makePrivateDir(folder));
        EXPECT_EQ(fileMode(folder), c.folderAfter);
        EXPECT_EQ(fileMode(root.filePath("share")), 0755);  // parents keep the usual modes
        { const LockedFile locked(file, LockedFile::Wait::untilFree); }
        EXPECT_EQ(fileMode(file), c.fileAfter);
        ::chmod(QFile::encodeName(folder).constData(), 0700);  // let the temporary folder go
    }
}

TEST(LockedFile, OneHolderAtATimeAndNoneAfterItEnds)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("stowage.lock");
    auto first = std::make_unique<LockedFile>(path, LockedFile::Wait::no);
    ASSERT_TRUE(first->isLocked());
    EXPECT_FALSE(LockedFile(path, LockedFile::Wait::no).isLocked());

    // A child started while the lock is held does not inherit it: once the
    // holder lets go, the lock is free although the child still runs. (The
    // kernel closes the child's copies a moment after posix_spawn returns.)
    const SpawnedChild child = spawnChild("/bin/sleep", {"30"}, {}, true);
    first.reset();
    EXPECT_TRUE(test::waitUntil([&] { return LockedFile(path, LockedFile::Wait::no).isLocked(); },
                                std::chrono::seconds(2)));
    signalChild(child.pid, SIGKILL);
    reapChild(child.pid);
    ::close(child.outFd);

    // The file left behind, as after a crash, is no lock at all.
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_TRUE(LockedFile(path, LockedFile::Wait::no).isLocked());
}

}  // namespace
}  // namespace stowage::platform
