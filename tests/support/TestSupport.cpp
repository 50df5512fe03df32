#include "support/TestSupport.h"

#include "docker/Classify.h"
#include "docker/OperationCenter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
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

TempDataHome::TempDataHome()
{
    hadPrevious = qEnvironmentVariableIsSet("XDG_DATA_HOME");
    previous = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", dir.path().toUtf8());
}

TempDataHome::~TempDataHome()
{
    if (hadPrevious)
        qputenv("XDG_DATA_HOME", previous);
    else
        qunsetenv("XDG_DATA_HOME");
}

}  // namespace stowage::test
