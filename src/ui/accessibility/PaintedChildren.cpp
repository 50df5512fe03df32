#include "ui/accessibility/PaintedChildren.h"

namespace stowage {

PaintedChildrenInterface::~PaintedChildrenInterface()
{
    for (QAccessible::Id id : std::as_const(children_))
        QAccessible::deleteAccessibleInterface(id);
}

QAccessibleInterface* PaintedChildrenInterface::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    auto it = children_.constFind(index);
    if (it == children_.cend())
        it = children_.insert(index, QAccessible::registerAccessibleInterface(makeChild(index)));
    return QAccessible::accessibleInterface(*it);
}

int PaintedChildrenInterface::indexOfChild(const QAccessibleInterface* child) const
{
    return children_.key(QAccessible::uniqueId(const_cast<QAccessibleInterface*>(child)), -1);
}

QAccessibleInterface* PaintedChildrenInterface::childAt(int x, int y) const
{
    return child(partAt(widget()->mapFromGlobal(QPoint(x, y))));
}

QAccessibleInterface* PaintedChildrenInterface::focusChild() const
{
    return widget()->hasFocus() ? child(focusedPart()) : nullptr;
}

}  // namespace stowage
