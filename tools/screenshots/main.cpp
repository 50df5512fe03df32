// Renders the window offscreen in the states people ask about (a realistic
// machine, incomplete usage data, an empty engine, a stopped or refusing
// daemon, a refresh that failed over cached data, notices of failed desktop
// shortcuts, the README dialog, the Images legend, a week of growth, the
// symbol set) and writes
// one PNG per picture to the folder named on the command line.
//
//     stowage_screenshots <output folder>
//
// The program is its own docker: started with STOWAGE_SCREENSHOTS_DOCKER set,
// it answers the few commands a refresh runs the way that kind of engine does.
#include "ScreenshotInventory.h"

#include "cache/StateCache.h"
#include "docker/DockerRunner.h"
#include "docker/OperationCenter.h"
#include "history/History.h"
#include "history/HistoryStore.h"
#include "log/ActivityLog.h"
#include "model/AppModel.h"
#include "platform/Desktop.h"
#include "platform/DesktopSupport.h"
#include "ui/operations/QtAlerts.h"
#include "ui/overview/GrowthView.h"
#include "ui/overview/OverviewTab.h"
#include "ui/projects/ProjectCardLayout.h"
#include "ui/projects/ProjectListModel.h"
#include "ui/projects/ProjectsTab.h"
#include "ui/readme/ReadmeDialog.h"
#include "ui/shell/MainWindow.h"
#include "ui/shell/RootView.h"
#include "text/Translations.h"
#include "ui/shell/StowageApp.h"
#include "ui/style/Icons.h"
#include "ui/style/Theme.h"
#include "ui/volumes/VolumesTab.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace stowage::screenshots {
namespace {

const char* const dockerModeVariable = "STOWAGE_SCREENSHOTS_DOCKER";

// --- the program as docker --------------------------------------------------------------------

int actAsDocker(const QString& mode, const QStringList& args)
{
    const auto fail = [](const char* text) {
        std::fputs(text, stderr);
        return 1;
    };
    if (mode == u"down")
        return fail("Cannot connect to the Docker daemon at unix:///var/run/docker.sock. "
                    "Is the docker daemon running?\n");
    if (mode == u"refused")
        return fail("permission denied while trying to connect to the Docker daemon socket at "
                    "unix:///var/run/docker.sock: Get \"http://%2Fvar%2Frun%2Fdocker.sock/v1.24/containers/json\": "
                    "dial unix /var/run/docker.sock: connect: permission denied\n");
    // An engine with nothing on it.
    const QString line = args.join(u' ');
    if (line.startsWith(u"system df -v"))
        std::puts(R"({"Volumes":[]})");
    else if (line.startsWith(u"system df"))
        std::puts(R"x({"Type":"Build Cache","Size":"0B","Reclaimable":"0B (0%)"})x");
    else if (line.startsWith(u"info"))
        std::puts("/var/lib/docker");
    return 0;
}

// --- a window over a model ----------------------------------------------------------------------

bool waitUntil(const std::function<bool()>& condition, int limitMs = 20000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > limitMs)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

void settle(int ms = 150)
{
    waitUntil([] { return false; }, ms);
}

// A desktop without a file manager, terminal or browser: every shortcut fails.
class FailingDesktop : public platform::Desktop {
public:
    void copyText(const QString&) override {}
    void revealInFileManager(const QString& path, platform::DesktopFailed failed) override
    {
        platform::report(failed, platform::folderNotShown(path, reason("file manager", "xdg-open")));
    }
    void openTerminalAt(const QString& path, platform::DesktopFailed failed) override
    {
        platform::report(failed, platform::terminalNotOpened(path, reason("terminal", "x-terminal-emulator")));
    }
    void openUrl(const QUrl& url, platform::DesktopFailed failed) override
    {
        platform::report(failed, platform::linkNotOpened(url, reason("browser", "xdg-open")));
    }

private:
    static QString reason(const char* what, const char* program)
    {
        return QStringLiteral("No %1 was found (looked for %2).").arg(QLatin1String(what), QLatin1String(program));
    }
};

struct Scene {
    // `dockerMode` is how the program answers as docker; `state` is loaded as the cached inventory.
    explicit Scene(const QString& dockerMode, const std::optional<CachedState>& state = std::nullopt,
                   HostPathFacts::Probes probes = {}, History* history = nullptr)
    {
        DockerRunner::Config config;
        config.operations = &operations;
        config.log = &log;
        config.fixedCandidates = {QCoreApplication::applicationFilePath()};
        config.searchPath = false;
        config.loginShell = QString();
        Environment env;
        const auto system = QProcessEnvironment::systemEnvironment();
        for (const QString& key : system.keys())
            env[key] = system.value(key);
        env[QString::fromLatin1(dockerModeVariable)] = dockerMode;
        config.baseEnvironment = env;
        cli = std::make_unique<DockerRunner>(config);
        AppModel::Options options;
        options.cacheFile = std::optional<QString>(cacheDir.filePath("state.cache"));
        options.desktop = &desktop;
        options.pathProbes = std::move(probes);
        options.history = history;
        model = std::make_unique<AppModel>(*cli, options);
        if (state) {
            QFile file(cacheDir.filePath("state.cache"));
            if (file.open(QIODevice::WriteOnly))
                file.write(StateCache::encode(*state));
            file.close();
            // Decoded off the UI thread as at a real start; the pictures wait for it.
            bool loaded = false;
            model->loadCacheInBackground([&loaded](AppModel::CacheLoad) { loaded = true; });
            while (!loaded)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        }
        window = std::make_unique<MainWindow>(*model, log, desktop);
        alerts = std::make_unique<QtAlerts>(window.get());
        model->setAlerts(alerts.get());
        window->resize(1280, 820);
    }
    ~Scene() { model->setAlerts(nullptr); }

