#pragma once
// The Images tab: every image in one table, largest first, coloured by whether
// it may be removed, with the project that uses it and a one-line verdict.
// The selected images (only the safe ones) or all unused images can be removed.

#include "ui/images/ImageRows.h"
#include "ui/operations/InventoryWork.h"

#include <QSet>
#include <QWidget>

#include <optional>

class QCheckBox;
class QTableView;

namespace stowage {

class AppModel;
class DeferredUpdate;
class ImageTableModel;
class SGButton;
class UsageWarningBanner;

class ImagesTab : public QWidget {
    Q_OBJECT
public:
    explicit ImagesTab(AppModel& model, QWidget* parent = nullptr);

    // IDs of the selected rows.
    QSet<QString> selection() const;
    void setSelection(const QSet<QString>& ids);
    // Selects the image's row and scrolls to it (once the rows on their way arrive).
    void showItem(const QString& id);

    // Rebuilds the rows from the model (otherwise done once per burst of changes):
    // at once for a small inventory, else when the rows worked out off the UI thread arrive.
    void render();
    // Whether the result of the last render() is still on its way.
    bool renderPending() const { return work_.pending(); }
    void syncButtons();

    ImageTableModel& tableModel() const { return *rows_; }
    QTableView& table() const { return *table_; }
    SGButton& removeSelectedButton() const { return *removeSelected_; }
    SGButton& removeUnusedButton() const { return *removeUnused_; }
    UsageWarningBanner& banner() const { return *banner_; }
    // Shows the classic builder's intermediate images, hidden by default.
    QCheckBox& buildLayersToggle() const { return *buildLayers_; }
    QWidget& title() const { return *title_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildHeader();
    QWidget* buildTable();
    QWidget* buildButtons();
    struct Listing {
        QList<ImageRow> rows;
        int buildLayerCount = 0;
    };
    void showListing(Listing listing);

    AppModel& model_;
    ImageTableModel* rows_ = nullptr;
    QTableView* table_ = nullptr;
    SGButton* removeSelected_ = nullptr;
    SGButton* removeUnused_ = nullptr;
    UsageWarningBanner* banner_ = nullptr;
    QCheckBox* buildLayers_ = nullptr;
    QWidget* title_ = nullptr;
    DeferredUpdate* updater_ = nullptr;
    InventoryWork work_{model_};
    std::optional<QString> itemToShow_;  // asked for before its row arrived
};

}  // namespace stowage
