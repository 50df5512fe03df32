#include "app/SingleInstance.h"

#include "platform/Paths.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace stowage {

namespace {

const QByteArray activateRequest = QByteArrayLiteral("activate\n");
const QByteArray activateReply = QByteArrayLiteral("ok\n");

// How long a second start waits for the running window: it may be starting
// up itself (it takes the lock a moment before it listens).
constexpr int connectWindowMs = 2000;
constexpr int answerWindowMs = 5000;
constexpr int retryPauseMs = 50;

// One socket per data folder, so that runs with different data folders (other
// XDG_DATA_HOME) are independent, as their locks are. It lives in the user's
// runtime folder only when no one else may write there: in a shared folder
// (the system's temporary folder, where Qt falls back when the runtime folder
// is unusable) another user could put a socket of their own in its place. The
// private data folder serves otherwise.
QString socketPathFor(const QString& dataDir)
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    const QByteArray digest = QCryptographicHash::hash(dataDir.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    return QDir(platform::isPrivateDir(runtime) ? runtime : dataDir)
        .filePath(QStringLiteral("stowage-%1.socket").arg(QString::fromLatin1(digest)));
}

}  // namespace

SingleInstance::SingleInstance(std::optional<QString> dataDir, QObject* parent)
    : QObject(parent), dataDir_(std::move(dataDir))
{
    if (dataDir_)
        socketPath_ = socketPathFor(*dataDir_);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::lockPath() const
{
    return dataDir_ ? QDir(*dataDir_).filePath(QStringLiteral("stowage.lock")) : QString();
}

SingleInstance::Role SingleInstance::claim()
{
    if (!dataDir_)
        return Role::primary;
    auto lock = std::make_unique<platform::LockedFile>(lockPath(), platform::LockedFile::Wait::no);
    if (lock->isLocked()) {
        lock_ = std::move(lock);
        listen();
        return Role::primary;
    }
    return askRunningWindow() ? Role::forwarded : Role::busy;
}

void SingleInstance::listen()
{
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // Holding the lock, this process is the only one that may listen: a socket
    // file still there was left by a run that crashed.
    QLocalServer::removeServer(socketPath_);
    if (!server_->listen(socketPath_))
        qWarning("stowage: cannot listen on %s: %s", qPrintable(socketPath_), qPrintable(server_->errorString()));
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::serve);
}

void SingleInstance::serve()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > activateRequest.size())
                    socket->abort();  // not one of ours
                return;
            }
            if (socket->readLine(activateRequest.size() + 1) == activateRequest) {
                socket->write(activateReply);
                emit activationRequested();
            }
            socket->disconnectFromServer();
        });
    }
}

bool SingleInstance::askRunningWindow() const
{
    QLocalSocket socket;
    const QDeadlineTimer connectDeadline(connectWindowMs);
    for (;;) {
        socket.connectToServer(socketPath_);
        if (socket.waitForConnected(int(connectDeadline.remainingTime())))
            break;
        if (connectDeadline.hasExpired())
            return false;
        QThread::msleep(retryPauseMs);
    }
    socket.write(activateRequest);
    if (!socket.waitForBytesWritten(answerWindowMs))
        return false;
    const QDeadlineTimer answerDeadline(answerWindowMs);
    while (!socket.canReadLine()) {
        if (answerDeadline.hasExpired() || !socket.waitForReadyRead(int(answerDeadline.remainingTime())))
            return false;
    }
    return socket.readLine() == activateReply;
}

}  // namespace stowage
