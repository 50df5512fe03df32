#include "ui/overview/OverviewTab.h"

#include "classification/UsageClassification.h"
#include "history/History.h"
#include "model/AppModel.h"
#include "text/SizeFormat.h"
#include "ui/listing/DataTable.h"
#include "ui/listing/ListingParts.h"
#include "ui/operations/DeferredUpdate.h"
#include "ui/operations/InventoryWork.h"
#include "ui/overview/DiskMapView.h"
#include "ui/overview/GrowthView.h"
#include "ui/overview/OverviewFiguresSource.h"
#include "ui/overview/OverviewProjectsModel.h"
#include "ui/style/Surfaces.h"
#include "ui/style/Theme.h"
#include "ui/widgets/Label.h"
#include "ui/widgets/SGButton.h"
#include "ui/widgets/SummaryCard.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QScrollArea>
#include <QTableView>
#include <QVBoxLayout>

namespace stowage {

namespace {

QString human(qint64 bytes) { return SizeFormat::humanSize(bytes); }

}  // namespace

OverviewTab::Figures OverviewTab::figures(const AppModel& model)
{
    return model.overviewFigures();
}

OverviewTab::OverviewTab(AppModel& model, QWidget* parent) : QWidget(parent), model_(model)
{
    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(20, 16, 20, 16);
    column->setSpacing(14);
    column->addWidget(buildCards());
    column->addWidget(buildDataRoot());
    column->addSpacing(2);
    column->addWidget(sectionHeading(tr("Quick Actions"), Theme::font(14, QFont::Bold)));
    column->addWidget(buildActions());
    column->addSpacing(2);
    column->addWidget(sectionHeading(tr("Disk Map"), Theme::font(14)));
    diskMap_ = new DiskMapView;
    diskMap_->setMinimumHeight(260);
    column->addWidget(diskMap_);
    connect(diskMap_, &DiskMapView::itemActivated, this, &OverviewTab::itemChosen);
    column->addSpacing(2);
    column->addWidget(sectionHeading(tr("Projects (Compose)"), Theme::font(14)));
    column->addWidget(buildProjectsTable(), 1);
    column->addSpacing(2);
    // Where the disk went, then what grew: one page answers both questions. Last, so that
    // the projects stay in the first screen.
    // The shown engine's own points: the history names each engine as its runner is bound.
    growth_ = new GrowthView(model_.history(), History::engineName(model_.client().cli.config().context));
    column->addWidget(growth_);
    connect(growth_, &GrowthView::itemChosen, this, &OverviewTab::itemChosen);
    // Each completed refresh adds a point (recorded as the new index is published).
    connect(&model_, &AppModel::indexChanged, growth_, &GrowthView::requestReload);

    auto* scroll = new QScrollArea(this);
    scroll->setWidget(content);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    // The page scrolls with the focus; the area itself is no stop of its own.
    scroll->setFocusPolicy(Qt::NoFocus);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);

    updater_ = new DeferredUpdate(this, [this] { render(); });
    figuresSource_ = new OverviewFiguresSource(model_, this);
    connect(figuresSource_, &OverviewFiguresSource::ready, updater_, &DeferredUpdate::request);
    // The rows come from the project index alone: rebuilt only when it (or the summary standing in) changes.
    for (auto signal : {&AppModel::indexChanged, &AppModel::cacheSummaryChanged})
        connect(&model_, signal, this, [this] { rowsStale_ = true; });
    for (auto signal : {&AppModel::containersChanged, &AppModel::imagesChanged, &AppModel::volumesChanged,
                        &AppModel::usageChanged, &AppModel::indexChanged, &AppModel::cacheSummaryChanged,
                        &AppModel::isLoadingChanged})
        connect(&model_, signal, updater_, &DeferredUpdate::request);
    // The map touches every item: worked out off the UI thread on a large inventory.
    diskMapWork_ = std::make_unique<InventoryWork>(model_);
    const auto redrawMap = [this] {
        diskMapWork_->run<DiskMapNode>(
            [](const Inventory& inventory, const ProjectIndex& index) {
                return stowage::diskMap(inventory, index, UsageClassification(inventory, index));
            },
            [this](DiskMapNode map) { diskMap_->setMap(std::move(map)); });
    };
    for (auto signal : {&AppModel::indexChanged, &AppModel::usageChanged})
        connect(&model_, signal, this, redrawMap);
    redrawMap();
    render();
}

