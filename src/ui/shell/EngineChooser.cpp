#include "ui/shell/EngineChooser.h"

#include "model/EngineSessions.h"
#include "text/LocaleFormat.h"
#include "text/PrintableText.h"
#include "ui/style/Theme.h"

#include <QMenu>

namespace stowage {

namespace {

// Menu texts read '&' as a mnemonic mark: a name's own ampersands stay literal.
QString menuLiteral(const QString& text)
{
    return QString(text).replace(u'&', QStringLiteral("&&"));
}

}  // namespace

EngineChooser::EngineChooser(EngineSessions& sessions, const QString& shownKey, QWidget* parent)
    : QToolButton(parent), sessions_(sessions), shownKey_(shownKey)
{
    setPopupMode(QToolButton::InstantPopup);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    setFont(Theme::font(12, QFont::Medium));
    setAccessibleName(tr("Engine"));
    auto* menu = new QMenu(this);
    setMenu(menu);
    // The list shown at once is the last one; the one read now replaces it when it arrives.
    connect(menu, &QMenu::aboutToShow, this, [this] {
        rebuildMenu();
        sessions_.refreshContexts();
    });
    connect(&sessions_, &EngineSessions::contextsChanged, this, &EngineChooser::sync);
    sync();
}

QString EngineChooser::entryText(const EngineContext& context) const
{
    QStringList parts{printable(context.name)};
    if (!context.endpoint.isEmpty())
        parts << printable(context.endpoint);
    if (context.fromEnvironment)
        parts << tr("chosen by the environment");
    if (!context.error.isEmpty())
        parts << tr("unusable: %1").arg(printable(context.error));
    const EngineSessions::Health health = sessions_.health(sessions_.keyOf(context));
    if (health.reachable)
        parts << (*health.reachable ? tr("reachable") : tr("not reachable"));
    // This session's last refresh, else when the engine's cache was last written.
    if (const auto read = health.lastRefresh ? health.lastRefresh : sessions_.cachedAt(context.name))
        parts << tr("read %1").arg(LocaleFormat::mediumDateShortTime(read->toLocalTime()));
    return parts.join(QStringLiteral(" · "));
}

void EngineChooser::sync()
{
    const auto shown = sessions_.listed(shownKey_);
    const bool gone = !shown && !sessions_.contexts().isEmpty();
    setVisible(sessions_.several() || gone);
    if (shown)
        setText(menuLiteral(printable(shown->name)) + (shown->fromEnvironment ? tr(" (environment)") : QString()));
    else
        setText(tr("%1 (gone)").arg(menuLiteral(printable(shownKey_))));
    setToolTip(gone ? tr("Docker no longer knows this engine: what is shown was read before it went.")
                    : tr("The engine shown. Choose another to see what it holds."));
    if (menu()->isVisible())
        rebuildMenu();
}

void EngineChooser::rebuildMenu()
{
    menu()->clear();
    for (const EngineContext& context : sessions_.contexts()) {
        const QString key = sessions_.keyOf(context);
        QAction* entry = menu()->addAction(menuLiteral(entryText(context)));
        entry->setCheckable(true);
        entry->setChecked(key == shownKey_);
        connect(entry, &QAction::triggered, this, [this, key] { emit chosen(key); });
    }
    if (sessions_.contexts().isEmpty() || !sessions_.listError().isEmpty())
        menu()->addAction(sessions_.listError().isEmpty() ? tr("Reading the engines…")
                                                           : tr("The engines cannot be listed: %1")
                                                                 .arg(menuLiteral(printable(sessions_.listError()))))
            ->setEnabled(false);
}

}  // namespace stowage
