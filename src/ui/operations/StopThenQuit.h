#pragma once
// Quitting while operations run (one per engine at most). Each is stopped
// through its model's own Stop (its docker children are ended through their kill paths),
// its ending is applied and logged (what was removed, the data marked stale),
// and only then is the window told to go. The wait is bounded: a child that
// outlives even SIGKILL does not hold the exit.

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <functional>

namespace stowage {

class ActivityLog;
class AppModel;

class StopThenQuit : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds defaultBound{10000};

    // `models`: every engine's model at the moment of quitting.
    using Models = std::function<QList<AppModel*>()>;
    StopThenQuit(Models models, ActivityLog& log, std::chrono::milliseconds bound = defaultBound,
                 QObject* parent = nullptr);

    // Starts once; `cause` says in the log what asked to quit ("SIGTERM received").
    void start(const QString& cause);
    bool started() const { return started_; }
    bool done() const { return done_; }

signals:
    // Every operation has ended (or the bound ran out): quit now.
    void readyToQuit();

private:
    void finish(bool operationsEnded);
    QList<AppModel*> running() const;

    Models models_;
    QList<AppModel*> stopping_;
    ActivityLog& log_;
    QTimer bound_;
    QString cause_;
    bool started_ = false;
    bool done_ = false;
};

}  // namespace stowage
