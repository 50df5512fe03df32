#include "ui/logs/LogsTab.h"

#include "log/ActivityLog.h"
#include "log/LogFile.h"
#include "log/LogFormat.h"
#include "model/Alerts.h"
#include "platform/Desktop.h"
#include "platform/PlatformWords.h"
#include "ui/listing/ListingParts.h"
#include "ui/logs/LogEntryDelegate.h"
#include "ui/operations/RunningCommandsPanel.h"
#include "ui/style/Surfaces.h"
#include "ui/style/Theme.h"
#include "ui/widgets/Label.h"
#include "ui/widgets/SGButton.h"
#include "ui/widgets/SegmentedControl.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QListView>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QSplitter>
#include <QShowEvent>
#include <QStackedLayout>
#include <QTimer>
#include <QVBoxLayout>

namespace stowage {

LogsTab::LogsTab(ActivityLog& log, OperationCenter& ops, platform::Desktop& desktop,
                 std::function<void(const QString&)> showStatus, Alerts& alerts, platform::DesktopFailed desktopFailed,
                 QWidget* parent)
    : QWidget(parent), log_(log), desktop_(desktop), desktopFailed_(std::move(desktopFailed)),
      showStatus_(std::move(showStatus)), alerts_(alerts)
{
    model_ = new LogListModel(log_, this);

    list_ = new QListView;
    list_->setModel(model_);
    list_->setItemDelegate(new LogEntryDelegate(list_));
    list_->setFont(Theme::monoFont(11));
    list_->setUniformItemSizes(true);
    list_->setSpacing(0);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setFrameShape(QFrame::NoFrame);
    list_->setContentsMargins(0, 6, 0, 6);
    list_->setMouseTracking(true);
    QPalette listPalette = list_->palette();
    listPalette.setColor(QPalette::Base, Theme::bg());
    list_->setPalette(listPalette);
    // Selected lines can be copied with the usual shortcut.
    auto* copyLines = new QShortcut(QKeySequence::Copy, list_, nullptr, nullptr, Qt::WidgetShortcut);
    connect(copyLines, &QShortcut::activated, this, &LogsTab::copySelection);

    empty_ = plainLabel(tr("No activity yet."), Theme::font(11), Theme::textDim());
    empty_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    empty_->setContentsMargins(20, 8, 20, 8);
    auto* listHost = new QWidget;
    listStack_ = new QStackedLayout(listHost);
    listStack_->addWidget(list_);
    listStack_->addWidget(empty_);

    // A long or multi-line message is read here in full, and any part of it copied.
    detail_ = new QPlainTextEdit;
    detail_->setReadOnly(true);
    detail_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    detail_->setFont(Theme::monoFont(11));
    detail_->setFrameShape(QFrame::NoFrame);
    detail_->setPlaceholderText(tr("Select a line to read it in full and copy any part of it."));
    detail_->setAccessibleName(tr("Selected log line"));
    detail_->document()->setDocumentMargin(10);
    auto* split = new QSplitter(Qt::Vertical);
    split->setChildrenCollapsible(false);
    split->addWidget(listHost);
    split->addWidget(detail_);
    split->setStretchFactor(0, 1);
    split->setSizes({400, 84});
    connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this, &LogsTab::showCurrentLine);
    connect(model_, &QAbstractItemModel::modelReset, this, &LogsTab::showCurrentLine);

    running_ = new RunningCommandsPanel(ops, this);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(buildHeader());
    auto* runningHost = new QHBoxLayout;
    runningHost->setContentsMargins(20, 0, 20, 10);
    runningHost->addWidget(running_);
    column->addLayout(runningHost);
    column->addWidget(new Divider);
    column->addWidget(split, 1);
    column->addWidget(new Divider);
    column->addWidget(buildFooter());

    connect(model_, &QAbstractItemModel::modelReset, this, &LogsTab::syncCountAndEmptyLine);
    connect(model_, &QAbstractItemModel::rowsInserted, this, &LogsTab::syncCountAndEmptyLine);
    connect(model_, &QAbstractItemModel::rowsRemoved, this, &LogsTab::syncCountAndEmptyLine);
    connect(&log_, &ActivityLog::entriesChanged, this, &LogsTab::onEntriesChanged);
    lastEntry_ = log_.entries().isEmpty() ? QUuid() : log_.entries().last().id;
    syncCountAndEmptyLine();
}

