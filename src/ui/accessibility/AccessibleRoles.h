#pragma once
// Roles for widgets that Qt would read out as something else: a title label
// as a heading, a text button that opens a web page as a link, a painted bar
// as the status bar. The widget is named by its accessible name, or else by
// the text it shows.

#include <QAccessible>

class QWidget;

namespace stowage::AccessibleRoles {

void setRole(QWidget& widget, QAccessible::Role role);

// Registers a factory of the window's own interfaces with Qt's accessibility;
// later calls with the same factory do nothing. On the UI thread.
void installFactory(QAccessible::InterfaceFactory factory);

}  // namespace stowage::AccessibleRoles
