#include "ui/projects/ProjectCardAccessible.h"

#include "ui/accessibility/AccessibleRoles.h"
#include "ui/projects/ProjectCardList.h"
#include "ui/projects/ProjectListModel.h"

#include <QCoreApplication>
#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
#include <QWindow>

namespace stowage::ProjectCardAccessible {

namespace {

class ListInterface;

// Everything the card shows in words, in reading order: its state and last
// activity, figures, containers with their state, images and volumes with
// their badges. Lines end with a full stop, the parts of a line are set apart
// by commas; the title (the card's name) and the buttons are left out.
QString contents(const CardLayout& layout, const QString& title)
{
    QString text;
    int lineBottom = -1;
    bool titleSkipped = false;
    for (const CardItem& item : layout.items) {
        if (item.kind != CardItem::Kind::text && item.kind != CardItem::Kind::badge)
            continue;
        if (!titleSkipped && item.text == title) {
            titleSkipped = true;
            continue;
        }
        if (!text.isEmpty())
            text += item.rect.top() > lineBottom ? QStringLiteral(". ") : QStringLiteral(", ");
        lineBottom = item.rect.bottom();
        // The dots and bullets that set parts apart on screen are not read.
        QString part = item.text;
        while (part.startsWith(QStringLiteral("● ")) || part.startsWith(QStringLiteral("· ")))
            part.remove(0, 2);
        text += part;
    }
    return text;
}

// Where a card or a button of it is: found again by project name, since rows
// move with every search and sort.
struct Place {
    QPointer<ProjectCardList> list;
    QString project;

    int row() const { return list ? list->cards().rowOf(project) : -1; }
    bool valid() const { return row() >= 0; }
    QRect globalRect(const QRect& inCard) const
    {
        if (!valid())
            return {};
        const QRect card = list->visualRect(list->cards().index(row()));
        const QRect local = inCard.isNull() ? card : inCard.translated(card.topLeft());
        return QRect(list->viewport()->mapToGlobal(local.topLeft()), local.size());
    }
};

class ButtonInterface : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    ButtonInterface(Place place, CardAction action) : place_(std::move(place)), action_(action) {}

