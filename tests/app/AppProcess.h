#pragma once
// Runs the real stowage executable in a world of its own: a private data
// folder and runtime folder, the offscreen platform, and a DOCKER_HOST that
// answers nothing (so a refresh or a probe fails at once and never reaches
// the machine's own engine).

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace stowage::test {

struct Finished {
    int exitCode = -1;
    QString out;
    QString err;
};

class AppWorld {
public:
    AppWorld();

    QString dataDir() const { return root_.filePath("data/Stowage"); }
    QString runtimeDir() const { return root_.filePath("run"); }
    QString logFile() const { return dataDir() + "/activity.log"; }

    // Sets a variable of the environment stowage runs in.
    void setEnvironment(const QString& name, const QString& value) { env_.insert(name, value); }
    // Starts stowage with `arguments`; the caller waits for it or kills it.
    std::unique_ptr<QProcess> start(const QStringList& arguments) const;
    // Runs stowage to its end (at most `limitMs`).
    Finished run(const QStringList& arguments, int limitMs = 60'000) const;
    // Whether a window has taken the data folder and listens for later starts.
    bool windowListens() const;

private:
    QTemporaryDir root_;
    QProcessEnvironment env_;
};

}  // namespace stowage::test
