// Renders the window over realistic inventories (complete, incomplete usage
// data, empty, failed, loaded from cache, busy) on the Overview, Build Cache
// and Logs tabs and writes PNG files to $STOWAGE_TEST_BINARY_DIR/screenshots/
// for people to look at. Each picture must come out non-blank.
#include "SampleInventory.h"
#include "UiTestSupport.h"

#include "model/StateCache.h"
#include "ui/MainWindow.h"
#include "ui/RootView.h"
#include "ui/Icons.h"
#include "ui/StowageApp.h"
#include "ui/Theme.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPixmap>

namespace stowage::test {
namespace {

QString screenshotDir()
{
    const QString base = qEnvironmentVariable("STOWAGE_TEST_BINARY_DIR", QDir::tempPath());
    const QString dir = QDir(base).filePath(QStringLiteral("screenshots"));
    QDir().mkpath(dir);
    return dir;
}

// Saves the window and checks that it shows more than a flat background.
void shoot(MainWindow& window, const QString& name)
{
    drainEvents(std::chrono::milliseconds(120));
    const QImage image = window.grab().toImage();
    ASSERT_FALSE(image.isNull());
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 7)
        for (int x = 0; x < image.width(); x += 7)
            colours.insert(image.pixel(x, y));
    EXPECT_GT(colours.size(), 20) << name.toStdString() << " looks blank";
    const QString path = QDir(screenshotDir()).filePath(name + QStringLiteral(".png"));
    EXPECT_TRUE(image.save(path)) << path.toStdString();
}

bool applyLook()
{
    StowageApp::applyLook(*qApp);
    return true;
}

struct Window {
    explicit Window(UiRig& rig) : window(*rig.model, rig.log, rig.desktop) { window.resize(1200, 780); }
    // The application's look comes before the window is built, as in StowageApp.
    bool looked = applyLook();
    void show(RootView::Tab tab)
    {
        window.rootView()->setTab(tab);
        window.show();
    }
    MainWindow window;
};

void shootTabs(UiRig& rig, Window& w, const QString& prefix)
{
    const std::pair<RootView::Tab, const char*> tabs[] = {
        {RootView::Tab::overview, "overview"}, {RootView::Tab::buildCache, "buildcache"}, {RootView::Tab::logs, "logs"}};
    for (const auto& [tab, name] : tabs) {
        w.show(tab);
        shoot(w.window, prefix + QLatin1Char('-') + QLatin1String(name));
    }
}

TEST(ScreenshotTest, CompleteInventory)
{
    UiRig rig(sample::rules());
    Window w(rig);
    w.show(RootView::Tab::overview);
    ASSERT_TRUE(waitUntil([&] { return !rig.model->containers().isEmpty() && !rig.model->isLoading(); }));
    rig.waitIdle();
    // A log with every level, as after a few sessions.
    rig.log.log(LogLevel::debug, QString::fromUtf8("—— app launched (previous session above) ——"));
    rig.log.log(LogLevel::info, "docker system df -v --format took 9.2s");
    rig.log.log(LogLevel::warn, "docker volume ls --filter dangling=true failed — cross-check unavailable");
    rig.log.log(LogLevel::error, "Refresh failed: Cannot connect to the Docker daemon. Is Docker running?");
    shootTabs(rig, w, QStringLiteral("complete"));
}

TEST(ScreenshotTest, IncompleteUsageData)
{
    UiRig rig(sample::incompleteRules());
    Window w(rig);
    w.show(RootView::Tab::overview);
    ASSERT_TRUE(waitUntil([&] { return !rig.model->containers().isEmpty() && !rig.model->isLoading(); }));
    rig.waitIdle();
    ASSERT_FALSE(rig.model->usageDataComplete());
    shootTabs(rig, w, QStringLiteral("incomplete"));
}

TEST(ScreenshotTest, EmptyEngineAndStoppedDaemon)
{
    {
        UiRig rig(sample::emptyEngineRules());
        Window w(rig);
        w.show(RootView::Tab::overview);
        ASSERT_TRUE(waitUntil([&] { return rig.model->statusText().startsWith("Loaded"); }));
        rig.waitIdle();
        shoot(w.window, QStringLiteral("empty-engine"));
    }
    // A stopped daemon, and a socket that refuses the user (with this desktop's help line).
    for (const auto& [rules, name] : {std::pair{sample::daemonDownRules(), "daemon-down"},
                                      std::pair{sample::socketRefusedRules(), "socket-refused"}}) {
        UiRig rig(rules);
        Window w(rig);
        w.show(RootView::Tab::overview);
        ASSERT_TRUE(waitUntil([&] { return rig.model->statusText().startsWith("Error"); }));
        rig.waitIdle();
        shoot(w.window, QString::fromLatin1(name));
    }
}

TEST(ScreenshotTest, LoadedFromCacheIsStale)
{
    UiRig source(sample::rules());
    ASSERT_TRUE(source.refreshAndWait());
    source.model->flushCache();

    UiRig rig(sample::daemonDownRules());
    ASSERT_TRUE(QFile::copy(source.cacheFile(), rig.cacheFile()));
    Window w(rig);
    w.show(RootView::Tab::overview);
    ASSERT_TRUE(waitUntil([&] { return rig.model->dataStale(); }));
    shoot(w.window, QStringLiteral("cached-stale"));
}

TEST(ScreenshotTest, BusyWithAStuckCommand)
{
    // The inspection hangs; one more command has been running for 75 seconds.
    UiRig rig(sample::rules({FakeRule{"inspect", sample::inspectOut(), "", 0, 30}}));
    rig.operations.registerOp(QUuid::createUuid(), "builder prune -af", QDateTime::currentDateTimeUtc().addSecs(-75),
                              [] {});
    Window w(rig);
    w.show(RootView::Tab::overview);
    ASSERT_TRUE(waitUntil([&] { return rig.model->statusText().startsWith("[2/2]"); }));
    drainEvents(std::chrono::milliseconds(1100));
    shoot(w.window, QStringLiteral("busy-overview"));
    w.show(RootView::Tab::logs);
    drainEvents(std::chrono::milliseconds(300));
    shoot(w.window, QStringLiteral("busy-logs"));
    rig.model->cancelCurrentOperation();
    rig.waitIdle();
}

TEST(ScreenshotTest, SymbolSheet)
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
        p.drawText(QRect(origin.x(), origin.y() + 48, cell, 20), Qt::AlignCenter,
                   symbols[i].section('.', 0, 1));
    }
    p.end();
    EXPECT_TRUE(sheet.save(QDir(screenshotDir()).filePath("symbols.png")));
}

}  // namespace
}  // namespace stowage::test
