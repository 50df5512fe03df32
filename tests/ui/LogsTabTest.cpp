// The Logs tab: the level filter and the count, the live list over a full log,
// auto-scroll, Copy / Reveal File / Clear, and the running commands.
#include "UiRig.h"

#include "log/LogFormat.h"
#include "platform/PlatformWords.h"
#include "ui/logs/LogListModel.h"
#include "ui/logs/LogsTab.h"
#include "ui/operations/CommandMonitor.h"
#include "ui/operations/RunningCommandsPanel.h"
#include "ui/widgets/Label.h"
#include "ui/widgets/SGButton.h"
#include "ui/widgets/SegmentedControl.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>

namespace stowage::test {
namespace {

struct Logs {
    Logs()
        : tab(log, ops, desktop, [this](const QString& text) { statuses << text; }, alerts)
    {
        tab.resize(900, 500);
        tab.show();
    }
    void write(LogLevel level, const QString& message) { log.log(level, message); }
    void settle() { drainEvents(std::chrono::milliseconds(30)); }
    QStringList shownMessages() const
    {
        QStringList messages;
        for (int r = 0; r < tab.listModel()->rowCount(); ++r)
            messages << tab.listModel()->entry(r).message;
        return messages;
    }
    void selectFilter(const QString& label) { tab.levelFilter()->setCurrentIndex(tab.levelFilter()->labels().indexOf(label)); }

