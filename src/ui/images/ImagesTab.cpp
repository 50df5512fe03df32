#include "ui/images/ImagesTab.h"

#include "model/AppModel.h"
#include "ui/images/ImageTableModel.h"
#include "ui/listing/DataTable.h"
#include "ui/listing/ListingParts.h"
#include "ui/listing/UsageWarningBanner.h"
#include "ui/operations/DeferredUpdate.h"
#include "ui/style/Surfaces.h"
#include "ui/style/Theme.h"
#include "ui/widgets/SGButton.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QShowEvent>
#include <QVBoxLayout>

namespace stowage {

ImagesTab::ImagesTab(AppModel& model, QWidget* parent) : QWidget(parent), model_(model)
{
    banner_ = new UsageWarningBanner(model_, this);
    auto* column = listingColumn(*this);
    column->addWidget(buildHeader());
    column->addWidget(banner_);
    column->addWidget(buildTable(), 1);
    column->addWidget(buildButtons());

    updater_ = new DeferredUpdate(this, [this] { render(); });
    for (auto signal : {&AppModel::imagesChanged, &AppModel::usageChanged, &AppModel::indexChanged})
        connect(&model_, signal, updater_, &DeferredUpdate::request);
    connect(&model_, &AppModel::isLoadingChanged, this, &ImagesTab::syncButtons);
    render();
}

QWidget* ImagesTab::buildHeader()
{
    // The legend has six entries: on the title's row they would squeeze the
    // title at the default window width, so they get a row of their own.
    auto* header = new QWidget(this);
    auto* rows = new QVBoxLayout(header);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(6);
    auto* row = new QHBoxLayout;
    row->setSpacing(14);
    rows->addLayout(row);
    title_ = listingTitle(tr("Docker Images"), header);
    row->addWidget(title_);
    row->addStretch(1);
    buildLayers_ = new QCheckBox(header);
    buildLayers_->setToolTip(tr("Untagged images the classic builder made for each build step. They are "
                                            "removed with the image built on them, never on their own."));
    connect(buildLayers_, &QCheckBox::toggled, this, [this] { render(); });
    row->addWidget(buildLayers_);
    auto* legend = new QHBoxLayout;
    legend->setSpacing(14);
    rows->addLayout(legend);
    for (const ImageLegendEntry& entry : ImageRows::legend())
        legend->addWidget(legendItem(entry.mark + QLatin1Char(' ') + entry.caption, entry.color, header));
    legend->addStretch(1);
    return header;
}

QWidget* ImagesTab::buildTable()
{
    rows_ = new ImageTableModel(this);
    table_ = new DataTable(rows_);
    return listingTableCard(
        table_, tr("Docker Images"), ImageTableModel::columnTotal, &ImageTableModel::columnWidth,
        [](int column) { return column == ImageTableModel::repositoryColumn; }, this);
}

QWidget* ImagesTab::buildButtons()
{
    auto* buttons = new QWidget(this);
    auto* row = buttonRow(buttons);
    removeSelected_ = new SGButton(tr("Remove Selected (Safe Only)"), QStringLiteral("trash"),
                                   Theme::danger(), false, buttons);
    removeUnused_ = new SGButton(tr("Remove All Unused Images"), QStringLiteral("trash.fill"),
                                 Theme::danger(), true, buttons);
    removeSelected_->setAccessibleDescription(
        tr("Asks, then removes the selected images that no container uses; the others stay"));
    removeUnused_->setAccessibleDescription(
        tr("Asks, then removes the images no container uses; unused base images are kept"));
    connect(removeSelected_, &QPushButton::clicked, this, [this] { model_.removals().removeSelectedImages(selection()); });
    connect(removeUnused_, &QPushButton::clicked, &model_.removals(), &Removals::cleanUnusedImages);
    row->addWidget(removeSelected_);
    row->addWidget(removeUnused_);
    row->addStretch(1);
    return buttons;
}

QSet<QString> ImagesTab::selection() const
{
    return selectedRowKeys(*table_, ImageTableModel::idRole);
}

void ImagesTab::setSelection(const QSet<QString>& ids)
{
    selectRowKeys(*table_, ids, [this](const QString& id) { return rows_->rowOf(id); });
}

void ImagesTab::showItem(const QString& id)
{
    const bool shown = showRowKey(*table_, id, [this](const QString& key) { return rows_->rowOf(key); });
    itemToShow_ = shown || !renderPending() ? std::nullopt : std::optional(id);
}

void ImagesTab::render()
{
    work_.run<Listing>(
        [withBuildLayers = buildLayers_->isChecked()](const Inventory& inventory, const ProjectIndex& index) {
            return Listing{ImageRows::build(inventory, index, withBuildLayers),
                           ImageRows::buildLayerCount(inventory, index)};
        },
        [this](Listing listing) { showListing(std::move(listing)); });
}

void ImagesTab::showListing(Listing listing)
{
    const QSet<QString> kept = selection();
    buildLayers_->setText(tr("Show build layers (%1)").arg(listing.buildLayerCount));
    buildLayers_->setVisible(listing.buildLayerCount > 0 || buildLayers_->isChecked());
    rows_->setRows(std::move(listing.rows));
    if (!kept.isEmpty())
        setSelection(kept);
    if (const auto id = std::exchange(itemToShow_, std::nullopt))
        showItem(*id);
    syncButtons();
}

void ImagesTab::syncButtons()
{
    // No removal starts while another operation (a refresh included) runs.
    const bool idle = !model_.isLoading();
    removeSelected_->setEnabled(idle);
    removeUnused_->setEnabled(idle && model_.inventory().usageDataComplete);
}

void ImagesTab::showEvent(QShowEvent* event)
{
    // The selection belongs to one visit of the tab.
    if (!event->spontaneous())
        table_->clearSelection();
    QWidget::showEvent(event);
}

}  // namespace stowage
