#include "support/TestSupport.h"

#include "docker/Classify.h"
#include "docker/OperationCenter.h"
#include "log/ActivityLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcessEnvironment>
#include <QThread>

#include <sys/stat.h>

namespace stowage::test {

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > limit.count())
            return done();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

bool waitForCommand(const OperationCenter& operations, const QString& prefix, std::chrono::milliseconds limit)
{
    return waitUntil(
        [&] {
            const auto& active = operations.active();
            return std::any_of(active.begin(), active.end(), [&](const auto& op) { return op.label.startsWith(prefix); });
        },
        limit);
}

QString listingLine(const QString& listingJson, const QString& project, const QString& workingDir,
                    const QString& configFiles)
{
    const QJsonObject values{{ComposeLabel::project, project},
                             {ComposeLabel::workingDir, workingDir},
                             {ComposeLabel::configFiles, configFiles}};
    const QJsonObject line{{"Listing", QJsonDocument::fromJson(listingJson.toUtf8()).object()}, {"LabelValues", values}};
    return QString::fromUtf8(QJsonDocument(line).toJson(QJsonDocument::Compact));
}

void drainEvents(std::chrono::milliseconds duration)
{
    QElapsedTimer timer;
    timer.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    } while (timer.elapsed() < duration.count());
}

QStringList logLines(const ActivityLog& log)
{
    drainEvents();
    QStringList lines;
    for (const auto& entry : log.entries())
        lines << rawValue(entry.level) + ' ' + entry.message;
    return lines;
}

Environment systemEnvironment()
{
    const auto system = QProcessEnvironment::systemEnvironment();
    Environment env;
    for (const auto& key : system.keys())
        env[key] = system.value(key);
    return env;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes, bool executable)
{
    QFile file(path);
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
    file.close();
    return written && (!executable || file.setPermissions(file.permissions() | QFileDevice::ExeOwner));
}

int fileMode(const QString& path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

int processesWithEnvironment(const QString& entry)
{
    const QByteArray needle = QByteArray(1, '\0') + entry.toUtf8() + '\0';
    int count = 0;
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile environment(QStringLiteral("/proc/%1/environ").arg(pid));
        if (pid.toInt() > 0 && environment.open(QIODevice::ReadOnly)
            && (QByteArray(1, '\0') + environment.readAll()).contains(needle))
            ++count;
    }
    return count;
}

QString fakeDockerPath() { return QStringLiteral(FAKE_DOCKER_PATH); }

ScopedEnv::ScopedEnv(const char* name, const QByteArray& value)
    : name(name), had(qEnvironmentVariableIsSet(name)), old(qgetenv(name))
{
    qputenv(name, value);
}

ScopedEnv::~ScopedEnv() { had ? qputenv(name, old) : qunsetenv(name); }

}  // namespace stowage::test
