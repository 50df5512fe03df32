#pragma once
// Quitting while an operation runs. The operation is stopped through the
// model's own Stop (its docker children are ended through their kill paths),
// its ending is applied and logged (what was removed, the data marked stale),
// and only then is the window told to go. The wait is bounded: a child that
// outlives even SIGKILL does not hold the exit.

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>

namespace stowage {

class ActivityLog;
class AppModel;

class StopThenQuit : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds defaultBound{10000};

    StopThenQuit(AppModel& model, ActivityLog& log, std::chrono::milliseconds bound = defaultBound,
                 QObject* parent = nullptr);

    // Starts once; `cause` says in the log what asked to quit ("SIGTERM received").
    void start(const QString& cause);
    bool started() const { return started_; }
    bool done() const { return done_; }

signals:
    // The operation has ended (or the bound ran out): quit now.
    void readyToQuit();

private:
    void finish(bool operationEnded);

    AppModel& model_;
    ActivityLog& log_;
    QTimer bound_;
    QString cause_;
    bool started_ = false;
    bool done_ = false;
};

}  // namespace stowage
