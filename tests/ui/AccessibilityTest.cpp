// The window as assistive technology reads it: Qt's accessibility tree walked
// on every tab, and the events that announce a new tab, filter or status text.
#include "UiRig.h"

#include "ui/images/ImageTableModel.h"
#include "ui/images/ImagesTab.h"
#include "ui/overview/DiskMapView.h"
#include "ui/overview/OverviewTab.h"
#include "ui/projects/ProjectCardList.h"
#include "ui/projects/ProjectListModel.h"
#include "ui/projects/ProjectsTab.h"
#include "ui/shell/MainWindow.h"
#include "ui/shell/RootView.h"
#include "ui/shell/StatusBar.h"
#include "ui/volumes/VolumesTab.h"
#include "ui/widgets/SegmentedControl.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QTableView>
#include <QTest>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

namespace stowage::test {
namespace {

using Heard = std::tuple<QObject*, QAccessible::Event, int>;  // object, event, child
QList<Heard> heard;
void record(QAccessibleEvent* event) { heard.append({event->object(), event->type(), event->child()}); }

// Every interface under `iface` that is on screen.
void walk(QAccessibleInterface* iface, QList<QAccessibleInterface*>& out)
{
    for (int i = 0; i < iface->childCount(); ++i)
        if (QAccessibleInterface* child = iface->child(i); child && !child->state().invisible) {
            out << child;
            walk(child, out);
        }
}

void press(QAccessibleInterface* iface) { iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction()); }

TEST(AccessibilityTest, EveryTabReadsAsNamedControlsHeadedTablesAndCheckedFiltersInReadingOrder)
{
    records::LoadedRig rig;
    MainWindow window(*rig.model, rig.log, rig.desktop);
    RootView& root = *window.rootView();
    window.show();
    window.activateWindow();
    ASSERT_TRUE(rig.loaded && QTest::qWaitForWindowActive(&window));
    QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);  // as with a screen reader
    QAccessible::installUpdateHandler(record);
    QAccessibleInterface* tabs = QAccessible::queryAccessibleInterface(root.tabSwitcher());
    ASSERT_TRUE(tabs->role() == QAccessible::PageTabList && tabs->childCount() == 6);

    const QSet<QAccessible::Role> interactive{QAccessible::Button, QAccessible::CheckBox, QAccessible::RadioButton,
                                              QAccessible::PageTab, QAccessible::Link, QAccessible::EditableText,
                                              QAccessible::Table, QAccessible::List, QAccessible::ComboBox};
    const struct { RootView::Tab tab; QStringList headings, tables; QString filter; int options; } pages[] = {
        {RootView::Tab::projects, {}, {}},
        {RootView::Tab::images, {"Docker Images"}, {"Docker Images"}},
        {RootView::Tab::volumes, {"Docker Volumes"}, {"Docker Volumes"}, "Show volumes", 3},
        {RootView::Tab::buildCache, {"Build Cache"}, {}},
        {RootView::Tab::logs, {"Activity & Logs"}, {}, "Show levels", 4},
        {RootView::Tab::overview, {"Quick Actions", "Disk Map", "Projects (Compose)", "Growth"}, {"Projects (Compose)"}},
    };
    for (const auto& page : pages) {
        const int index = int(page.tab);
        SCOPED_TRACE(RootView::title(page.tab).toStdString());
        press(tabs->child(index));
        EXPECT_EQ(root.tab(), page.tab);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(tabs->child(i)->state().selected, i == index);
        EXPECT_TRUE(heard.contains(Heard{root.tabSwitcher(), QAccessible::Selection, index}));

        QList<QAccessibleInterface*> shown;
        walk(QAccessible::queryAccessibleInterface(&window), shown);
        QStringList headings, tables;
        QAccessibleInterface* filter = nullptr;
        for (QAccessibleInterface* iface : std::as_const(shown)) {
            const QString name = iface->text(QAccessible::Name);
            const auto* widget = qobject_cast<QWidget*>(iface->object());
            if (interactive.contains(iface->role()) || (widget && widget->focusPolicy() & Qt::TabFocus)) {
                EXPECT_FALSE(name.trimmed().isEmpty()) << iface->role() << (widget ? widget->metaObject()->className() : "");
            }
            if (iface->role() == QAccessible::Heading)
                headings << name;
            if (iface->role() == QAccessible::Grouping && name == page.filter)
                filter = iface;
            if (iface->role() != QAccessible::Table)
                continue;
            tables << name;
            for (int c = 0; c < iface->childCount(); ++c)
                if (iface->child(c)->role() == QAccessible::ColumnHeader) {
                    EXPECT_FALSE(iface->child(c)->text(QAccessible::Name).isEmpty()) << c;
                }
            // The first column's marks are read as words.
            if (QAccessibleTableInterface* table = iface->tableInterface(); table->rowCount() > 0) {
                EXPECT_GT(table->cellAt(0, 0)->text(QAccessible::Name).size(), 2);
            }
        }
        EXPECT_EQ(headings, page.headings);
        EXPECT_EQ(tables, page.tables);
        // A filter is a group of radio buttons: choosing one unchecks the other.
        if (!page.filter.isEmpty()) {
            ASSERT_TRUE(filter && filter->childCount() == page.options);
            EXPECT_TRUE(filter->child(0)->state().checked);
            press(filter->child(page.options - 1));
            EXPECT_TRUE(filter->child(page.options - 1)->state().checked && !filter->child(0)->state().checked);
            EXPECT_TRUE(heard.contains(Heard{filter->object(), QAccessible::Selection, page.options - 1}));
        }
        // Tab goes from the tab switcher into the page, not to the footer.
        root.tabSwitcher()->setFocus(Qt::TabFocusReason);
        QTest::keyClick(root.tabSwitcher(), Qt::Key_Tab);
        EXPECT_TRUE(root.tabView(page.tab)->isAncestorOf(QApplication::focusWidget()));
    }

