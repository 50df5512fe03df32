#include "docker/DockerRunner.h"

#include "docker/ChildSupervisor.h"
#include "docker/OperationCenter.h"
#include "docker/ProcessBox.h"
#include "log/ActivityLog.h"
#include "platform/ChildProcess.h"
#include "text/Graphemes.h"
#include "text/PrintableText.h"

#include <QDir>
#include <QProcessEnvironment>
#include <QStringDecoder>
#include <QUuid>

#include <csignal>
#include <memory>
#include <unistd.h>

namespace stowage {

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

QString wholeSeconds(double seconds) { return QString::asprintf("%.0f", seconds); }

// Output as the decoder would read it, left as UTF-8: none when it is not
// valid UTF-8 as a whole, and without a byte order mark.
QByteArray checkedUtf8(QByteArray bytes)
{
    if (!QByteArrayView(bytes).isValidUtf8())
        return {};
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    return bytes;
}

// Output that is not valid UTF-8 as a whole becomes the empty string.
QString decodeStrictUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    return decoder.hasError() ? QString() : text;
}

// Standard error when it has anything at all, else standard output; the
// emptiness test comes before trimming.
QString chosenMessage(const QByteArray& out, const QByteArray& err)
{
    const QString error = decodeStrictUtf8(err);
    return (error.isEmpty() ? decodeStrictUtf8(out) : error).trimmed();
}

Environment processEnvironment()
{
    Environment env;
    const auto system = QProcessEnvironment::systemEnvironment();
    for (const auto& key : system.keys())
        env[key] = system.value(key);
    return env;
}

// Ends a child whose run was cancelled before it could be registered.
void killAtOnce(const platform::SpawnedChild& child)
{
    platform::signalChild(child.pid, SIGKILL);
    platform::reapChild(child.pid);
    if (child.outFd >= 0)
        ::close(child.outFd);
    if (child.errFd >= 0)
        ::close(child.errFd);
}

// Registers a run with the operation center for the lifetime of this object.
class RegisteredRun {
public:
    RegisteredRun(OperationCenter& center, const QString& label, std::shared_ptr<ProcessBox> box)
        : center_(center), id_(QUuid::createUuid())
    {
        center_.registerOp(id_, label, QDateTime::currentDateTimeUtc(), [box] { box->kill(); });
    }
    ~RegisteredRun() { center_.unregisterOp(id_); }
    RegisteredRun(const RegisteredRun&) = delete;
    RegisteredRun& operator=(const RegisteredRun&) = delete;

private:
    OperationCenter& center_;
    QUuid id_;
};

// The entries of `first`, then those of `second` that `first` lacks.
QString joinedPath(const QString& first, const QString& second)
{
    QStringList entries = first.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString& entry : second.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        if (!entries.contains(entry))
            entries << entry;
    return entries.join(QLatin1Char(':'));
}

}  // namespace

DockerRunner::DockerRunner() : DockerRunner(Config{}) {}

DockerRunner::DockerRunner(Config config) : config_(std::move(config)) {}

DockerRunner& DockerRunner::shared()
{
    static auto* instance = new DockerRunner;  // lives for the whole process
    return *instance;
}

QStringList DockerRunner::defaultCandidates()
{
    return {QStringLiteral("/usr/local/bin/docker"), QStringLiteral("/opt/homebrew/bin/docker"),
            QDir::homePath() + QStringLiteral("/.docker/bin/docker"),
            QStringLiteral("/Applications/Docker.app/Contents/Resources/bin/docker")};
}

QString DockerRunner::label(const QStringList& args)
{
    // A long output template would swamp the monitor and the log; it is named by its braces.
    QStringList shown = args.mid(0, 4);
    for (QString& arg : shown)
        if (arg.size() > 24 && arg.startsWith(QLatin1String("{")) && arg.contains(QLatin1String("{{")))
            arg = QStringLiteral("{{…}}");
    return shown.join(QLatin1Char(' '));
}

QString DockerRunner::runLabel(const QStringList& args) const
{
    return config_.context.isEmpty() ? label(args)
                                     : label(args) + QStringLiteral(" (engine ") + printable(config_.context) + u')';
}

