#pragma once
// Helpers shared by the test suites.

#include <QString>
#include <QTemporaryDir>

#include <chrono>
#include <functional>

namespace stowage {
class OperationCenter;
}

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

// The permission bits of the file or folder at `path` (0644, 0700, …); -1 when it is missing.
int fileMode(const QString& path);

// A temporary directory that also serves as XDG_DATA_HOME for code under test.
struct TempDataHome {
    TempDataHome();
    ~TempDataHome();
    QTemporaryDir dir;
    QByteArray previous;
    bool hadPrevious = false;
    QString path() const { return dir.path(); }
};

}  // namespace stowage::test
