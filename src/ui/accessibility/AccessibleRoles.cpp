#include "ui/accessibility/AccessibleRoles.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QLabel>

namespace stowage::AccessibleRoles {

namespace {

const char* const roleProperty = "stowageAccessibleRole";

class RoleInterface : public QAccessibleWidget {
public:
    RoleInterface(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            if (auto* label = qobject_cast<QLabel*>(widget()))
                return label->text();
            if (auto* button = button_())
                return button->text();
        }
        return QAccessibleWidget::text(kind);
    }
    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (button_() && button_()->isEnabled())
            names.prepend(pressAction());
        return names;
    }
    void doAction(const QString& name) override
    {
        if (name == pressAction() && button_() && button_()->isEnabled())
            button_()->click();
        else
            QAccessibleWidget::doAction(name);
    }

private:
    QAbstractButton* button_() const { return qobject_cast<QAbstractButton*>(widget()); }
};

QAccessibleInterface* factory(const QString&, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    const QVariant role = object->property(roleProperty);
    return role.isValid() ? new RoleInterface(static_cast<QWidget*>(object), QAccessible::Role(role.toInt())) : nullptr;
}

}  // namespace

void installFactory(QAccessible::InterfaceFactory factory)
{
    static QList<QAccessible::InterfaceFactory> installed;
    if (installed.contains(factory))
        return;
    installed << factory;
    QAccessible::installFactory(factory);
}

void setRole(QWidget& widget, QAccessible::Role role)
{
    installFactory(factory);
    widget.setProperty(roleProperty, int(role));
    // An interface Qt made before (while the widget was given its text) is dropped for one with the role.
    if (QAccessible::isActive())
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(QAccessible::queryAccessibleInterface(&widget)));
}

}  // namespace stowage::AccessibleRoles
