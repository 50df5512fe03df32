// Times the Images, Volumes and Projects tabs on a large synthetic inventory
// (10,000 images, 10,000 volumes, 500 compose projects): rebuilding each tab
// after a model change, applying search keystrokes, filter and sort changes,
// and drawing the visible part. Runs offscreen; prints the median and the
// worst of several runs in milliseconds. Use a Release build.

#include "model/AppModel.h"
#include "docker/DockerCLI.h"
#include "docker/OperationCenter.h"
#include "log/ActivityLog.h"
#include "model/StateCache.h"
#include "ui/ImagesTab.h"
#include "ui/ProjectCardList.h"
#include "ui/ProjectsTab.h"
#include "ui/VolumesTab.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QListView>
#include <QScrollBar>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace stowage;

namespace {

constexpr int projectCount = 500;
constexpr int imageCount = 10'000;
constexpr int volumeCount = 10'000;
constexpr int runs = 7;

QString hexId(int kind, int i)
{
    return QStringLiteral("%1%2").arg(kind, 8, 16, QLatin1Char('0')).arg(i, 56, 16, QLatin1Char('0'));
}

// 500 projects of five containers (every third project stopped) and 250
// standalone containers. Images: five built per project (used), 2,500 pulled
// bases (a fifth used), the rest unused local builds and dangling images.
// Volumes: six per project (mounted), then labelled orphans, anonymous
// orphans and, every tenth unmounted one, volumes the engine disputes.
CachedState largeInventory()
{
    CachedState s;
    s.usageDataComplete = true;
    s.danglingKnown = true;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (int i = 0; i < imageCount; ++i) {
        SGImage image;
        image.id = QStringLiteral("sha256:") + hexId(1, i);
        if (i < projectCount * 5)
            image.repository = QStringLiteral("app%1-svc%2").arg(i / 5).arg(i % 5);
        else if (i < 5000)
            image.repository = QStringLiteral("library/base%1").arg(i);
        else if (i < 7500)
            image.repository = QStringLiteral("scratch%1-build").arg(i);
        else
            image.repository = QStringLiteral("<none>");
        image.tag = image.repository == QStringLiteral("<none>") ? QStringLiteral("<none>") : QStringLiteral("latest");
        image.sizeBytes = qint64(1 + (i * 7919) % 4000) * 1024 * 1024;
        image.size = SizeFormat::humanSize(image.sizeBytes).remove(QLatin1Char(' '));
        image.created = QStringLiteral("2 weeks ago");
        s.images << image;
    }
    int volume = 0;
    const auto addVolume = [&](const QString& name, const QString& project, bool dangling) {
        SGVolume v;
        v.name = name;
        v.driver = QStringLiteral("local");
        v.project = project;
        v.mountpoint = QStringLiteral("/var/lib/docker/volumes/") + name + QStringLiteral("/_data");
        s.volumes << v;
        s.volumeSizes.insert(name, qint64(1 + (volume * 104729) % 900) * 1024 * 1024);
        if (dangling)
            s.danglingVolumeNames << name;
        ++volume;
    };
    for (int p = 0; p < projectCount; ++p) {
        const QString project = QStringLiteral("app%1").arg(p);
        QStringList volumes;
        for (int v = 0; v < 6; ++v) {
            volumes << QStringLiteral("%1_data%2").arg(project).arg(v);
            addVolume(volumes.last(), project, false);
        }
        for (int c = 0; c < 5; ++c) {
            SGContainer container;
            container.id = hexId(2, p * 5 + c).left(12);
            container.name = QStringLiteral("%1-svc%2-1").arg(project).arg(c);
            container.project = project;
            container.image = QStringLiteral("app%1-svc%2").arg(p).arg(c);
            container.imageID = s.images[p * 5 + c].id;
            const bool running = p % 3 != 0;
            container.state = running ? QStringLiteral("running") : QStringLiteral("exited");
            container.status = running ? QStringLiteral("Up 3 hours") : QStringLiteral("Exited (0) 2 days ago");
            container.workingDir = QStringLiteral("/nonexistent/src/") + project;
            container.mounts = {volumes[c], volumes[5]};
            container.startedAt = now.addSecs(-60 * (p + 1));
            s.containers << container;
            s.usedImageIDs << container.imageID;
        }
    }
    for (int i = 0; i < 250; ++i) {
        SGContainer container;
        container.id = hexId(3, i).left(12);
        container.name = QStringLiteral("tool-%1").arg(i);
        container.image = s.images[2500 + i * 5].repository;
        container.imageID = s.images[2500 + i * 5].id;
        container.state = QStringLiteral("exited");
        container.status = QStringLiteral("Exited (0) 1 day ago");
        s.containers << container;
        s.usedImageIDs << container.imageID;
    }
    for (int i = 0; volume < volumeCount; ++i) {
        const bool disputed = i % 10 == 9;
        if (i % 2 == 0)
            addVolume(QStringLiteral("old%1_data").arg(i), QStringLiteral("old%1").arg(i), !disputed);
        else
            addVolume(hexId(4, i), QString(), !disputed);
    }
    return s;
}

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

