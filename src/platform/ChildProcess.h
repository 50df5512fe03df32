#pragma once
// Starting a child process the POSIX way: posix_spawn (never fork, the GUI
// process is large), an argument list (never a shell), close-on-exec pipes so
// that children started concurrently never inherit each other's pipe ends,
// standard input from /dev/null, and the child in a process group of its own
// so that a kill reaches whatever it started.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <map>
#include <optional>
#include <sys/types.h>

namespace stowage::platform {

struct SpawnedChild {
    pid_t pid = -1;
    int outFd = -1;  // read end of the child's standard output (and error, when merged)
    int errFd = -1;  // read end of the child's standard error; -1 when merged
};

// Starts `program` with `args` and exactly the environment `env`. Throws
// SpawnError with the operating system's reason when it cannot start. The
// returned descriptors are non-blocking and close-on-exec; the caller owns them.
SpawnedChild spawnChild(const QString& program, const QStringList& args,
                        const std::map<QString, QString>& env, bool mergeOutput);

// Whether the child has ended, without reaping it: while it is a zombie its
// process id cannot be reused, so signals sent before reapChild are safe.
bool hasExited(pid_t pid);
// Reaps an ended child and returns its status: the exit code, or the signal
// number for a child ended by a signal (as the docker tooling reports it).
int reapChild(pid_t pid);
// Reaps a child that may still be running on a background thread, so that no
// zombie stays behind even when its caller has stopped waiting.
void reapInBackground(pid_t pid);
// Sends `signal` to the child's process group.
void signalChild(pid_t pid, int signal);

// Whether `path` names an existing regular file the user may execute.
bool isExecutableFile(const QString& path);

}  // namespace stowage::platform
