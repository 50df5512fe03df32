#pragma once
// Coalesces a burst of model change signals into one re-render of a widget, and
// skips re-rendering while the widget is hidden (it catches up when shown).
// A refresh publishes several properties in a row; each tab then recomputes
// once per event-loop pass instead of once per signal. The re-render runs
// from a timer, in a pass of its own: the window paints and takes input
// between the model's change and the re-render.

#include <QObject>
#include <QTimer>

#include <functional>

class QWidget;

namespace stowage {

class DeferredUpdate : public QObject {
    Q_OBJECT
public:
    DeferredUpdate(QWidget* owner, std::function<void()> apply);
    // Asks for a re-render: soon when the owner is visible, else when it is next shown.
    void request();
    // Re-renders now if a request is pending.
    void flush();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* owner_;
    std::function<void()> apply_;
    bool pending_ = false;
    QTimer soon_;
};

}  // namespace stowage
