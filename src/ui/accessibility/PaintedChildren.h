#pragma once
// The accessible interface of a widget whose children are parts it paints
// (segments, map tiles) rather than widgets, known by their index. Each part's
// interface is made when a screen reader first asks for it and registered with
// Qt, so that later questions meet the same object; all of them go with the
// widget's interface.

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace stowage {

class PaintedChildrenInterface : public QAccessibleWidget {
public:
    using QAccessibleWidget::QAccessibleWidget;
    ~PaintedChildrenInterface() override;

    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

protected:
    // The interface of part `index` (0 ≤ index < childCount()), made once.
    virtual QAccessibleInterface* makeChild(int index) const = 0;
    // The part at a point in the widget's coordinates, or -1.
    virtual int partAt(QPoint local) const = 0;
    // The part the keyboard is on while the widget has the focus, or -1.
    virtual int focusedPart() const = 0;

private:
    mutable QHash<int, QAccessible::Id> children_;  // by the part's index
};

// One painted part of a `Widget`, as a child of the widget's interface: it has
// no object and no children of its own, its place on screen is the part's
// rectangle in the widget, and it offers the press action. Subclasses say
// whether the part still exists, and give its rectangle, role, name, state and
// what pressing it does.
template <class Widget>
class PaintedPartInterface : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    PaintedPartInterface(Widget* owner, int index) : owner_(owner), index_(index) {}

    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return owner_ ? owner_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(owner_.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect local = partRect();
        return QRect(owner_->mapToGlobal(local.topLeft()), local.size());
    }
    void setText(QAccessible::Text, const QString&) override {}
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }
    QStringList actionNames() const override { return isValid() ? QStringList{pressAction()} : QStringList{}; }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

protected:
    // The part's rectangle in the widget's coordinates; asked only while isValid().
    virtual QRect partRect() const = 0;

    QPointer<Widget> owner_;
    int index_;
};

}  // namespace stowage
