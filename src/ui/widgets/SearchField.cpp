#include "ui/widgets/SearchField.h"

#include "ui/style/Icons.h"
#include "ui/style/Theme.h"

#include <QAction>
#include <QKeyEvent>

namespace stowage {

namespace {

bool isPlainEscape(const QKeyEvent* key)
{
    return key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier;
}

}  // namespace

SearchField::SearchField(const QString& placeholder, bool clearButton, QWidget* parent) : QLineEdit(parent)
{
    setPlaceholderText(placeholder);
    QString name = placeholder;
    setAccessibleName(name.remove(QStringLiteral("…")));
    QAction* search = addAction(Icons::symbol(QStringLiteral("magnifyingglass"), Theme::textDim()),
                                QLineEdit::LeadingPosition);
    // Qt makes the symbol a button: it is named, and pressing it goes to the field.
    search->setText(tr("Search"));
    connect(search, &QAction::triggered, this, [this] { setFocus(Qt::OtherFocusReason); });
    if (!clearButton)
        return;
    QAction* clear = addAction(Icons::symbol(QStringLiteral("xmark.circle.fill"), Theme::textDim()),
                               QLineEdit::TrailingPosition);
    clear->setText(tr("Clear search"));
    clear->setVisible(false);
    connect(clear, &QAction::triggered, this, &QLineEdit::clear);
    connect(this, &QLineEdit::textChanged, clear, [clear](const QString& text) { clear->setVisible(!text.isEmpty()); });
}

bool SearchField::event(QEvent* event)
{
    // Claims Esc before the window's shortcut sees it, while there is text to clear.
    if (event->type() == QEvent::ShortcutOverride && isPlainEscape(static_cast<QKeyEvent*>(event)) && !text().isEmpty()) {
        event->accept();
        return true;
    }
    return QLineEdit::event(event);
}

void SearchField::keyPressEvent(QKeyEvent* event)
{
    if (isPlainEscape(event) && !text().isEmpty()) {
        clear();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

}  // namespace stowage
