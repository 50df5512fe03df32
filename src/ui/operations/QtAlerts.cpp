#include "ui/operations/QtAlerts.h"

#include "text/PrintableText.h"
#include "ui/listing/ListWrap.h"

#include <QCoreApplication>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTextEdit>

#include <algorithm>

namespace stowage {

namespace {

// The texts list names of containers, images, volumes and paths, which come
// from Docker and may hold anything, "<none>" included: always plain text,
// never rich text, and selectable so that a name can be copied.
// Each line also passes the printable filter: a name holding a line feed,
// a carriage return or a bidirectional override cannot forge a line.
void setTexts(QMessageBox& box, const QString& shownTitle, const QString& shownMessage)
{
    const QString title = printable(shownTitle);
    const QString message = printableLines(shownMessage);
    box.setTextFormat(Qt::PlainText);
    box.setText(title);
    box.setInformativeText(message);
    const auto selectable = Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard;
    box.setTextInteractionFlags(selectable);
    if (auto* informative = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"))) {
        informative->setTextFormat(Qt::PlainText);
        informative->setTextInteractionFlags(selectable);
        // Wrapped here, list items with a hanging indent; the label must not wrap again.
        const QFontMetrics metrics(informative->font());
        informative->setWordWrap(false);
        informative->setText(wrapListLines(message, metrics, std::max(420, metrics.averageCharWidth() * 72)));
    }
}

// The list of what goes, in the box's own details area, open from the start:
// it scrolls however long the list is, so the box never grows off screen.
void showDetails(QMessageBox& box, const QString& details)
{
    box.setDetailedText(printableLines(details));
    for (QAbstractButton* button : box.buttons())
        if (box.buttonRole(button) == QMessageBox::ActionRole)
            button->click();  // "Show Details…"
    if (auto* area = box.findChild<QTextEdit*>()) {
        const QFontMetrics metrics(area->font());
        const int lines = std::min<int>(int(details.count(u'\n')) + 2, 18);  // then it scrolls
        area->setFixedHeight(std::max(100, lines * metrics.lineSpacing() + 12));
        area->setLineWrapMode(QTextEdit::NoWrap);
    }
}

}  // namespace

QtAlerts::QtAlerts(QWidget* parent) : parent_(parent) {}

// Message boxes are never hosts: a notice deletes itself when closed and
// would take a dialog attached to it along.
QWidget* QtAlerts::hostWindow() const
{
    const auto usable = [](QWidget* widget) {
        return widget && widget->isVisible() && !qobject_cast<QMessageBox*>(widget->window());
    };
    if (QWidget* active = QApplication::activeWindow(); usable(active))
        return active->window();
    if (usable(parent_))
        return parent_->window();
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows)
        if (window->isWindow() && usable(window))
            return window;
    return nullptr;
}

bool QtAlerts::confirm(const Confirmation& confirmation)
{
    // On the heap and watched: the host window may close while the box waits.
    QPointer<QMessageBox> box = new QMessageBox(hostWindow());
    box->setWindowModality(Qt::ApplicationModal);
    box->setIcon(confirmation.destructive ? QMessageBox::Warning : QMessageBox::Information);
    setTexts(*box, confirmation.title, confirmation.message);
    if (!confirmation.details.isEmpty())
        showDetails(*box, confirmation.details);
    const QString action =
        confirmation.action.isEmpty() ? QCoreApplication::translate("QtAlerts", "OK") : confirmation.action;
    QPushButton* ok = box->addButton(action, QMessageBox::AcceptRole);
    QPushButton* cancel = box->addButton(QCoreApplication::translate("QtAlerts", "Cancel"), QMessageBox::RejectRole);
    // Return and Esc must never destroy: a destructive box defaults to Cancel.
    box->setDefaultButton(confirmation.destructive ? cancel : ok);
    box->setEscapeButton(cancel);
    if (confirmation.destructive)
        cancel->setFocus();
    box->exec();
    if (!box)
        return false;
    const bool confirmed = box->clickedButton() == ok;
    delete box.data();
    return confirmed;
}

void QtAlerts::info(const QString& title, const QString& message)
{
    showNotice(title, message, nullptr);
}

void QtAlerts::warning(const QString& title, const QString& message)
{
    showNotice(title, message, nullptr, QMessageBox::Warning);
}

void QtAlerts::notice(const QString& title, const QString& message, const NoticeAction& action)
{
    showNotice(title, message, &action);
}

void QtAlerts::showNotice(const QString& title, const QString& message, const NoticeAction* action,
                          QMessageBox::Icon icon)
{
    QWidget* host = hostWindow();
    auto* box = new QMessageBox(host);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setIcon(icon);
    setTexts(*box, title, message);
    if (action) {
        QPushButton* extra = box->addButton(action->buttonText, QMessageBox::ActionRole);
        QObject::connect(extra, &QPushButton::clicked, box, [run = action->run] {
            if (run)
                run();
        });
    }
    QPushButton* ok = box->addButton(QCoreApplication::translate("QtAlerts", "OK"), QMessageBox::AcceptRole);
    box->setDefaultButton(ok);
    box->setEscapeButton(ok);
    if (host) {
        box->open();  // window-modal
    } else {
        box->setWindowModality(Qt::ApplicationModal);
        box->show();
    }
}

}  // namespace stowage
