#pragma once
// The confirmations of a run without a window: the dry-run / --yes rule. A
// confirmation is answered "OK" exactly when the command line said --yes, so
// a dry run goes through the same operation and the model removes nothing.
// Notices are kept, so that the run can print the window's ending.

#include "model/Alerts.h"

#include <QList>

namespace stowage::cli {

class HeadlessAlerts : public Alerts {
public:
    struct Notice {
        QString title;
        QString message;
    };

    explicit HeadlessAlerts(bool yes) : yes_(yes) {}

    using Alerts::confirm;
    bool confirm(const Confirmation&) override { return yes_; }
    void info(const QString& title, const QString& message) override { notices_.append({title, message}); }

    const QList<Notice>& notices() const { return notices_; }

private:
    bool yes_;
    QList<Notice> notices_;
};

}  // namespace stowage::cli
