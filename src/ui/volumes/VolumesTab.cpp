#include "ui/volumes/VolumesTab.h"

#include "model/AppModel.h"
#include "model/DisposeOffThread.h"
#include "platform/Desktop.h"
#include "platform/PlatformWords.h"
#include "ui/listing/DataTable.h"
#include "ui/listing/ListingParts.h"
#include "ui/listing/UsageWarningBanner.h"
#include "ui/operations/DeferredUpdate.h"
#include "ui/style/Icons.h"
#include "ui/style/Surfaces.h"
#include "ui/style/Theme.h"
#include "ui/volumes/VolumeTableModel.h"
#include "ui/widgets/Label.h"
#include "ui/widgets/SGButton.h"
#include "ui/widgets/SearchField.h"
#include "ui/widgets/SegmentedControl.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>

namespace stowage {

VolumesTab::VolumesTab(AppModel& model, QWidget* parent) : QWidget(parent), model_(model)
{
    banner_ = new UsageWarningBanner(model_, this);
    auto* column = listingColumn(*this);
    column->addWidget(buildHeader());
    column->addWidget(banner_);
    column->addWidget(buildControls());
    column->addWidget(buildTable(), 1);
    column->addWidget(buildButtons());

    updater_ = new DeferredUpdate(this, [this] { render(); });
    for (auto signal : {&AppModel::volumesChanged, &AppModel::usageChanged, &AppModel::indexChanged,
                        &AppModel::containersChanged})
        connect(&model_, signal, updater_, &DeferredUpdate::request);
    connect(&model_, &AppModel::isLoadingChanged, this, &VolumesTab::updateButtons);
    render();
}

QWidget* VolumesTab::buildHeader()
{
    auto* header = new QWidget(this);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(14);
    row->addWidget(listingTitle(tr("Docker Volumes"), header));
    row->addStretch(1);
    row->addWidget(legendItem(tr("In use — keep"), Theme::success(), header));
    row->addWidget(legendItem(tr("Orphan, had a project or a name"), Theme::warning(), header));
    row->addWidget(legendItem(tr("Orphan, anonymous"), Theme::danger(), header));
    return header;
}

QWidget* VolumesTab::buildControls()
{
    auto* controls = new QWidget(this);
    auto* row = new QHBoxLayout(controls);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(12);

    QStringList labels;
    for (VolumeFilter f : allVolumeFilters())
        labels << filterName(f);
    filterControl_ = new SegmentedControl(labels, controls);
    filterControl_->setMaximumWidth(380);
    filterControl_->setAccessibleName(tr("Show volumes"));
    connect(filterControl_, &SegmentedControl::currentIndexChanged, this, [this](int index) {
        if (index >= 0 && index < int(allVolumeFilters().size()) && allVolumeFilters()[index] != filter_) {
            filter_ = allVolumeFilters()[index];
            showSections();
        }
    });

    searchField_ = new SearchField(tr("Search volume or project…"), false, controls);
    searchField_->setMaximumWidth(280);
    searchField_->setMinimumWidth(260);
    connect(searchField_, &QLineEdit::textChanged, this, [this] { showSections(); });

    summary_ = plainLabel({}, Theme::font(11), Theme::textDim(), controls);
    row->addWidget(filterControl_);
    row->addWidget(searchField_);
    row->addStretch(1);
    row->addWidget(summary_);
    return controls;
}

QWidget* VolumesTab::buildTable()
{
    rows_ = new VolumeTableModel(this);
    table_ = new DataTable(rows_);
    auto* card = listingTableCard(
        table_, tr("Docker Volumes"), VolumeTableModel::columnTotal, &VolumeTableModel::columnWidth,
        [](int column) { return column == VolumeTableModel::nameColumn || column == VolumeTableModel::mountpointColumn; },
        this);
    table_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(table_, &QWidget::customContextMenuRequested, this, &VolumesTab::showContextMenu);
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &VolumesTab::updateButtons);
    return card;
}

QWidget* VolumesTab::buildButtons()
{
    auto* buttons = new QWidget(this);
    auto* row = buttonRow(buttons);
    removeSelected_ = new SGButton(tr("Remove Selected"), QStringLiteral("trash"), Theme::danger(), false,
                                   buttons);
    removeAnonymous_ = new SGButton({}, QStringLiteral("externaldrive.badge.minus"), Theme::danger(), false, buttons);
    removeAllOrphans_ = new SGButton({}, QStringLiteral("exclamationmark.triangle"), Theme::warning(), false, buttons);
    removeSelected_->setAccessibleDescription(tr("Asks, then removes the selected volumes, with their data"));
    removeAnonymous_->setAccessibleDescription(
        tr("Asks, then removes the orphan volumes that have no name or project, with their data"));
    removeAllOrphans_->setAccessibleDescription(
        tr("Asks, then removes every orphan volume, with its data"));
    connect(removeSelected_, &QPushButton::clicked, this, [this] { model_.removals().removeSelectedVolumes(selection()); });
    connect(removeAnonymous_, &QPushButton::clicked, &model_.removals(), &Removals::cleanAnonymousOrphanVolumes);
    connect(removeAllOrphans_, &QPushButton::clicked, &model_.removals(), &Removals::cleanOrphanVolumes);
    row->addWidget(removeSelected_);
    row->addWidget(removeAnonymous_);
    row->addWidget(removeAllOrphans_);
    row->addStretch(1);
    row->addWidget(plainLabel(tr("Volumes of stopped projects are listed first and are never offered for "
                                             "deletion"),
                              Theme::font(11), Theme::textDim(), buttons));
    return buttons;
}

