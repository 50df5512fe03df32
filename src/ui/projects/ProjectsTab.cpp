#include "ui/projects/ProjectsTab.h"

#include "model/AppModel.h"
#include "ui/operations/DeferredUpdate.h"
#include "ui/projects/ProjectCardDelegate.h"
#include "ui/projects/ProjectCardList.h"
#include "ui/projects/ProjectListModel.h"
#include "ui/readme/MarkdownView.h"
#include "ui/readme/ReadmeDialog.h"
#include "ui/style/Icons.h"
#include "ui/style/Surfaces.h"
#include "ui/style/Theme.h"
#include "ui/widgets/Label.h"
#include "ui/widgets/SGButton.h"
#include "ui/widgets/SearchField.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace stowage {

namespace {

int selectedCount(const QSet<QString>& selected)
{
    // The standalone group can be ticked nowhere, and is never deleted as a project.
    return int(selected.size()) - (selected.contains(QString()) ? 1 : 0);
}

// Leaves selection mode with nothing ticked (cancelled, or the deletion was confirmed).
void endSelection(ProjectListModel& cards)
{
    cards.setSelected({});
    cards.setSelecting(false);
}

}  // namespace

ProjectsTab::ProjectsTab(AppModel& model, QWidget* parent) : QWidget(parent), model_(model)
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(buildControls());
    column->addWidget(new Divider(Qt::Horizontal, this));
    column->addWidget(buildList(), 1);

    updater_ = new DeferredUpdate(this, [this] { render(); });
    // Cards are made of the project index and the volume sizes only: the
    // listings a refresh publishes first change neither, so they cost no rebuild.
    for (auto signal : {&AppModel::usageChanged, &AppModel::indexChanged})
        connect(&model_, signal, updater_, &DeferredUpdate::request);
    connect(cards_, &ProjectListModel::viewChanged, this, [this] {
        syncControls();
        // The order is of the model's index: while its cards are on their way it waits for them.
        if (!work_.pending())
            showOrder();
    });
    connect(&model_, &AppModel::isLoadingChanged, this, &ProjectsTab::syncControls);
    connect(list_, &ProjectCardList::actionTriggered, this, &ProjectsTab::trigger);

    // "active 5 minutes ago" and "Up 3 hours" move on with the minute; the
    // removal buttons wait while an operation runs.
    connect(&model_.clock(), &MinuteClock::minuteChanged, list_->viewport(), qOverload<>(&QWidget::update));
    connect(&model_, &AppModel::isLoadingChanged, list_->viewport(), qOverload<>(&QWidget::update));

    render();
}

QWidget* ProjectsTab::buildControls()
{
    auto* controls = new QWidget(this);
    auto* row = new QHBoxLayout(controls);
    row->setContentsMargins(20, 10, 20, 10);
    row->setSpacing(10);

    search_ = new SearchField(tr("Search projects…"), true, controls);
    search_->setMaximumWidth(320);
    search_->setMinimumWidth(220);
    search_->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid %1; border-radius: 13px; padding: 3px 6px;"
                                          " background: %2; min-height: 18px; }")
                               .arg(Theme::border().name(), Theme::surface().name()));
    connect(search_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text != cards_->view().search)
            cards_->setSearch(text);
    });

    auto* sortLabel = plainLabel(tr("Sort"), Theme::font(12), Theme::textDim(), controls);
    sort_ = new QComboBox(controls);
    for (ProjectSort s : allProjectSorts())
        sort_->addItem(sortName(s));
    sort_->setFixedWidth(180 - sortLabel->sizeHint().width() - 6);
    sortLabel->setBuddy(sort_);
    connect(sort_, &QComboBox::activated, this, [this](int index) {
        if (index >= 0 && index < int(allProjectSorts().size()))
            cards_->setSort(allProjectSorts()[index]);
    });

    direction_ = new QToolButton(controls);
    direction_->setAutoRaise(false);
    direction_->setFixedSize(30, 28);
    direction_->setAccessibleName(tr("Sort direction"));
    connect(direction_, &QToolButton::clicked, this, [this] { cards_->setAscending(!cards_->view().ascending); });

    select_ = new SGButton(tr("Select"), QStringLiteral("checkmark.circle"), Theme::accent(), false, controls);
    delete_ = new SGButton(tr("Delete %1").arg(0), QStringLiteral("trash.fill"), Theme::danger(), true, controls);
    cancel_ = new SGButton(tr("Cancel"), {}, Theme::accent(), false, controls);
    connect(select_, &QPushButton::clicked, this, [this] { cards_->setSelecting(true); });
    delete_->setAccessibleDescription(
        tr("Asks, then removes the selected projects' containers and the images and volumes only they use"));
    connect(delete_, &QPushButton::clicked, this, [this] {
        model_.removals().deleteProjects(cards_->view().selected, [cards = QPointer(cards_)] {
            if (cards)
                endSelection(*cards);
        });
    });
    connect(cancel_, &QPushButton::clicked, this, [this] { endSelection(*cards_); });

    row->addWidget(search_, 1);
    row->addStretch(1);
    row->addWidget(sortLabel);
    row->addWidget(sort_);
    row->addWidget(direction_);
    row->addWidget(select_);
    row->addWidget(delete_);
    row->addWidget(cancel_);
    return controls;
}

