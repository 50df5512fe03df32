#pragma once
// The Logs tab's card of docker commands running right now: each with its
// elapsed time (re-rendered every second, flagged once stuck) and a button
// that kills that one command, plus "Stop all". Hidden while nothing runs.
// Killing here never cancels the model's operation; only the status bar's
// Stop does that.

#include "ui/operations/RunningCommands.h"
#include "ui/style/Surfaces.h"

#include <QList>
#include <QUuid>

class QLabel;
class QVBoxLayout;

namespace stowage {

class ElidedLabel;
class SGButton;

class RunningCommandsPanel : public SurfaceCard {
    Q_OBJECT
public:
    explicit RunningCommandsPanel(OperationCenter& ops, QWidget* parent = nullptr);
    void setClock(Clock clock);

    struct Row {
        QUuid id;
        QLabel* icon = nullptr;
        ElidedLabel* label = nullptr;
        QLabel* elapsed = nullptr;
        SGButton* kill = nullptr;
    };
    const QList<Row>& rows() const { return rows_; }
    SGButton* stopAllButton() const { return stopAll_; }
    QString titleText() const;
    // Re-reads the operation center and the clock.
    void render();

private:
    void rebuildRows();

    OperationCenter& ops_;
    Clock clock_ = systemClock();
    QLabel* title_;
    SGButton* stopAll_;
    QVBoxLayout* rowsLayout_;
    QList<Row> rows_;
};

}  // namespace stowage
