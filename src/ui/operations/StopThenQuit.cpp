#include "ui/operations/StopThenQuit.h"

#include "log/ActivityLog.h"
#include "model/AppModel.h"
#include "text/PrintableText.h"

namespace stowage {

StopThenQuit::StopThenQuit(Models models, ActivityLog& log, std::chrono::milliseconds bound, QObject* parent)
    : QObject(parent), models_(std::move(models)), log_(log)
{
    bound_.setSingleShot(true);
    bound_.setInterval(bound);
    connect(&bound_, &QTimer::timeout, this, [this] { finish(false); });
}

QList<AppModel*> StopThenQuit::running() const
{
    QList<AppModel*> busy;
    for (AppModel* model : stopping_)
        if (model->isLoading())
            busy << model;
    return busy;
}

void StopThenQuit::start(const QString& cause)
{
    if (started_)
        return;
    started_ = true;
    cause_ = cause;
    stopping_ = models_();
    stopping_ = running();
    if (stopping_.isEmpty()) {
        log_.log(LogLevel::info, cause_ + QStringLiteral(" — quitting"));
        done_ = true;
        emit readyToQuit();
        return;
    }
    log_.log(LogLevel::warn, cause_ + QStringLiteral(" — stopping the running operation, then quitting"));
    // The ending lands in the same turn of the event loop that clears isLoading:
    // the status line it sets is read once that turn is over.
    for (AppModel* model : std::as_const(stopping_))
        connect(model, &AppModel::isLoadingChanged, this, [this] {
            if (running().isEmpty())
                QTimer::singleShot(0, this, [this] { finish(true); });
        });
    bound_.start();
    for (AppModel* model : std::as_const(stopping_))
        model->cancelCurrentOperation();
}

void StopThenQuit::finish(bool operationsEnded)
{
    if (done_)
        return;
    done_ = true;
    bound_.stop();
    if (operationsEnded) {
        for (AppModel* model : std::as_const(stopping_)) {
            const QString engine =
                model->engine() ? QStringLiteral(" (engine ") + printable(model->engine()->name) + u')' : QString();
            log_.log(LogLevel::warn, cause_ + QStringLiteral(" — operation stopped: ") + model->loggedStatusText() + engine);
        }
    } else {
        log_.log(LogLevel::error, cause_
                                      + QStringLiteral(" — the operation did not end within %1 s; quitting without "
                                                       "knowing all it removed (Refresh at the next start)")
                                            .arg(bound_.interval() / 1000));
    }
    emit readyToQuit();
}

}  // namespace stowage