    QTemporaryDir dir;
    const QString cacheFile = dir.filePath(QStringLiteral("state.json"));
    {
        QFile file(cacheFile);
        file.open(QIODevice::WriteOnly);
        file.write(StateCache::encode(largeInventory()));
    }
    OperationCenter operations;
    ActivityLog log{std::nullopt};
    DockerCLI::Config config;
    config.fixedCandidates = {};
    config.searchPath = false;
    config.operations = &operations;
    config.log = &log;
    DockerCLI cli(config);
    AppModel::Options options;
    options.cacheFile = std::optional<QString>(cacheFile);
    AppModel model(cli, options);
    if (!model.loadCache()) {
        std::fprintf(stderr, "could not load the synthetic inventory\n");
        return 1;
    }
    std::printf("%d images, %d volumes, %d containers, %d projects\n\n", int(model.images().size()),
                int(model.volumes().size()), int(model.containers().size()), int(model.projects().size()));
    std::printf("%-58s %9s %9s\n", "step", "median ms", "worst ms");

    ImagesTab images(model);
    images.resize(1280, 800);
    images.show();
    print(measure("Images: rebuild the table after a model change", [&] { images.render(); }));
    print(measure("Images: rebuild with 2,000 rows selected", [&] { images.render(); }, [&] {
        QSet<QString> ids;
        for (int i = 0; i < 2000; ++i)
            ids << model.images()[i * 5].id;
        images.setSelection(ids);
    }));
    print(measure("Images: draw the visible rows", [&] { images.grab(); }));
    images.hide();

    VolumesTab volumes(model);
    volumes.resize(1280, 800);
    volumes.show();
    print(measure("Volumes: rebuild catalog, sections and table", [&] { volumes.render(); }));
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
    print(measure("Volumes: rebuild with 2,000 rows selected", [&] { volumes.render(); }, [&] {
        QSet<QString> names;
        for (int i = 0; i < 2000; ++i)
            names << model.volumes()[i * 5].name;
        volumes.setSelection(names);
    }));
    print(measure("Volumes: draw the visible rows", [&] { volumes.grab(); }));
    volumes.hide();

    ProjectsTab projects(model);
    projects.resize(1280, 800);
    projects.show();
    QCoreApplication::processEvents();
    print(measure("Projects: rebuild 500 cards after a model change", [&] {
        projects.render();
        projects.list().doItemsLayout();
    }));
    Timing keys{"Projects: one search keystroke (10 in a row, each)", {}};
    for (int run = 0; run < runs; ++run)
        for (const QString& text : keystrokes)
            keys.ms.push_back(measureOnce([&] {
                model.setProjectSearch(text);
                projects.list().doItemsLayout();
            }));
    std::sort(keys.ms.begin(), keys.ms.end());
    print(keys);
    print(measure("Projects: change the sort key", [&] {
        model.setProjectSort(model.projectSort() == ProjectSort::name ? ProjectSort::size : ProjectSort::name);
        projects.list().doItemsLayout();
    }));
    print(measure("Projects: draw the visible cards", [&] { projects.grab(); }));
    print(measure("Projects: scroll a screen down and draw", [&] { projects.list().viewport()->grab(); }, [&] {
        auto* bar = projects.list().verticalScrollBar();
        bar->setValue((bar->value() + 700) % std::max(1, bar->maximum()));
    }));
    return 0;
}
