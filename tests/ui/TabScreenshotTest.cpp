// Pictures of the Projects, Images and Volumes tabs and the README sheet in
// the real window over a realistic record-built inventory, written to
// $STOWAGE_TEST_BINARY_DIR/screenshots/ for people to look at. Each must come
// out non-blank.
#include "RecordInventory.h"

#include "ui/MainWindow.h"
#include "ui/ProjectListModel.h"
#include "ui/QtAlerts.h"
#include "ui/VolumesTab.h"
#include "ui/ProjectCardList.h"
#include "ui/ProjectsTab.h"
#include "ui/ReadmeSheet.h"
#include "ui/RootView.h"
#include "ui/StowageApp.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QListView>
#include <QMessageBox>
#include <QPainter>
#include <QTest>
#include <QTemporaryDir>

namespace stowage::test {
namespace {

QString screenshotPath(const QString& name)
{
    const QString dir = QDir(qEnvironmentVariable("STOWAGE_TEST_BINARY_DIR", QDir::tempPath())).filePath("screenshots");
    QDir().mkpath(dir);
    return QDir(dir).filePath(name + QStringLiteral(".png"));
}

void shoot(QWidget& widget, const QString& name)
{
    drainEvents(std::chrono::milliseconds(150));
    const QImage image = widget.grab().toImage();
    ASSERT_FALSE(image.isNull());
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 5)
        for (int x = 0; x < image.width(); x += 5)
            colours.insert(image.pixel(x, y));
    EXPECT_GT(colours.size(), 20) << name.toStdString() << " looks blank";
    EXPECT_TRUE(image.save(screenshotPath(name)));
}

const char* const readmeText = R"(# Shop

The shop's storefront, worker and database, run with **docker compose**.

## Setup
- Copy `.env.example` to `.env` and set the *database password*.
- Run `docker compose up -d`, then open [the storefront](http://localhost:8080).
* Logs: `docker compose logs -f web`

---

### Development
```sh
make dev
  # rebuilds on change
make test
```
#### Notes
Raw <b>HTML</b> is shown as text, and [unsafe links](javascript:alert(1)) are not links.
)";

// Waits for the notice over `window` and saves both; the notice is a window of
// its own, drawn here over the window where it opens. Closes the notice.
void shootNotice(QWidget& window, const QString& name)
{
    QMessageBox* notice = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        notice = window.findChild<QMessageBox*>();
        return notice && notice->isVisible();
    }));
    drainEvents(std::chrono::milliseconds(150));
    QImage picture = window.grab().toImage();
    const QImage box = notice->grab().toImage();
    QPainter(&picture).drawImage(QPoint((picture.width() - box.width()) / 2, 90), box);
    EXPECT_TRUE(picture.save(screenshotPath(name)));
    notice->close();
    drainEvents();
}

struct Window {
    explicit Window(const CachedState& state, HostPathFacts::Probes probes = {})
        : rig(state, std::move(probes)), window((StowageApp::applyLook(*qApp), *rig.model), rig.log, rig.desktop)
    {
        rig.alerts.defaultAnswer = false;
        window.resize(1280, 820);
    }
    void show(RootView::Tab tab)
    {
        window.rootView()->setTab(tab);
        window.show();
        drainEvents();
    }
    records::LoadedRig rig;
    MainWindow window;
};