    void show(RootView::Tab tab)
    {
        window->rootView()->setTab(tab);
        window->show();
        settle();
    }
    template <typename Tab>
    Tab* tab(RootView::Tab which)
    {
        return qobject_cast<Tab*>(window->rootView()->tabView(which));
    }

    OperationCenter operations;
    QTemporaryDir logDir;
    ActivityLog log{std::optional<QString>(logDir.path())};
    QTemporaryDir cacheDir;
    FailingDesktop desktop;
    std::unique_ptr<DockerRunner> cli;
    std::unique_ptr<AppModel> model;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<QtAlerts> alerts;
};

// --- pictures -------------------------------------------------------------------------------------

class Camera {
public:
    explicit Camera(QString folder) : folder_(std::move(folder)) {}

    void save(const QImage& image, const QString& name)
    {
        const QString path = QDir(folder_).filePath(name + QStringLiteral(".png"));
        if (image.isNull() || !image.save(path)) {
            std::fprintf(stderr, "could not write %s\n", qPrintable(path));
            failures_++;
        }
    }
    void shoot(QWidget& widget, const QString& name)
    {
        settle();
        save(widget.grab().toImage(), name);
    }
    // The notice that opened over `window`, drawn where it opens; closes it.
    void shootNotice(QWidget& window, const QString& name)
    {
        QMessageBox* notice = nullptr;
        if (!waitUntil([&] { return (notice = window.findChild<QMessageBox*>()) && notice->isVisible(); })) {
            std::fprintf(stderr, "no notice for %s\n", qPrintable(name));
            failures_++;
            return;
        }
        settle();
        QImage picture = window.grab().toImage();
        const QImage box = notice->grab().toImage();
        QPainter(&picture).drawImage(QPoint((picture.width() - box.width()) / 2, 90), box);
        save(picture, name);
        notice->close();
        settle(50);
    }
    void fail(const char* what)
    {
        std::fprintf(stderr, "%s\n", what);
        failures_++;
    }
    int failures() const { return failures_; }

private:
    QString folder_;
    int failures_ = 0;
};

const char* const readmeText = R"(# Shop

The shop's storefront, worker and database, run with **docker compose**.

## Setup
- Copy `.env.example` to `.env` and set the *database password*.
- Run `docker compose up -d`, then open [the storefront](http://localhost:8080).

---

### Development
```sh
make dev
make test
```
Raw <b>HTML</b> is shown as text, and [unsafe links](javascript:alert(1)) are not links.
)";

void realisticMachine(Camera& camera)
{
    QTemporaryDir projects;
    QDir(projects.path()).mkpath("shop");
    QFile readme(QDir(projects.path()).filePath("shop/README.md"));
    if (readme.open(QIODevice::WriteOnly))
        readme.write(readmeText);
    readme.close();
    Scene scene(QStringLiteral("down"), realisticState(projects.path()));
    scene.log.log(LogLevel::info, "docker system df -v --format took 9.2s");
    scene.log.log(LogLevel::warn, "docker volume ls --filter dangling=true failed — cross-check unavailable");
    const std::pair<RootView::Tab, const char*> tabs[] = {
        {RootView::Tab::overview, "overview"}, {RootView::Tab::projects, "projects"},
        {RootView::Tab::images, "images"},     {RootView::Tab::volumes, "volumes"},
        {RootView::Tab::buildCache, "buildcache"}, {RootView::Tab::logs, "logs"}};
    for (const auto& [tab, name] : tabs) {
        scene.show(tab);
        camera.shoot(*scene.window, QString::fromLatin1(name));
    }

    // The Images legend: the tab's header that holds it.
    scene.show(RootView::Tab::images);
    QRect legend;
    for (QLabel* label : scene.window->findChildren<QLabel*>())
        if (label->isVisible() && label->text().contains(u"Safe to remove")) {
            const QWidget* header = label->parentWidget()->parentWidget();
            legend = QRect(header->mapTo(scene.window.get(), QPoint()), header->size());
        }
    if (legend.isEmpty())
        camera.fail("no legend on the Images tab");
    else
        camera.save(scene.window->grab(legend.adjusted(-12, -8, 12, 8)).toImage(), "images-legend");

    auto* projectsTab = scene.tab<ProjectsTab>(RootView::Tab::projects);
    scene.show(RootView::Tab::projects);
    ProjectListModel& cards = projectsTab->cards();
    cards.setSelecting(true);
    cards.toggleSelected("shop");
    cards.toggleSelected("blog");
    camera.shoot(*scene.window, "projects-selecting");
    cards.setSelecting(false);
    cards.setSelected({});

    projectsTab->trigger("shop", CardAction::readme);
    if (!projectsTab->readmeDialog()
        || !waitUntil([&] { return projectsTab->readmeDialog()->content() == QString::fromUtf8(readmeText); })) {
        camera.fail("the README dialog did not open");
    } else {
        camera.shoot(*projectsTab->readmeDialog(), "readme-sheet");
        projectsTab->readmeDialog()->close();
    }

    // Shortcuts on a desktop that has no file manager and no terminal.
    projectsTab->trigger("shop", CardAction::fileManager);
    camera.shootNotice(*scene.window, "notice-folder-not-shown");
    projectsTab->trigger("shop", CardAction::terminal);
    camera.shootNotice(*scene.window, "notice-terminal-not-opened");

    // A refresh that fails keeps the cached inventory, marked as such.
    scene.model->refresh();
    if (!waitUntil([&] { return !scene.model->isLoading(); }))
        camera.fail("the refresh did not end");
    scene.show(RootView::Tab::overview);
    camera.shoot(*scene.window, "cached-refresh-failed");
}

void linuxEngineReveal(Camera& camera)
{
    // On a Linux engine the volumes live in the data root, which only root may open.
    HostPathFacts::Probes probes;
    probes.path = [](const QString& path) {
        return path.startsWith(u"/var/lib/docker/")
            ? platform::PathFacts{platform::PathPresence::notPermitted, false, "Permission denied"}
            : platform::probePath(path);
    };
    Scene scene(QStringLiteral("down"), realisticState(QStringLiteral("/home/dev/src")), probes);
    scene.show(RootView::Tab::volumes);
    scene.tab<VolumesTab>(RootView::Tab::volumes)->reveal({"shop_pgdata"});
    camera.shootNotice(*scene.window, "notice-volume-reveal-linux");
}

void incompleteUsage(Camera& camera)
{
    Scene scene(QStringLiteral("down"), realisticState(QStringLiteral("/home/dev/src"), false));
    for (const auto& [tab, name] : {std::pair{RootView::Tab::overview, "incomplete-overview"},
                                    std::pair{RootView::Tab::images, "incomplete-images"},
                                    std::pair{RootView::Tab::volumes, "incomplete-volumes"}}) {
        scene.show(tab);
        camera.shoot(*scene.window, QString::fromLatin1(name));
    }
}

// No cache: the first display refreshes against the engine the program plays.
void freshStart(Camera& camera, const QString& dockerMode, const QString& name)
{
    Scene scene(dockerMode);
    scene.show(RootView::Tab::overview);
    if (!waitUntil([&] { return !scene.model->isLoading() && scene.model->statusText() != u"Ready"; }))
        camera.fail("the first refresh did not end");
    camera.shoot(*scene.window, name);
}

// A week of refreshes every six hours: the images and volumes grow, and a Safe
// Clean All three days ago freed the build cache and two unused images.
void growthHistory(Camera& camera)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("history.db"));
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QDateTime cleaned = now.addDays(-3).addSecs(-1800);
    if (auto store = HistoryStore::open(path, nullptr)) {
        for (int hoursAgo = 7 * 24; hoursAgo >= 0; hoursAgo -= 6) {
            const double days = (7 * 24 - hoursAgo) / 24.0;
            const bool after = now.addSecs(-3600 * hoursAgo) > cleaned;
            const auto gb = [](double value) { return qint64(value * 1e9); };
            HistorySnapshot s;
            s.engine = History::engineName();
            s.takenAt = now.addSecs(-3600 * hoursAgo);
            s.totals[int(HistoryKind::images)] = {gb(9.0 + 0.3 * days - (after ? 0.8 : 0)), 16};
            s.totals[int(HistoryKind::volumes)] = {gb(2.4 + 0.2 * days), 15};
            s.totals[int(HistoryKind::buildCache)] = {gb(after ? 0.2 + 0.1 * days - 0.4 : 2.1 + 0.2 * days), 40};
            s.projects = {{"shop", {HistoryAmount{gb(1.5), 4}, HistoryAmount{gb(1.0 + 0.12 * days), 3}}},
                          {"analytics", {HistoryAmount{gb(3.6 + 0.25 * days), 3}, HistoryAmount{gb(0.6), 2}}},
                          {"blog", {HistoryAmount{gb(0.8), 3}, HistoryAmount{gb(0.9 + 0.01 * days), 2}}}};
            s.namedVolumes = {{"shop_pgdata", "shop", gb(0.4 + 0.12 * days)},
                              {"analytics_data", "analytics", gb(0.5)},
                              {"blog_uploads", "blog", gb(0.6 + 0.01 * days)}};
            store->record(s, nullptr);
        }
        store->recordRemoval({History::engineName(), cleaned, QStringLiteral("freed by Safe Clean All"), qint64(3.9e9)},
                             nullptr);
    }
    History history(path, [&](const QString&) { camera.fail("the scripted history could not be opened"); });
    Scene scene(QStringLiteral("down"), realisticState(QStringLiteral("/home/dev/src")), {}, &history);
    scene.show(RootView::Tab::overview);
    GrowthView& growth = *scene.tab<OverviewTab>(RootView::Tab::overview)->growth();
    if (!waitUntil([&] { return !growth.readPending() && growth.projectList().count() > 0; }))
        return camera.fail("the growth chart was not drawn");
    growth.projectList().item(0)->setCheckState(Qt::Checked);  // analytics, the one that grew most
    waitUntil([&] { return !growth.readPending(); });
    camera.shoot(growth, QStringLiteral("growth"));
}

