#pragma once
// Compact builders for inventory records in the model tests.

#include "docker/Records.h"

#include <QDateTime>
#include <QStringList>

#include <ostream>

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* out)
{
    *out << '[' << list.join(QStringLiteral(", ")).toStdString() << ']';
}

namespace stowage::test {

inline QDateTime at(const char* isoUtc)
{
    return QDateTime::fromString(QString::fromLatin1(isoUtc), Qt::ISODateWithMs);
}

inline SGContainer container(const QString& name, const QString& project, const QString& state = "exited",
                             const QString& imageID = {}, const QStringList& mounts = {})
{
    return {.id = name + "-id", .name = name, .state = state, .project = project, .imageID = imageID, .mounts = mounts};
}

inline SGImage image(const QString& id, const QString& repository, qint64 sizeBytes = 0, const QString& tag = "latest")
{
    return {.id = id, .repository = repository, .tag = tag, .sizeBytes = sizeBytes};
}

inline SGVolume volume(const QString& name, const QString& project = {})
{
    return {.name = name, .driver = "local", .project = project};
}

// The volumes' names or the images' ids, in order.
inline QStringList names(const QList<SGVolume>& volumes)
{
    QStringList result;
    for (const SGVolume& v : volumes)
        result.append(v.name);
    return result;
}

inline QStringList ids(const QList<SGImage>& images)
{
    QStringList result;
    for (const SGImage& i : images)
        result.append(i.id);
    return result;
}

}  // namespace stowage::test
