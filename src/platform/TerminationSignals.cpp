#include "platform/TerminationSignals.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace stowage::platform {

namespace {

// The write end of the live instance's pipe; read by the handler.
std::atomic<int> signalPipe{-1};
static_assert(std::atomic<int>::is_always_lock_free);

void onSignal(int signalNumber)
{
    const int savedErrno = errno;
    const int fd = signalPipe.load();
    if (fd >= 0) {
        const unsigned char byte = static_cast<unsigned char>(signalNumber);
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);  // a full pipe already has news
    }
    errno = savedErrno;
}

bool makePipe(int fds[2])
{
    if (::pipe(fds) != 0)
        return false;
    for (int i = 0; i < 2; ++i) {
        ::fcntl(fds[i], F_SETFD, FD_CLOEXEC);
        ::fcntl(fds[i], F_SETFL, ::fcntl(fds[i], F_GETFL) | O_NONBLOCK);
    }
    return true;
}

void install(int signalNumber, void (*handler)(int), struct sigaction* previous)
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(signalNumber, &action, previous);
}

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    install(SIGPIPE, SIG_IGN, &previousPipe_);
    if (!makePipe(pipe_))
        return;  // the signals keep their usual effect
    signalPipe.store(pipe_[1]);
    notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::drain);
    install(SIGINT, onSignal, &previousInterrupt_);
    install(SIGTERM, onSignal, &previousTerminate_);
    install(SIGHUP, onSignal, &previousHangUp_);
}

TerminationSignals::~TerminationSignals()
{
    if (pipe_[0] >= 0) {
        ::sigaction(SIGINT, &previousInterrupt_, nullptr);
        ::sigaction(SIGTERM, &previousTerminate_, nullptr);
        ::sigaction(SIGHUP, &previousHangUp_, nullptr);
        signalPipe.store(-1);
        delete notifier_;
        ::close(pipe_[0]);
        ::close(pipe_[1]);
    }
    ::sigaction(SIGPIPE, &previousPipe_, nullptr);
}

QString TerminationSignals::name(int signalNumber)
{
    switch (signalNumber) {
    case SIGTERM: return QStringLiteral("SIGTERM");
    case SIGINT: return QStringLiteral("SIGINT");
    case SIGHUP: return QStringLiteral("SIGHUP");
    }
    return QStringLiteral("signal %1").arg(signalNumber);
}

void TerminationSignals::drain()
{
    unsigned char byte = 0;
    while (::read(pipe_[0], &byte, 1) == 1)
        emit received(byte);
}

bool isTerminal(int fd) { return ::isatty(fd) == 1; }

int terminalColumns(int fd)
{
    winsize size{};
    if (::ioctl(fd, TIOCGWINSZ, &size) != 0)
        return 0;
    return size.ws_col;
}

}  // namespace stowage::platform
