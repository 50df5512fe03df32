#include "ui/DeferredUpdate.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace stowage {

DeferredUpdate::DeferredUpdate(QWidget* owner, std::function<void()> apply)
    : QObject(owner), owner_(owner), apply_(std::move(apply))
{
    owner_->installEventFilter(this);
}

void DeferredUpdate::request()
{
    pending_ = true;
    if (scheduled_ || !owner_->isVisible())
        return;
    scheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        scheduled_ = false;
        if (owner_->isVisible())
            flush();
    });
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
