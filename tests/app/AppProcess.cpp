#include "AppProcess.h"

#include <QDir>
#include <QLocalSocket>

namespace stowage::test {

AppWorld::AppWorld()
{
    QDir().mkdir(runtimeDir());
    QFile::setPermissions(runtimeDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    env_ = QProcessEnvironment::systemEnvironment();
    env_.insert("XDG_DATA_HOME", root_.filePath("data"));
    env_.insert("XDG_RUNTIME_DIR", runtimeDir());
    env_.insert("QT_QPA_PLATFORM", "offscreen");
    env_.insert("DOCKER_HOST", "unix://" + root_.filePath("no-engine.sock"));
}

std::unique_ptr<QProcess> AppWorld::start(const QStringList& arguments) const
{
    auto process = std::make_unique<QProcess>();
    process->setProgram(QStringLiteral(STOWAGE_EXE_PATH));
    process->setArguments(arguments);
    process->setProcessEnvironment(env_);
    process->start();
    process->waitForStarted();
    return process;
}

Finished AppWorld::run(const QStringList& arguments, int limitMs) const
{
    const auto process = start(arguments);
    if (!process->waitForFinished(limitMs)) {
        process->kill();
        process->waitForFinished();
        return {};
    }
    return {process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1,
            QString::fromLocal8Bit(process->readAllStandardOutput()),
            QString::fromLocal8Bit(process->readAllStandardError())};
}

bool AppWorld::windowListens() const
{
    // A socket file alone may be left over from a crashed window: only one
    // that accepts a connection counts.
    const QStringList sockets = QDir(runtimeDir()).entryList({"stowage-*.socket"}, QDir::System);
    if (sockets.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(QDir(runtimeDir()).filePath(sockets.first()));
    return socket.waitForConnected(1000);
}

}  // namespace stowage::test
