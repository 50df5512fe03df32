// The Projects tab: card contents, which buttons a card has and what they answer to,
// the controls bound to the model, the selection count and the empty texts.
#include "UiRig.h"

#include "text/RelativeTime.h"
#include "text/SizeFormat.h"
#include "ui/projects/ProjectCardDelegate.h"
#include "ui/projects/ProjectCardList.h"
#include "ui/projects/ProjectListModel.h"
#include "ui/projects/ProjectsTab.h"
#include "ui/readme/ReadmeDialog.h"
#include "ui/style/Theme.h"
#include "ui/widgets/SGButton.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QTranslator>

namespace stowage::test {
namespace {

struct Projects {
    explicit Projects(const CachedState& state = records::realistic()) : rig(state), tab(*rig.model)
    {
        rig.alerts.defaultAnswer = false;
        tab.resize(1200, 900);
        tab.show();
        // The project folders are looked at off the UI thread; wait for the answers.
        waitUntil([&] {
            for (const QString& project : tab.cards().order())
                if (!rig.model->index().projectsMeta.value(project).path.isEmpty() && !rig.model->shortcuts().projectPathFacts(project))
                    return false;
            return true;
        });
        drainEvents();
    }
    const ProjectCardData& card(const QString& project) const
    {
        return tab.cards().card(tab.cards().rowOf(project));
    }
    CardLayout layout(const QString& project) const
    {
        return tab.delegate().layoutFor(tab.cards().rowOf(project), 1100);
    }
    bool click(const QString& project, CardAction action)
    {
        const QRect rect = tab.actionRect(project, action);
        if (rect.isEmpty())
            return false;
        QTest::mouseClick(tab.list().viewport(), Qt::LeftButton, {}, rect.center());
        drainEvents();
        return true;
    }
    records::LoadedRig rig;
    ProjectsTab tab;
};

TEST(ProjectsTabTest, CardsShowStateFiguresResourcesAndActivityAndTheControlsAreBoundToTheModel)
{
    Projects p;
    ASSERT_TRUE(p.rig.loaded);
    const ProjectCardData& shop = p.card("shop");
    EXPECT_EQ(shop.runningText, "● 3 running");
    const auto size = [](std::initializer_list<const char*> sizes) {
        return SizeFormat::humanSize(std::accumulate(sizes.begin(), sizes.end(), qint64(0), [](qint64 sum, const char* s) {
            return sum + SizeFormat::parseDockerSize(s);
        }));
    };
    EXPECT_EQ(shop.figures, "4 containers · 4 images (" + size({"512MB", "480MB", "432MB", "41MB"}) + ") · 3 volumes ("
                                + size({"1.2GB", "88MB", "12MB"}) + ")");
    // Each resource row: name, size, kind and ownership. redis runs in shop, blog and a standalone container.
    const auto rows = [&](const QString& project, bool images) {
        QStringList out;
        for (const auto& r : images ? p.card(project).images : p.card(project).volumes)
            out << r.name + " " + r.size + " " + (r.kind ? r.kind->text : "-") + " " + r.ownership.text;
        return out;
    };
    EXPECT_EQ(rows("shop", true), (QStringList{"shop-web:latest 512MB built exclusive", "shop-worker:latest 480MB built exclusive",
                                               "postgres:16 432MB base exclusive", "redis:7-alpine 41MB base shared: blog"}));
    EXPECT_EQ(rows("shop", false), (QStringList{"shop_pgdata " + size({"1.2GB"}) + " - exclusive",
                                                "shop_static " + size({"88MB"}) + " - exclusive",
                                                "shop_redis " + size({"12MB"}) + " - exclusive"}));
    EXPECT_TRUE(rows("blog", true).contains("redis:7-alpine 41MB base shared: shop"));
    // From the standalone group's view the shared redis image belongs to the others.
    EXPECT_TRUE(rows("", true).contains("redis:7-alpine 41MB base shared: blog, shop"));
    EXPECT_EQ(p.card("blog").runningText, "● all stopped");
    // Taken down (`docker compose down`): no containers, but its volumes may hold data.
    EXPECT_EQ(p.card("oldshop").runningText, "taken down — 2 volumes, " + size({"700MB", "45MB"}) + " may hold data");
    EXPECT_EQ(p.card("oldshop").figures, "0 containers · 0 images (0 B) · 2 volumes (" + size({"700MB", "45MB"}) + ")");
    EXPECT_EQ(p.layout("blog").outline, Theme::border());
    EXPECT_EQ(p.layout("shop").outline, Theme::success());
    EXPECT_EQ(p.card("").title, "(standalone containers)");
    EXPECT_EQ(p.card("").runningText, "● 1 running");
    // Owners outside any project are "other"; named ones are listed by name.
    for (const auto& [owners, text] : {std::pair<OwnerList, const char*>{{}, "exclusive"},
                                       {{"", "shop"}, "shared: other"},
                                       {{"analytics", "blog", "shop"}, "shared: analytics, blog"}})
        EXPECT_EQ(ProjectCards::ownershipBadge(owners, "shop").text, text);

    // Activity is shown only when known, and relative times move on with the minute.
    const auto texts = [&] {
        QStringList out;
        for (const CardItem& item : p.layout("analytics").items)
            out << item.text;
        return out;
    };
    EXPECT_TRUE(texts().contains("· active 5 minutes ago"));
    EXPECT_TRUE(texts().contains("Up 5 minutes"));  // Docker said "Up 3 hours" when it was listed
    // ml-lab's only container never started: no activity text at all.
    for (const CardItem& item : p.layout("ml-lab").items)
        EXPECT_FALSE(item.text.startsWith("· active")) << item.text.toStdString();

    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            paints += event->type() == QEvent::Paint;
            return false;
        }
    } counter;
    p.tab.list().viewport()->installEventFilter(&counter);
    drainEvents();
    counter.paints = 0;
    p.rig.now = QDateTime::currentDateTimeUtc().addSecs(60 * 60);
    p.rig.model->clock().tick();
    drainEvents();
    EXPECT_GT(counter.paints, 0);
    EXPECT_TRUE(texts().contains("· active 1 hour ago"));
    EXPECT_TRUE(texts().contains("Up About an hour"));
    AppModelTestAccess::takeFactsAsRead(*p.rig.model);  // read again an hour on, as a removal would first

