// The Volumes tab: sections under the filter and the search, the cells, the summary,
// the buttons' labels and enabling, and revealing a mountpoint.
#include "UiRig.h"

#include "platform/PlatformWords.h"
#include "text/SizeFormat.h"
#include "ui/style/Theme.h"
#include "ui/volumes/VolumeTableModel.h"
#include "ui/volumes/VolumesTab.h"
#include "ui/widgets/SGButton.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QTableView>
#include <QTimer>

namespace stowage::test {
namespace {

QString human(qint64 bytes) { return SizeFormat::humanSize(bytes); }
qint64 bytes(const char* size) { return SizeFormat::parseDockerSize(QString::fromLatin1(size)); }

struct Volumes {
    explicit Volumes(const CachedState& state = records::realistic(), HostPathFacts::Probes probes = {})
        : rig(state, std::move(probes)), tab(*rig.model)
    {
        rig.alerts.defaultAnswer = false;
        tab.resize(1300, 700);
        tab.show();
        drainEvents();
    }
    QStringList sectionIds() const
    {
        QStringList ids;
        for (const auto& s : tab.tableModel().sections())
            ids << s.id;
        return ids;
    }
    VolumeSection section(const QString& id) const
    {
        for (const auto& s : tab.tableModel().sections())
            if (s.id == id)
                return s;
        ADD_FAILURE() << "no section " << id.toStdString();
        return {};
    }
    QString cell(const QString& volume, int column) const
    {
        return tab.tableModel().index(tab.tableModel().rowOf(volume), column).data().toString();
    }
    QPoint pointAt(const QString& volume) { return tab.table().visualRect(tab.tableModel().index(tab.tableModel().rowOf(volume), 1)).center(); }
    records::LoadedRig rig;
    VolumesTab tab;
};

TEST(VolumesTabTest, SectionsCellsSummaryButtonsAndContextMenuFollowTheFilterTheSearchAndTheSelection)
{
    Volumes v(records::realisticBuilder().volume("photos", "", "80MB", true).volume("pg-2019", "Archive", "30MB", true).build());
    ASSERT_TRUE(v.rig.loaded);
    EXPECT_EQ(v.sectionIds(), (QStringList{"p:ml-lab", "p:analytics", "p:shop", "p:blog", "p:", "disputed",
                                           "orphan-labeled", "orphan-named", "orphan-anon"}));
    const QString check = "  ·  check before deleting";
    for (const auto& [id, title] : std::initializer_list<std::pair<QString, QString>>{
             {"p:ml-lab", "ml-lab  ·  stopped  ·  2 volumes  ·  " + human(bytes("9.1GB") + bytes("2MB"))},
             {"p:", "(no compose project)  ·  running  ·  1 volume  ·  " + human(bytes("3MB"))},
             {"disputed", "Conflicting signals — Docker still counts a reference  ·  1"},
             {"orphan-labeled", "Orphan — labelled for a project, mounted by nothing  ·  3  ·  "
                                    + human(bytes("700MB") + bytes("45MB") + bytes("30MB")) + check},
             {"orphan-named", "Orphan — named, no project, may hold data  ·  1  ·  " + human(bytes("80MB")) + check},
             {"orphan-anon", "Orphan — anonymous, no project  ·  2  ·  " + human(bytes("256MB") + bytes("1MB"))
                                 + "  ·  safe to remove"}})
        EXPECT_EQ(v.section(id).title, title);
    EXPECT_EQ(v.section("orphan-anon").color, Theme::danger());

    // In the table each section is one header row across all columns, in its colour, not selectable.
    const auto& model = v.tab.tableModel();
    EXPECT_EQ(model.headerRows().mid(0, 2), (QList<int>{0, 3}));  // two ml-lab volumes in between
    EXPECT_EQ(model.index(0, 0).data().toString(), v.section("p:ml-lab").title);
    EXPECT_EQ(model.index(0, 0).data(Qt::ForegroundRole).value<QColor>(), v.section("p:ml-lab").color);
    EXPECT_FALSE(model.flags(model.index(0, 0)) & Qt::ItemIsSelectable);
    EXPECT_EQ(v.tab.table().columnSpan(0, 0), VolumeTableModel::columnTotal);

    v.tab.setFilter(VolumeFilter::orphans);
    EXPECT_EQ(v.sectionIds(), (QStringList{"disputed", "orphan-labeled", "orphan-named", "orphan-anon"}));
    v.tab.setFilter(VolumeFilter::inUse);
    EXPECT_EQ(v.sectionIds(), (QStringList{"p:ml-lab", "p:analytics", "p:shop", "p:blog", "p:", "disputed"}));
    v.tab.setFilter(VolumeFilter::all);
    v.tab.setSearch("ANALYTICS_d");
    EXPECT_EQ(v.sectionIds(), QStringList{"p:analytics"});
    // One volume shown, singular; the size is still the whole group's.
    EXPECT_EQ(v.section("p:analytics").title,
              "analytics  ·  running  ·  1 volume  ·  " + human(bytes("4.3GB") + bytes("6MB")));
    v.tab.setSearch("archiv");  // only the label matches
    EXPECT_EQ(v.sectionIds(), QStringList{"orphan-labeled"});
    EXPECT_EQ(v.section("orphan-labeled").volumes.first().name, "pg-2019");
    v.tab.setSearch("no such volume");
    EXPECT_EQ(v.tab.tableModel().rowCount(), 0);

    // Filter, search and selection start afresh on the next visit.
    v.tab.setFilter(VolumeFilter::orphans);
    v.tab.setSelection({"oldshop_pgdata"});
    v.tab.hide();
    v.tab.show();
    EXPECT_EQ(v.tab.filter(), VolumeFilter::all);
    EXPECT_EQ(v.tab.search(), "");
    EXPECT_TRUE(v.tab.selection().isEmpty());
    EXPECT_EQ(v.sectionIds().size(), 9);

    // The summary, the cells, the buttons and the context menu.
    const qint64 inUse = bytes("1.2GB") + bytes("88MB") + bytes("12MB") + bytes("640MB") + bytes("310MB")
        + bytes("4.3GB") + bytes("6MB") + bytes("9.1GB") + bytes("2MB") + bytes("3MB");
    const qint64 orphans = bytes("700MB") + bytes("45MB") + bytes("80MB") + bytes("30MB") + bytes("256MB") + bytes("1MB");
    EXPECT_EQ(v.tab.summaryLabel().text(),
              "17 volumes  ·  10 in use (" + human(inUse) + ")  ·  6 orphan (" + human(orphans) + ")");
    EXPECT_EQ(v.tab.removeAnonymousButton().text(), "Remove 2 Anonymous Orphans");
    EXPECT_EQ(v.tab.removeAllOrphansButton().text(), "Remove All 6 Orphans");
    EXPECT_TRUE(v.tab.removeAllOrphansButton().isEnabled());
    EXPECT_FALSE(v.tab.removeSelectedButton().isEnabled());
    using C = VolumeTableModel;
    const struct { QString volume; int column; QString text; } cells[] = {
        {"analytics_data", C::usedByColumn, "analytics-metabase-1 +2"},
        {"shop_static", C::usedByColumn, "shop-web-1 +1"},
        {"oldshop_pgdata", C::usedByColumn, "—"},
        {records::anonBig, C::projectColumn, "—"},
        {"metabase_plugins", C::projectColumn, "analytics"},
        {"shop_pgdata", C::sizeColumn, human(bytes("1.2GB"))},
        {"shop_pgdata", C::mountpointColumn, "/var/lib/docker/volumes/shop_pgdata/_data"},
    };
    for (const auto& c : cells)
        EXPECT_EQ(v.cell(c.volume, c.column), c.text) << c.volume.toStdString();
    // A project label that no project backs is shown as such.
    SGVolume labelled;
    labelled.project = "oldshop";
    EXPECT_EQ(volumeProjectCell({"—", false}, labelled), "oldshop (label only)");
    EXPECT_EQ(volumeProjectCell({"blog, shop", true}, labelled), "blog, shop");

    // The context menu acts on the selection, or on the row under the pointer outside it.
    v.tab.setSelection({"oldshop_pgdata", "oldshop_static"});
    EXPECT_EQ(v.tab.contextNames(v.pointAt("oldshop_pgdata")), (QSet<QString>{"oldshop_pgdata", "oldshop_static"}));
    EXPECT_EQ(v.tab.contextNames(v.pointAt("shop_pgdata")), QSet<QString>{"shop_pgdata"});
    // A selection over header rows names only volumes: the first header, the two ml-lab volumes and the next header.
    v.tab.table().selectionModel()->select(QItemSelection(model.index(0, 0), model.index(3, VolumeTableModel::columnTotal - 1)),
                                           QItemSelectionModel::ClearAndSelect);
    EXPECT_EQ(v.tab.selection(), (QSet<QString>{"ml-lab_checkpoints", records::anonMounted}));

    v.tab.setSelection({"oldshop_static"});
    v.tab.removeSelectedButton().click();
    // Anonymous orphans only, then all orphans: each confirms with its own list.
    v.tab.removeAnonymousButton().click();
    v.tab.removeAllOrphansButton().click();
    const auto confirms = v.rig.alerts.confirms();
    ASSERT_EQ(confirms.size(), 3);
    for (const auto& [confirm, text, listed] : std::initializer_list<std::tuple<int, QString, bool>>{
             {0, "oldshop_static", true}, {1, records::anonBig, true}, {1, "oldshop_pgdata", false}, {1, "photos", false},
             {2, "oldshop_pgdata", true}, {2, "\n  • photos (" + human(bytes("80MB")) + ")", true}})
        EXPECT_EQ(confirms[confirm].message.contains(text), listed) << confirm << text.toStdString();

    // While another operation runs, no removal starts.
    v.rig.docker.setRules({FakeRule{"", {}, {}, 0, 30}});
    v.rig.model->refresh();
    for (const QPushButton* button :
         {&v.tab.removeSelectedButton(), &v.tab.removeAnonymousButton(), &v.tab.removeAllOrphansButton()})
        EXPECT_FALSE(button->isEnabled()) << button->text().toStdString();
    v.rig.model->cancelCurrentOperation();
    ASSERT_TRUE(v.rig.waitIdle());
}

TEST(VolumesTabTest, IncompleteUsageListsUnmountedVolumesAsUnknownAndDisablesRemoval)
{
    Volumes v(records::realisticBuilder().build(false));
    EXPECT_EQ(v.sectionIds(), (QStringList{"p:ml-lab", "p:analytics", "p:shop", "p:blog", "p:", "unknown"}));
    EXPECT_EQ(v.section("unknown").volumes.size(), 5);
    EXPECT_TRUE(v.section("unknown").title.startsWith("Unknown — usage not verified  ·  5  ·  "));
    EXPECT_EQ(v.section("unknown").color, Theme::textDim());
    v.tab.setSelection({"oldshop_pgdata"});
    EXPECT_EQ(v.tab.selection().size(), 1);
    for (SGButton* button : {&v.tab.removeSelectedButton(), &v.tab.removeAnonymousButton(), &v.tab.removeAllOrphansButton()})
        EXPECT_FALSE(button->isEnabled()) << button->text().toStdString();
    EXPECT_EQ(v.tab.removeAllOrphansButton().text(), "Remove All 0 Orphans");
}

TEST(VolumesTabTest, TheContextMenuRevealsTheMountpointOrSaysWhyItCannotAndOffersToCopyThePath)
{
    using platform::PathPresence;
    QTemporaryDir here;
    const platform::PathFacts denied{PathPresence::notPermitted, false, "Permission denied"};
    const struct { const char* scenario; QString mountpoint; platform::PathFacts facts; const char* title; QString note; } cases[] = {
        {"on this host", here.path(), {PathPresence::present, true}, "", ""},
        {"not on this host", "/var/lib/docker/volumes/blog_db/_data", {}, "Not found",
         "The Docker engine runs elsewhere, in a virtual machine such as Docker Desktop's or on another host, and "
         "keeps its volumes there."},
        {"under the data root, open to root only", "/var/lib/docker/volumes/blog_db/_data", denied, "Not permitted",
         "Docker keeps volumes inside its data root, /var/lib/docker, which only root may open."},
        {"elsewhere", "/srv/volumes/blog_db", denied, "Not permitted", "Permission denied"},
        {"a failing mount", "/mnt/nfs/blog_db", {PathPresence::unavailable, false, "Input/output error"},
         "Cannot open", "Input/output error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scenario);
        CachedState state = records::realistic();
        for (SGVolume& volume : state.volumes)
            if (volume.name == "blog_db")
                volume.mountpoint = c.mountpoint;
        HostPathFacts::Probes probes;
        probes.path = [&](const QString&) { return c.facts; };
        Volumes v(state, probes);
        // The context menu's one item, in this desktop's words, reveals the row under the pointer.
        QString item;
        QTimer::singleShot(0, [&] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                item = menu->actions().value(0)->text();
                menu->actions().value(0)->trigger();
                menu->close();
            }
        });
        emit v.tab.table().customContextMenuRequested(v.pointAt("blog_db"));
        EXPECT_EQ(item, platform::platformWords().showMountpointAction);
        ASSERT_TRUE(waitUntil([&] { return !v.rig.alerts.infos().isEmpty() || !v.rig.desktop.revealed.isEmpty(); }));
        if (c.facts.presence == PathPresence::present) {
            EXPECT_EQ(v.rig.desktop.revealed, QStringList{c.mountpoint});
            v.tab.reveal({});
            v.tab.reveal({"no-such-volume"});
            drainEvents(std::chrono::milliseconds(100));
            EXPECT_TRUE(v.rig.alerts.shown.isEmpty());
            EXPECT_EQ(v.rig.desktop.revealed.size(), 1);
            continue;
        }
        const ShownAlert notice = v.rig.alerts.infos().first();
        EXPECT_EQ(notice.title, c.title);
        EXPECT_TRUE(notice.message.endsWith(c.mountpoint + "\n\n(" + c.note + ")")) << notice.message.toStdString();
        ASSERT_EQ(notice.action.buttonText, "Copy Path");
        notice.action.run();
        EXPECT_EQ(v.rig.desktop.copied, QStringList{c.mountpoint});
        EXPECT_TRUE(v.rig.desktop.revealed.isEmpty());
    }
}

}  // namespace
}  // namespace stowage::test