void VolumesTab::setFilter(VolumeFilter filter)
{
    const auto filters = allVolumeFilters();
    filterControl_->setCurrentIndex(int(std::find(filters.begin(), filters.end(), filter) - filters.begin()));
    if (filter_ != filter) {
        filter_ = filter;
        showSections();
    }
}

QString VolumesTab::search() const
{
    return searchField_->text();
}

void VolumesTab::setSearch(const QString& text)
{
    searchField_->setText(text);
}

QSet<QString> VolumesTab::selection() const
{
    // A range dragged across a section may span its header row, which names nothing.
    return selectedRowKeys(*table_, VolumeTableModel::nameRole);
}

void VolumesTab::setSelection(const QSet<QString>& names)
{
    selectRowKeys(*table_, names, [this](const QString& name) { return rows_->rowOf(name); });
}

void VolumesTab::showItem(const QString& name)
{
    const bool shown = showRowKey(*table_, name, [this](const QString& key) { return rows_->rowOf(key); });
    itemToShow_ = shown || !renderPending() ? std::nullopt : std::optional(name);
}

void VolumesTab::render()
{
    work_.run<VolumeCatalog>(
        [](const Inventory& inventory, const ProjectIndex& index) { return VolumeCatalog(inventory, index); },
        [this](VolumeCatalog catalog) { showCatalog(std::move(catalog)); });
}

void VolumesTab::showCatalog(VolumeCatalog catalog)
{
    // The catalog shown until now may hold the last references to an earlier inventory and index.
    disposeOffThread(std::exchange(catalog_, std::move(catalog)));
    summary_->setText(catalog_.summary());
    removeAnonymous_->setText(tr("Remove %n Anonymous Orphan(s)", nullptr, int(catalog_.anonymousOrphanCount())));
    removeAllOrphans_->setText(tr("Remove All %n Orphan(s)", nullptr, int(catalog_.orphanCount())));
    showSections();
}

// Rebuilds the table from the current catalog, filter and search, keeping the
// selected volumes that are still shown.
void VolumesTab::showSections()
{
    const QSet<QString> kept = selection();
    rows_->setContent(catalog_, catalog_.sections(filter_, search()));
    table_->clearSpans();
    for (int row : rows_->headerRows())
        table_->setSpan(row, 0, 1, VolumeTableModel::columnTotal);
    if (!kept.isEmpty())
        setSelection(kept);
    if (const auto name = std::exchange(itemToShow_, std::nullopt))
        showItem(*name);
    updateButtons();
}

void VolumesTab::updateButtons()
{
    // No removal starts while another operation (a refresh included) runs.
    const bool complete = catalog_.usageDataComplete() && !model_.isLoading();
    removeSelected_->setEnabled(complete && table_->selectionModel()->hasSelection());
    removeAnonymous_->setEnabled(complete && catalog_.anonymousOrphanCount() != 0);
    removeAllOrphans_->setEnabled(complete && catalog_.orphanCount() != 0);
}

QSet<QString> VolumesTab::contextNames(const QPoint& pos) const
{
    const QModelIndex index = table_->indexAt(pos);
    const QSet<QString> selected = selection();
    if (!index.isValid() || index.data(VolumeTableModel::headerRole).toBool())
        return selected;
    const QString name = index.data(VolumeTableModel::nameRole).toString();
    return selected.contains(name) ? selected : QSet<QString>{name};
}

void VolumesTab::showContextMenu(const QPoint& pos)
{
    const QSet<QString> names = contextNames(pos);
    if (names.isEmpty())
        return;
    QMenu menu(this);
    QAction* revealAction =
        menu.addAction(platform::platformWords().showMountpointAction, this, [this, names] { reveal(names); });
    // A remote engine's mountpoints are on its host.
    if (const QString elsewhere = model_.shortcuts().elsewhereNotice(); !elsewhere.isEmpty()) {
        revealAction->setEnabled(false);
        revealAction->setToolTip(elsewhere);
        menu.setToolTipsVisible(true);
    }
    menu.exec(table_->viewport()->mapToGlobal(pos));
}

void VolumesTab::reveal(const QSet<QString>& names)
{
    if (names.isEmpty())
        return;
    const QString name = *std::min_element(names.begin(), names.end());
    const std::optional<SGVolume> volume = catalog_.volume(name);
    if (!volume)
        return;
    // The answer may come after this tab is gone; only the model is used then.
    AppModel& model = model_;
    const QString mountpoint = volume->mountpoint;
    model.shortcuts().whenPathPresent(
        mountpoint, [&model, mountpoint] { model.shortcuts().desktop().revealInFileManager(mountpoint, model.shortcuts().desktopFailed()); },
        [&model, mountpoint](const platform::PathFacts& facts) {
            return mountpointNotice(mountpoint, facts, model.inventory().dockerRoot);
        });
}

void VolumesTab::showEvent(QShowEvent* event)
{
    // Filter, search and selection belong to one visit of the tab.
    if (!event->spontaneous()) {
        table_->clearSelection();
        searchField_->clear();
        setFilter(VolumeFilter::all);
    }
    QWidget::showEvent(event);
}

}  // namespace stowage
