#pragma once
// One window per data folder. The first start takes the data folder's lock
// ("stowage.lock", held until the process ends, however it ends) and listens
// on a local socket in the user's runtime folder (in the data folder when the
// runtime folder is not private to the user); a later start finds the lock
// taken, asks the running window over that socket to come to the front, and
// ends. So the activity log and the state cache have one writer among the
// windows; `stowage --probe` takes no lock (it only appends to the log, which
// is safe beside a window).

#include "platform/LockedFile.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class QLocalServer;

namespace stowage {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Role {
        primary,    // this process holds the lock and shows the window
        forwarded,  // a running window was asked to come to the front
        busy,       // another process holds the lock and did not answer
    };

    // `dataDir` none (no data folder): every start is a primary one.
    explicit SingleInstance(std::optional<QString> dataDir, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Takes the lock, or asks the process that holds it to show its window.
    // Waits a few seconds at most for that answer.
    Role claim();

    // The lock file's path, for messages; empty without a data folder.
    QString lockPath() const;

signals:
    // Another start asked this (primary) process to show its window.
    void activationRequested();

private:
    void listen();
    void serve();
    bool askRunningWindow() const;

    std::optional<QString> dataDir_;
    QString socketPath_;
    std::unique_ptr<platform::LockedFile> lock_;
    QLocalServer* server_ = nullptr;
};

}  // namespace stowage
