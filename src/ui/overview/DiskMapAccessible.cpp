#include "ui/overview/DiskMapAccessible.h"

#include "ui/accessibility/AccessibleRoles.h"
#include "ui/overview/DiskMapView.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
#include <QWindow>

namespace stowage::DiskMapAccessible {

namespace {

class TileInterface : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    TileInterface(DiskMapView* map, int index) : map_(map), index_(index) {}

    // A tile stands for whatever rectangle is painted at its index: a new layout renames it.
    bool isValid() const override { return map_ && index_ < map_->tileCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return map_ ? map_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(map_); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect local = map_->tileRect(index_);
        return QRect(map_->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Name && isValid() ? map_->tileText(index_) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.invalid = !isValid();
        if (state.invalid)
            return state;
        state.invisible = !map_->isVisible();
        state.focusable = true;
        state.focused = map_->hasFocus() && map_->focusedTile() == index_;
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }

    QStringList actionNames() const override { return isValid() ? QStringList{pressAction()} : QStringList{}; }
    void doAction(const QString& name) override
    {
        if (name == pressAction() && isValid())
            map_->activateTile(index_);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<DiskMapView> map_;
    int index_;
};

class MapInterface : public QAccessibleWidget {
public:
    explicit MapInterface(DiskMapView* map) : QAccessibleWidget(map, QAccessible::List) {}
    ~MapInterface() override
    {
        for (QAccessible::Id id : std::as_const(tiles_))
            QAccessible::deleteAccessibleInterface(id);
    }

    DiskMapView* map() const { return static_cast<DiskMapView*>(widget()); }

    int childCount() const override { return map()->tileCount(); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        auto it = tiles_.constFind(index);
        if (it == tiles_.cend())
            it = tiles_.insert(index, QAccessible::registerAccessibleInterface(new TileInterface(map(), index)));
        return QAccessible::accessibleInterface(*it);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return tiles_.key(QAccessible::uniqueId(const_cast<QAccessibleInterface*>(child)), -1);
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        return child(map()->tileAt(map()->mapFromGlobal(QPoint(x, y))));
    }
    QAccessibleInterface* focusChild() const override
    {
        return map()->hasFocus() ? child(map()->focusedTile()) : nullptr;
    }

private:
    mutable QHash<int, QAccessible::Id> tiles_;  // by tile index
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
