#pragma once
// The activity log, live and filtered by level, with automatic scrolling to the
// newest line; under it the selected line in full, wrapped, its text
// selectable; the docker commands running right now; and Copy, a button that
// shows the log file in the file manager, and Clear for the whole log.

#include "model/OffThread.h"
#include "platform/Desktop.h"
#include "ui/logs/LogListModel.h"

#include <QUuid>
#include <QWidget>

#include <functional>

class QCheckBox;
class QLabel;
class QListView;
class QPlainTextEdit;
class QStackedLayout;

namespace stowage {

class ActivityLog;
class Alerts;
class OperationCenter;
class RunningCommandsPanel;
class SegmentedControl;
class SGButton;

class LogsTab : public QWidget {
    Q_OBJECT
public:
    // `showStatus` puts a message in the window's status line; `alerts` asks
    // before the log is cleared; `desktopFailed` reports a file manager that
    // could not show the log file.
    LogsTab(ActivityLog& log, OperationCenter& ops, platform::Desktop& desktop,
            std::function<void(const QString&)> showStatus, Alerts& alerts, platform::DesktopFailed desktopFailed = {},
            QWidget* parent = nullptr);

    SegmentedControl* levelFilter() const { return filter_; }
    QCheckBox* autoScroll() const { return autoScroll_; }
    QListView* list() const { return list_; }
    LogListModel* listModel() const { return model_; }
    QLabel* emptyLine() const { return empty_; }
    // The current line in full (read-only, selectable).
    QPlainTextEdit* lineDetail() const { return detail_; }
    QLabel* countLabel() const { return count_; }
    RunningCommandsPanel* runningCommands() const { return running_; }
    SGButton* copyButton() const { return copy_; }
    SGButton* revealButton() const { return reveal_; }
    SGButton* clearButton() const { return clear_; }

    void copyLog();
    void revealFile();
    void copySelection();
    // Asks first: the log is the record of what was removed. The file is kept aside.
    void clearLog();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildHeader();
    QWidget* buildFooter();
    void syncCountAndEmptyLine();
    void showCurrentLine();
    void onEntriesChanged();

    ActivityLog& log_;
    platform::Desktop& desktop_;
    platform::DesktopFailed desktopFailed_;
    std::function<void(const QString&)> showStatus_;
    Alerts& alerts_;
    LogListModel* model_;
    SegmentedControl* filter_ = nullptr;
    RunningCommandsPanel* running_ = nullptr;
    QListView* list_ = nullptr;
    QLabel* empty_ = nullptr;
    QPlainTextEdit* detail_ = nullptr;
    QStackedLayout* listStack_ = nullptr;
    QCheckBox* autoScroll_ = nullptr;
    QLabel* count_ = nullptr;
    SGButton* copy_ = nullptr;
    SGButton* reveal_ = nullptr;
    SGButton* clear_ = nullptr;
    QUuid lastEntry_;  // the newest entry shown, to tell new lines from a full log's turnover
    OffThread fileChecks_{1};
};

}  // namespace stowage