    // The controls are bound to the list's view; selection counts named projects only.
    AppModel& model = *p.rig.model;
    ProjectListModel& cards = p.tab.cards();
    QTest::keyClicks(&p.tab.searchField(), "SHO");
    EXPECT_EQ(cards.view().search, "SHO");
    EXPECT_EQ(p.tab.cards().order(), (QStringList{"shop", "oldshop"}));

    QTest::keyClicks(&p.tab.searchField(), "zz");
    EXPECT_EQ(p.tab.cards().rowCount(), 0);
    EXPECT_FALSE(p.tab.emptyLabel().isHidden());
    EXPECT_EQ(p.tab.emptyLabel().text(), "No projects match “SHOzz”.");
    cards.setSearch("");
    EXPECT_EQ(p.tab.searchField().text(), "");
    EXPECT_EQ(p.tab.cards().rowCount(), 6);

    p.tab.sortMenu().setCurrentIndex(2);
    emit p.tab.sortMenu().activated(2);
    EXPECT_EQ(cards.view().sort, ProjectSort::name);
    EXPECT_EQ(p.tab.cards().order(), (QStringList{"shop", "oldshop", "ml-lab", "blog", "analytics", ""}));
    p.tab.directionButton().click();
    EXPECT_TRUE(cards.view().ascending);
    EXPECT_EQ(p.tab.cards().order(), (QStringList{"", "analytics", "blog", "ml-lab", "oldshop", "shop"}));

    // Selection mode counts named projects only.
    p.tab.selectButton().click();
    EXPECT_TRUE(cards.view().selecting);
    EXPECT_TRUE(p.tab.selectButton().isHidden());
    cards.toggleSelected("");  // the standalone group is never counted
    EXPECT_EQ(p.tab.deleteButton().text(), "Delete 0");
    EXPECT_FALSE(p.tab.deleteButton().isEnabled());

    ASSERT_TRUE(p.click("shop", CardAction::toggleSelection));
    ASSERT_TRUE(p.click("blog", CardAction::toggleSelection));
    EXPECT_EQ(cards.view().selected, (QSet<QString>{"", "shop", "blog"}));
    EXPECT_EQ(p.tab.deleteButton().text(), "Delete 2");
    EXPECT_TRUE(p.tab.deleteButton().isEnabled());
    ASSERT_TRUE(p.click("blog", CardAction::toggleSelection));
    EXPECT_EQ(p.tab.deleteButton().text(), "Delete 1");

