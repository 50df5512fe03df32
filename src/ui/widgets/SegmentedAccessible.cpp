#include "ui/widgets/SegmentedAccessible.h"

#include "ui/accessibility/AccessibleRoles.h"
#include "ui/accessibility/PaintedChildren.h"
#include "ui/widgets/SegmentedControl.h"

namespace stowage::SegmentedAccessible {

namespace {

class ControlInterface;

class SegmentInterface : public PaintedPartInterface<SegmentedControl> {
public:
    using PaintedPartInterface::PaintedPartInterface;

    bool isValid() const override { return owner_ && index_ < owner_->count(); }
    QRect partRect() const override { return owner_->segmentRect(index_); }
    QAccessible::Role role() const override { return pages() ? QAccessible::PageTab : QAccessible::RadioButton; }
    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Name && isValid() ? owner_->labels().at(index_) : QString();
    }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        const bool current = owner_->currentIndex() == index_;
        state.disabled = !owner_->isEnabled();
        state.invisible = !owner_->isVisible();
        state.focusable = true;
        state.focused = current && owner_->hasFocus();
        if (pages()) {
            state.selectable = true;
            state.selected = current;
        } else {
            state.checkable = true;
            state.checked = current;
        }
        return state;
    }
    void doAction(const QString& name) override
    {
        if (name == pressAction() && isValid() && owner_->isEnabled())
            owner_->setCurrentIndex(index_);
    }

private:
    bool pages() const { return owner_ && owner_->kind() == SegmentedControl::Kind::pages; }
};

class ControlInterface : public PaintedChildrenInterface {
public:
    explicit ControlInterface(SegmentedControl* control)
        : PaintedChildrenInterface(control, control->kind() == SegmentedControl::Kind::pages ? QAccessible::PageTabList
                                                                                             : QAccessible::Grouping)
    {
    }

    SegmentedControl* control() const { return static_cast<SegmentedControl*>(widget()); }

    int childCount() const override { return control()->count(); }

protected:
    QAccessibleInterface* makeChild(int index) const override { return new SegmentInterface(control(), index); }
    int partAt(QPoint local) const override { return control()->segmentAt(local); }
    int focusedPart() const override { return control()->currentIndex(); }
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
