#pragma once
// The status bar's running-command indicator: how many docker commands run and
// for how long the oldest has been running, re-rendered every second; it turns
// to a warning once that command has run for more than a minute. Hidden while
// nothing runs.

#include "ui/operations/RunningCommands.h"

#include <QWidget>

class QLabel;

namespace stowage {

class CommandMonitor : public QWidget {
    Q_OBJECT
public:
    explicit CommandMonitor(OperationCenter& ops, QWidget* parent = nullptr);
    void setClock(Clock clock);

    // What is shown now (also for tests).
    QString text() const;
    bool stuck() const { return stuck_; }
    // Re-reads the operation center and the clock.
    void render();

private:
    OperationCenter& ops_;
    Clock clock_ = systemClock();
    QLabel* icon_;
    QLabel* text_;
    bool stuck_ = false;
};

}  // namespace stowage
