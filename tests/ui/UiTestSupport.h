#pragma once
// A window-sized rig for the user-interface tests: an AppModel over the
// scripted fake docker with its own operation center, an in-memory activity
// log, a cache file in a temporary folder, scripted dialogs and a desktop that
// records what it was asked to do.

#include "docker/DockerCLI.h"
#include "docker/OperationCenter.h"
#include "log/ActivityLog.h"
#include "model/AppModel.h"
#include "support/RecordingDesktop.h"
#include "support/ScriptedAlerts.h"
#include "support/ScriptedDocker.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <QTextDocument>
#include <QUrl>

#include <memory>

namespace stowage::test {

// A text as a label or tooltip shows it: what Qt takes for rich text is rendered first.
inline QString shownText(const QString& text)
{
    if (!Qt::mightBeRichText(text))
        return text;
    QTextDocument rendered;
    rendered.setHtml(text);
    return rendered.toPlainText();
}

struct UiRig {
    ScriptedDocker docker;
    OperationCenter operations;
    QTemporaryDir logDir;
    ActivityLog log{std::optional<QString>(logDir.path())};
    QTemporaryDir cacheDir;
    ScriptedAlerts alerts;
    RecordingDesktop desktop;
    std::unique_ptr<DockerCLI> cli;
    std::unique_ptr<AppModel> model;
    // The model's clock reads this when set, the system clock otherwise.
    std::optional<QDateTime> now;

    explicit UiRig(const QList<FakeRule>& rules, HostPathFacts::Probes pathProbes = {})
    {
        docker.setRules(rules);
        cli = std::make_unique<DockerCLI>(docker.config(&operations, &log));
        AppModel::Options options;
        options.cacheFile = std::optional<QString>(cacheFile());
        options.alerts = &alerts;
        options.desktop = &desktop;
        options.pathProbes = std::move(pathProbes);
        options.clock = [this] { return now.value_or(QDateTime::currentDateTimeUtc()); };
        model = std::make_unique<AppModel>(*cli, options);
    }

    QString cacheFile() const { return cacheDir.filePath("state.json"); }

    bool waitIdle(std::chrono::milliseconds limit = std::chrono::seconds(20))
    {
        const bool idle = waitUntil([&] { return !model->isLoading(); }, limit);
        drainEvents();
        return idle;
    }

    bool refreshAndWait()
    {
        model->refresh();
        return waitIdle();
    }
};

}  // namespace stowage::test
