#pragma once
// Coalesces a burst of model change signals into one re-render of a widget, and
// skips re-rendering while the widget is hidden (it catches up when shown).
// A refresh publishes several properties in a row; each tab then recomputes
// once per event-loop pass instead of once per signal.

#include <QObject>

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
    bool scheduled_ = false;
};

}  // namespace stowage
