#pragma once
// SIGINT, SIGTERM and SIGHUP: while an instance lives, the three signals no
// longer end the process but are reported on the UI thread, so that the
// running docker commands can be stopped through the model's own cancel path
// and what went can still be reported, by a headless run or by the window. The handler only writes
// the signal number to a pipe (async-signal-safe); a socket notifier reads it
// in the event loop. SIGPIPE is ignored meanwhile: output to a closed pipe
// fails quietly instead of ending the process in the middle of a removal.
// One instance at a time; the previous dispositions come back on destruction.

#include <QObject>

#include <csignal>

class QSocketNotifier;

namespace stowage::platform {

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // "SIGTERM", "SIGINT", "SIGHUP"; the number otherwise.
    static QString name(int signalNumber);

signals:
    void received(int signalNumber);

private:
    void drain();

    int pipe_[2] = {-1, -1};
    QSocketNotifier* notifier_ = nullptr;
    struct sigaction previousInterrupt_ {};
    struct sigaction previousTerminate_ {};
    struct sigaction previousHangUp_ {};
    struct sigaction previousPipe_ {};
};

// Whether the file descriptor is a terminal, and how many columns it has (0 when unknown).
bool isTerminal(int fd);
int terminalColumns(int fd);

}  // namespace stowage::platform