    // The disk map's rectangles are its children, named as hover tells them; pressing an item
    // opens the tab that lists it with it selected, a container its project's card.
    auto& overview = static_cast<OverviewTab&>(*root.tabView(RootView::Tab::overview));
    QAccessibleInterface* map = QAccessible::queryAccessibleInterface(overview.diskMap());
    ASSERT_EQ(map->childCount(), overview.diskMap()->tileCount());
    QHash<QString, QAccessibleInterface*> tiles;  // by name
    for (int i = 0; i < map->childCount(); ++i)
        tiles.insert(map->child(i)->text(QAccessible::Name).section(", ", 0, 0),
                     map->indexOfChild(map->child(i)) == i ? map->child(i) : nullptr);
    ASSERT_TRUE(tiles.value("shop") && tiles.value("shop_pgdata") && tiles.value("ml-lab-trainer:latest"));
    EXPECT_EQ(tiles["shop_pgdata"]->text(QAccessible::Name), "shop_pgdata, 1.2 GB, In use");
    overview.diskMap()->setFocus();
    EXPECT_EQ(map->focusChild()->text(QAccessible::Name), overview.diskMap()->focusedText());
    press(tiles["shop_pgdata"]);
    EXPECT_EQ(static_cast<VolumesTab*>(root.tabView(RootView::Tab::volumes))->selection(), QSet<QString>{"shop_pgdata"});
    press(tabs->child(0));
    press(tiles["ml-lab-trainer:latest"]);
    auto& images = static_cast<ImagesTab&>(*root.tabView(RootView::Tab::images));
    EXPECT_EQ(images.selection(), QSet<QString>{images.table().currentIndex().data(ImageTableModel::idRole).toString()});
    EXPECT_EQ(images.table().currentIndex().siblingAtColumn(1).data().toString(), "ml-lab-trainer");
    emit overview.itemChosen(DiskNodeKind::containers, rig.model->inventory().containers.first().id);
    auto& projects = static_cast<ProjectsTab&>(*root.tabView(RootView::Tab::projects));
    EXPECT_EQ(projects.list().currentIndex().data(ProjectListModel::projectRole), rig.model->inventory().containers.first().project);

    // The status bar reads out its text and tells when it changes.
    root.showStatus("Copied 3 log lines to clipboard");
    QAccessibleInterface* status = QAccessible::queryAccessibleInterface(root.statusBar());
    EXPECT_EQ(status->role(), QAccessible::StatusBar);
    EXPECT_EQ(status->text(QAccessible::Name), "Copied 3 log lines to clipboard");
    EXPECT_TRUE(heard.contains(Heard{root.statusBar(), QAccessible::NameChanged, -1}));
    QAccessible::installUpdateHandler(nullptr);
    QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(false);
}

}  // namespace
}  // namespace stowage::test
