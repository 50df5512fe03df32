#pragma once
// The Overview's "Growth" section: how the engine's disk use (and that of the
// projects chosen beside the chart) went over the last 24 hours, 7 days, 30
// days or all the history, with the removals Stowage made marked, and a table
// of what grew the most since the period's start; a row leads to its project
// or volume. Everything comes from the history of refreshes, read off the UI
// thread; without history the section says why.

#include "diskmap/DiskMap.h"

#include <QSet>
#include <QWidget>

#include <optional>

class QChartView;
class QLabel;
class QListWidget;
class QStandardItemModel;
class QTableView;

namespace stowage {

class DeferredUpdate;
class GrowthChart;
class History;
class SegmentedControl;
struct GrowthReading;

class GrowthView : public QWidget {
    Q_OBJECT
public:
    enum class Period { day, week, month, all };

    // Without `history` (no data folder) the section says that none is kept.
    // `engine` is the history's name of the engine shown (History::engineName):
    // each engine's points are its own.
    explicit GrowthView(History* history, QWidget* parent = nullptr);
    GrowthView(History* history, const QString& engine, QWidget* parent = nullptr);
    ~GrowthView() override;

    // Reads the history again soon (a refresh has recorded a point).
    void requestReload();
    // Reads the history again now; the answer arrives later.
    void reload();
    bool readPending() const { return shownRead_ != lastRead_; }

    void setPeriod(Period period);
    Period period() const;

    SegmentedControl& periodControl() const { return *periods_; }
    GrowthChart& chart() const { return *chart_; }
    QListWidget& projectList() const { return *projects_; }
    QTableView& table() const { return *table_; }
    QLabel& notice() const { return *notice_; }
    QLabel& tableHeading() const { return *tableHeading_; }

signals:
    // A row of the table was activated: its project (kind `project`) or named volume (kind `volumes`).
    void itemChosen(stowage::DiskNodeKind kind, const QString& id);

private:
    QWidget* buildChartRow();
    QWidget* buildTable();
    QDateTime periodStart(const QDateTime& now) const;
    void showReading(const std::optional<GrowthReading>& reading, bool historyEmpty, const QDateTime& from,
                     const QDateTime& to);
    void showProjects(const GrowthReading& reading);
    void showTable(const GrowthReading& reading, const QDateTime& since);
    void tell(const QString& notice);

    History* history_;
    QString engine_;
    QSet<QString> chosen_;  // projects drawn beside the totals
    int lastRead_ = 0;
    int shownRead_ = 0;
    SegmentedControl* periods_ = nullptr;
    QLabel* notice_ = nullptr;
    GrowthChart* chart_ = nullptr;
    QChartView* chartView_ = nullptr;
    QListWidget* projects_ = nullptr;
    QWidget* content_ = nullptr;
    QLabel* tableHeading_ = nullptr;
    QStandardItemModel* rows_ = nullptr;
    QTableView* table_ = nullptr;
    DeferredUpdate* updater_ = nullptr;
};

}  // namespace stowage