    AppModelTestAccess::setBusy(model, true);  // an operation runs: nothing more may start
    EXPECT_FALSE(p.tab.deleteButton().isEnabled());
    AppModelTestAccess::setBusy(model, false);
    EXPECT_TRUE(p.tab.deleteButton().isEnabled());

    p.tab.deleteButton().click();
    ASSERT_EQ(p.rig.alerts.confirms().size(), 1);
    EXPECT_EQ(p.rig.alerts.confirms()[0].title, "Delete selected projects");

    p.tab.cancelButton().click();
    EXPECT_FALSE(cards.view().selecting);
    EXPECT_TRUE(cards.view().selected.isEmpty());
    EXPECT_FALSE(p.tab.selectButton().isHidden());

    Projects none(records::StateBuilder().volume("lonely", "", "1MB").build());
    EXPECT_EQ(none.tab.emptyLabel().text(), "No projects.");

    // Cards are rebuilt from the index, not from the listings a refresh publishes first.
    QSignalSpy rebuilds(&p.tab.cards(), &QAbstractItemModel::modelReset);
    for (void (AppModel::*listed)() : {&AppModel::containersChanged, &AppModel::imagesChanged, &AppModel::volumesChanged})
        emit (p.rig.model.get()->*listed)();
    drainEvents();
    EXPECT_EQ(rebuilds.size(), 0);
    emit p.rig.model->usageChanged();
    emit p.rig.model->indexChanged();
    drainEvents();
    EXPECT_EQ(rebuilds.size(), 1);
}

TEST(ProjectsTabTest, CardButtonsDependOnPathReadmeSelectionModeAndARunningOperation)
{
    QTemporaryDir root;
    QDir(root.path()).mkpath("blog");
    QDir(root.path()).mkpath("shop");
    QFile readme(root.filePath("shop/README.md"));
    ASSERT_TRUE(readme.open(QIODevice::WriteOnly));
    readme.write("# Shop\n");
    readme.close();
    Projects p(records::realistic(root.path()));
    // "none", "on" or "off": whether the card has the button and whether it works.
    const auto button = [&](const QString& project, CardAction action) {
        const CardLayout layout = p.layout(project);
        const QRect rect = layout.rectOf(action);
        return rect.isEmpty() ? "none" : layout.actionAt(rect.center()) ? "on" : "off";
    };
    EXPECT_STREQ(button("blog", CardAction::readme), "none");
    EXPECT_STREQ(button("blog", CardAction::fileManager), "on");
    // ml-lab has no working directory, analytics' folder is not on this host: the shortcuts are there but disabled.
    for (const CardAction action : {CardAction::fileManager, CardAction::terminal}) {
        EXPECT_STREQ(button("ml-lab", action), "off");
        EXPECT_STREQ(button("analytics", action), "off");
    }
    for (const CardItem& item : p.layout("analytics").items)
        if (item.action == CardAction::fileManager) {
            EXPECT_EQ(item.toolTip, "Project path not found on this host:\n" + p.card("analytics").path);
        }
    // The README button opens the sheet for its project.
    ASSERT_TRUE(p.click("shop", CardAction::readme));
    ReadmeDialog* sheet = p.tab.readmeDialog();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->title(), "shop");
    ASSERT_TRUE(waitUntil([&] { return sheet->content() == "# Shop\n"; }));
    sheet->close();
    ASSERT_TRUE(waitUntil([&] { return p.tab.readmeDialog() == nullptr; }));

    // The standalone group: no utility row, no checkbox.
    p.tab.cards().setSelecting(true);
    for (const CardAction action : {CardAction::fileManager, CardAction::copyAssistantContext, CardAction::toggleSelection})
        EXPECT_STREQ(button("", action), "none");
    EXPECT_STREQ(button("", CardAction::deleteProject), "on");
    EXPECT_STREQ(button("shop", CardAction::toggleSelection), "on");
    p.tab.cards().setSelecting(false);
    EXPECT_STREQ(button("shop", CardAction::toggleSelection), "none");

    // While an operation runs, no teardown starts from a card.
    p.rig.docker.setRules({FakeRule{"", {}, {}, 0, 30}});
    p.rig.model->refresh();
    EXPECT_STREQ(button("shop", CardAction::deleteProject), "off");
    EXPECT_STREQ(button("shop", CardAction::removeVolumes), "off");
    p.rig.model->cancelCurrentOperation();
    ASSERT_TRUE(p.rig.waitIdle());
    EXPECT_STREQ(button("shop", CardAction::deleteProject), "on");

    // The cheap height used to lay out the list is the drawn height.
    for (const QString& project : p.tab.cards().order())
        EXPECT_EQ(ProjectCardGeometry::height(p.card(project)), p.layout(project).height) << project.toStdString();

    // A remote engine's folders are on its host: the shortcuts say so, the assistant context names it.
    AppModelTestAccess::setEngine(*p.rig.model, EngineContext{"build", "", "ssh://me@build.example.com", false, false, ""});
    EXPECT_STREQ(button("shop", CardAction::readme), "none");
    for (const CardItem& item : p.layout("shop").items) {
        if (item.action == CardAction::fileManager || item.action == CardAction::terminal) {
            EXPECT_TRUE(!item.enabled && item.toolTip == "On me@build.example.com: open it there.");
        }
    }
    EXPECT_TRUE(p.rig.model->shortcuts().assistantContext("shop").contains("- Host: `me@build.example.com`"));
}