QStringList DockerRunner::commandLine(const QStringList& args) const
{
    // A global option: it goes before the subcommand, as one element whatever the name holds.
    const QString context = config_.context.isEmpty() ? pinnedContext() : config_.context;
    return context.isEmpty() ? args : QStringList{QStringLiteral("--context"), context} + args;
}

void DockerRunner::pinContext(const QString& name)
{
    const std::lock_guard guard(pinLock_);
    pinned_ = name;
}

QString DockerRunner::pinnedContext() const
{
    const std::lock_guard guard(pinLock_);
    return pinned_;
}

OperationCenter& DockerRunner::operations() const
{
    return config_.operations ? *config_.operations : OperationCenter::shared();
}

ActivityLog& DockerRunner::log() const { return config_.log ? *config_.log : ActivityLog::shared(); }

Environment DockerRunner::environment()
{
    std::lock_guard guard(lock_);
    if (cachedEnv_)
        return *cachedEnv_;
    Environment env = config_.baseEnvironment ? *config_.baseEnvironment : processEnvironment();
    if (auto shellPath = loginShellPATH(); shellPath && !shellPath->isEmpty()) {
        const QString current = env.count(QStringLiteral("PATH")) ? env.at(QStringLiteral("PATH")) : QString();
        // On Linux the PATH the application was started with is the user's own
        // and keeps its order; the profile only adds what it lacks (a desktop
        // session may miss ~/.local/bin). A Mac application starts without the
        // shell's PATH, so there the shell's comes first.
        env[QStringLiteral("PATH")] = platform::userPathBeforeFixedCandidates ? joinedPath(current, *shellPath)
                                                                              : joinedPath(*shellPath, current);
    }
    env.erase(QStringLiteral("SSH_ASKPASS"));
    env[QStringLiteral("SSH_ASKPASS_REQUIRE")] = QStringLiteral("never");
    cachedEnv_ = env;
    return env;
}

std::optional<QString> DockerRunner::loginShellPATH()
{
    const QString shell = config_.loginShell ? *config_.loginShell : platform::accountShell();
    if (!QDir::isAbsolutePath(shell) || !platform::isExecutableFile(shell))
        return std::nullopt;
    const Environment env = config_.baseEnvironment ? *config_.baseEnvironment : processEnvironment();
    platform::SpawnedChild child;
    try {
        child = platform::spawnChild(shell, {QStringLiteral("-lc"), QStringLiteral("echo $PATH")}, env,
                                     false);
    } catch (const SpawnError&) {
        return std::nullopt;
    }
    // A shell profile that hangs must not hang the application: the query is
    // bounded like any other run, and a timed-out answer counts as none.
    ProcessBox box;
    box.set(child.pid);
    QByteArray out;
    SupervisorTiming timing{config_.loginShellTimeout, config_.killGrace, config_.postTimeoutWait,
                            config_.drainAfterExit};
    auto outcome = superviseChild(
        child, box, timing,
        [&](ChildStream stream, QByteArrayView bytes) {
            if (stream == ChildStream::out)
                out.append(bytes);
        },
        [&] { box.kill(); });
    // An account whose shell refuses it (nologin) prints why and fails.
    if (outcome.timedOut || outcome.status.value_or(-1) != 0)
        return std::nullopt;
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(out);
    if (decoder.hasError())
        return std::nullopt;
    // A profile may greet before the answer: the PATH is the last line.
    return text.trimmed().section(QLatin1Char('\n'), -1).trimmed();
}

QString DockerRunner::dockerExecutable()
{
    std::lock_guard guard(dockerLock_);
    if (cachedDocker_)
        return *cachedDocker_;
    QStringList onPath;
    if (config_.searchPath) {
        const Environment env = environment();
        if (auto it = env.find(QStringLiteral("PATH")); it != env.end()) {
            for (const auto& entry : it->second.split(QLatin1Char(':'), Qt::SkipEmptyParts))
                onPath << entry + QStringLiteral("/docker");
        }
    }
    const QStringList candidates =
        config_.pathFirst ? onPath + config_.fixedCandidates : config_.fixedCandidates + onPath;
    for (const auto& candidate : candidates) {
        if (platform::isExecutableFile(candidate)) {
            cachedDocker_ = candidate;
            log().log(LogLevel::info, QStringLiteral("docker: ") + candidate
                                          + (onPath.contains(candidate) ? QStringLiteral(" (found on PATH)")
                                                                        : QStringLiteral(" (a fixed location)")));
            return candidate;
        }
    }
    throw DockerError::notFound();
}

