#include "ui/operations/RunningCommandsPanel.h"

#include "ui/style/Icons.h"
#include "ui/style/Theme.h"
#include "ui/widgets/Label.h"
#include "ui/widgets/SGButton.h"

#include <QHBoxLayout>
#include <QHash>
#include <QVBoxLayout>

namespace stowage {

RunningCommandsPanel::RunningCommandsPanel(OperationCenter& ops, QWidget* parent)
    : SurfaceCard(8, Theme::border(), 1, parent), ops_(ops)
{
    const QFont titleFont = Theme::font(12, QFont::DemiBold);
    auto* icon = new QLabel(this);
    const int side = QFontMetrics(titleFont).height();
    icon->setPixmap(Icons::symbol(QStringLiteral("bolt.horizontal.circle"), Theme::accent()).pixmap(side, side));
    title_ = plainLabel({}, titleFont, Theme::text(), this);
    stopAll_ = SGButton::borderless(tr("Stop all"), QStringLiteral("stop.circle.fill"), Theme::danger(),
                                    this);
    connect(stopAll_, &QPushButton::clicked, this, [this] { ops_.killAll(); });

    auto* titleRow = new QHBoxLayout;
    titleRow->setSpacing(6);
    titleRow->addWidget(icon);
    titleRow->addWidget(title_);
    titleRow->addStretch(1);
    titleRow->addWidget(stopAll_);

    rowsLayout_ = new QVBoxLayout;
    rowsLayout_->setSpacing(2);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(12, 8, 8, 8);
    column->setSpacing(6);
    column->addLayout(titleRow);
    column->addLayout(rowsLayout_);

    new SecondTicker(ops_, [this] { render(); }, this);
}

void RunningCommandsPanel::setClock(Clock clock)
{
    clock_ = std::move(clock);
    render();
}

QString RunningCommandsPanel::titleText() const { return title_->text(); }

void RunningCommandsPanel::rebuildRows()
{
    // A refresh starts and ends dozens of commands: the rows of commands
    // still running are kept, only those of new ones are made.
    QHash<QUuid, Row> kept;
    for (const Row& row : std::as_const(rows_))
        kept.insert(row.id, row);
    while (auto* item = rowsLayout_->takeAt(0)) {
        if (QLayout* line = item->layout()) {
            while (line->count() > 0)
                delete line->takeAt(0);  // the layout items; the widgets stay with this panel
        }
        delete item;
    }
    rows_.clear();

    for (const auto& op : ops_.active()) {
        Row row = kept.take(op.id);
        if (!row.icon) {
            row.id = op.id;
            row.icon = new QLabel(this);
            row.label = new ElidedLabel(Qt::ElideMiddle, this);
            row.label->setFont(Theme::monoFont(11));
            row.label->setText(op.label);
            row.elapsed = plainLabel({}, Theme::monoFont(11), Theme::textDim(), this);
            row.elapsed->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            row.elapsed->setMinimumWidth(row.elapsed->fontMetrics().horizontalAdvance(QStringLiteral("0000s")));
            row.kill = SGButton::borderless({}, QStringLiteral("stop.circle"), Theme::danger(), this);
            row.kill->setToolTip(tr("Kill this docker command"));
            row.kill->setAccessibleName(row.kill->toolTip());
            connect(row.kill, &QPushButton::clicked, this, [this, id = op.id] { ops_.kill(id); });
        }
        auto* line = new QHBoxLayout;
        line->setSpacing(8);
        line->addWidget(row.icon);
        line->addWidget(row.label, 1);
        line->addWidget(row.elapsed);
        line->addWidget(row.kill);
        rowsLayout_->addLayout(line);
        rows_.append(row);
    }
    // The rows of commands that ended.
    for (const Row& row : std::as_const(kept)) {
        for (QWidget* w : std::initializer_list<QWidget*>{row.icon, row.label, row.elapsed, row.kill}) {
            w->hide();
            w->deleteLater();
        }
    }
}

void RunningCommandsPanel::render()
{
    const auto& active = ops_.active();
    setVisible(!active.isEmpty());
    bool sameRows = rows_.size() == active.size();
    for (qsizetype i = 0; sameRows && i < active.size(); ++i)
        sameRows = rows_[i].id == active[i].id;
    if (!sameRows)
        rebuildRows();

    title_->setText(tr("Running now (%1)").arg(active.size()));
    const QDateTime now = clock_();
    for (qsizetype i = 0; i < active.size(); ++i) {
        const qint64 seconds = elapsedSeconds(active[i].startedAt, now);
        const bool stuck = isStuck(seconds);
        const Row& row = rows_[i];
        const int side = row.elapsed->fontMetrics().height();
        row.icon->setPixmap(stuck ? Icons::symbol(QStringLiteral("exclamationmark.triangle.fill"), Theme::warning())
                                        .pixmap(side, side)
                                  : Icons::symbol(QStringLiteral("hourglass"), Theme::textDim()).pixmap(side, side));
        row.elapsed->setText(QStringLiteral("%1s").arg(seconds));
        Theme::setTextColor(*row.elapsed, stuck ? Theme::warning() : Theme::textDim());
    }
}

}  // namespace stowage
