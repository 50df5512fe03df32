#pragma once
// One run of `stowage report` or `stowage clean` on a model without a window:
// a refresh (the window's queries, limits and inspection), then the report, or
// the clean plan and, with --yes, the model's own safe clean, each removal
// printed as it happens. An interruption stops the running docker commands
// through the model's cancel path and reports what went.

#include "cli/Console.h"
#include "cli/HeadlessAlerts.h"
#include "cli/HeadlessRequest.h"
#include "cli/Report.h"

#include "model/OffThread.h"

#include <QObject>

#include <stop_token>

namespace stowage {
class AppModel;
enum class RefreshEnd;
}

namespace stowage::cli {

class HeadlessRun : public QObject {
    Q_OBJECT
public:
    // Takes over the model's alerts for the run.
    HeadlessRun(AppModel& model, const Request& request, Console& console, QObject* parent = nullptr);
    ~HeadlessRun() override;

    // Asks the engine first, with the short health-check limit (a hung engine
    // would keep the listings silent for their whole limit), then refreshes;
    // with Request::engineAnswered it refreshes at once.
    void start();
    // SIGINT, SIGTERM or SIGHUP arrived.
    void interrupt();

    bool isFinished() const { return exitStatus_ >= 0; }
    int exitStatus() const { return exitStatus_; }
    const Outcome& outcome() const { return outcome_; }
    // What --json prints: the run's outcome as one object.
    QJsonObject document() const;

signals:
    void finished(int exitStatus);

private:
    void engineChecked(const QString& error);
    void refreshEnded(RefreshEnd end, const QString& error);
    void readGrowth();
    void reportEnded();
    void clean();
    void recordStep(const CleanStep& step);
    void cleanEnded();
    void finish(int status);
    void printEnding();
    QString unreachable(const QString& error) const;
    QString engineLine() const;

    AppModel& model_;
    Request request_;
    Console& console_;
    HeadlessAlerts alerts_;
    Outcome outcome_;
    bool cleaning_ = false;
    int exitStatus_ = -1;
    // The engine check before the refresh: stopped by an interruption.
    std::stop_source engineCheckStop_;
    bool checkingEngine_ = false;
    OffThread engineCheck_{1};
};

}  // namespace stowage::cli
