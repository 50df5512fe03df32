#include "ui/buildcache/BuildCacheTab.h"

#include "model/AppModel.h"
#include "ui/listing/ListingParts.h"
#include "ui/style/Surfaces.h"
#include "ui/style/Theme.h"
#include "ui/widgets/Label.h"
#include "ui/widgets/SGButton.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace stowage {

namespace {

QVBoxLayout* figure(const QString& caption, QLabel* value)
{
    auto* column = new QVBoxLayout;
    column->setSpacing(4);
    column->addWidget(plainLabel(caption, Theme::font(11), Theme::textDim()));
    column->addWidget(value);
    column->addStretch(1);
    return column;
}

}  // namespace

BuildCacheTab::BuildCacheTab(AppModel& model, QWidget* parent) : QWidget(parent), model_(model)
{
    total_ = plainLabel({}, Theme::font(28, QFont::Bold), Theme::warning());
    reclaimable_ = plainLabel({}, Theme::font(22, QFont::Bold), Theme::success());

    auto* card = new SurfaceCard(8, Theme::border(), 1);
    auto* figures = new QHBoxLayout(card);
    figures->setContentsMargins(18, 16, 18, 16);
    figures->setSpacing(48);
    figures->addLayout(figure(tr("Total Size"), total_));
    figures->addLayout(figure(tr("Reclaimable"), reclaimable_));
    figures->addStretch(1);

    auto* explanation = plainLabel(tr("Build cache stores intermediate layers from 'docker build'.\n"
                                                  "Clearing it is always safe — builds will just be slower the "
                                                  "first time."),
                                   Theme::font(11), Theme::textDim());

    clear_ = new SGButton(tr("Clear Build Cache"), QStringLiteral("trash"), Theme::danger(), true);
    clear_->setAccessibleDescription(
        tr("Asks, then removes Docker's build cache; later builds take longer while it fills again"));
    connect(clear_, &QPushButton::clicked, &model_.removals(), &Removals::cleanBuildCache);
    auto* actions = new QHBoxLayout;
    actions->addWidget(clear_);
    actions->addStretch(1);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(20, 16, 20, 16);
    column->setSpacing(14);
    column->addWidget(listingTitle(tr("Build Cache")));
    column->addWidget(card);
    column->addWidget(explanation);
    column->addLayout(actions);
    column->addStretch(1);

    connect(&model_, &AppModel::usageChanged, this, &BuildCacheTab::render);
    connect(&model_, &AppModel::isLoadingChanged, this, &BuildCacheTab::render);
    render();
}

void BuildCacheTab::render()
{
    total_->setText(model_.inventory().buildCache.shownSize());
    reclaimable_->setText(model_.inventory().buildCache.shownReclaimable());
    clear_->setEnabled(!model_.isLoading());
}

}  // namespace stowage
