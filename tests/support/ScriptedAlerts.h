#pragma once
// An Alerts double: records every dialog and answers confirmations as told
// (from a queue of answers, then a default).

#include "model/Alerts.h"

#include <QList>
#include <QString>

#include <functional>

namespace stowage::test {

struct ShownAlert {
    enum class Kind { confirm, info };
    Kind kind;
    QString title;
    QString message;
    bool destructive = false;
    // A confirmation's going-ahead button ("OK" when it names no action) and its list.
    QString button;
    QString details;
    // A notice's second button, pressed with `action.run()`.
    NoticeAction action;
    // A notice shown as a warning.
    bool warning = false;
};

class ScriptedAlerts : public Alerts {
public:
    using Alerts::confirm;
    // `message` records everything the dialog shows, its list included.
    bool confirm(const Confirmation& c) override
    {
        shown.append({ShownAlert::Kind::confirm, c.title, c.fullText(), c.destructive,
                      c.action.isEmpty() ? QStringLiteral("OK") : c.action, c.details, {}});
        if (whileAsking)
            whileAsking();  // what the dialog's event loop may run meanwhile
        return answers.isEmpty() ? defaultAnswer : answers.takeFirst();
    }
    void info(const QString& title, const QString& message) override
    {
        shown.append({ShownAlert::Kind::info, title, message, false, {}, {}, {}});
    }
    void warning(const QString& title, const QString& message) override { info(title, message); shown.last().warning = true; }
    void notice(const QString& title, const QString& message, const NoticeAction& action) override
    {
        shown.append({ShownAlert::Kind::info, title, message, false, {}, {}, action});
    }

    const ShownAlert* last() const { return shown.isEmpty() ? nullptr : &shown.last(); }
    QList<ShownAlert> confirms() const { return ofKind(ShownAlert::Kind::confirm); }
    QList<ShownAlert> infos() const { return ofKind(ShownAlert::Kind::info); }

    QList<bool> answers;
    bool defaultAnswer = true;
    std::function<void()> whileAsking;
    QList<ShownAlert> shown;

private:
    QList<ShownAlert> ofKind(ShownAlert::Kind kind) const
    {
        QList<ShownAlert> out;
        for (const auto& alert : shown)
            if (alert.kind == kind)
                out.append(alert);
        return out;
    }
};

}  // namespace stowage::test
