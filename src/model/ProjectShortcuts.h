#pragma once
// The project card's actions that leave Docker alone: the Markdown summary
// for the clipboard, the README lookup, the folder and terminal shortcuts and
// the links of a README. Each desktop action that fails says so in a notice;
// paths named by Docker are looked at off the UI thread first. Lives on the
// UI thread, owned by the model.

#include "model/HostPathFacts.h"
#include "model/PathNotice.h"
#include "platform/Desktop.h"

#include <QObject>
#include <QSet>

#include <functional>
#include <optional>

class QUrl;

namespace stowage {

class AppModel;

class ProjectShortcuts : public QObject {
    Q_OBJECT
public:
    // `desktop`: clipboard, file manager, terminal; the system's when null.
    ProjectShortcuts(AppModel& model, platform::Desktop* desktop, HostPathFacts::Probes pathProbes);

    QString assistantContext(const QString& project) const;
    void copyAssistantContext(const QString& project);
    // The project folder's README as last found; none until the folder has
    // been looked at (off the UI thread, after each change of the index).
    std::optional<QString> readmeURL(const QString& project) const;
    // What is known of the project's folder on this host; none until looked at,
    // and always none for an engine on another host.
    std::optional<ProjectPathFacts> projectPathFacts(const QString& project) const;
    // Both look at the path off the UI thread first and act when the answer arrives.
    // Why paths named by a remote engine cannot be opened here ("On HOST: open
    // it there."); "" when the engine is on this host.
    QString elsewhereNotice() const;
    void openInFileManager(const QString& path);
    void openInTerminal(const QString& path);
    // Looks at `path` off the UI thread; runs `act` when something is there,
    // else shows the notice `describe` words, offering to copy the path.
    void whenPathPresent(const QString& path, std::function<void()> act,
                         std::function<PathNotice(const platform::PathFacts&)> describe);
    HostPathFacts& pathFacts() { return pathFacts_; }
    platform::Desktop& desktop() const;
    // Opens a web or mail link; says so when it cannot.
    void openLink(const QUrl& url);
    // Hand to every desktop action: when one fails, a notice says what was
    // tried and why (offering to copy the path or link), and the failure is
    // logged once per session, however often it recurs.
    platform::DesktopFailed desktopFailed();

private:
    void reportDesktopFailure(const platform::DesktopFailure& failure);

    AppModel& model_;
    platform::Desktop* desktop_ = nullptr;
    QSet<QString> loggedDesktopFailures_;
    HostPathFacts pathFacts_;
};

}  // namespace stowage
