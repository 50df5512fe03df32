#include "platform/ChildProcess.h"

#include "platform/RunError.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace stowage::platform {

namespace {

[[noreturn]] void throwSpawnError(const QString& program, int error)
{
    throw SpawnError(QStringLiteral("Could not start %1: %2").arg(program, QString::fromLocal8Bit(strerror(error))));
}

struct Pipe {
    int read = -1;
    int write = -1;
};

Pipe makePipe()
{
    int fds[2];
#ifdef __APPLE__
    // macOS has no pipe2; the spawn attribute POSIX_SPAWN_CLOEXEC_DEFAULT keeps
    // these descriptors out of concurrently spawned children instead.
    if (pipe(fds) != 0)
        return {};
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    fcntl(fds[1], F_SETFD, FD_CLOEXEC);
#else
    if (pipe2(fds, O_CLOEXEC) != 0)
        return {};
#endif
    return {fds[0], fds[1]};
}

void closeFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

// Keeps the byte strings alive for the char* arrays posix_spawn wants.
struct CStrings {
    std::vector<QByteArray> storage;
    std::vector<char*> pointers;

    void add(const QByteArray& s) { storage.push_back(s); }
    char* const* terminated()
    {
        pointers.clear();
        for (auto& s : storage)
            pointers.push_back(s.data());
        pointers.push_back(nullptr);
        return pointers.data();
    }
};

}  // namespace

SpawnedChild spawnChild(const QString& program, const QStringList& args,
                        const std::map<QString, QString>& env, bool mergeOutput)
{
    Pipe out = makePipe();
    Pipe err = mergeOutput ? Pipe{} : makePipe();
    if (out.read < 0 || (!mergeOutput && err.read < 0)) {
        int error = errno;
        closeFd(out.read), closeFd(out.write), closeFd(err.read), closeFd(err.write);
        throwSpawnError(program, error);
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out.write, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, mergeOutput ? out.write : err.write, STDERR_FILENO);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t noSignals, allSignals;
    sigemptyset(&noSignals);
    sigfillset(&allSignals);
    posix_spawnattr_setsigmask(&attributes, &noSignals);
    posix_spawnattr_setsigdefault(&attributes, &allSignals);
    // The child leads a session of its own, without a controlling terminal:
    // nothing it starts (ssh asking for a password or a host key) can wait on
    // the user's terminal. A session leader leads its process group too, so
    // the group is still killed as one.
#ifdef POSIX_SPAWN_SETSID
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID;
#else
    posix_spawnattr_setpgroup(&attributes, 0);
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP;
#endif
#ifdef __APPLE__
    flags |= POSIX_SPAWN_CLOEXEC_DEFAULT;
#endif
    posix_spawnattr_setflags(&attributes, flags);

    CStrings argv;
    argv.add(program.toLocal8Bit());
    for (const auto& arg : args)
        argv.add(arg.toUtf8());
    CStrings envp;
    for (const auto& [name, value] : env)
        envp.add((name + QLatin1Char('=') + value).toUtf8());

    const QByteArray path = program.toLocal8Bit();
    pid_t pid = -1;
    int rc = posix_spawn(&pid, path.constData(), &actions, &attributes, argv.terminated(), envp.terminated());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    closeFd(out.write);
    closeFd(err.write);
    if (rc != 0) {
        closeFd(out.read);
        closeFd(err.read);
        throwSpawnError(program, rc);
    }
    fcntl(out.read, F_SETFL, fcntl(out.read, F_GETFL) | O_NONBLOCK);
    if (err.read >= 0)
        fcntl(err.read, F_SETFL, fcntl(err.read, F_GETFL) | O_NONBLOCK);
    return {pid, out.read, err.read};
}

bool hasExited(pid_t pid)
{
    siginfo_t info{};
    int rc;
    do {
        rc = waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0)
        return true;  // no such child: nothing left to wait for
    return info.si_pid == pid;
}

int reapChild(pid_t pid)
{
    int status = 0;
    pid_t rc;
    do {
        rc = waitpid(pid, &status, 0);
    } while (rc < 0 && errno == EINTR);
    if (rc < 0)
        return -1;
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return WTERMSIG(status);
    return -1;
}

void reapInBackground(pid_t pid)
{
    std::thread([pid] { reapChild(pid); }).detach();
}

void signalChild(pid_t pid, int signal)
{
    // The child leads its own process group; signal the group so that helpers
    // it started go too, and fall back to the child alone.
    if (::kill(-pid, signal) != 0)
        ::kill(pid, signal);
}

bool isExecutableFile(const QString& path)
{
    const QByteArray native = path.toLocal8Bit();
    struct stat info{};
    return ::stat(native.constData(), &info) == 0 && S_ISREG(info.st_mode) && ::access(native.constData(), X_OK) == 0;
}

}  // namespace stowage::platform
