#pragma once
// The bar under the tabs: the spinner frame and the status text, the
// running-command monitor, and Stop while an operation runs. It shows what it
// is given; the window wires it to the model and its operation center.

#include "ui/style/Surfaces.h"

#include <QString>

class QLabel;

namespace stowage {

class CommandMonitor;
class ElidedLabel;
class OperationCenter;
class SGButton;

class StatusBar : public SurfaceBar {
    Q_OBJECT
public:
    explicit StatusBar(OperationCenter& ops, QWidget* parent = nullptr);

    void setFrame(const QString& frame);
    void setText(const QString& text);
    void setLoading(bool loading);

    CommandMonitor* monitor() const { return monitor_; }
    SGButton* stopButton() const { return stop_; }
    QLabel* frameLabel() const { return frame_; }
    ElidedLabel* textLabel() const { return text_; }

signals:
    void stopRequested();

private:
    void sync();

    QLabel* frame_;
    ElidedLabel* text_;
    CommandMonitor* monitor_;
    SGButton* stop_;
    bool loading_ = false;
};

}  // namespace stowage