OverviewTab::~OverviewTab() = default;

QWidget* OverviewTab::buildCards()
{
    auto* group = new SurfaceGroup(Qt::Horizontal, 12);
    const QColor colors[] = {Theme::accent(), Theme::success(), Theme::warning(), Theme::danger(), Theme::cyan()};
    const QString titles[] = {tr("Containers"), tr("Images"), tr("Volumes"),
                              tr("Build Cache"), tr("Reclaimable")};
    for (int i = 0; i < int(cards_.size()); ++i) {
        cards_[i] = new SummaryCard(titles[i], {}, {}, colors[i]);
        group->addWidget(cards_[i], 1);
    }
    return group;
}

QWidget* OverviewTab::buildDataRoot()
{
    auto* card = new SurfaceCard(8, Theme::border(), 1);
    auto* row = new QHBoxLayout(card);
    row->setContentsMargins(12, 8, 12, 8);
    row->setSpacing(8);
    row->addWidget(plainLabel(tr("Docker Data Root:"), Theme::font(11, QFont::Bold), Theme::textDim()));
    dataRoot_ = plainLabel({}, Theme::monoFont(11), Theme::text());
    dataRoot_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    row->addWidget(dataRoot_);
    row->addStretch(1);
    return card;
}

QWidget* OverviewTab::buildActions()
{
    auto* group = new SurfaceGroup(Qt::Horizontal, 10);
    actions_[cleanBuildCache] = new SGButton({}, QStringLiteral("shippingbox"), Theme::danger(), false);
    actions_[removeUnusedImages] = new SGButton({}, QStringLiteral("photo.stack"), Theme::danger(), false);
    actions_[removeOrphanVolumes] = new SGButton({}, QStringLiteral("externaldrive"), Theme::warning(), false);
    actions_[safeCleanAll] = new SGButton({}, QStringLiteral("sparkles"), Theme::danger(), true);
    connect(actions_[cleanBuildCache], &QPushButton::clicked, &model_.removals(), &Removals::cleanBuildCache);
    connect(actions_[removeUnusedImages], &QPushButton::clicked, &model_.removals(), &Removals::cleanUnusedImages);
    connect(actions_[removeOrphanVolumes], &QPushButton::clicked, &model_.removals(), &Removals::cleanOrphanVolumes);
    connect(actions_[safeCleanAll], &QPushButton::clicked, &model_.removals(), &Removals::safeCleanAll);
    // What each removes, for assistive technology (the titles carry only the amounts).
    actions_[cleanBuildCache]->setAccessibleDescription(
        tr("Asks, then removes Docker's build cache; later builds take longer while it fills again"));
    actions_[removeUnusedImages]->setAccessibleDescription(
        tr("Asks, then removes the images no container uses; unused base images are kept"));
    actions_[removeOrphanVolumes]->setAccessibleDescription(
        tr("Asks, then removes the volumes no project or container uses, with their data"));
    actions_[safeCleanAll]->setAccessibleDescription(
        tr("Asks, then removes the build cache, the unused images and the anonymous orphan volumes"));
    for (auto* button : actions_)
        group->addWidget(button);
    group->layout()->addStretch(1);
    return group;
}

QWidget* OverviewTab::buildProjectsTable()
{
    projects_ = new OverviewProjectsModel(this);
    table_ = new DataTable(projects_);
    table_->setAccessibleName(tr("Projects (Compose)"));
    // Read with the arrow keys like the other tables; nothing in it is selected.
    table_->setFocusPolicy(Qt::StrongFocus);
    for (int column = 0; column < OverviewProjectsModel::columns; ++column)
        table_->setColumnWidth(column, OverviewProjectsModel::columnWidth(column));
    auto* card = new SurfaceCard(8, Theme::border(), 1);
    auto* layout = new QVBoxLayout(card);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(table_);
    card->setMinimumHeight(170);
    return card;
}

