#pragma once
// The two dialogs every removal goes through: a confirmation (OK / Cancel) and
// a notice (OK). The model holds an Alerts; the window supplies one built on
// message boxes, tests a scripted one.

#include <QString>

#include <functional>

namespace stowage {

// A second button of a notice, beside "OK", and what pressing it does.
struct NoticeAction {
    QString label;
    std::function<void()> run;
};

class Alerts {
public:
    virtual ~Alerts() = default;
    // Modal; true exactly when the user chose "OK". `destructive` asks for the warning style.
    virtual bool confirm(const QString& title, const QString& message, bool destructive) = 0;
    // A notice with one "OK" button; does not block the caller when shown as a sheet.
    virtual void info(const QString& title, const QString& message) = 0;
    // A notice that also offers `action`; where buttons cannot be shown, the plain notice.
    virtual void notice(const QString& title, const QString& message, const NoticeAction& action)
    {
        (void)action;
        info(title, message);
    }
};

// Used when nothing else was supplied (no window): nothing is ever confirmed,
// so nothing is removed without a person saying so.
class DecliningAlerts : public Alerts {
public:
    bool confirm(const QString&, const QString&, bool) override { return false; }
    void info(const QString&, const QString&) override {}
};

}  // namespace stowage
