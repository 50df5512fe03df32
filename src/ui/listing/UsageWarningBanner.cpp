#include "ui/listing/UsageWarningBanner.h"

#include "model/AppModel.h"
#include "ui/style/Icons.h"
#include "ui/style/Theme.h"
#include "ui/widgets/Label.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace stowage {

UsageWarningBanner::UsageWarningBanner(AppModel& model, QWidget* parent) : QWidget(parent), model_(model)
{
    auto* icon = new QLabel(this);
    icon->setPixmap(Icons::symbol(QStringLiteral("exclamationmark.triangle.fill"), Theme::warning())
                        .pixmap(16, 16));
    icon->setAlignment(Qt::AlignTop);

    auto* title = plainLabel(tr("Usage not verified — nothing is marked as an orphan"),
                             Theme::font(11, QFont::DemiBold), Theme::text(), this);
    detail_ = plainLabel({}, Theme::monoFont(10), Theme::text(), this);
    detail_->setWordWrap(true);

    auto* column = new QVBoxLayout;
    column->setSpacing(3);
    column->addWidget(title);
    column->addWidget(detail_);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(10, 10, 10, 10);
    row->setSpacing(8);
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addLayout(column, 1);

    for (auto signal : {&AppModel::usageChanged, &AppModel::volumesChanged})
        connect(&model_, signal, this, &UsageWarningBanner::sync);
    sync();
}

bool UsageWarningBanner::applies(const AppModel& model)
{
    return !model.inventory().usageDataComplete && !model.inventory().volumes.isEmpty();
}

QString UsageWarningBanner::detailText() const
{
    return model_.inventory().usageDataProblem.isEmpty()
        ? tr("Press Refresh to read which containers hold which volumes.")
        : model_.inventory().usageDataProblem;
}

void UsageWarningBanner::sync()
{
    detail_->setText(detailText());
    setVisible(applies(model_));
}

void UsageWarningBanner::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Theme::withAlpha(Theme::warning(), 0.5), 1));
    p.setBrush(Theme::withAlpha(Theme::warning(), 0.12));
    p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);
}

}  // namespace stowage
