#include "ui/widgets/SegmentedAccessible.h"

#include "ui/accessibility/AccessibleRoles.h"
#include "ui/widgets/SegmentedControl.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
#include <QWindow>

namespace stowage::SegmentedAccessible {

namespace {

class ControlInterface;

class SegmentInterface : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    SegmentInterface(SegmentedControl* control, int index) : control_(control), index_(index) {}

    bool isValid() const override { return control_ && index_ < control_->count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return control_ ? control_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(control_); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect local = control_->segmentRect(index_);
        return QRect(control_->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::Role role() const override { return pages() ? QAccessible::PageTab : QAccessible::RadioButton; }
    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Name && isValid() ? control_->labels().at(index_) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        const bool current = control_->currentIndex() == index_;
        state.disabled = !control_->isEnabled();
        state.invisible = !control_->isVisible();
        state.focusable = true;
        state.focused = current && control_->hasFocus();
        if (pages()) {
            state.selectable = true;
            state.selected = current;
        } else {
            state.checkable = true;
            state.checked = current;
        }
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }

    QStringList actionNames() const override { return isValid() ? QStringList{pressAction()} : QStringList{}; }
    void doAction(const QString& name) override
    {
        if (name == pressAction() && isValid() && control_->isEnabled())
            control_->setCurrentIndex(index_);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    bool pages() const { return control_ && control_->kind() == SegmentedControl::Kind::pages; }

    QPointer<SegmentedControl> control_;
    int index_;
};

class ControlInterface : public QAccessibleWidget {
public:
    explicit ControlInterface(SegmentedControl* control)
        : QAccessibleWidget(control, control->kind() == SegmentedControl::Kind::pages ? QAccessible::PageTabList
                                                                                      : QAccessible::Grouping)
    {
    }
    ~ControlInterface() override
    {
        for (QAccessible::Id id : std::as_const(segments_))
            QAccessible::deleteAccessibleInterface(id);
    }

    SegmentedControl* control() const { return static_cast<SegmentedControl*>(widget()); }

    int childCount() const override { return control()->count(); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        auto it = segments_.constFind(index);
        if (it == segments_.cend())
            it = segments_.insert(index, QAccessible::registerAccessibleInterface(new SegmentInterface(control(), index)));
        return QAccessible::accessibleInterface(*it);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return segments_.key(QAccessible::uniqueId(const_cast<QAccessibleInterface*>(child)), -1);
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        return child(control()->segmentAt(control()->mapFromGlobal(QPoint(x, y))));
    }
    QAccessibleInterface* focusChild() const override
    {
        return control()->hasFocus() ? child(control()->currentIndex()) : nullptr;
    }

private:
    mutable QHash<int, QAccessible::Id> segments_;  // by segment index
};

QAccessibleInterface* factory(const QString& className, QObject* object)
{
    if (className == QLatin1String("stowage::SegmentedControl") && object && object->isWidgetType())
        return new ControlInterface(static_cast<SegmentedControl*>(object));
    return nullptr;
}

void send(SegmentedControl& control, int index, QAccessible::Event type)
{
    QAccessibleEvent event(&control, type);
    event.setChild(index);
    QAccessible::updateAccessibility(&event);
}

}  // namespace

void install()
{
    AccessibleRoles::installFactory(factory);
}

QAccessibleInterface* segment(SegmentedControl& control, int index)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&control);
    return iface ? iface->child(index) : nullptr;
}

void announceSelection(SegmentedControl& control, int previous)
{
    if (!QAccessible::isActive())
        return;
    QAccessible::State changed;
    if (control.kind() == SegmentedControl::Kind::pages)
        changed.selected = true;
    else
        changed.checked = true;
    for (int index : {previous, control.currentIndex()}) {
        if (QAccessibleInterface* shown = segment(control, index)) {
            QAccessibleStateChangeEvent event(shown, changed);
            QAccessible::updateAccessibility(&event);
        }
    }
    if (control.hasFocus())
        send(control, control.currentIndex(), QAccessible::Focus);
    send(control, control.currentIndex(), QAccessible::Selection);
}

void announceFocus(SegmentedControl& control)
{
    if (QAccessible::isActive() && control.currentIndex() >= 0)
        send(control, control.currentIndex(), QAccessible::Focus);
}

}  // namespace stowage::SegmentedAccessible
