#pragma once
// Helpers shared by the test suites.

#include "docker/DockerRunner.h"

#include <QString>
#include <QTemporaryDir>

#include <chrono>
#include <functional>

namespace stowage::test {

// Processes UI-thread events until `done` holds or the time runs out; returns `done()`.
bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(10));

// Waits until a docker command whose label starts with `prefix` is registered
// with `operations` (the command has been started); processes events meanwhile.
bool waitForCommand(const OperationCenter& operations, const QString& prefix,
                    std::chrono::milliseconds limit = std::chrono::seconds(10));

// Processes pending UI-thread events for a short while.
void drainEvents(std::chrono::milliseconds duration = std::chrono::milliseconds(20));

// One line of a container or volume listing as the listing templates print it:
// the usual JSON object and the exact values of the compose labels.
QString listingLine(const QString& listingJson, const QString& project, const QString& workingDir = {},
                    const QString& configFiles = {});

// Path of the fault-injecting fake docker program.
QString fakeDockerPath();

// How many live processes carry exactly `entry` ("NAME=value") in their
// environment: a way to find the children of a process under test (Linux /proc;
// zombies carry no environment).
int processesWithEnvironment(const QString& entry);

// "level message" of each entry of `log`, once the UI thread has published them.
QStringList logLines(const ActivityLog& log);

// This process's environment as the runner takes it.
Environment systemEnvironment();

// The whole file, or nothing when it cannot be read.
QByteArray readFile(const QString& path);
// Writes `bytes` as the whole file, executable by its owner when asked; false when it cannot.
bool writeFile(const QString& path, const QByteArray& bytes, bool executable = false);

// The permission bits of the file or folder at `path` (0644, 0700, …); -1 when it is missing.
int fileMode(const QString& path);

// Sets an environment variable until the end of the scope.
struct ScopedEnv {
    ScopedEnv(const char* name, const QByteArray& value);
    ~ScopedEnv();
    const char* name;
    bool had;
    QByteArray old;
};

// A temporary directory that also serves as XDG_DATA_HOME for code under test.
struct TempDataHome {
    QTemporaryDir dir;
    ScopedEnv env{"XDG_DATA_HOME", dir.path().toUtf8()};
    QString path() const { return dir.path(); }
};

}  // namespace stowage::test