TEST(ProjectsTabTest, CardButtonsAnswerClicksKeysAndAssistiveTechnology)
{
    Projects p;
    // Tab from the search field goes through the controls into the first card's first button.
    ProjectCardList& list = p.tab.list();
    p.tab.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&p.tab));
    const QStringList order = p.tab.cards().order();  // analytics, shop, "", blog, ml-lab, oldshop
    const auto at = [&](const QString& project, CardAction action) {
        return list.currentIndex().row() == order.indexOf(project) && list.focusedAction() == action;
    };
    p.tab.searchField().setFocus();
    for (int i = 0; i < 10 && !list.hasFocus(); ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_TRUE(list.hasFocus());
    // The folder is not on this host and has no README: the first enabled button is the copy.
    EXPECT_TRUE(at("analytics", CardAction::copyAssistantContext));
    for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Left})
        QTest::keyClick(&list, key);
    EXPECT_TRUE(at("analytics", CardAction::deleteProject));
    QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_TRUE(at("shop", CardAction::deleteProject));  // the same button on the next card
    QTest::keyClick(&list, Qt::Key_Return);
    ASSERT_EQ(p.rig.alerts.confirms().size(), 1);
    EXPECT_TRUE(p.rig.alerts.confirms()[0].message.startsWith("Project: shop\n"));
    QTest::keyClick(&list, Qt::Key_Left);
    QTest::keyClick(&list, Qt::Key_Space);
    ASSERT_EQ(p.rig.desktop.copied.size(), 1);
    EXPECT_TRUE(p.rig.desktop.copied[0].startsWith("# Docker project: shop\n"));
    // Past a card's last button Tab goes on into the next card; disabled buttons are skipped.
    list.focusAction(order.indexOf("blog"), CardAction::removeVolumes);
    QTest::keyClick(&list, Qt::Key_Tab);
    EXPECT_TRUE(at("ml-lab", CardAction::copyAssistantContext));  // no folder: the file manager and terminal buttons are disabled
    QTest::keyClick(&list, Qt::Key_Backtab);
    EXPECT_TRUE(at("blog", CardAction::removeVolumes));
    // After the last button of the last card the focus leaves the list; Ctrl+Tab leaves at once.
    list.focusAction(order.indexOf("oldshop"), CardAction::removeVolumes);
    QTest::keyClick(&list, Qt::Key_Tab);
    EXPECT_FALSE(list.hasFocus());
    list.setFocus();
    QTest::keyClick(&list, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_FALSE(list.hasFocus());

    // Clicks on the painted buttons.
    for (const CardAction action : {CardAction::deleteProject, CardAction::removeContainers, CardAction::removeImages,
                                    CardAction::removeVolumes})
        ASSERT_TRUE(p.click("blog", action));
    const auto titles = [&] {
        QStringList out;
        for (const auto& alert : p.rig.alerts.confirms().mid(1))
            out << alert.title + (alert.message.startsWith("Project: blog\n") ? " (blog)" : "");
        return out;
    };
    EXPECT_EQ(titles(), (QStringList{"Delete entire project (blog)", "Remove containers", "Remove project images",
                                     "Remove project volumes"}));
    ASSERT_TRUE(p.click("blog", CardAction::copyAssistantContext));
    ASSERT_EQ(p.rig.desktop.copied.size(), 2);
    EXPECT_TRUE(p.rig.desktop.copied[1].startsWith("# Docker project: blog\n"));
    // Disabled buttons do nothing: shop's folder exists only inside the engine's machine, ml-lab has none.
    EXPECT_TRUE(p.click("shop", CardAction::fileManager));
    EXPECT_TRUE(p.click("ml-lab", CardAction::fileManager));
    drainEvents();
    EXPECT_TRUE(p.rig.desktop.revealed.isEmpty());
    EXPECT_EQ(p.rig.alerts.shown.size(), 5);  // the confirmations

    // Assistive technology sees each card, and each button by the name it shows, pressed like a click.
    QAccessibleInterface* cards = QAccessible::queryAccessibleInterface(&list);
    ASSERT_EQ(cards->childCount(), p.tab.cards().rowCount());
    const int shopRow = p.tab.cards().rowOf("shop");
    QAccessibleInterface* shop = cards->child(shopRow);
    EXPECT_EQ(shop->text(QAccessible::Name), "shop");
    // Its contents are read out, line by line: what would "Delete entire project" remove?
    for (const char* line : {"3 running, active 12 minutes ago. 4 containers", ". shop-cache-1, redis:7-alpine, Exited (0) ",
                             ". redis:7-alpine, 41MB, base, shared: blog. ", ". shop_redis, 12.0 MB, exclusive"})
        EXPECT_TRUE(shop->text(QAccessible::Description).contains(line)) << line;
    QStringList names, heard;
    for (const CardItem& item : list.layoutOf(shopRow).items)
        if (item.kind == CardItem::Kind::button)
            names << item.text;
    for (int i = 0; i < shop->childCount(); ++i)
        if (shop->child(i)->role() == QAccessible::Button)
            heard << shop->child(i)->text(QAccessible::Name);
    EXPECT_EQ(heard, names);
    EXPECT_EQ(shop->child(int(names.indexOf("Remove Containers…")))->text(QAccessible::Description),
              "Asks, then removes this project's containers; images and volumes stay");
    shop->child(int(names.indexOf("Remove Containers…")))->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_EQ(p.rig.alerts.confirms().size(), 6);
    EXPECT_EQ(p.rig.alerts.confirms().last().title, "Remove containers");
    // A disabled button cannot be pressed; the selection circle is a check box.
    EXPECT_TRUE(cards->child(p.tab.cards().rowOf("ml-lab"))->child(0)->actionInterface()->actionNames().isEmpty());
    p.tab.cards().setSelecting(true);
    shop->child(0)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(p.tab.cards().view().selected.contains("shop"));
    EXPECT_TRUE(shop->child(0)->state().checked);
    EXPECT_EQ(shop->child(0)->text(QAccessible::Name), "Select shop");
}

