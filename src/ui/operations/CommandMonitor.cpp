#include "ui/operations/CommandMonitor.h"

#include "ui/style/Icons.h"
#include "ui/style/Theme.h"
#include "ui/widgets/Label.h"

#include <QHBoxLayout>

namespace stowage {

CommandMonitor::CommandMonitor(OperationCenter& ops, QWidget* parent) : QWidget(parent), ops_(ops)
{
    icon_ = new QLabel(this);
    text_ = plainLabel({}, Theme::monoFont(11), Theme::accent(), this);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(5);
    row->addWidget(icon_);
    row->addWidget(text_);
    new SecondTicker(ops_, [this] { render(); }, this);
}

void CommandMonitor::setClock(Clock clock)
{
    clock_ = std::move(clock);
    render();
}

QString CommandMonitor::text() const { return text_->text(); }

void CommandMonitor::render()
{
    const auto oldest = oldestOp(ops_.active());
    setVisible(oldest.has_value());
    if (!oldest)
        return;
    const qint64 seconds = elapsedSeconds(oldest->startedAt, clock_());
    stuck_ = isStuck(seconds);
    const QColor color = stuck_ ? Theme::warning() : Theme::accent();
    const QString symbol =
        stuck_ ? QStringLiteral("exclamationmark.triangle.fill") : QStringLiteral("bolt.horizontal.circle");
    const int side = text_->fontMetrics().height();
    icon_->setPixmap(Icons::symbol(symbol, color).pixmap(side, side));
    text_->setText(tr("%1 running · %2s").arg(ops_.active().size()).arg(seconds));
    Theme::setTextColor(*text_, color);
    setPlainToolTip(*this, stuck_ ? tr("A docker command has been running for %1s — it may be stuck. "
                                                   "Press Stop to kill it.")
                                        .arg(seconds)
                                  : oldest->label);
}

}  // namespace stowage