    QTemporaryDir dir;
    ActivityLog log{std::optional<QString>(dir.path())};
    OperationCenter ops;
    RecordingDesktop desktop;
    QStringList statuses;
    ScriptedAlerts alerts;
    LogsTab tab;
};

TEST(LogsTabTest, FilterCountCopyDetailAndRevealFile)
{
    Logs l;
    EXPECT_TRUE(l.tab.emptyLine()->isVisible());
    EXPECT_EQ(l.tab.emptyLine()->text(), "No activity yet.");
    const QString long_ = "docker rm failed:\n" + QString(400, 'x') + " <b>end</b>";
    l.write(LogLevel::debug, "launch marker");
    l.write(LogLevel::info, "Refresh started");
    l.write(LogLevel::warn, long_);
    l.settle();
    const struct { const char* filter; QStringList shown; } cases[] = {
        {"All", {"launch marker", "Refresh started", long_}},
        {"Info+", {"Refresh started", long_}},
        {"Warnings+", {long_}},
        {"Errors", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.filter);
        l.selectFilter(c.filter);
        EXPECT_EQ(l.shownMessages(), c.shown);
        EXPECT_EQ(l.tab.emptyLine()->isVisible(), c.shown.isEmpty());
        EXPECT_EQ(l.tab.countLabel()->text(), "3 entries");
    }
    // An error arriving under "Errors" replaces the empty line.
    l.write(LogLevel::error, "Refresh failed: boom");
    l.settle();
    EXPECT_EQ(l.shownMessages(), QStringList({"Refresh failed: boom"}));
    EXPECT_FALSE(l.tab.emptyLine()->isVisible());
    EXPECT_EQ(l.tab.countLabel()->text(), "4 entries");
    // Copy takes every entry, whatever the filter shows.
    l.tab.copyButton()->click();
    ASSERT_EQ(l.desktop.copied.size(), 1);
    EXPECT_EQ(l.desktop.copied.first(), l.log.exportText());
    EXPECT_EQ(l.statuses, QStringList({"Copied 4 log lines to clipboard."}));

    // Each visit to the tab starts over with every level and auto-scroll on.
    l.tab.autoScroll()->setChecked(false);
    l.tab.hide();
    l.tab.show();
    EXPECT_EQ(l.tab.levelFilter()->currentIndex(), 0);
    EXPECT_EQ(l.tab.listModel()->rowCount(), 4);
    EXPECT_TRUE(l.tab.autoScroll()->isChecked());

    // Selected lines are copied as they are exported.
    QItemSelectionModel& selection = *l.tab.list()->selectionModel();
    selection.select(l.tab.listModel()->index(3), QItemSelectionModel::Select);
    selection.select(l.tab.listModel()->index(1), QItemSelectionModel::Select);
    l.tab.copySelection();
    ASSERT_EQ(l.desktop.copied.size(), 2);
    const QStringList lines = l.desktop.copied.last().split('\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith(" › Refresh started") && lines[1].endsWith(" ✕ Refresh failed: boom"))
        << lines.join('\n').toStdString();

    // The current line in full, line breaks and all, in a read-only text whose every part can be selected and copied.
    QPlainTextEdit& detail = *l.tab.lineDetail();
    EXPECT_EQ(detail.toPlainText(), "");
    l.tab.list()->setCurrentIndex(l.tab.listModel()->index(2));
    EXPECT_EQ(detail.toPlainText(), logformat::exportLine(l.log.entries()[2]));
    EXPECT_TRUE(detail.toPlainText().endsWith(long_));
    EXPECT_TRUE(detail.isReadOnly());
    EXPECT_TRUE(detail.textInteractionFlags().testFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard));

    // Reveal shows the file only while it exists.
    l.log.flush();
    EXPECT_EQ(l.tab.revealButton()->text(), platform::platformWords().showLogFileButton);
    l.tab.revealButton()->click();
    ASSERT_TRUE(waitUntil([&] { return l.desktop.revealed.size() == 1; }));
    EXPECT_EQ(l.desktop.revealed.first(), *l.log.fileURL());
    // Clear asks first; declined, nothing changes.
    for (const bool agreed : {false, true}) {
        l.alerts.answers = {agreed};
        l.tab.clearButton()->click();
        l.log.flush();
        l.settle();
        EXPECT_EQ(l.log.entries().isEmpty(), agreed);
    }
    ASSERT_EQ(l.alerts.confirms().size(), 2);
    EXPECT_EQ(l.alerts.confirms()[0].title, "Clear the activity log?");
    EXPECT_TRUE(l.alerts.confirms()[0].message.endsWith("kept as activity.log.1, replacing the one kept before."));
    l.tab.revealButton()->click();
    ASSERT_TRUE(waitUntil([&] { return l.statuses.size() == 2; }));
    EXPECT_EQ(l.desktop.revealed.size(), 1);
    EXPECT_EQ(l.statuses.last(), "No log file written yet.");
}

TEST(LogsTabTest, ListFollowsAFullLogWithInsertsAndRemovalsNotResetsAndScrollsOnlyWhenAsked)
{
    Logs l;
    l.selectFilter("Info+");
    const auto write = [&](int from, int to) {
        for (int i = from; i < to; ++i)
            l.write(i % 2 ? LogLevel::info : LogLevel::debug, QString::number(i));
        l.settle();
    };
    const int full = ActivityLog::maxEntries;
    write(0, full - 10);
    EXPECT_EQ(l.tab.listModel()->rowCount(), full / 2 - 5);
    QScrollBar& bar = *l.tab.list()->verticalScrollBar();
    ASSERT_GT(bar.maximum(), 0);
    EXPECT_EQ(bar.value(), bar.maximum());

    l.tab.autoScroll()->setChecked(false);
    bar.setValue(0);
    QSignalSpy resets(l.tab.listModel(), &QAbstractItemModel::modelReset);
    QSignalSpy removals(l.tab.listModel(), &QAbstractItemModel::rowsRemoved);
    QSignalSpy inserts(l.tab.listModel(), &QAbstractItemModel::rowsInserted);
    write(full - 10, full + 10);  // fills the log and pushes the ten oldest (five of them shown) out
    EXPECT_EQ(bar.value(), 0);
    const auto rows = [](const QSignalSpy& spy) {
        int count = 0;
        for (const QList<QVariant>& range : spy)
            count += range[2].toInt() - range[1].toInt() + 1;
        return count;
    };
    EXPECT_EQ(resets.size(), 0);
    EXPECT_EQ(rows(removals), 5);
    EXPECT_EQ(rows(inserts), 10);
    QStringList expected;
    for (int i = 11; i < full + 10; i += 2)
        expected << QString::number(i);
    EXPECT_EQ(l.shownMessages(), expected);
    // A full log gains as many lines as it drops: auto-scroll still follows them.
    l.tab.autoScroll()->setChecked(true);
    bar.setValue(0);
    write(full + 10, full + 12);
    EXPECT_EQ(bar.value(), bar.maximum());
    // A clear is a reset to nothing.
    l.log.clear();
    l.settle();
    EXPECT_EQ(l.tab.listModel()->rowCount(), 0);
    EXPECT_EQ(l.tab.countLabel()->text(), "0 entries");
}

// The Logs tab's running commands and the status bar's monitor over one list of commands.
struct Running {
    Running()
    {
        panel.setClock([this] { return now; });
        monitor.setClock([this] { return now; });
        host.show();
    }
    QUuid start(const QString& label, qint64 secondsAgo)
    {
        const QUuid id = QUuid::createUuid();
        ops.registerOp(id, label, now.addSecs(-secondsAgo), [this, label] { killed << label; });
        drainEvents();
        return id;
    }
    OperationCenter ops;
    QDateTime now = QDateTime::currentDateTimeUtc();
    QStringList killed;
    QWidget host;
    RunningCommandsPanel& panel = *new RunningCommandsPanel(ops, &host);
    CommandMonitor& monitor = *new CommandMonitor(ops, &host);
};

TEST(RunningCommandsTest, EachRowKillsOnlyItsCommandStopAllKillsEveryAndTheMonitorTimesTheOldest)
{
    Running r;
    EXPECT_FALSE(r.panel.isVisible());
    EXPECT_FALSE(r.monitor.isVisible());
    const QUuid first = r.start("ps -a --format {{json .}}", 3);
    const QUuid second = r.start("inspect a1a1a1a1a1a1 a2a2a2a2a2a2", 61);
    ASSERT_TRUE(r.panel.isVisible());
    EXPECT_EQ(r.panel.titleText(), "Running now (2)");
    ASSERT_EQ(r.panel.rows().size(), 2);

    const auto& calm = r.panel.rows()[0];
    const auto& stuck = r.panel.rows()[1];
    EXPECT_EQ(calm.label->text(), "ps -a --format {{json .}}");
    EXPECT_EQ(calm.elapsed->text(), "3s");
    EXPECT_EQ(stuck.elapsed->text(), "61s");
    // The monitor counts them and times the oldest, stuck after sixty seconds.
    EXPECT_EQ(r.monitor.text(), "2 running · 61s");
    EXPECT_TRUE(r.monitor.stuck());
    EXPECT_EQ(shownText(r.monitor.toolTip()),
              "A docker command has been running for 61s — it may be stuck. Press Stop to kill it.");

    stuck.kill->click();
    EXPECT_EQ(r.killed, QStringList({"inspect a1a1a1a1a1a1 a2a2a2a2a2a2"}));
    // The entry stays until the runner unregisters it.
    EXPECT_EQ(r.ops.active().size(), 2);

    // Rows follow the clock, ticking by themselves every second, and the list.
    r.now = r.now.addSecs(2);
    EXPECT_TRUE(waitUntil([&] { return stuck.elapsed->text() == "63s"; }, std::chrono::milliseconds(2500)));
    const SGButton* stuckKill = stuck.kill;
    r.ops.unregisterOp(first);
    drainEvents();
    ASSERT_EQ(r.panel.rows().size(), 1);
    EXPECT_EQ(r.panel.rows()[0].kill, stuckKill);  // a command still running keeps its row
    EXPECT_EQ(r.panel.titleText(), "Running now (1)");
    EXPECT_EQ(r.monitor.text(), "1 running · 63s");

    r.panel.stopAllButton()->click();
    EXPECT_EQ(r.killed, QStringList({"inspect a1a1a1a1a1a1 a2a2a2a2a2a2", "inspect a1a1a1a1a1a1 a2a2a2a2a2a2"}));
    r.ops.unregisterOp(second);
    EXPECT_TRUE(waitUntil([&] { return !r.monitor.isVisible() && !r.panel.isVisible(); }));

    // The monitor times the oldest, never below zero, and is not stuck at sixty seconds.
    r.start("clock skew", -30);  // a start in the future counts as now
    EXPECT_EQ(r.monitor.text(), "1 running · 0s");
    r.start("first", 60);
    r.start("tie", 60);  // the list order breaks ties
    EXPECT_EQ(r.monitor.text(), "3 running · 60s");
    EXPECT_FALSE(r.monitor.stuck());
    EXPECT_EQ(shownText(r.monitor.toolTip()), "first");
}

}  // namespace
}  // namespace stowage::test