TEST(TranslationTest, RelativeTimesAndProjectCardsReadInEnglishAndGerman)
{
    const QDateTime now = QDateTime::fromString("2024-06-01T12:00:00Z", Qt::ISODate);
    for (const auto& [secondsAgo, text] : {std::pair<qint64, const char*>{1, "1 second ago"}, {5 * 60 + 59, "5 minutes ago"},
                                          {26 * 3600, "1 day ago"}, {14 * 86400, "2 weeks ago"}, {65 * 86400, "2 months ago"},
                                          {800 * 86400, "2 years ago"}, {-120, "in 2 minutes"}})
        EXPECT_EQ(RelativeTime::describe(now.addSecs(-secondsAgo), now), text) << secondsAgo;
    QTranslator german;  // what a German desktop loads at start
    ASSERT_TRUE(german.load(QLocale(QLocale::German), "stowage", "_", ":/i18n") && QCoreApplication::installTranslator(&german));
    EXPECT_EQ(RelativeTime::describe(now.addSecs(-86400), now), "vor 1 Tag");
    Projects p;  // a tab built in German: one and several
    EXPECT_EQ(p.card("shop").runningText + ", " + p.card("").runningText, "● 3 laufen, ● 1 läuft");
    EXPECT_TRUE(p.card("oldshop").figures.startsWith("0 Container · 0 Images (0 B) · 2 Volumes")) << p.card("oldshop").figures.toStdString();

    // A removal speaks German in the window; its log lines, and the status the log quotes, stay English.
    QStringList statuses;
    QObject::connect(p.rig.model.get(), &AppModel::statusTextChanged, [&] { statuses << p.rig.model->statusText(); });
    p.rig.docker.setRules({FakeRule{"version", "24.0.0\n"}, FakeRule{"volume rm", {}, {}, 0, 0, -1, true}});
    p.rig.alerts.answers = {false, true};
    p.rig.model->removals().safeCleanAll();
    p.rig.model->removals().removeSelectedVolumes({"oldshop_pgdata", "oldshop_static"});
    ASSERT_TRUE(p.rig.waitIdle() && p.rig.alerts.confirms().size() == 2);
    const auto confirms = p.rig.alerts.confirms();
    EXPECT_EQ(QStringList({confirms[0].title, confirms[0].message.section('\n', 0, 0), confirms[1].button,
                           statuses.filter("werden").value(0), p.rig.model->statusText(), p.rig.model->loggedStatusText()})
                  + logLines(p.rig.log).filter("removed 2"),
              QStringList({"Alles sicher aufräumen", "Sicher entfernt wird:", "2 Volumes entfernen",
                           "[ausgewählte Volumes] 2 Volumes werden entfernt …",
                           "ausgewählte Volumes: 2 Volumes entfernt  ·  Daten sind veraltet – zum Abgleichen aktualisieren.",
                           "selected volumes: removed 2 volumes  ·  data is stale — Refresh to reconcile.",
                           "info [selected volumes] removed 2/2"}));

    // One volume refused, another timed out: the notice gives our nouns and reasons in German and docker's line as
    // docker wrote it; each step the command line prints, and the log, stay English.
    records::LoadedRig failing(records::realistic(), {}, {.limits = {.removeBatchSize = 1, .removeBatchTimeout = 1}, .refreshAfterCleanup = false});
    failing.docker.setRules({FakeRule{"version", "24.0.0\n"}, FakeRule{"volume rm oldshop_pgdata", {}, "Error response from daemon: in use\n", 1},
                             FakeRule{"volume rm oldshop_static", {}, {}, 0, 10}, FakeRule{"volume rm", {}, {}, 0, 0, -1, true}});
    QStringList steps;
    QObject::connect(failing.model.get(), &AppModel::cleanStep, [&](const CleanStep& step) { steps << step.error; });
    failing.model->removals().safeClean(CleanKind::orphanVolumes);
    ASSERT_TRUE(failing.waitIdle() && failing.alerts.last());
    EXPECT_EQ((QStringList(failing.alerts.last()->title) + failing.alerts.last()->message.split('\n').filter("✗") + steps.filter(": ")
               + logLines(failing.log).filter("2 errors")).join(" | ").toStdString(),
              QStringList({"Vorzeitig gestoppt", "✗ Volume oldshop_pgdata: Error response from daemon: in use", "✗ Volume oldshop_static: Zeitüberschreitung",
                           "volume oldshop_pgdata: Error response from daemon: in use", "volume oldshop_static: timed out",
                           "warn Safe clean (orphan volumes) done: 0 images, 1 volume, 2 errors; Expected to free 1.0 GB (the engine's disk usage could not be read)"})
                  .join(" | ").toStdString());

    // A refresh that could not inspect the containers says so in German; the log's line stays English.
    failing.docker.setRules(records::dockerRules(records::realistic(), {FakeRule{"inspect", {}, "Error: No such object: x\n", 1}}));
    ASSERT_TRUE(failing.refreshAndWait());
    EXPECT_EQ((failing.model->inventory().usageDataProblem + " | " + logLines(failing.log).filter("INCOMPLETE").value(0)).toStdString(),
              "Nicht untersucht: 13 von 13 Containern — Error: No such object: x | "
              "error Usage data INCOMPLETE: 13 of 13 containers could not be inspected — Error: No such object: x");
}

}  // namespace
}  // namespace stowage::test
