#include "ui/operations/StopThenQuit.h"

#include "log/ActivityLog.h"
#include "model/AppModel.h"

namespace stowage {

StopThenQuit::StopThenQuit(AppModel& model, ActivityLog& log, std::chrono::milliseconds bound, QObject* parent)
    : QObject(parent), model_(model), log_(log)
{
    bound_.setSingleShot(true);
    bound_.setInterval(bound);
    connect(&bound_, &QTimer::timeout, this, [this] { finish(false); });
}

void StopThenQuit::start(const QString& cause)
{
    if (started_)
        return;
    started_ = true;
    cause_ = cause;
    if (!model_.isLoading()) {
        log_.log(LogLevel::info, cause_ + QStringLiteral(" — quitting"));
        done_ = true;
        emit readyToQuit();
        return;
    }
    log_.log(LogLevel::warn, cause_ + QStringLiteral(" — stopping the running operation, then quitting"));
    // The ending lands in the same turn of the event loop that clears isLoading:
    // the status line it sets is read once that turn is over.
    connect(&model_, &AppModel::isLoadingChanged, this, [this] {
        if (!model_.isLoading())
            QTimer::singleShot(0, this, [this] { finish(true); });
    });
    bound_.start();
    model_.cancelCurrentOperation();
}

void StopThenQuit::finish(bool operationEnded)
{
    if (done_)
        return;
    done_ = true;
    bound_.stop();
    if (operationEnded)
        log_.log(LogLevel::warn, cause_ + QStringLiteral(" — operation stopped: ") + model_.loggedStatusText());
    else
        log_.log(LogLevel::error, cause_
                                      + QStringLiteral(" — the operation did not end within %1 s; quitting without "
                                                       "knowing all it removed (Refresh at the next start)")
                                            .arg(bound_.interval() / 1000));
    emit readyToQuit();
}

}  // namespace stowage
