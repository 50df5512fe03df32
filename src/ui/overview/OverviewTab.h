#pragma once
// The first screen: five figure cards, the engine's data root, the four bulk
// clean-up actions with the space each would free, the disk map, the compose
// projects and the growth over time.

#include "classification/OverviewFigures.h"
#include "diskmap/DiskMap.h"

#include <QWidget>

#include <array>
#include <memory>
#include <optional>

class QLabel;
class QTableView;

namespace stowage {

class AppModel;
class DeferredUpdate;
class OverviewFiguresSource;
class OverviewProjectsModel;
class SGButton;
class SummaryCard;

class DiskMapView;
class GrowthView;
class InventoryWork;

class OverviewTab : public QWidget {
    Q_OBJECT
public:
    explicit OverviewTab(AppModel& model, QWidget* parent = nullptr);
    ~OverviewTab() override;

    using Figures = OverviewFigures;
    static Figures figures(const AppModel& model);

    enum Card { containersCard, imagesCard, volumesCard, buildCacheCard, reclaimableCard };
    enum Action { cleanBuildCache, removeUnusedImages, removeOrphanVolumes, safeCleanAll };
    SummaryCard* card(Card card) const { return cards_[card]; }
    SGButton* action(Action action) const { return actions_[action]; }
    QLabel* dataRoot() const { return dataRoot_; }
    QTableView* projectsTable() const { return table_; }
    OverviewProjectsModel* projectsModel() const { return projects_; }
    DiskMapView* diskMap() const { return diskMap_; }
    GrowthView* growth() const { return growth_; }

signals:
    // An item of the disk map was chosen: its tab should show it.
    void itemChosen(stowage::DiskNodeKind kind, const QString& id);

private:
    QWidget* buildCards();
    QWidget* buildDataRoot();
    QWidget* buildActions();
    QWidget* buildProjectsTable();
    void render();

    AppModel& model_;
    DeferredUpdate* updater_;
    OverviewFiguresSource* figuresSource_;
    std::optional<Figures> shownFigures_;  // kept on screen while newer ones are worked out
    bool rowsStale_ = true;       // the project index or the cache summary changed since the rows were set
    bool rowsFromSummary_ = false;  // the rows shown are the summary's
    std::array<SummaryCard*, 5> cards_{};
    std::array<SGButton*, 4> actions_{};
    QLabel* dataRoot_ = nullptr;
    QTableView* table_ = nullptr;
    OverviewProjectsModel* projects_ = nullptr;
    DiskMapView* diskMap_ = nullptr;
    GrowthView* growth_ = nullptr;
    std::unique_ptr<InventoryWork> diskMapWork_;
};

}  // namespace stowage