    bool isValid() const override { return item().has_value(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return place_.list ? place_.list->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QRect rect() const override { return place_.globalRect(item() ? item()->rect : QRect()); }
    QAccessible::Role role() const override
    {
        return action_ == CardAction::toggleSelection ? QAccessible::CheckBox : QAccessible::Button;
    }
    QString text(QAccessible::Text kind) const override
    {
        const auto shown = item();
        if (!shown)
            return {};
        if (kind == QAccessible::Name)
            return action_ == CardAction::toggleSelection
                       ? QCoreApplication::translate("ProjectCardAccessible", "Select %1")
                             .arg(place_.list->cards().card(place_.row()).title)
                       : shown->text;
        if (kind == QAccessible::Description)
            return shown->description.isEmpty() ? place_.list->cards().card(place_.row()).title : shown->description;
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::State state() const override
    {
        QAccessible::State state;
        const auto shown = item();
        if (!shown) {
            state.invalid = true;
            return state;
        }
        state.focusable = shown->enabled;
        state.disabled = !shown->enabled;
        state.focused = place_.list->hasFocus() && place_.list->currentIndex().row() == place_.row()
            && place_.list->focusedAction() == action_;
        state.checkable = action_ == CardAction::toggleSelection;
        state.checked = shown->checked;
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }

    QStringList actionNames() const override
    {
        return item() && item()->enabled ? QStringList{pressAction()} : QStringList{};
    }
    void doAction(const QString& name) override
    {
        if (name == pressAction() && item() && item()->enabled)
            place_.list->press(place_.row(), action_);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    std::optional<CardItem> item() const
    {
        if (!place_.valid())
            return std::nullopt;
        for (const CardItem& shown : place_.list->layoutOf(place_.row()).items)
            if (shown.action == action_)
                return shown;
        return std::nullopt;
    }

    Place place_;
    CardAction action_;
};

class CardInterface : public QAccessibleInterface {
public:
    explicit CardInterface(Place place) : place_(std::move(place)) {}
    ~CardInterface() override
    {
        for (QAccessible::Id id : std::as_const(buttons_))
            QAccessible::deleteAccessibleInterface(id);
    }

    bool isValid() const override { return place_.valid(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return place_.list ? place_.list->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(place_.list); }
    QAccessibleInterface* child(int index) const override
    {
        const QList<CardAction> shown = actions();
        return index >= 0 && index < shown.size() ? button(shown[index]) : nullptr;
    }
    int childCount() const override { return int(actions().size()); }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        const QList<CardAction> shown = actions();
        for (int i = 0; i < shown.size(); ++i)
            if (buttons_.value(int(shown[i])) == QAccessible::uniqueId(const_cast<QAccessibleInterface*>(child)))
                return i;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        for (int i = 0; i < childCount(); ++i)
            if (QAccessibleInterface* c = child(i); c->rect().contains(x, y))
                return c;
        return nullptr;
    }
    QRect rect() const override { return place_.globalRect({}); }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QString text(QAccessible::Text kind) const override
    {
        if (!isValid())
            return {};
        const ProjectCardData& card = place_.list->cards().card(place_.row());
        if (kind == QAccessible::Name)
            return card.title;
        if (kind == QAccessible::Description)
            return contents(place_.list->layoutOf(place_.row()), card.title);
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.invalid = !isValid();
        return state;
    }

    QAccessibleInterface* button(CardAction action) const
    {
        auto it = buttons_.constFind(int(action));
        if (it == buttons_.cend())
            it = buttons_.insert(int(action),
                                 QAccessible::registerAccessibleInterface(new ButtonInterface(place_, action)));
        return QAccessible::accessibleInterface(*it);
    }

private:
    // Every button of the card, disabled ones too (they are read out as unavailable).
    QList<CardAction> actions() const
    {
        QList<CardAction> shown;
        if (isValid())
            for (const CardItem& item : place_.list->layoutOf(place_.row()).items)
                if (item.action)
                    shown.append(*item.action);
        return shown;
    }

    Place place_;
    mutable QHash<int, QAccessible::Id> buttons_;  // by CardAction
};

class ListInterface : public QAccessibleWidget {
public:
    explicit ListInterface(ProjectCardList* list) : QAccessibleWidget(list, QAccessible::List) {}
    ~ListInterface() override
    {
        for (QAccessible::Id id : std::as_const(cards_))
            QAccessible::deleteAccessibleInterface(id);
    }

    ProjectCardList* list() const { return static_cast<ProjectCardList*>(widget()); }

    int childCount() const override { return list()->cards().rowCount(); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        return card(list()->cards().order().at(index));
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        const QAccessible::Id id = QAccessible::uniqueId(const_cast<QAccessibleInterface*>(child));
        for (auto it = cards_.cbegin(); it != cards_.cend(); ++it)
            if (*it == id)
                return list()->cards().rowOf(it.key());
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        const QModelIndex index = list()->indexAt(list()->viewport()->mapFromGlobal(QPoint(x, y)));
        return index.isValid() ? child(index.row()) : nullptr;
    }
    QAccessibleInterface* focusChild() const override
    {
        const int row = list()->currentIndex().row();
        const auto action = list()->focusedAction();
        return list()->hasFocus() && row >= 0 && action ? ProjectCardAccessible::button(*list(), row, *action) : nullptr;
    }

    CardInterface* card(const QString& project) const
    {
        auto it = cards_.constFind(project);
        if (it == cards_.cend())
            it = cards_.insert(project, QAccessible::registerAccessibleInterface(new CardInterface({list(), project})));
        return static_cast<CardInterface*>(QAccessible::accessibleInterface(*it));
    }

private:
    mutable QHash<QString, QAccessible::Id> cards_;
};

QAccessibleInterface* ButtonInterface::parent() const
{
    auto* list = static_cast<ListInterface*>(QAccessible::queryAccessibleInterface(place_.list));
    return list ? list->card(place_.project) : nullptr;
}

QAccessibleInterface* factory(const QString& className, QObject* object)
{
    if (className == QLatin1String("stowage::ProjectCardList") && object && object->isWidgetType())
        return new ListInterface(static_cast<ProjectCardList*>(object));
    return nullptr;
}

}  // namespace

void install()
{
    AccessibleRoles::installFactory(factory);
}

QAccessibleInterface* button(ProjectCardList& list, int row, CardAction action)
{
    auto* iface = static_cast<ListInterface*>(QAccessible::queryAccessibleInterface(&list));
    if (!iface || row < 0 || row >= list.cards().rowCount())
        return nullptr;
    return iface->card(list.cards().order().at(row))->button(action);
}

void announceToggled(ProjectCardList& list, int row)
{
    if (!QAccessible::isActive())
        return;
    if (QAccessibleInterface* box = button(list, row, CardAction::toggleSelection)) {
        QAccessible::State changed;
        changed.checked = true;
        QAccessibleStateChangeEvent event(box, changed);
        QAccessible::updateAccessibility(&event);
    }
}

void announceFocus(ProjectCardList& list, int row, CardAction action)
{
    if (!QAccessible::isActive())
        return;
    if (QAccessibleInterface* focused = button(list, row, action)) {
        QAccessibleEvent event(focused, QAccessible::Focus);
        QAccessible::updateAccessibility(&event);
    }
}

}  // namespace stowage::ProjectCardAccessible
