#pragma once
// The Volumes tab: every volume in one table, grouped into sections (in use by
// project, not verified, disputed, labelled, named and anonymous orphans), with a
// filter, a search, a summary, and buttons that remove the selected volumes,
// the anonymous orphans or all orphans. A context menu reveals a volume's
// mountpoint in the file manager.

#include "ui/operations/InventoryWork.h"
#include "ui/volumes/VolumeSections.h"

#include <QSet>
#include <QWidget>

#include <optional>

class QLabel;
class QLineEdit;
class QTableView;

namespace stowage {

class AppModel;
class DeferredUpdate;
class SGButton;
class SegmentedControl;
class UsageWarningBanner;
class VolumeTableModel;

class VolumesTab : public QWidget {
    Q_OBJECT
public:
    explicit VolumesTab(AppModel& model, QWidget* parent = nullptr);

    VolumeFilter filter() const { return filter_; }
    void setFilter(VolumeFilter filter);
    QString search() const;
    void setSearch(const QString& text);
    // Names of the selected volumes.
    QSet<QString> selection() const;
    void setSelection(const QSet<QString>& names);
    // Selects the volume's row and scrolls to it (once the rows on their way arrive).
    void showItem(const QString& name);

    // The volumes a context menu at `pos` (viewport coordinates) acts on: the
    // selection when the row under the pointer is part of it, else that row.
    QSet<QString> contextNames(const QPoint& pos) const;
    // Shows one of the volumes' mountpoint in the file manager once a look off
    // the UI thread finds it; otherwise tells what is true of it (not there,
    // not permitted, unreadable) and offers to copy it.
    void reveal(const QSet<QString>& names);

    // Recomputes everything from the model (otherwise once per burst of changes): at
    // once for a small inventory, else when the catalog worked out off the UI thread arrives.
    void render();
    // Whether the result of the last render() is still on its way.
    bool renderPending() const { return work_.pending(); }

    const VolumeCatalog& catalog() const { return catalog_; }
    VolumeTableModel& tableModel() const { return *rows_; }
    QTableView& table() const { return *table_; }
    QLabel& summaryLabel() const { return *summary_; }
    SGButton& removeSelectedButton() const { return *removeSelected_; }
    SGButton& removeAnonymousButton() const { return *removeAnonymous_; }
    SGButton& removeAllOrphansButton() const { return *removeAllOrphans_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildHeader();
    QWidget* buildControls();
    QWidget* buildTable();
    QWidget* buildButtons();
    void showCatalog(VolumeCatalog catalog);
    void showSections();
    void updateButtons();
    void showContextMenu(const QPoint& pos);

    AppModel& model_;
    VolumeCatalog catalog_;
    InventoryWork work_{model_};
    VolumeFilter filter_ = VolumeFilter::all;
    SegmentedControl* filterControl_ = nullptr;
    QLineEdit* searchField_ = nullptr;
    QLabel* summary_ = nullptr;
    VolumeTableModel* rows_ = nullptr;
    QTableView* table_ = nullptr;
    SGButton* removeSelected_ = nullptr;
    SGButton* removeAnonymous_ = nullptr;
    SGButton* removeAllOrphans_ = nullptr;
    UsageWarningBanner* banner_ = nullptr;
    DeferredUpdate* updater_ = nullptr;
    std::optional<QString> itemToShow_;  // asked for before its row arrived
};

}  // namespace stowage
