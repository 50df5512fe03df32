#include "log/LogFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace stowage::logfile {

QString backupPath(const QString& path)
{
    return path + QStringLiteral(".1");
}

static void rotateIfLarger(const QString& path, qint64 maxBytes)
{
    const QFileInfo info(path);
    if (!info.exists() || info.size() <= maxBytes)
        return;
    QFile::remove(backupPath(path));
    QFile::rename(path, backupPath(path));
}

static void createWith(const QString& path, const QByteArray& bytes)
{
    // The folder may have been removed while the application runs.
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())
        file.commit();
}

void appendLine(const QString& path, const QByteArray& line, qint64 maxBytes)
{
    rotateIfLarger(path, maxBytes);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::ExistingOnly)) {
        file.write(line);
        return;
    }
    // Only a missing file is created anew: one that exists but cannot be
    // opened keeps its contents rather than being replaced by a single line.
    if (!QFileInfo::exists(path))
        createWith(path, line);
}

void remove(const QString& path)
{
    QFile::remove(path);
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

}  // namespace stowage::logfile
