// The desktop layer's rules (which links leave, which terminal starts, what a failure
// says) and a real launch of a fake terminal that gets the folder untouched by any shell.

#include "platform/Desktop.h"
#include "platform/DesktopSupport.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace stowage::platform {
namespace {

using test::ScopedEnv;

TEST(TerminalChoice, TheFirstCandidateFoundOnPathIsStarted)
{
    struct Case { const char* scenario; QString terminalVariable; QStringList installed; std::optional<QString> expected; };
    const QList<Case> cases = {
        {"common terminals in order", "", {"xterm", "konsole"}, "/usr/bin/konsole"},
        {"the system's choice before common ones", "", {"xterm", "x-terminal-emulator"}, "/usr/bin/x-terminal-emulator"},
        {"$TERMINAL wins", "kitty", {"kitty", "x-terminal-emulator"}, "/usr/bin/kitty"},
        // Not split into words: kitty would come first if it were.
        {"$TERMINAL is a program, not a command line", "kitty --single-instance", {"kitty", "konsole"},
         "/usr/bin/konsole"},
        {"$TERMINAL not installed", "wezterm", {"xterm"}, "/usr/bin/xterm"},
        {"nothing installed", "wezterm", {}, std::nullopt},
    };
    EXPECT_EQ(terminalCandidates(" foot "), QStringList{"foot"} + terminalCandidates(""));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scenario);
        const auto find = [&](const QString& name) {
            return c.installed.contains(name) ? "/usr/bin/" + name : QString();
        };
        EXPECT_EQ(chooseTerminal(terminalCandidates(c.terminalVariable), find), c.expected);
    }
}

// Records the links that reach the system's URL opener.
class LinkRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

TEST(DesktopLinks, OnlyWebAndMailLinksAreOpened)
{
    const QStringList schemes = {"http", "https", "mailto", "file", "ftp", "javascript", "smb", "x-scheme", "vscode"};
    LinkRecorder recorder;
    for (const QString& scheme : schemes)
        QDesktopServices::setUrlHandler(scheme, &recorder, "open");

    const QStringList links = {"https://example.com/a?b=c", "HTTP://example.com", "mailto:someone@example.com",
                               "file:///etc/passwd", "ftp://example.com", "javascript:alert(1)",
                               "smb://host/share", "x-scheme:run", "vscode://file/tmp"};
    QStringList refused;
    for (const QString& link : links)
        Desktop::system().openUrl(QUrl(link), [&](const DesktopFailure& failure) {
            EXPECT_EQ(failure, refusedLink(QUrl(link)));
            refused << failure.target;
        });
    QDesktopServices::openUrl(QUrl("file:///sanity"));  // the recorder does receive other schemes

    for (const QString& scheme : schemes)
        QDesktopServices::unsetUrlHandler(scheme);
    QStringList opened;
    for (const QUrl& url : recorder.opened)
        opened << url.toString();
    EXPECT_EQ(opened, (QStringList{"https://example.com/a?b=c", "http://example.com", "mailto:someone@example.com",
                                   "file:///sanity"}));
    EXPECT_EQ(refused, (QStringList{"file:///etc/passwd", "ftp://example.com", "javascript:alert(1)",
                                    "smb://host/share", "x-scheme:run", "vscode://file/tmp"}));
    EXPECT_FALSE(isOpenableLink(QUrl()));
}

// Without a file manager on the session bus, a folder opener, a terminal or a
// browser, each action says what it tried and why nothing happened; a file
// stands for the folder holding it.
TEST(DesktopFailures, EachActionThatCannotActSaysWhatItTriedAndWhy)
{
    QTemporaryDir empty;
    ScopedEnv bus("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/stowage-test-bus");
    const QString file = empty.filePath("compose.yaml");
    ASSERT_TRUE(test::writeFile(file, {}));
    LinkRecorder recorder;
    QDesktopServices::setUrlHandler("file", &recorder, "open");
    QList<DesktopFailure> failures;
    const DesktopFailed failed = [&](const DesktopFailure& failure) { failures << failure; };
    Desktop::system().revealInFileManager(file, failed);
    Desktop::system().revealInFileManager(empty.path(), failed);
    test::waitUntil([&] { return recorder.opened.size() >= 2; });
    QDesktopServices::unsetUrlHandler("file");
    // Worked out from the path alone, without a look at the file system.
    EXPECT_EQ(recorder.opened, (QList<QUrl>{QUrl::fromLocalFile(empty.path()),
                                            QUrl::fromLocalFile(QFileInfo(empty.path()).absolutePath())}));
    EXPECT_TRUE(failures.isEmpty());

    ScopedEnv path("PATH", empty.path().toUtf8());
    ScopedEnv terminal("TERMINAL", "");
    const QString folder = "/srv/shop";
    const QUrl link("https://example.com/help");
    Desktop::system().openTerminalAt(folder, failed);
    Desktop::system().openUrl(link, failed);
    Desktop::system().revealInFileManager(folder, failed);
    ASSERT_TRUE(test::waitUntil([&] { return failures.size() >= 3; }));
    EXPECT_EQ(failures[0], terminalNotOpened(folder, failures[0].reason));
    EXPECT_TRUE(failures[0].reason.startsWith("No terminal program was found (looked for x-terminal-emulator, "));
    EXPECT_EQ(failures[1], linkNotOpened(link, failures[1].reason));
    EXPECT_EQ(failures[2], folderNotShown(folder, failures[2].reason));
    EXPECT_TRUE(failures[2].reason.contains("file manager")) << failures[2].reason.toStdString();
}

TEST(DesktopTerminal, TheFolderIsTheWorkingDirectoryAndNeverPassesThroughAShell)
{
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkpath("bin"));
    const QString folderName = R"($(touch x); "')";
    ASSERT_TRUE(QDir(root.path()).mkdir(folderName));
    const QString folder = root.filePath(folderName);
    const QString record = root.filePath("record.txt");

    // The fake terminal writes its working directory and its arguments, then renames
    // the record into place so that the test never reads half of it.
    ASSERT_TRUE(test::writeFile(root.filePath("bin/fake-term"),
                                "#!/bin/sh\n"
                                "pwd -P > \"$FAKE_TERM_RECORD.tmp\"\n"
                                "echo \"$#\" >> \"$FAKE_TERM_RECORD.tmp\"\n"
                                "mv \"$FAKE_TERM_RECORD.tmp\" \"$FAKE_TERM_RECORD\"\n",
                                true));

    ScopedEnv path("PATH", root.filePath("bin").toUtf8() + ":" + qgetenv("PATH"));
    ScopedEnv terminal("TERMINAL", "fake-term");
    ScopedEnv recordFile("FAKE_TERM_RECORD", record.toUtf8());
    Desktop::system().openTerminalAt(folder, [](const DesktopFailure& failure) {
        ADD_FAILURE() << failure.reason.toStdString();
    });

    ASSERT_TRUE(test::waitUntil([&] { return QFile::exists(record); }));
    const QStringList lines = QString::fromUtf8(test::readFile(record)).split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines, (QStringList{QDir(folder).canonicalPath(), "0"}));
    EXPECT_FALSE(QFile::exists(folder + "/x"));
    EXPECT_FALSE(QFile::exists(root.filePath("x")));
    EXPECT_FALSE(QFile::exists(QDir::current().filePath("x")));
}

}  // namespace
}  // namespace stowage::platform

#include "DesktopTest.moc"
