// The whole window over what Docker controls: text that looks like markup is shown literally
// everywhere, and paths on a hung mount never stop the window from painting and answering.
#include "UiRig.h"

#include "model/ModelTestSupport.h"
#include "ui/engines/AllEnginesView.h"
#include "ui/engines/EngineTableModel.h"
#include "ui/logs/LogsTab.h"
#include "ui/projects/ProjectCardList.h"
#include "ui/projects/ProjectListModel.h"
#include "ui/projects/ProjectsTab.h"
#include "ui/readme/ReadmeDialog.h"
#include "ui/shell/MainWindow.h"
#include "ui/shell/RootView.h"
#include "ui/volumes/VolumesTab.h"
#include "ui/widgets/Label.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QDir>
#include <QElapsedTimer>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolTip>
#include <QWindow>

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace stowage::test {
namespace {

// --- Markup shown literally ---

// Every text a person can see or hear, by where it is shown: the text handed
// to Qt and the text Qt shows for it.
struct Surfaces {
    struct Seen { QString where, given, shown; };
    QList<Seen> all;

    void add(const QString& where, const QString& given, const QString& shown) { all.append({where, given, shown}); }
    void plain(const QString& where, const QString& text) { add(where, text, text); }
    void label(const QString& where, const QLabel& label)
    {
        const bool rich = label.textFormat() == Qt::RichText
            || (label.textFormat() == Qt::AutoText && Qt::mightBeRichText(label.text()));
        add(where, label.text(), rich ? shownText(QStringLiteral("<qt>") + label.text()) : label.text());
    }
    void toolTip(const QString& where, const QString& tip)
    {
        if (!tip.isEmpty())
            QToolTip::showText(QPoint(10, 10), tip);  // as shown, so that an <img> in it gets its chance to load
        add(where, tip, shownText(tip));
    }
};

void collectWidgets(QWidget& root, Surfaces& seen)
{
    QList<QWidget*> widgets = root.findChildren<QWidget*>();
    widgets.prepend(&root);
    for (QWidget* widget : widgets) {
        const QString where = QString::fromLatin1(widget->metaObject()->className());
        if (auto* label = qobject_cast<QLabel*>(widget))
            seen.label(where, *label);
        if (auto* elided = qobject_cast<ElidedLabel*>(widget))
            seen.plain(where, elided->text());  // drawn as plain text
        seen.toolTip(where + " tooltip", widget->toolTip());
        seen.plain(where + " accessible name", widget->accessibleName());
        if (auto* text = qobject_cast<QPlainTextEdit*>(widget))
            seen.plain(where, text->toPlainText());
        if (auto* view = qobject_cast<QAbstractItemView*>(widget); view && view->model()) {
            const QAbstractItemModel& rows = *view->model();
            for (int row = 0; row < std::min(rows.rowCount(), 60); ++row)
                for (int column = 0; column < rows.columnCount(); ++column) {
                    const QModelIndex index = rows.index(row, column);
                    seen.plain(where + " cell", index.data(Qt::DisplayRole).toString());  // delegates draw plain text
                    seen.toolTip(where + " cell tooltip", index.data(Qt::ToolTipRole).toString());
                }
        }
    }
}

// The painted cards: their texts, the tooltips of texts drawn shortened, and
// what assistive technology reads for them.
void collectCards(ProjectsTab& tab, Surfaces& seen)
{
    ProjectCardList& list = tab.list();
    for (int row = 0; row < tab.cards().rowCount(); ++row) {
        list.scrollTo(tab.cards().index(row), QAbstractItemView::PositionAtTop);
        drainEvents();
        const QRect card = list.visualRect(tab.cards().index(row));
        for (const CardItem& item : list.layoutOf(row).items) {
            seen.plain("card text", item.text);
            const bool shortened = QFontMetrics(item.font).horizontalAdvance(item.text) > item.rect.width() + 1;
            if (item.kind != CardItem::Kind::text || !shortened)
                continue;
            const QPoint at = card.topLeft() + item.rect.center();
            QHelpEvent help(QEvent::ToolTip, at, list.viewport()->mapToGlobal(at));
            QCoreApplication::sendEvent(list.viewport(), &help);
            seen.add("card tooltip", QToolTip::text(), shownText(QToolTip::text()));
            EXPECT_EQ(shownText(QToolTip::text()), item.text);
        }
        QAccessibleInterface* cardIface = QAccessible::queryAccessibleInterface(&list)->child(row);
        seen.plain("card (accessible)", cardIface->text(QAccessible::Name));
        for (int i = 0; i < cardIface->childCount(); ++i)
            seen.plain("card button (accessible)", cardIface->child(i)->text(QAccessible::Name));
    }
}

TEST(UntrustedInventoryTest, MarkupInNamesLabelsPathsAndErrorsIsShownLiterallyEverywhere)
{
    // Each of these loses characters when Qt takes it for rich text (the image all of them).
    QTemporaryDir root;
    const QString img = "<img src=\"" + root.filePath("probe.png") + "\">";
    const QStringList tokens = {"<b>HB1</b>", "<a href=\"http://e.test/\">HA2</a>", img, "&amp;HE4", "<i>HI5</i>"};

    // A compose project whose name, folder, containers, images and volumes all hold markup.
    const QString project = "shop" + tokens[0] + img + "[*]";
    const QString folder = root.filePath("w" + tokens[0]);
    ASSERT_TRUE(QDir().mkpath(folder));
    {
        QFile readme(folder + "/README.md");
        ASSERT_TRUE(readme.open(QIODevice::WriteOnly));
        readme.write(("# " + tokens[1] + "\n").toUtf8());
    }
    const QString repository = "repo" + tokens[4] + img;
    const QString volume = "data" + tokens[3] + tokens[4];
    records::StateBuilder builder;
    builder.image(repository, "t" + tokens[3], "12MB")
        .image("base" + tokens[1], "1", "5MB")
        .container("web" + tokens[1] + tokens[3] + QString(60, 'x'), project,
                   repository + ":t" + tokens[3], true, {volume}, 5, folder)
        .container("solo" + tokens[0], "", "base" + tokens[1] + ":1", false)
        .volume(volume, project, "1MB")
        .volume("orphan" + tokens[2], "gone" + tokens[1], "2MB", true);
    CachedState state = builder.build();
    state.volumes[0].mountpoint = "/srv/" + tokens[0] + "/_data";
    state.dockerRoot = "/var/lib/" + tokens[4];

    records::LoadedRig rig(state);
    ASSERT_TRUE(rig.loaded);
    const QString error = "Error loading data: " + tokens[1] + img + tokens[3];
    rig.log.log(LogLevel::error, "Refresh failed: " + tokens[0] + img + "\n" + tokens[3]);
    rig.operations.registerOp(QUuid::createUuid(), "volume rm -f " + volume + img + QString(120, 'y'),
                              QDateTime::currentDateTimeUtc(), [] {});
    MainWindow window(*rig.model, rig.log, rig.desktop);
    window.resize(1200, 780);
    window.show();
    ASSERT_TRUE(waitUntil([&] { return rig.model->shortcuts().readmeURL(project).has_value(); }));
    rig.model->setStatusText(error);

    Surfaces seen;
    for (const RootView::Tab tab : RootView::allTabs()) {
        window.rootView()->setTab(tab);
        drainEvents();
        (void)window.grab();
        collectWidgets(window, seen);
    }
    auto* logs = qobject_cast<LogsTab*>(window.rootView()->tabView(RootView::Tab::logs));
    logs->list()->setCurrentIndex(logs->listModel()->index(0, 0));
    seen.plain("log line in full", logs->lineDetail()->toPlainText());
    auto* projects = qobject_cast<ProjectsTab*>(window.rootView()->tabView(RootView::Tab::projects));
    window.rootView()->setTab(RootView::Tab::projects);
    drainEvents();
    collectCards(*projects, seen);
    projects->trigger(project, CardAction::readme);
    ASSERT_NE(projects->readmeDialog(), nullptr);
    ReadmeDialog& sheet = *projects->readmeDialog();
    ASSERT_TRUE(waitUntil([&] { return sheet.content().contains("HA2"); }));
    (void)sheet.grab();
    collectWidgets(sheet, seen);
    QToolTip::hideText();
    drainEvents();

    // Nothing Docker wrote lost a character to markup anywhere.
    for (const Surfaces::Seen& s : seen.all)
        for (const QString& token : tokens) {
            EXPECT_GE(s.shown.count(token), s.given.count(token))
                << s.where.toStdString() << " shows " << s.shown.toStdString();
            EXPECT_FALSE(s.shown.contains(QChar::ObjectReplacementCharacter)) << s.where.toStdString();
        }
    // And it looked where it matters: each token reached a label, a tooltip and a painted card.
    for (const QString& token : tokens)
        for (const QString kind : {"QLabel", "tooltip", "card text"})
            EXPECT_TRUE(std::any_of(seen.all.begin(), seen.all.end(), [&](const Surfaces::Seen& s) {
                return s.where.contains(kind) && s.shown.contains(token);
            })) << token.toStdString() << " never seen in a " << kind.toStdString();
    EXPECT_EQ(sheet.windowHandle()->title(), project);
    sheet.close();
}

// All Engines reads every context at once: each one's state, figures and engine id, and the
// names, endpoints and errors docker gave shown as written.
TEST(UntrustedInventoryTest, AllEnginesShowsEveryContextAndItsErrorAsWritten)
{
    const QString contexts = R"({"Name":"<b>up</b>","DockerEndpoint":"unix:///<i>a</i>.sock","Current":true})" "\n"
                             R"({"Name":"twin","DockerEndpoint":"unix:///a.sock"})" "\n"
                             R"({"Name":"down","DockerEndpoint":"ssh://<a href='x'>h</a>"})" "\n";
    UiRig rig(sample::rules({{"context ls", contexts}, {"--context down", {}, "<b>refused</b>\n", 1}}));
    AllEnginesView view(rig.cli->config());
    view.show();
    ASSERT_TRUE(waitUntil([&] { return view.table()->rowCount() == 3 && !view.isReading(); }, std::chrono::seconds(30)));
    QStringList cells;
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < EngineTableModel::refreshedColumn; ++column)
            cells << view.table()->text(row, column);
    const QString figures = "Reachable | 4 · 435.0 MB | 3 · 103.0 MB | 1.5 GB | 2.0 GB | 1.2 GB | /var/lib/docker — the same engine as ";
    EXPECT_EQ(cells.join(" | ").toStdString(), ("<b>up</b> | unix:///<i>a</i>.sock | " + figures + "twin | twin | unix:///a.sock | " + figures
                                                 + "<b>up</b> | down | ssh://<a href='x'>h</a> | Not reachable: <b>refused</b> |  |  |  |  |  | ").toStdString());
    EXPECT_EQ(view.statusLabel()->text(), "3 engines read, 1 not reachable");
    for (const auto& [row, column] : {std::pair{0, 0}, std::pair{0, 1}, std::pair{2, 1}, std::pair{2, 2}})  // tooltips too
        EXPECT_EQ(shownText(view.table()->index(row, column).data(Qt::ToolTipRole).toString()), view.table()->text(row, column));
}

// --- Hung paths ---

// Every look at the file system waits until released (or 5 seconds pass), as on a hung network mount.
struct Hang {
    std::mutex lock;
    std::condition_variable released;
    bool free = false;
    std::atomic<int> entered{0};
    void wait()
    {
        ++entered;
        std::unique_lock guard(lock);
        released.wait_for(guard, std::chrono::seconds(5), [this] { return free; });
    }
};

TEST(UntrustedInventoryTest, WindowKeepsPaintingAndAnsweringWhileEveryLookAtAPathHangs)
{
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkpath("shop"));
    QFile readme(root.filePath("shop/README.md"));
    ASSERT_TRUE(readme.open(QIODevice::WriteOnly));
    readme.close();
    auto hang = std::make_shared<Hang>();
    HostPathFacts::Probes probes;
    probes.path = [hang](const QString& path) {
        hang->wait();
        return platform::probePath(path);
    };
    probes.readme = [hang](const QString& folder) {
        hang->wait();
        return findReadme(folder);
    };
    CachedState state = records::realistic(root.path());
    records::LoadedRig rig(state, probes);
    MainWindow window(*rig.model, rig.log, rig.desktop);
    window.resize(1200, 780);
    window.rootView()->setTab(RootView::Tab::projects);
    window.show();
    auto* projects = qobject_cast<ProjectsTab*>(window.rootView()->tabView(RootView::Tab::projects));
    ASSERT_TRUE(waitUntil([&] { return hang->entered > 0; }));

    // The longest time the event loop went without running a 5 ms timer.
    QElapsedTimer sinceTick;
    qint64 longestGapMs = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { longestGapMs = std::max(longestGapMs, sinceTick.restart()); });
    sinceTick.start();
    tick.start(5);
    const QImage before = window.grab().toImage();
    // Typed keys go through the event loop and reach the search field.
    QLineEdit& search = projects->searchField();
    search.setFocus();
    for (const QChar c : QStringLiteral("sho"))
        QCoreApplication::postEvent(&search, new QKeyEvent(QEvent::KeyPress, Qt::Key_unknown, {}, QString(c)));
    ASSERT_TRUE(waitUntil([&] { return projects->cards().view().search == "sho"; }, std::chrono::seconds(2)));
    EXPECT_NE(window.grab().toImage(), before);  // repainted with one card
    projects->cards().setSearch("");
    // The folder shortcut and a mountpoint reveal wait for their own looks.
    const int shop = projects->cards().rowOf("shop");
    projects->list().setFocus();
    projects->list().focusAction(shop, CardAction::fileManager);
    QCoreApplication::postEvent(&projects->list(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, {}));
    window.rootView()->setTab(RootView::Tab::volumes);
    qobject_cast<VolumesTab*>(window.rootView()->tabView(RootView::Tab::volumes))->reveal({"shop_pgdata"});
    drainEvents(std::chrono::milliseconds(300));
    (void)window.grab();
    // Far below the 5 s a look hangs, with room for a busy machine.
    EXPECT_LT(std::max(longestGapMs, sinceTick.elapsed()), 1000) << "the UI thread stalled";
    EXPECT_TRUE(rig.desktop.revealed.isEmpty());
    EXPECT_FALSE(projects->cards().hasReadme("shop"));  // not known yet

    // Once the file system answers, the card gains its README button and the waiting actions run.
    {
        std::lock_guard guard(hang->lock);
        hang->free = true;
    }
    hang->released.notify_all();
    ASSERT_TRUE(waitUntil([&] { return projects->cards().hasReadme("shop"); }));
    ASSERT_TRUE(waitUntil([&] { return rig.desktop.revealed.size() == 1 && rig.alerts.infos().size() == 1; }));
    EXPECT_EQ(rig.desktop.revealed.first(), root.filePath("shop"));
    EXPECT_EQ(rig.alerts.infos().first().title, "Not found");  // the volume lives in the engine's data root
}

}  // namespace
}  // namespace stowage::test
