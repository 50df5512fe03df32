#pragma once
// The command runner: the one place that starts the docker program. Every run
// gets an argument list (never a shell), a time limit, a kill path through the
// operation center, and a line in the activity log when it is noteworthy.
//
// The entry points block the calling thread until the run ends. They are meant
// for worker threads: the UI thread never calls them. A stop request on the
// caller's std::stop_token kills the child through its ProcessBox.

#include "docker/DockerError.h"
#include "platform/DockerLookup.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <stop_token>

namespace stowage {

class ActivityLog;
class OperationCenter;

// The environment a child runs in, variable name to value.
using Environment = std::map<QString, QString>;

struct RunResult {
    int status = 0;  // exit status; for a child ended by a signal, the signal number
    QString out;
    QString err;
};

// A run whose standard output is kept as the UTF-8 the child printed: large
// outputs are parsed as bytes, never decoded as a whole.
struct Utf8RunResult {
    int status = 0;
    QByteArray out;  // checked UTF-8 without a byte order mark; empty when it was not valid UTF-8
    QString err;
};

// How a streamed child ended.
struct StreamEnding {
    enum class Kind { exited, timedOut, notStarted, stopped };
    Kind kind = Kind::exited;
    int status = 0;   // the exit status when it exited; for a child ended by a signal, the signal number
    QString failure;  // what went wrong, for the user; empty after exit status 0 and after a stop

    bool succeeded() const { return kind == Kind::exited && status == 0; }
};

class DockerRunner {
public:
    struct Config {
        // Places probed, in order, besides the PATH entries.
        QStringList fixedCandidates = defaultCandidates();
        bool searchPath = true;
        // The PATH entries are probed before the fixed places (Linux) or after them.
        bool pathFirst = platform::userPathBeforeFixedCandidates;
        // The login shell asked once for the user's PATH; when it cannot start,
        // refuses the user or hangs, the application's own PATH stays in force.
        // Unset: the account's own shell, looked up when the PATH is first
        // needed (on a worker thread, not when the runner is made); empty: no
        // query.
        std::optional<QString> loginShell;
        // The application's environment; the process environment when absent.
        std::optional<Environment> baseEnvironment;
        // Timing rules, in seconds. Tests shorten them.
        double slowRunThreshold = 8.0;     // a successful run this slow gets an info line
        double killGrace = 2.0;            // SIGTERM, then SIGKILL after this
        double postTimeoutWait = 8.0;      // wait for a killed child after its time limit
        double drainAfterExit = 2.0;       // wait for pipe end-of-file after the child exited
        double loginShellTimeout = 10.0;   // bound on the login-shell query
        // Output one run may print (standard output and error together; for a
        // stream, one unfinished line). Past it the child is killed and the run
        // fails: no listing is that large, and memory is not the child's to take.
        qint64 outputLimit = qint64(256) * 1024 * 1024;
        // The docker context every run goes to (`docker --context NAME …`);
        // empty: whatever docker's own configuration and environment select.
        QString context;
        OperationCenter* operations = nullptr;  // the shared center when null
        ActivityLog* log = nullptr;             // the shared log when null
    };

    DockerRunner();
    explicit DockerRunner(Config config);
    DockerRunner(const DockerRunner&) = delete;
    DockerRunner& operator=(const DockerRunner&) = delete;

    // The process-wide runner with the fixed candidate list.
    static DockerRunner& shared();
    static QStringList defaultCandidates();

    // Waits for the child; any exit status is a result. Throws DockerError
    // (notFound, timedOut), CancelledError or SpawnError.
    RunResult runRaw(const QStringList& args, double timeout, std::stop_token stop = {});

    // runRaw with the standard output left as UTF-8.
    Utf8RunResult runRawUtf8(const QStringList& args, double timeout, std::stop_token stop = {});

    // Trimmed standard output; a non-zero status becomes DockerError
    // (daemonDown or commandFailed).
    QString run(const QStringList& args, double timeout, std::stop_token stop = {});
    // The same standard output as the UTF-8 docker printed, trimmed of
    // white space, never decoded: the listings are parsed as bytes.
    QByteArray runUtf8(const QStringList& args, double timeout, std::stop_token stop = {});

    // Runs the child with standard output and error merged and hands each
    // non-empty trimmed line to `onLine` as it arrives. `onLine` returning
    // false ends consumption (and kills the child); so does a stop request.
    // Never throws: every problem ends the stream, and the ending says how.
    StreamEnding stream(const QStringList& args, double timeout, const std::function<bool(const QString&)>& onLine,
                        std::stop_token stop = {});

    // `args` as the child gets them: after `--context NAME` when the runner is bound to a context.
    QStringList commandLine(const QStringList& args) const;
    // From now on sends every run of this unbound runner to the context `name`
    // (`--context NAME`), so that the engine it reaches stays the one it reaches
    // when docker's current context is changed later (`docker context use`).
    // Labels do not change: the runner still stands for the engine docker selected.
    // Any thread.
    void pinContext(const QString& name);

    // Absolute path of the docker program; throws DockerError::notFound. A
    // failed lookup is not remembered.
    QString dockerExecutable();
    // The children's environment. It never lets ssh (docker's transport to
    // ssh:// engines) ask for a password through a helper program: a key that
    // needs one makes the engine unreachable, never a prompt.
    Environment environment();

    // The run's label: its first four arguments joined by single spaces, a
    // long output template among them shown as "{{…}}".
    static QString label(const QStringList& args);
    // label(args), naming the engine when the runner is bound to a context.
    QString runLabel(const QStringList& args) const;

    OperationCenter& operations() const;
    ActivityLog& log() const;
    const Config& config() const { return config_; }

private:
    QString pinnedContext() const;

    struct RawResult {
        int status = 0;
        QByteArray out;
        QByteArray err;
    };
    // runRaw's work: the child's output as it printed it.
    RawResult runBytes(const QStringList& args, double timeout, std::stop_token stop);
    std::optional<QString> loginShellPATH();

    Config config_;
    std::mutex lock_;        // guards cachedEnv_
    std::optional<Environment> cachedEnv_;
    std::mutex dockerLock_;  // guards cachedDocker_; taken before lock_
    std::optional<QString> cachedDocker_;
    mutable std::mutex pinLock_;  // guards pinned_
    QString pinned_;
};

}  // namespace stowage