QWidget* LogsTab::buildHeader()
{
    auto* header = new QWidget;
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(20, 16, 20, 12);
    row->addWidget(listingTitle(tr("Activity & Logs")));
    row->addStretch(1);
    QStringList labels;
    for (const LevelFilter f : allLevelFilters())
        labels << filterName(f);
    filter_ = new SegmentedControl(labels);
    filter_->setFixedWidth(320);
    filter_->setAccessibleName(tr("Show levels"));
    connect(filter_, &SegmentedControl::currentIndexChanged, this,
            [this](int index) { model_->setFilter(allLevelFilters()[index]); });
    row->addWidget(filter_);
    return header;
}

QWidget* LogsTab::buildFooter()
{
    auto* footer = new QWidget;
    auto* row = new QHBoxLayout(footer);
    row->setContentsMargins(20, 8, 20, 10);
    row->setSpacing(10);
    autoScroll_ = new QCheckBox(tr("Auto-scroll"));
    autoScroll_->setFont(Theme::font(12));
    autoScroll_->setChecked(true);
    connect(autoScroll_, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            list_->scrollToBottom();
    });
    count_ = plainLabel({}, Theme::font(10), Theme::textDim());
    copy_ = new SGButton(tr("Copy"), QStringLiteral("doc.on.doc"), Theme::accent(), false);
    reveal_ = new SGButton(platform::platformWords().showLogFileButton, QStringLiteral("folder"), Theme::accent(), false);
    clear_ = new SGButton(tr("Clear"), QStringLiteral("trash"), Theme::warning(), false);
    connect(copy_, &QPushButton::clicked, this, &LogsTab::copyLog);
    connect(reveal_, &QPushButton::clicked, this, &LogsTab::revealFile);
    connect(clear_, &QPushButton::clicked, this, &LogsTab::clearLog);
    row->addWidget(autoScroll_);
    row->addStretch(1);
    row->addWidget(count_);
    row->addWidget(copy_);
    row->addWidget(reveal_);
    row->addWidget(clear_);
    return footer;
}

void LogsTab::clearLog()
{
    QString kept;
    if (const auto file = log_.fileURL())
        kept = QFileInfo(logfile::backupPath(*file)).fileName();
    const QString record = tr("The log is the record of what Stowage removed. Clearing empties the list.");
    if (alerts_.confirm(tr("Clear the activity log?"),
                        kept.isEmpty() ? record
                                       : tr("The log is the record of what Stowage removed. Clearing empties the "
                                            "list.\n\nThe current log file is kept as %1, replacing the one kept "
                                            "before.")
                                             .arg(kept),
                        true))
        log_.clear();
}

void LogsTab::syncCountAndEmptyLine()
{
    // The count is of every entry, whatever the filter shows.
    count_->setText(tr("%n entry(ies)", nullptr, int(log_.entries().size())));
    listStack_->setCurrentWidget(model_->rowCount() == 0 ? static_cast<QWidget*>(empty_) : list_);
}

void LogsTab::showCurrentLine()
{
    const QModelIndex current = list_->currentIndex();
    detail_->setPlainText(current.isValid() ? logformat::exportLine(model_->entry(current.row())) : QString());
}

void LogsTab::onEntriesChanged()
{
    syncCountAndEmptyLine();
    // A new last entry means new lines, also when a full log drops as many as it gains.
    const QUuid last = log_.entries().isEmpty() ? QUuid() : log_.entries().last().id;
    if (last != lastEntry_ && !last.isNull() && autoScroll_->isChecked())
        list_->scrollToBottom();
    lastEntry_ = last;
}

void LogsTab::copyLog()
{
    desktop_.copyText(log_.exportText());
    showStatus_(tr("Copied %n log line(s) to clipboard.", nullptr, int(log_.entries().size())));
}

void LogsTab::revealFile()
{
    // Even the application's own folder is looked at off the UI thread.
    const auto path = log_.fileURL();
    fileChecks_.run<bool>([path] { return path && QFileInfo::exists(*path); },
                          [this, path](bool exists) {
                              if (exists)
                                  desktop_.revealInFileManager(*path, desktopFailed_);
                              else
                                  showStatus_(tr("No log file written yet."));
                          });
}

void LogsTab::copySelection()
{
    QModelIndexList selected = list_->selectionModel()->selectedRows();
    if (selected.isEmpty())
        return;
    std::sort(selected.begin(), selected.end(), [](const auto& a, const auto& b) { return a.row() < b.row(); });
    QStringList lines;
    for (const auto& index : selected)
        lines << model_->lineText(index.row());
    desktop_.copyText(lines.join(QLatin1Char('\n')));
}

void LogsTab::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    // Each visit starts with every level shown and following the newest line.
    filter_->setCurrentIndex(0);
    autoScroll_->setChecked(true);
    list_->scrollToBottom();
}

}  // namespace stowage
