#pragma once
// The model's confirmations and notices as message boxes. A confirmation is
// modal and waits for the answer; a notice is attached to the active window
// (window-modal) and returns at once, so an operation reporting its outcome
// never waits for the person to read it.

#include "model/Alerts.h"

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

namespace stowage {

class QtAlerts : public Alerts {
public:
    // `parent` is the window to attach to when no window is active.
    explicit QtAlerts(QWidget* parent = nullptr);

    using Alerts::confirm;
    bool confirm(const Confirmation& confirmation) override;
    void info(const QString& title, const QString& message) override;
    void warning(const QString& title, const QString& message) override;
    void notice(const QString& title, const QString& message, const NoticeAction& action) override;

private:
    // The active window, else `parent` when visible, else the first visible top-level window.
    QWidget* hostWindow() const;
    // A notice box with "OK", and `action` as a second button when given.
    void showNotice(const QString& title, const QString& message, const NoticeAction* action,
                    QMessageBox::Icon icon = QMessageBox::Information);

    QPointer<QWidget> parent_;
};

}  // namespace stowage
