#include "ui/shell/RootView.h"

#include "model/AppModel.h"
#include "ui/buildcache/BuildCacheTab.h"
#include "ui/images/ImagesTab.h"
#include "ui/logs/LogsTab.h"
#include "ui/overview/OverviewTab.h"
#include "ui/projects/ProjectsTab.h"
#include "ui/shell/BrandBar.h"
#include "ui/shell/EmptyState.h"
#include "ui/shell/HeaderBar.h"
#include "ui/shell/StatusBar.h"
#include "ui/style/Surfaces.h"
#include "ui/style/Theme.h"
#include "ui/volumes/VolumesTab.h"
#include "ui/widgets/SegmentedControl.h"

#include <QPointer>
#include <QShowEvent>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace stowage {

QString RootView::title(Tab tab)
{
    switch (tab) {
    case Tab::overview: return tr("Overview");
    case Tab::projects: return tr("Projects");
    case Tab::images: return tr("Images");
    case Tab::volumes: return tr("Volumes");
    case Tab::buildCache: return tr("Build Cache");
    case Tab::logs: return tr("Logs");
    }
    return {};
}

RootView::RootView(AppModel& model, ActivityLog& log, platform::Desktop& desktop, QWidget* parent)
    : QWidget(parent), model_(model), log_(log), desktop_(desktop)
{
    setAutoFillBackground(true);
    // Holds the focus when the window opens, so that no control starts with a focus ring.
    setFocusPolicy(Qt::ClickFocus);
    header_ = new HeaderBar(model_, this);

    QStringList titles;
    for (const Tab t : allTabs())
        titles << title(t);
    switcher_ = new SegmentedControl(titles, this, SegmentedControl::Kind::pages);
    switcher_->setAccessibleName(tr("Tabs"));
    connect(switcher_, &SegmentedControl::currentIndexChanged, this,
            [this](int index) { setTab(allTabs()[index]); });
    auto* switcherRow = new QHBoxLayout;
    switcherRow->setContentsMargins(20, 6, 20, 10);
    switcherRow->addWidget(switcher_);

    tabs_ = new QStackedWidget;
    empty_ = new EmptyState(model_);
    body_ = new QStackedWidget;
    body_->addWidget(tabs_);
    body_->addWidget(empty_);

    status_ = new StatusBar(model_.client().cli.operations(), this);
    connect(status_, &StatusBar::stopRequested, &model_, &AppModel::cancelCurrentOperation);
    brand_ = new BrandBar(model_, desktop_, this);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(header_);
    column->addLayout(switcherRow);
    column->addWidget(new Divider);
    column->addWidget(body_, 1);
    column->addWidget(status_);
    column->addWidget(brand_);

    for (auto signal : {&AppModel::isLoadingChanged, &AppModel::containersChanged, &AppModel::imagesChanged,
                        &AppModel::volumesChanged})
        connect(&model_, signal, this, &RootView::syncBody);
    connect(&model_, &AppModel::statusTextChanged, this, &RootView::syncStatus);
    connect(&model_, &AppModel::spinnerFrameChanged, this, &RootView::syncStatus);
    connect(&model_, &AppModel::isLoadingChanged, this, &RootView::syncStatus);

    setTab(Tab::overview);
    syncBody();
    syncStatus();
}

void RootView::setTab(Tab tab)
{
    tab_ = tab;
    switcher_->setCurrentIndex(int(tab));
    tabs_->setCurrentWidget(tabView(tab));
}

QWidget* RootView::tabView(Tab tab)
{
    QWidget*& view = tabViews_[size_t(tab)];
    if (!view) {
        view = createTab(tab);
        tabs_->addWidget(view);
        keepFooterLastInTabOrder();
    }
    return view;
}

// Tab views are made on first use, and Qt puts a new widget's focus stops at
// the end of the window's chain, after the footer: they are moved back so that
// Tab follows the reading order (tabs, page, status bar, footer).
void RootView::keepFooterLastInTabOrder()
{
    const auto inFooter = [this](QWidget* w) { return status_->isAncestorOf(w) || brand_->isAncestorOf(w); };
    QList<QWidget*> footer;
    QWidget* lastOfPage = nullptr;
    for (QWidget* w = nextInFocusChain(); w != this; w = w->nextInFocusChain()) {
        if (!isAncestorOf(w) || !(w->focusPolicy() & Qt::TabFocus))
            continue;
        if (inFooter(w))
            footer.append(w);
        else
            lastOfPage = w;
    }
    for (QWidget* w : std::as_const(footer)) {
        if (lastOfPage)
            QWidget::setTabOrder(lastOfPage, w);
        lastOfPage = w;
    }
}

QWidget* RootView::createTab(Tab tab)
{
    switch (tab) {
    case Tab::overview: {
        auto* overview = new OverviewTab(model_);
        connect(overview, &OverviewTab::itemChosen, this, &RootView::showItem);
        return overview;
    }
    case Tab::projects: return new ProjectsTab(model_);
    case Tab::images: return new ImagesTab(model_);
    case Tab::volumes: return new VolumesTab(model_);
    case Tab::buildCache: return new BuildCacheTab(model_);
    case Tab::logs:
        return new LogsTab(log_, model_.client().cli.operations(), desktop_, [this](const QString& text) { showStatus(text); },
                           model_.alerts(), model_.shortcuts().desktopFailed());
    }
    return new QWidget;
}

void RootView::showItem(DiskNodeKind kind, const QString& id)
{
    switch (kind) {
    case DiskNodeKind::images:
        setTab(Tab::images);
        return static_cast<ImagesTab*>(tabView(Tab::images))->showItem(id);
    case DiskNodeKind::volumes:
        setTab(Tab::volumes);
        return static_cast<VolumesTab*>(tabView(Tab::volumes))->showItem(id);
    case DiskNodeKind::buildCache: return setTab(Tab::buildCache);
    default: break;
    }
    // A container (or a project) is shown by its project's card.
    QString project = id;
    for (auto it = model_.index().projects.cbegin(); it != model_.index().projects.cend(); ++it)
        if (std::any_of(it->cbegin(), it->cend(), [&](const SGContainer& container) { return container.id == id; }))
            project = it.key();
    setTab(Tab::projects);
    static_cast<ProjectsTab*>(tabView(Tab::projects))->showItem(project);
}

bool RootView::showsEmptyState() const { return body_->currentWidget() == empty_; }

void RootView::syncBody()
{
    const bool empty = EmptyState::applies(model_) && !cacheLoading_;
    body_->setCurrentWidget(empty ? static_cast<QWidget*>(empty_) : tabs_);
}

void RootView::showStatus(const QString& text)
{
    model_.setStatusText(text);
}

void RootView::syncStatus()
{
    status_->setFrame(model_.spinnerFrame());
    status_->setText(model_.statusText());
    status_->setLoading(model_.isLoading());
}

void RootView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (firstDisplayStarted_)
        return;
    firstDisplayStarted_ = true;
    // After the window has painted once, so the start never waits on the disk.
    QTimer::singleShot(0, this, &RootView::firstDisplay);
}

void RootView::firstDisplay()
{
    if (!model_.inventory().containers.isEmpty())
        return;
    cacheLoading_ = true;
    syncBody();
    QPointer<RootView> self(this);
    model_.loadCacheInBackground([self](AppModel::CacheLoad result) {
        if (!self)
            return;
        self->cacheLoading_ = false;
        // The cache is the first look only: current figures are read at once,
        // and the removal buttons wait for them (they are off while it runs).
        if (result != AppModel::CacheLoad::superseded)
            self->model_.refresh();
        self->syncBody();
    });
}

}  // namespace stowage
