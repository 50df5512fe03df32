#pragma once
// The All Engines window: every docker context's engine side by side, with
// whether it answers (or why not), what it holds, what Safe Clean All would
// free there, when it was read and its engine id (two contexts reaching one
// engine say so). Opening it or Refresh lists the contexts and reads every
// engine at once, each with its own time limits, off the UI thread; closing it
// stops what still runs. It only reads: nothing here removes anything.

#include "docker/DockerRunner.h"
#include "docker/EngineContext.h"
#include "model/OffThread.h"

#include <QWidget>

#include <memory>
#include <stop_token>

class QLabel;

namespace stowage {

class EngineSurvey;
class EngineTableModel;
class SGButton;

class AllEnginesView : public QWidget {
    Q_OBJECT
public:
    // Every engine's runner is `runnerConfig` bound to its context.
    explicit AllEnginesView(DockerRunner::Config runnerConfig, QWidget* parent = nullptr);
    ~AllEnginesView() override;

    // Lists the contexts again and reads every engine (unless a reading runs).
    void refresh();
    bool isReading() const { return reading_; }

    EngineTableModel* table() const { return table_; }
    QLabel* statusLabel() const { return status_; }
    SGButton* refreshButton() const { return refreshButton_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void listed(const QList<EngineContext>& contexts, const QString& error);
    void setReading(bool reading);
    void showProgress();

    DockerRunner::Config runnerConfig_;
    std::shared_ptr<DockerRunner> lister_;  // not bound to a context: the list is the same from every one
    std::stop_source listStop_;
    OffThread listing_{1};
    std::unique_ptr<EngineSurvey> survey_;
    EngineTableModel* table_;
    QLabel* status_;
    SGButton* refreshButton_;
    bool reading_ = false;
};

}  // namespace stowage
