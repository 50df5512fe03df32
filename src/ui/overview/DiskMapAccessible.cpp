#include "ui/overview/DiskMapAccessible.h"

#include "ui/accessibility/AccessibleRoles.h"
#include "ui/accessibility/PaintedChildren.h"
#include "ui/overview/DiskMapView.h"

namespace stowage::DiskMapAccessible {

namespace {

class TileInterface : public PaintedPartInterface<DiskMapView> {
public:
    using PaintedPartInterface::PaintedPartInterface;

    // A tile stands for whatever rectangle is painted at its index: a new layout renames it.
    bool isValid() const override { return owner_ && index_ < owner_->tileCount(); }
    QRect partRect() const override { return owner_->tileRect(index_); }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Name && isValid() ? owner_->tileText(index_) : QString();
    }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.invalid = !isValid();
        if (state.invalid)
            return state;
        state.invisible = !owner_->isVisible();
        state.focusable = true;
        state.focused = owner_->hasFocus() && owner_->focusedTile() == index_;
        return state;
    }
    void doAction(const QString& name) override
    {
        if (name == pressAction() && isValid())
            owner_->activateTile(index_);
    }

};

class MapInterface : public PaintedChildrenInterface {
public:
    explicit MapInterface(DiskMapView* map) : PaintedChildrenInterface(map, QAccessible::List) {}

    DiskMapView* map() const { return static_cast<DiskMapView*>(widget()); }

    int childCount() const override { return map()->tileCount(); }

protected:
    QAccessibleInterface* makeChild(int index) const override { return new TileInterface(map(), index); }
    int partAt(QPoint local) const override { return map()->tileAt(local); }
    int focusedPart() const override { return map()->focusedTile(); }
};

QAccessibleInterface* factory(const QString& className, QObject* object)
{
    if (className == QLatin1String("stowage::DiskMapView") && object && object->isWidgetType())
        return new MapInterface(static_cast<DiskMapView*>(object));
    return nullptr;
}

}  // namespace

void install()
{
    AccessibleRoles::installFactory(factory);
}

void announceFocus(DiskMapView& map)
{
    if (!QAccessible::isActive() || !map.hasFocus() || map.focusedTile() < 0)
        return;
    QAccessibleEvent event(&map, QAccessible::Focus);
    event.setChild(map.focusedTile());
    QAccessible::updateAccessibility(&event);
}

}  // namespace stowage::DiskMapAccessible
