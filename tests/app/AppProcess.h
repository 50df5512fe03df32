#pragma once
// Runs the real stowage executable in a world of its own: a private data
// folder and runtime folder, the offscreen platform, and a DOCKER_HOST that
// answers nothing (so a refresh or a probe fails at once and never reaches
// the machine's own engine).

#include <QDir>
#include <QLocalSocket>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <memory>

namespace stowage::test {

struct Finished { int exitCode = -1; QString out; QString err; };

class AppWorld {
public:
    AppWorld()
    {
        QDir().mkdir(runtimeDir());
        QFile::setPermissions(runtimeDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert("XDG_DATA_HOME", root_.filePath("data"));
        env.insert("XDG_RUNTIME_DIR", runtimeDir());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("DOCKER_HOST", "unix://" + root_.filePath("no-engine.sock"));
        env.insert("DOCKER_CONFIG", root_.filePath("docker"));  // no context of the user's
    }

    QString dataDir() const { return root_.filePath("data/Stowage"); }
    QString runtimeDir() const { return root_.filePath("run"); }
    QString logFile() const { return dataDir() + "/activity.log"; }

    // Starts stowage with `arguments`; the caller waits for it or kills it.
    std::unique_ptr<QProcess> start(const QStringList& arguments) const
    {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(env);
        process->start(QStringLiteral(STOWAGE_EXE_PATH), arguments);
        process->waitForStarted();
        return process;
    }

    // Runs stowage to its end (at most a minute).
    Finished run(const QStringList& arguments) const
    {
        const auto process = start(arguments);
        if (!process->waitForFinished(60'000)) {
            process->kill();
            process->waitForFinished();
            return {};
        }
        return {process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1,
                QString::fromLocal8Bit(process->readAllStandardOutput()),
                QString::fromLocal8Bit(process->readAllStandardError())};
    }

    // Whether a window has taken the data folder and listens for later starts. A socket
    // file alone may be left over from a crashed window: only one that accepts a connection counts.
    bool windowListens() const
    {
        QStringList sockets;  // in the runtime folder, or in the data folder when that is not private
        for (const QString& folder : {runtimeDir(), dataDir()})
            for (const QString& name : QDir(folder).entryList({"stowage-*.socket"}, QDir::System))
                sockets << QDir(folder).filePath(name);
        QLocalSocket socket;
        if (!sockets.isEmpty())
            socket.connectToServer(sockets.first());
        return !sockets.isEmpty() && socket.waitForConnected(1000);
    }

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();

private:
    QTemporaryDir root_;
};

}  // namespace stowage::test
