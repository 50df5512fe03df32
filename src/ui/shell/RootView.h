#pragma once
// The window's content, top to bottom: the header, the tab switcher, the
// selected tab (or the empty-state panel when there is nothing to show), the
// status bar and the brand bar. It also runs the first-display rule: show the
// cached inventory when there is one, otherwise start a refresh.

#include "diskmap/DiskMap.h"

#include <QWidget>

#include <array>
#include <optional>

class QStackedWidget;

namespace stowage {

class ActivityLog;
class AppModel;
class BrandBar;
class EmptyState;
class HeaderBar;
class SegmentedControl;
class StatusBar;
namespace platform {
class Desktop;
}

class RootView : public QWidget {
    Q_OBJECT
public:
    enum class Tab { overview, projects, images, volumes, buildCache, logs };
    static constexpr std::array<Tab, 6> allTabs() { return {Tab::overview, Tab::projects, Tab::images, Tab::volumes, Tab::buildCache, Tab::logs}; }
    static QString title(Tab tab);

    RootView(AppModel& model, ActivityLog& log, platform::Desktop& desktop, QWidget* parent = nullptr);

    Tab tab() const { return tab_; }
    void setTab(Tab tab);
    // The tab's view, created on first use.
    QWidget* tabView(Tab tab);
    bool showsEmptyState() const;

    AppModel& model() const { return model_; }
    HeaderBar* header() const { return header_; }
    SegmentedControl* tabSwitcher() const { return switcher_; }
    EmptyState* emptyState() const { return empty_; }
    StatusBar* statusBar() const { return status_; }
    BrandBar* brandBar() const { return brand_; }

    // Puts a message of the window's own (such as "Copied … log lines") in the
    // status line; the model's next status text replaces it.
    void showStatus(const QString& text);
    // Whether the first-display rule has run.
    bool firstDisplayStarted() const { return firstDisplayStarted_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* createTab(Tab tab);
    void syncBody();
    void keepFooterLastInTabOrder();
    void syncStatus();
    void firstDisplay();
    // Opens the tab that lists an item of the disk map, with the item selected.
    void showItem(DiskNodeKind kind, const QString& id);

    AppModel& model_;
    ActivityLog& log_;
    platform::Desktop& desktop_;
    Tab tab_ = Tab::overview;
    HeaderBar* header_;
    SegmentedControl* switcher_;
    QStackedWidget* body_;
    QStackedWidget* tabs_;
    std::array<QWidget*, 6> tabViews_{};
    EmptyState* empty_;
    StatusBar* status_;
    BrandBar* brand_;
    bool firstDisplayStarted_ = false;
    // While the cache is being read the window is not empty yet, only not filled.
    bool cacheLoading_ = false;
};

}  // namespace stowage
