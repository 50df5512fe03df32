#include "docker/OperationCenter.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

namespace stowage {

OperationCenter::OperationCenter(QObject* parent) : QObject(parent)
{
    if (auto* app = QCoreApplication::instance(); app && thread() != app->thread())
        moveToThread(app->thread());
}

OperationCenter& OperationCenter::shared()
{
    // Lives for the whole process; never destroyed, so runs that end during
    // shutdown can still unregister.
    static auto* instance = new OperationCenter;
    return *instance;
}

void OperationCenter::registerOp(const QUuid& id, const QString& label, const QDateTime& startedAt, Killer killer)
{
    {
        std::lock_guard guard(lock_);
        killers_.insert(id, std::move(killer));
    }
    Op op{id, label, startedAt};
    handOff_.post([this, op] {
        active_.append(op);
        emit activeChanged();
    });
}

void OperationCenter::unregisterOp(const QUuid& id)
{
    {
        std::lock_guard guard(lock_);
        killers_.remove(id);
    }
    handOff_.post([this, id] {
        if (active_.removeIf([&](const Op& op) { return op.id == id; }) > 0)
            emit activeChanged();
    });
}

void OperationCenter::kill(const QUuid& id)
{
    Killer killer;
    {
        std::lock_guard guard(lock_);
        killer = killers_.value(id);
    }
    if (killer)
        killer();
}

void OperationCenter::killAll()
{
    QList<Killer> all;
    {
        std::lock_guard guard(lock_);
        all = killers_.values();
    }
    for (const auto& killer : all)
        killer();
}

size_t qHash(const OperationCenter::Op& op, size_t seed) noexcept
{
    return qHashMulti(seed, op.id, op.label, op.startedAt);
}

}  // namespace stowage