void symbolSheet(Camera& camera)
{
    // Every symbol at two sizes, as drawn where the icon theme has none.
    const QStringList symbols = {"exclamationmark.triangle", "exclamationmark.triangle.fill",
                                 "exclamationmark.circle.fill", "shippingbox", "shippingbox.fill", "arrow.clockwise",
                                 "stop.circle", "stop.circle.fill", "bolt.horizontal.circle", "hourglass",
                                 "photo.stack", "externaldrive", "externaldrive.badge.minus", "sparkles", "trash",
                                 "trash.fill", "doc.on.doc", "doc.on.clipboard", "doc.richtext", "folder",
                                 "magnifyingglass", "terminal", "checkmark.circle", "checkmark.circle.fill",
                                 "xmark.circle.fill", "circle", "circle.fill", "arrow.up", "arrow.down", "unknown"};
    const int cell = 90;
    QImage sheet(cell * 10, cell * 3, QImage::Format_ARGB32);
    sheet.fill(Theme::bg());
    QPainter p(&sheet);
    for (int i = 0; i < symbols.size(); ++i) {
        const QPoint origin((i % 10) * cell, (i / 10) * cell);
        const QIcon icon = Icons::symbol(symbols[i], i % 2 ? Theme::accent() : Theme::text());
        icon.paint(&p, QRect(origin + QPoint(10, 16), QSize(16, 16)));
        icon.paint(&p, QRect(origin + QPoint(32, 4), QSize(40, 40)));
        p.setPen(Theme::textDim());
        p.setFont(Theme::font(7));
        p.drawText(QRect(origin.x(), origin.y() + 48, cell, 20), Qt::AlignCenter, symbols[i].section('.', 0, 1));
    }
    p.end();
    camera.save(sheet, "symbols");
}

}  // namespace
}  // namespace stowage::screenshots

int main(int argc, char** argv)
{
    using namespace stowage::screenshots;
    if (qEnvironmentVariableIsSet(dockerModeVariable)) {
        QStringList args;
        for (int i = 1; i < argc; ++i)
            args << QString::fromLocal8Bit(argv[i]);
        return actAsDocker(qEnvironmentVariable(dockerModeVariable), args);
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    stowage::StowageApp::applyLook(app);
    stowage::Translations::installEnglish();
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    Camera camera(folder);
    realisticMachine(camera);
    linuxEngineReveal(camera);
    incompleteUsage(camera);
    freshStart(camera, QStringLiteral("empty"), QStringLiteral("empty-engine"));
    freshStart(camera, QStringLiteral("down"), QStringLiteral("daemon-down"));
    freshStart(camera, QStringLiteral("refused"), QStringLiteral("socket-refused"));
    growthHistory(camera);
    symbolSheet(camera);
    return camera.failures() == 0 ? 0 : 1;
}