QWidget* ProjectsTab::buildList()
{
    stack_ = new QStackedWidget(this);
    list_ = new ProjectCardList(stack_);
    list_->setAccessibleName(tr("Projects"));
    cards_ = new ProjectListModel(model_, this);
    delegate_ = new ProjectCardDelegate(model_, *cards_, *list_);
    list_->setCards(*cards_, *delegate_);
    list_->setSelectionMode(QAbstractItemView::NoSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    list_->verticalScrollBar()->setSingleStep(24);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setResizeMode(QListView::Adjust);
    list_->setSpacing(6);  // 12 points between cards
    list_->setFrameShape(QFrame::NoFrame);
    list_->setMouseTracking(true);
    list_->setStyleSheet(QStringLiteral("QListView { background: transparent; }"));
    list_->viewport()->setAutoFillBackground(false);

    auto* emptyPage = new QWidget(stack_);
    auto* emptyLayout = new QVBoxLayout(emptyPage);
    emptyLayout->setContentsMargins(20, 20, 20, 20);
    empty_ = plainLabel({}, Theme::font(12), Theme::textDim(), emptyPage);
    emptyLayout->addWidget(empty_);
    emptyLayout->addStretch(1);

    stack_->addWidget(list_);
    stack_->addWidget(emptyPage);
    return stack_;
}

void ProjectsTab::render()
{
    work_.run<QHash<QString, ProjectCardData>>(ProjectCards::buildAll, [this](QHash<QString, ProjectCardData> cards) {
        cards_->setCards(std::move(cards));
        syncControls();
        showOrder();
        if (const auto project = std::exchange(itemToShow_, std::nullopt))
            showItem(*project);
    });
}

void ProjectsTab::showItem(const QString& project)
{
    if (cards_->rowOf(project) < 0 && !cards_->view().search.isEmpty())
        cards_->setSearch({});
    const int row = cards_->rowOf(project);
    itemToShow_ = row >= 0 || !renderPending() ? std::nullopt : std::optional(project);
    if (row < 0)
        return;
    list_->setFocus(Qt::OtherFocusReason);
    list_->setCurrentIndex(cards_->index(row));
    list_->scrollTo(cards_->index(row), QAbstractItemView::PositionAtTop);
}

void ProjectsTab::showOrder()
{
    cards_->reorder();
    const bool empty = cards_->rowCount() == 0;
    if (empty) {
        const QString search = cards_->view().search;
        empty_->setText(search.isEmpty() ? tr("No projects.")
                                         : tr("No projects match “%1”.").arg(search));
    }
    stack_->setCurrentIndex(empty ? 1 : 0);
}

void ProjectsTab::syncControls()
{
    const ProjectsView& view = cards_->view();
    if (search_->text() != view.search)
        search_->setText(view.search);
    const auto sorts = allProjectSorts();
    sort_->setCurrentIndex(int(std::find(sorts.begin(), sorts.end(), view.sort) - sorts.begin()));
    const bool ascending = view.ascending;
    direction_->setIcon(Icons::symbol(ascending ? QStringLiteral("arrow.up") : QStringLiteral("arrow.down"),
                                      Theme::accent()));
    direction_->setToolTip(ascending ? tr("Ascending") : tr("Descending"));
    direction_->setAccessibleDescription(direction_->toolTip());

    const bool selecting = view.selecting;
    const int count = selectedCount(view.selected);
    select_->setVisible(!selecting);
    delete_->setVisible(selecting);
    cancel_->setVisible(selecting);
    delete_->setText(tr("Delete %1").arg(count));
    delete_->setEnabled(count > 0 && !model_.isLoading());
}

void ProjectsTab::trigger(const QString& project, CardAction action)
{
    const QString path = model_.index().projectsMeta.value(project).path;
    switch (action) {
    case CardAction::toggleSelection: cards_->toggleSelected(project); break;
    case CardAction::fileManager: model_.shortcuts().openInFileManager(path); break;
    case CardAction::terminal: model_.shortcuts().openInTerminal(path); break;
    case CardAction::readme: openReadme(project); break;
    case CardAction::copyAssistantContext: model_.shortcuts().copyAssistantContext(project); break;
    case CardAction::deleteProject: model_.removals().deleteEntireProject(project); break;
    case CardAction::removeContainers: model_.removals().removeProjectContainers(project); break;
    case CardAction::removeImages: model_.removals().removeProjectImages(project); break;
    case CardAction::removeVolumes: model_.removals().removeProjectVolumes(project); break;
    }
}

void ProjectsTab::openReadme(const QString& project)
{
    if (readme_)
        return;
    const QString path = model_.index().projectsMeta.value(project).path;
    readme_ = new ReadmeDialog(project, model_.shortcuts().readmeURL(project), [this, path] { model_.shortcuts().openInFileManager(path); },
                              window());
    readme_->markdownView().setLinkOpener([this](const QUrl& url) { model_.shortcuts().openLink(url); });
    readme_->setAttribute(Qt::WA_DeleteOnClose);
    readme_->open();
}

QRect ProjectsTab::actionRect(const QString& project, CardAction action)
{
    const int row = cards_->rowOf(project);
    if (row < 0)
        return {};
    const QModelIndex index = cards_->index(row);
    list_->scrollTo(index, QAbstractItemView::PositionAtTop);
    const QRect item = list_->visualRect(index);
    const QRect button = delegate_->layoutFor(row, item.width()).rectOf(action);
    return button.isEmpty() ? QRect() : button.translated(item.topLeft());
}

}  // namespace stowage
