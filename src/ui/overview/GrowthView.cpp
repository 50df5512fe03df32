#include "ui/overview/GrowthView.h"

#include "docker/Records.h"
#include "history/History.h"
#include "history/HistoryStore.h"
#include "inventory/ProjectIndex.h"
#include "text/SizeFormat.h"
#include "ui/listing/DataTable.h"
#include "ui/listing/ListingParts.h"
#include "ui/operations/DeferredUpdate.h"
#include "ui/overview/GrowthChart.h"
#include "ui/style/Theme.h"
#include "ui/widgets/Label.h"
#include "ui/widgets/SegmentedControl.h"

#include <QChartView>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QListWidget>
#include <QPointer>
#include <QStandardItemModel>
#include <QToolTip>
#include <QVBoxLayout>

namespace stowage {

namespace {

constexpr int subjectRole = Qt::UserRole + 1;
constexpr int nameRole = Qt::UserRole + 2;

// Signed, as the window writes sizes: "+1.2 GB", "−300.0 MB".
QString growthText(qint64 growth)
{
    return (growth < 0 ? QStringLiteral("−") : QStringLiteral("+")) + SizeFormat::humanSize(std::abs(growth));
}

}  // namespace

GrowthView::GrowthView(History* history, QWidget* parent) : GrowthView(history, History::engineName(), parent) {}

GrowthView::GrowthView(History* history, const QString& engine, QWidget* parent)
    : QWidget(parent), history_(history), engine_(engine)
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);
    auto* top = new QHBoxLayout;
    top->addWidget(sectionHeading(tr("Growth"), Theme::font(14)));
    top->addStretch(1);
    periods_ = new SegmentedControl({tr("24 hours"), tr("7 days"), tr("30 days"),
                                     tr("All")});
    periods_->setAccessibleName(tr("Period"));
    periods_->setCurrentIndex(int(Period::week));
    top->addWidget(periods_);
    column->addLayout(top);
    notice_ = plainLabel({}, Theme::font(12), Theme::textDim());
    column->addWidget(notice_);

    content_ = new QWidget;
    auto* parts = new QVBoxLayout(content_);
    parts->setContentsMargins(0, 0, 0, 0);
    parts->setSpacing(8);
    parts->addWidget(buildChartRow());
    parts->addWidget(buildTable());
    column->addWidget(content_);

    updater_ = new DeferredUpdate(this, [this] { reload(); });
    connect(periods_, &SegmentedControl::currentIndexChanged, this, &GrowthView::reload);
    reload();
}

GrowthView::~GrowthView() = default;

QWidget* GrowthView::buildChartRow()
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    chart_ = new GrowthChart;
    chartView_ = new QChartView(chart_);
    chartView_->setRenderHint(QPainter::Antialiasing);
    chartView_->setMinimumHeight(240);
    chartView_->setStyleSheet(QStringLiteral("background: transparent; border: none"));
    chartView_->setAccessibleName(tr("Disk use over time"));
    connect(chart_, &GrowthChart::hoveredText, chartView_, [this](const QString& text) {
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(QCursor::pos(), text, chartView_);
    });
    layout->addWidget(chartView_, 1);

    projects_ = new QListWidget;
    projects_->setAccessibleName(tr("Projects drawn on the chart"));
    projects_->setFixedWidth(210);
    projects_->setToolTip(tr("The projects to draw beside Docker's total"));
    connect(projects_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        const QString name = item->data(nameRole).toString();
        if (item->checkState() == Qt::Checked)
            chosen_.insert(name);
        else
            chosen_.remove(name);
        reload();
    });
    layout->addWidget(projects_);
    return row;
}

QWidget* GrowthView::buildTable()
{
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    tableHeading_ = sectionHeading({}, Theme::font(12, QFont::Bold));
    layout->addWidget(tableHeading_);
    rows_ = new QStandardItemModel(0, 4, this);
    rows_->setHorizontalHeaderLabels(
        {tr("Name"), tr("Kind"), tr("Growth"), tr("Size now")});
    table_ = new DataTable(rows_);
    table_->setAccessibleName(tr("What grew the most"));
    table_->setFocusPolicy(Qt::StrongFocus);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setMinimumHeight(150);
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < 4; ++column)
        table_->setColumnWidth(column, 120);
    // Double-click or Enter leads to the project or the volume.
    connect(table_, &QAbstractItemView::activated, this, [this](const QModelIndex& index) {
        const QModelIndex first = index.siblingAtColumn(0);
        emit itemChosen(first.data(subjectRole).toInt() == int(HistoryGrowth::Subject::project) ? DiskNodeKind::project
                                                                                                : DiskNodeKind::volumes,
                        first.data(nameRole).toString());
    });
    layout->addWidget(table_);
    return box;
}