void OverviewTab::render()
{
    // At start-up the cache's summary stands in until the cached inventory is read.
    const std::optional<CacheSummary>& summary = model_.cacheSummary();
    const bool fromSummary = summary && model_.inventory().containers.isEmpty();
    if (fromSummary)
        shownFigures_ = summary->figures;
    else if (std::optional<Figures> known = figuresSource_->current())
        shownFigures_ = known;
    else if (!shownFigures_)
        shownFigures_ = figures(model_);  // nothing on screen yet to keep meanwhile
    const Figures f = *shownFigures_;
    const BuildCache& cache = fromSummary ? summary->buildCache : model_.inventory().buildCache;
    const qsizetype containers = fromSummary ? summary->containers : model_.inventory().containers.size();
    const qsizetype volumes = fromSummary ? summary->volumes : model_.inventory().volumes.size();
    // Before the engine (or the cache) has told anything, nothing here is known: no zeros, no guessed data root.
    const bool read = fromSummary || model_.inventory().read;
    const QString unknown = model_.isLoading() ? tr("reading…") : QStringLiteral("—");
    const auto known = [&](const QString& text) { return read ? text : unknown; };

    cards_[containersCard]->setValue(known(QString::number(containers)));
    cards_[containersCard]->setSubtitle(read ? tr("%n running", nullptr, int(f.running)) : QString());
    cards_[imagesCard]->setValue(known(human(f.imageBytes)));
    // The engine's count: top-level images, one per id (the footer counts listed names).
    cards_[imagesCard]->setSubtitle(read ? tr("%1 total").arg(f.images) : QString());
    cards_[volumesCard]->setValue(known(human(f.volumeBytes)));
    cards_[volumesCard]->setSubtitle(read ? tr("%1 total").arg(volumes) : QString());
    cards_[buildCacheCard]->setValue(known(cache.shownSize()));
    cards_[buildCacheCard]->setSubtitle(read ? tr("Reclaimable: %1").arg(cache.shownReclaimable()) : QString());
    cards_[reclaimableCard]->setValue(known(formatRange(f.reclaimableBytes)));
    cards_[reclaimableCard]->setSubtitle(tr("Safe to remove"));

    dataRoot_->setText(known(fromSummary ? summary->dockerRoot : model_.inventory().dockerRoot));

    // The buttons wait for the inventory itself.
    const bool complete = model_.inventory().usageDataComplete && !fromSummary;
    actions_[cleanBuildCache]->setText(tr("Clean Build Cache (%1)").arg(known(cache.shownReclaimable())));
    actions_[removeUnusedImages]->setText(
        tr("Remove Unused Images (%1)").arg(known(formatRange(f.unusedBytes))));
    actions_[removeOrphanVolumes]->setText(tr("Remove Orphan Volumes (%1)").arg(known(human(f.orphanBytes))));
    actions_[safeCleanAll]->setText(tr("Safe Clean All (%1)").arg(known(formatRange(f.reclaimableBytes))));
    const bool idle = !model_.isLoading();
    actions_[cleanBuildCache]->setEnabled(idle && !fromSummary);
    actions_[removeUnusedImages]->setEnabled(complete && idle);
    actions_[removeOrphanVolumes]->setEnabled(complete && idle);
    actions_[safeCleanAll]->setEnabled(complete && idle);

    if (!rowsStale_ && rowsFromSummary_ == fromSummary)
        return;
    rowsStale_ = false;
    rowsFromSummary_ = fromSummary;
    if (fromSummary)
        projects_->setRows(summary->projects);
    else
        projects_->setProjects(model_.index().projects);
}

}  // namespace stowage