namespace {

StreamEnding stopped() { return {StreamEnding::Kind::stopped, 0, {}}; }

QString outputTooLarge(qint64 limit)
{
    return QStringLiteral("docker printed more than %1 MB, so the command was stopped.").arg(limit / (1024 * 1024));
}

// A child's exit status and output, as it printed it.
struct Captured {
    int status = 0;
    QByteArray out;
    QByteArray err;
};

Captured execute(const QString& docker, const QStringList& args, const Environment& env, double timeout,
                 ProcessBox& box, const DockerRunner::Config& config, std::stop_token stop)
{
    const auto child = platform::spawnChild(docker, args, env, false);
    std::stop_callback onStop(stop, [&box] { box.kill(); });
    if (!box.set(child.pid)) {
        killAtOnce(child);
        throw CancelledError();
    }
    QByteArray out, err;
    bool overflowed = false;
    SupervisorTiming timing{timeout, config.killGrace, config.postTimeoutWait, config.drainAfterExit};
    auto outcome = superviseChild(
        child, box, timing,
        [&](ChildStream stream, QByteArrayView bytes) {
            if (overflowed)
                return;  // the child is being stopped; its pipes are only drained
            if (out.size() + err.size() + bytes.size() > config.outputLimit) {
                overflowed = true;
                out.clear();
                err.clear();
                box.kill();
                return;
            }
            (stream == ChildStream::out ? out : err).append(bytes);
        },
        [&] { box.kill(); });
    if (overflowed)
        throw DockerError::commandFailed(outputTooLarge(config.outputLimit));
    if (outcome.timedOut)
        throw DockerError::timedOut();
    return {outcome.status.value_or(-1), std::move(out), std::move(err)};
}

}  // namespace

RunResult DockerRunner::runRaw(const QStringList& args, double timeout, std::stop_token stop)
{
    const RawResult raw = runBytes(args, timeout, stop);
    return {raw.status, decodeStrictUtf8(raw.out), decodeStrictUtf8(raw.err)};
}

Utf8RunResult DockerRunner::runRawUtf8(const QStringList& args, double timeout, std::stop_token stop)
{
    RawResult raw = runBytes(args, timeout, stop);
    return {raw.status, checkedUtf8(std::move(raw.out)), decodeStrictUtf8(raw.err)};
}

DockerRunner::RawResult DockerRunner::runBytes(const QStringList& args, double timeout, std::stop_token stop)
{
    const QString docker = dockerExecutable();
    const Environment env = environment();
    const QString runLabel = this->runLabel(args);
    auto box = std::make_shared<ProcessBox>();
    const auto started = Clock::now();
    std::optional<RawResult> result;
    {
        RegisteredRun registration(operations(), runLabel, box);
        try {
            Captured captured = execute(docker, commandLine(args), env, timeout, *box, config_, stop);
            result = RawResult{captured.status, std::move(captured.out), std::move(captured.err)};
        } catch (const CancelledError&) {
            log().log(LogLevel::warn, runLabel + QStringLiteral(" — cancelled after ") + wholeSeconds(secondsSince(started))
                                          + QStringLiteral("s"));
            throw;
        } catch (const DockerError& error) {
            if (error.kind() == DockerError::Kind::timedOut)
                log().log(LogLevel::error, runLabel + QStringLiteral(" — TIMED OUT after ")
                                               + wholeSeconds(secondsSince(started)) + QStringLiteral("s (process killed)"));
            else
                log().log(LogLevel::error, runLabel + QStringLiteral(" — failed: ") + error.description());
            throw;
        } catch (const RunError& error) {
            log().log(LogLevel::error, runLabel + QStringLiteral(" — failed: ") + error.description());
            throw;
        }
    }
    const double elapsed = secondsSince(started);
    if (result->status != 0) {
        log().log(LogLevel::warn, runLabel + QStringLiteral(" — exit ") + QString::number(result->status) +
                                      QStringLiteral(": ") +
                                      leadingCharacters(chosenMessage(result->out, result->err), 160));
    } else if (elapsed >= config_.slowRunThreshold) {
        log().log(LogLevel::info, runLabel + QStringLiteral(" — done in ") + wholeSeconds(elapsed) + QStringLiteral("s"));
    }
    return std::move(*result);
}