GrowthView::Period GrowthView::period() const
{
    return Period(periods_->currentIndex());
}

void GrowthView::setPeriod(Period period)
{
    periods_->setCurrentIndex(int(period));
}

QDateTime GrowthView::periodStart(const QDateTime& now) const
{
    switch (period()) {
    case Period::day: return now.addDays(-1);
    case Period::week: return now.addDays(-7);
    case Period::month: return now.addDays(-30);
    case Period::all: break;
    }
    return QDateTime::fromMSecsSinceEpoch(0, Qt::UTC);
}

void GrowthView::requestReload()
{
    updater_->request();
}

void GrowthView::reload()
{
    if (!history_)
        return tell(tr("No history is kept: there is no data folder to keep it in."));
    const QDateTime to = QDateTime::currentDateTimeUtc();
    const QDateTime from = periodStart(to);
    using Answer = std::pair<std::optional<GrowthReading>, bool>;  // the reading, and whether the history is empty
    QPointer<GrowthView> self(this);
    history_->read<Answer>(
        [engine = engine_, from, to, chosen = chosen_](const HistoryStore& store) {
            GrowthReading reading{store.series(engine, from), {}, store.removals(engine, from, to),
                                  store.growthSince(engine, from)};
            for (const QString& project : chosen)
                reading.projects.append({project, store.series(engine, from, project)});
            std::sort(reading.projects.begin(), reading.projects.end(),
                      [](const auto& a, const auto& b) { return a.first < b.first; });
            const bool empty = reading.totals.isEmpty() && store.series(engine, QDateTime::fromMSecsSinceEpoch(0)).isEmpty();
            return Answer{std::move(reading), empty};
        },
        Answer{std::nullopt, false},
        [self, read = ++lastRead_, from, to](Answer answer) {
            // Only the answer to the latest question is shown.
            if (!self || read != self->lastRead_)
                return;
            self->shownRead_ = read;
            self->showReading(answer.first, answer.second, from, to);
        });
}

void GrowthView::tell(const QString& notice)
{
    notice_->setText(notice);
    notice_->setVisible(!notice.isEmpty());
    content_->setVisible(notice.isEmpty());
    periods_->setVisible(notice.isEmpty());
}

void GrowthView::showReading(const std::optional<GrowthReading>& reading, bool historyEmpty, const QDateTime& from,
                      const QDateTime& to)
{
    if (!reading)
        return tell(tr("The history cannot be read; the Logs tab says why."));
    if (historyEmpty)
        return tell(tr("No history yet: each refresh adds a point."));
    tell({});
    // "All" starts at the first refresh kept.
    const QDateTime start = period() == Period::all && !reading->totals.isEmpty() ? reading->totals.first().at : from;
    chart_->draw(*reading, start, to);
    showProjects(*reading);
    showTable(*reading, start);
}

void GrowthView::showProjects(const GrowthReading& reading)
{
    QSet<QString> names = chosen_;
    for (const HistoryGrowth& item : reading.growth)
        if (item.subject == HistoryGrowth::Subject::project)
            names.insert(item.name);
    QStringList sorted(names.cbegin(), names.cend());
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        return projectDisplayName(a).compare(projectDisplayName(b), Qt::CaseInsensitive) < 0;
    });
    const QSignalBlocker quiet(projects_);
    projects_->clear();
    for (const QString& name : sorted) {
        auto* item = new QListWidgetItem(projectDisplayName(name), projects_);
        item->setData(nameRole, name);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(chosen_.contains(name) ? Qt::Checked : Qt::Unchecked);
    }
}

void GrowthView::showTable(const GrowthReading& reading, const QDateTime& since)
{
    const QString format = period() == Period::day ? QStringLiteral("d MMM HH:mm") : QStringLiteral("d MMM");
    tableHeading_->setText(tr("Grew the most since %1").arg(QLocale().toString(since.toLocalTime(), format)));
    rows_->removeRows(0, rows_->rowCount());
    // Largest growth first, as the history sorts it; what kept its size is left out.
    for (const HistoryGrowth& item : reading.growth) {
        if (item.growth() == 0)
            continue;
        const bool project = item.subject == HistoryGrowth::Subject::project;
        auto* name = new QStandardItem(project ? projectDisplayName(item.name) : item.name);
        name->setData(int(item.subject), subjectRole);
        name->setData(item.name, nameRole);
        const QString growth = item.isNew ? tr("%1 (new)").arg(growthText(item.growth())) : growthText(item.growth());
        QList<QStandardItem*> row{name, new QStandardItem(project ? tr("Project") : tr("Volume")),
                                  new QStandardItem(growth), new QStandardItem(SizeFormat::humanSize(item.now))};
        for (QStandardItem* cell : row)
            cell->setEditable(false);
        rows_->appendRow(row);
    }
}

}  // namespace stowage
