#include "ui/operations/DeferredUpdate.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace stowage {

DeferredUpdate::DeferredUpdate(QWidget* owner, std::function<void()> apply)
    : QObject(owner), owner_(owner), apply_(std::move(apply))
{
    owner_->installEventFilter(this);
    soon_.setSingleShot(true);
    soon_.setInterval(0);
    connect(&soon_, &QTimer::timeout, this, [this] {
        if (owner_->isVisible())
            flush();
    });
}

void DeferredUpdate::request()
{
    pending_ = true;
    if (!soon_.isActive() && owner_->isVisible())
        soon_.start();
}

void DeferredUpdate::flush()
{
    if (!pending_)
        return;
    pending_ = false;
    apply_();
}

bool DeferredUpdate::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == owner_ && event->type() == QEvent::Show)
        flush();
    return false;
}

}  // namespace stowage
