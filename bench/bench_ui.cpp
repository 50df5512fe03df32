// The window on a large synthetic inventory (10,000 images, 10,000 volumes,
// 500 compose projects), offscreen, in three parts:
//   1. each tab's steps: rebuilding after a model change, search keystrokes,
//      filter and sort changes, drawing the visible part;
//   2. the longest stall of the UI thread while a whole refresh lands, against
//      the scripted fake docker (--fake-docker PATH, tests/fake-docker of a
//      test build), with the visible tab redrawn as the data arrives: a 1 ms
//      timer measures how long the event loop goes without running it;
//   3. the time from process start to the first window painted with data from
//      the state cache: this program started again as the application starts
//      (a child process), over a data folder holding the cache and a full log.
// Prints the median and the worst of several runs in milliseconds. --small runs every step
// once on 10 projects (a check that the benchmark works); a model that did not load the whole
// synthetic inventory ends the benchmark with a non-zero exit.

#include "FakeDockerScript.h"
#include "InventoryCheck.h"
#include "LargeInventory.h"

#include "cache/StateCache.h"
#include "docker/DockerRunner.h"
#include "docker/OperationCenter.h"
#include "log/ActivityLog.h"
#include "model/AppModel.h"
#include "ui/images/ImagesTab.h"
#include "ui/projects/ProjectCardList.h"
#include "ui/projects/ProjectListModel.h"
#include "ui/projects/ProjectsTab.h"
#include "ui/volumes/VolumesTab.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QListView>
#include <QScrollBar>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

using namespace stowage;
using bench::largeInventory;

namespace {

int runs = 7;

struct Timing {
    const char* what;
    std::vector<double> ms;
};

double measureOnce(const std::function<void()>& step)
{
    QElapsedTimer timer;
    timer.start();
    step();
    return double(timer.nsecsElapsed()) / 1e6;
}

Timing measure(const char* what, const std::function<void()>& step, const std::function<void()>& before = {})
{
    Timing t{what, {}};
    for (int run = 0; run < runs; ++run) {
        if (before)
            before();
        t.ms.push_back(measureOnce(step));
    }
    std::sort(t.ms.begin(), t.ms.end());
    return t;
}

// A tab over a large inventory works its rows out off the UI thread: runs
// events until they are shown.
template <typename Tab>
void settle(const Tab& tab)
{
    while (tab.renderPending())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

void print(const Timing& t)
{
    std::printf("%-58s %9.1f %9.1f\n", t.what, t.ms[t.ms.size() / 2], t.ms.back());
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool small = app.arguments().contains("--small");
    if (small)
        runs = 1;
    const CachedState inventory = largeInventory(small ? bench::smallProjectCount : bench::fullProjectCount);

    QTemporaryDir dir;
    const QString cacheFile = dir.filePath(QStringLiteral("state.cache"));
    if (!bench::writeStateCache(cacheFile, inventory)) {
        std::fprintf(stderr, "could not write the synthetic inventory\n");
        return 3;
    }
    OperationCenter operations;
    ActivityLog log{std::nullopt};
    DockerRunner cli(bench::fakeDockerRunnerConfig({}, {}, operations, log));
    AppModel::Options options;
    options.cacheFile = std::optional<QString>(cacheFile);
    AppModel model(cli, options);
    // The window's own way in: decoded off the UI thread, applied here.
    std::optional<AppModel::CacheLoad> load;
    model.loadCacheInBackground([&load](AppModel::CacheLoad result) { load = result; });
    while (!load)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    if (*load != AppModel::CacheLoad::loaded) {
        std::fprintf(stderr, "could not load the synthetic inventory\n");
        return 3;
    }
    bench::requireLoaded("bench_ui", bench::countsOf(inventory.containers, inventory.images, inventory.volumes),
                         bench::countsOf(model.inventory().containers, model.inventory().images, model.inventory().volumes, model.index().projects));
    std::printf("%d images, %d volumes, %d containers, %d projects\n\n", int(model.inventory().images.size()),
                int(model.inventory().volumes.size()), int(model.inventory().containers.size()), int(model.index().projects.size()));
    std::printf("%-58s %9s %9s\n", "step", "median ms", "worst ms");

    ImagesTab images(model);
    images.resize(1280, 800);
    images.show();
    settle(images);
    print(measure("Images: rebuild the table after a model change", [&] {
        images.render();
        settle(images);
    }));
    print(measure("Images: rebuild with a fifth of the rows selected", [&] {
        images.render();
        settle(images);
    }, [&] {
        QSet<QString> ids;
        for (qsizetype i = 0; i < model.inventory().images.size() / 5; ++i)
            ids << model.inventory().images[i * 5].id;
        images.setSelection(ids);
    }));
    print(measure("Images: draw the visible rows", [&] { images.grab(); }));
    images.hide();

    VolumesTab volumes(model);
    volumes.resize(1280, 800);
    volumes.show();
    settle(volumes);
    print(measure("Volumes: rebuild catalog, sections and table", [&] {
        volumes.render();
        settle(volumes);
    }));
    const QStringList keystrokes = {"a", "ap", "app", "app4", "app42", "app4", "app", "ap", "a", ""};
    Timing search{"Volumes: one search keystroke (10 in a row, each)", {}};
    for (int run = 0; run < runs; ++run)
        for (const QString& text : keystrokes)
            search.ms.push_back(measureOnce([&] { volumes.setSearch(text); }));
    std::sort(search.ms.begin(), search.ms.end());
    print(search);
    print(measure("Volumes: switch the filter to Orphans and back", [&] {
        volumes.setFilter(VolumeFilter::orphans);
        volumes.setFilter(VolumeFilter::all);
    }));
    print(measure("Volumes: rebuild with a fifth of the rows selected", [&] {
        volumes.render();
        settle(volumes);
    }, [&] {
        QSet<QString> names;
        for (qsizetype i = 0; i < model.inventory().volumes.size() / 5; ++i)
            names << model.inventory().volumes[i * 5].name;
        volumes.setSelection(names);
    }));
    print(measure("Volumes: draw the visible rows", [&] { volumes.grab(); }));
    volumes.hide();

    ProjectsTab projects(model);
    projects.resize(1280, 800);
    projects.show();
    QCoreApplication::processEvents();
    settle(projects);
    print(measure("Projects: rebuild 500 cards after a model change", [&] {
        projects.render();
        settle(projects);
        projects.list().doItemsLayout();
    }));
    Timing keys{"Projects: one search keystroke (10 in a row, each)", {}};
    for (int run = 0; run < runs; ++run)
        for (const QString& text : keystrokes)
            keys.ms.push_back(measureOnce([&] {
                projects.cards().setSearch(text);
                projects.list().doItemsLayout();
            }));
    std::sort(keys.ms.begin(), keys.ms.end());
    print(keys);
    print(measure("Projects: change the sort key", [&] {
        projects.cards().setSort(projects.cards().view().sort == ProjectSort::name ? ProjectSort::size : ProjectSort::name);
        projects.list().doItemsLayout();
    }));
    print(measure("Projects: draw the visible cards", [&] { projects.grab(); }));
    print(measure("Projects: scroll a screen down and draw", [&] { projects.list().viewport()->grab(); }, [&] {
        auto* bar = projects.list().verticalScrollBar();
        bar->setValue((bar->value() + 700) % std::max(1, bar->maximum()));
    }));
    return 0;
}
