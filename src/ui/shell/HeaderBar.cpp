#include "ui/shell/HeaderBar.h"

#include "model/AppModel.h"
#include "ui/style/Theme.h"
#include "ui/widgets/Badge.h"
#include "ui/widgets/Label.h"
#include "ui/widgets/SGButton.h"

#include <QHBoxLayout>

namespace stowage {

HeaderBar::HeaderBar(AppModel& model, QWidget* parent) : QWidget(parent), model_(model)
{
    auto* title = plainLabel(QStringLiteral("Stowage"), Theme::font(22, QFont::Bold), Theme::text(), this);
    stale_ = new CapsuleBadge(QStringLiteral("exclamationmark.circle.fill"), tr("Stale"),
                              Theme::warning(), this);
    stale_->setToolTip(
        tr("Data was changed locally or loaded from cache. Refresh to reconcile with Docker."));
    refresh_ = new SGButton(tr("Refresh"), QStringLiteral("arrow.clockwise"), Theme::accent(), false, this);
    connect(refresh_, &QPushButton::clicked, &model_, &AppModel::refresh);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(20, 14, 20, 6);
    row->setSpacing(10);
    row->addWidget(title);
    row->addWidget(stale_);
    row->addStretch(1);
    row->addWidget(refresh_);

    for (auto signal : {&AppModel::dataStaleChanged, &AppModel::isLoadingChanged})
        connect(&model_, signal, this, &HeaderBar::sync);
    sync();
}

void HeaderBar::setEngineChooser(QWidget* chooser)
{
    chooser_ = chooser;
    chooser->setParent(this);
    static_cast<QHBoxLayout*>(layout())->insertWidget(1, chooser);
}

void HeaderBar::sync()
{
    stale_->setVisible(model_.dataStale() && !model_.isLoading());
    refresh_->setTint(model_.dataStale() ? Theme::warning() : Theme::accent());
    refresh_->setEnabled(!model_.isLoading());
}

}  // namespace stowage
