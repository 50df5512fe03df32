#pragma once
// The registry of docker commands running right now, each with a kill entry.
// Registration and killing work from any thread; the visible list `active`
// changes only on the UI thread, in call order.

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QUuid>

#include "platform/ThreadHandOff.h"

#include <functional>
#include <mutex>

namespace stowage {

class OperationCenter : public QObject {
    Q_OBJECT
public:
    struct Op {
        QUuid id;
        QString label;
        QDateTime startedAt;
        bool operator==(const Op&) const = default;
    };
    using Killer = std::function<void()>;

    explicit OperationCenter(QObject* parent = nullptr);
    static OperationCenter& shared();

    // `register` is a reserved word in C++, hence the suffix.
    void registerOp(const QUuid& id, const QString& label, const QDateTime& startedAt, Killer killer);
    void unregisterOp(const QUuid& id);
    void kill(const QUuid& id);
    void killAll();

    const QList<Op>& active() const { return active_; }  // UI thread only

signals:
    void activeChanged();

private:
    std::mutex lock_;
    QHash<QUuid, Killer> killers_;
    QList<Op> active_;
    platform::ThreadHandOff handOff_{this};
};

size_t qHash(const OperationCenter::Op& op, size_t seed = 0) noexcept;

}  // namespace stowage
