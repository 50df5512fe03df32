#pragma once
// The two dialogs every removal goes through: a confirmation (OK / Cancel) and
// a notice (OK). The model holds an Alerts; the window supplies one built on
// message boxes, tests a scripted one.

#include <QString>

#include <functional>

namespace stowage {

// A second button of a notice, beside "OK", and what pressing it does.
struct NoticeAction {
    QString buttonText;
    std::function<void()> run;
};

// What a confirmation asks. A destructive one names its going-ahead button by
// what it does and makes Cancel the default, so Return and Esc never destroy.
struct Confirmation {
    QString title;
    // The question and what stays; short enough to read at a glance.
    QString message;
    // Every item that goes, one a line; shown in a scrolling area, however long.
    QString details;
    // The going-ahead button, named by its action ("Remove 3 Volumes"); "OK" when empty.
    QString action;
    bool destructive = true;

    // Everything the person reads, message then list.
    QString fullText() const { return details.isEmpty() ? message : message + QStringLiteral("\n\n") + details; }
};

class Alerts {
public:
    virtual ~Alerts() = default;
    // Modal; true exactly when the person chose the going-ahead button.
    virtual bool confirm(const Confirmation& confirmation) = 0;
    bool confirm(const QString& title, const QString& message, bool destructive)
    {
        return confirm(Confirmation{title, message, {}, {}, destructive});
    }
    // A notice with one "OK" button; does not block the caller when shown window-modal.
    virtual void info(const QString& title, const QString& message) = 0;
    // A notice that something went wrong in part (errors, a run that ended early):
    // shown with the warning icon where there is one.
    virtual void warning(const QString& title, const QString& message) { info(title, message); }
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
    using Alerts::confirm;
    bool confirm(const Confirmation&) override { return false; }
    void info(const QString&, const QString&) override {}
};

}  // namespace stowage
