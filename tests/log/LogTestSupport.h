#pragma once
// Small file helpers for the activity-log tests.

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

namespace stowage::test {

inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The file's lines as text, without their line feeds.
inline QList<QString> fileLines(const QString& path)
{
    QList<QString> lines = QString::fromUtf8(readFile(path)).split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

}  // namespace stowage::test
