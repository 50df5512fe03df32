#pragma once
// The header's engine menu: the shown engine's name on a button whose menu
// lists every engine docker knows (name, endpoint, reachable or not once a
// refresh has said, when it was last read), the engine chosen through
// DOCKER_HOST / DOCKER_CONTEXT marked as such. The list is read again, off the
// UI thread, each time the menu opens. Hidden while docker knows one engine
// only; an engine that vanished from the list while shown is said to be gone.

#include <QToolButton>

namespace stowage {

class EngineSessions;
struct EngineContext;

class EngineChooser : public QToolButton {
    Q_OBJECT
public:
    // `shownKey`: the engine of the view this button sits in.
    EngineChooser(EngineSessions& sessions, const QString& shownKey, QWidget* parent = nullptr);

    // The menu entry's text for `context` (untrusted names made printable).
    QString entryText(const EngineContext& context) const;

signals:
    void chosen(const QString& key);

private:
    void sync();
    void rebuildMenu();

    EngineSessions& sessions_;
    QString shownKey_;
};

}  // namespace stowage