TEST(TabScreenshotTest, ProjectsImagesVolumesAndReadme)
{
    QTemporaryDir projects;
    QDir(projects.path()).mkpath("shop");
    {
        QFile readme(QDir(projects.path()).filePath("shop/README.md"));
        ASSERT_TRUE(readme.open(QIODevice::WriteOnly));
        readme.write(readmeText);
    }
    Window w(records::realistic(projects.path()));
    ASSERT_TRUE(w.rig.loaded);

    w.show(RootView::Tab::projects);
    shoot(w.window, "tab-projects");
    auto* projectsView = qobject_cast<ProjectsTab*>(w.window.rootView()->tabView(RootView::Tab::projects));
    ASSERT_NE(projectsView, nullptr);
    projectsView->list().scrollToBottom();
    shoot(w.window, "tab-projects-end");  // shared badges and the standalone group
    projectsView->list().scrollToTop();
    w.rig.model->setSelectionMode(true);
    w.rig.model->toggleProjectSelection("shop");
    w.rig.model->toggleProjectSelection("blog");
    shoot(w.window, "tab-projects-selecting");
    w.rig.model->setSelectionMode(false);
    w.rig.model->setSelectedProjects({});
    w.rig.model->setProjectSearch("zzz");
    shoot(w.window, "tab-projects-no-match");
    w.rig.model->setProjectSearch("");

    w.show(RootView::Tab::images);
    shoot(w.window, "tab-images");
    w.show(RootView::Tab::volumes);
    shoot(w.window, "tab-volumes");

    auto* projectsTab = qobject_cast<ProjectsTab*>(w.window.rootView()->tabView(RootView::Tab::projects));
    ASSERT_NE(projectsTab, nullptr);
    w.show(RootView::Tab::projects);
    projectsTab->trigger("shop", CardAction::readme);
    ASSERT_NE(projectsTab->readmeSheet(), nullptr);
    ASSERT_TRUE(waitUntil([&] { return projectsTab->readmeSheet()->content() == QString::fromUtf8(readmeText); }));
    shoot(*projectsTab->readmeSheet(), "readme-sheet");
    projectsTab->readmeSheet()->close();
}

TEST(TabScreenshotTest, KeyboardFocusOnACardButtonAndTheRevealNoticeOnALinuxEngine)
{
    // On a Linux engine the volumes live in the data root, which only root may open.
    HostPathFacts::Probes probes;
    probes.path = [](const QString& path) {
        return path.startsWith("/var/lib/docker/")
            ? platform::PathFacts{platform::PathPresence::notPermitted, false, "Permission denied"}
            : platform::probePath(path);
    };
    QTemporaryDir projects;
    QDir(projects.path()).mkpath("shop");
    CachedState state = records::realistic(projects.path());
    state.dockerRoot = "/var/lib/docker";
    Window w(state, probes);
    QtAlerts alerts(&w.window);
    w.rig.model->setAlerts(&alerts);

    w.show(RootView::Tab::projects);
    w.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.window));
    auto* projectsTab = qobject_cast<ProjectsTab*>(w.window.rootView()->tabView(RootView::Tab::projects));
    projectsTab->list().setFocus(Qt::TabFocusReason);
    projectsTab->list().focusAction(projectsTab->cards().rowOf("shop"), CardAction::copyForClaude);
    shoot(w.window, "tab-projects-keyboard-focus");

    w.show(RootView::Tab::volumes);
    qobject_cast<VolumesTab*>(w.window.rootView()->tabView(RootView::Tab::volumes))->reveal({"shop_pgdata"});
    shootNotice(w.window, "tab-volumes-reveal-linux");

    // A desktop without a terminal: the shortcut says what it tried and why nothing opened.
    w.rig.desktop.failWith = "No terminal program was found (looked for x-terminal-emulator, gnome-terminal, "
                             "konsole, xfce4-terminal, kitty, alacritty, xterm). Install one, or set TERMINAL to its "
                             "name.";
    w.show(RootView::Tab::projects);
    projectsTab->trigger("shop", CardAction::terminal);
    shootNotice(w.window, "tab-projects-terminal-failed");
    w.rig.model->setAlerts(&w.rig.alerts);
}

TEST(TabScreenshotTest, IncompleteUsageData)
{
    Window w(records::realisticBuilder().incomplete().build());
    w.show(RootView::Tab::images);
    shoot(w.window, "tab-images-incomplete");
    w.show(RootView::Tab::volumes);
    shoot(w.window, "tab-volumes-incomplete");
}

}  // namespace
}  // namespace stowage::test