QString DockerRunner::run(const QStringList& args, double timeout, std::stop_token stop)
{
    const RunResult result = runRaw(args, timeout, stop);
    if (result.status == 0)
        return result.out.trimmed();
    throw DockerError::fromMessage((result.err.isEmpty() ? result.out : result.err).trimmed());
}

QByteArray DockerRunner::runUtf8(const QStringList& args, double timeout, std::stop_token stop)
{
    RawResult result = runBytes(args, timeout, stop);
    if (result.status != 0)
        throw DockerError::fromMessage(chosenMessage(result.out, result.err));
    // Output that is not valid UTF-8 as a whole reads as none, as run() gives it.
    return checkedUtf8(std::move(result.out)).trimmed();
}

StreamEnding DockerRunner::stream(const QStringList& args, double timeout,
                               const std::function<bool(const QString&)>& onLine, std::stop_token stop)
{
    const QString runLabel = this->runLabel(args);
    auto box = std::make_shared<ProcessBox>();
    RegisteredRun registration(operations(), runLabel, box);
    // However the stream ends, its child is asked to stop (a no-op once it has exited).
    struct KillOnExit {
        ProcessBox& box;
        ~KillOnExit() { box.kill(); }
    } killOnExit{*box};

    platform::SpawnedChild child;
    try {
        child = platform::spawnChild(dockerExecutable(), commandLine(args), environment(), true);
    } catch (const RunError& error) {
        return {StreamEnding::Kind::notStarted, 0, error.description()};
    }
    std::stop_callback onStop(stop, [&box] { box->kill(); });
    if (!box->set(child.pid)) {
        killAtOnce(child);
        return stopped();
    }

    QByteArray pending;
    QString lastLine;  // a failing docker says why on its last line
    bool consuming = true;
    bool overflowed = false;
    auto deliverLines = [&](ChildStream, QByteArrayView bytes) {
        if (overflowed)
            return;
        pending.append(bytes);
        qsizetype start = 0, newline;
        while ((newline = pending.indexOf('\n', start)) >= 0) {
            const QByteArray raw = pending.mid(start, newline - start);
            start = newline + 1;
            if (!consuming || stop.stop_requested())
                continue;
            QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
            const QString line = QString(decoder.decode(raw)).trimmed();
            if (decoder.hasError() || line.isEmpty())
                continue;
            lastLine = line;
            if (!onLine(line)) {
                consuming = false;
                box->kill();
            }
        }
        pending.remove(0, start);
        if (pending.size() > config_.outputLimit) {
            overflowed = true;
            pending.clear();
            consuming = false;
            box->kill();
        }
    };
    auto watchdog = [&] {
        log().log(LogLevel::error, runLabel + QStringLiteral(" — watchdog timeout, killing"));
        box->kill();
    };
    SupervisorTiming timing{timeout, config_.killGrace, config_.postTimeoutWait, config_.drainAfterExit};
    const SupervisedOutcome outcome = superviseChild(child, *box, timing, deliverLines, watchdog);
    if (overflowed)
        return {StreamEnding::Kind::exited, outcome.status.value_or(-1) == 0 ? -1 : outcome.status.value_or(-1),
                outputTooLarge(config_.outputLimit)};
    // A child that exited 0 before the stop reached it finished its work: that is no stop.
    const bool exitedCleanly = !outcome.timedOut && outcome.status == 0;
    if ((!consuming || stop.stop_requested()) && !exitedCleanly)
        return stopped();
    if (outcome.timedOut)
        return {StreamEnding::Kind::timedOut, 0, DockerError::timedOut().description()};
    const int status = outcome.status.value_or(-1);
    if (status == 0)
        return {StreamEnding::Kind::exited, 0, {}};
    const QString why = lastLine.isEmpty() ? QStringLiteral("docker exited with status %1").arg(status) : lastLine;
    return {StreamEnding::Kind::exited, status, DockerError::fromMessage(why).description()};
}

}  // namespace stowage
