#include "ui/ReadmeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace stowage::ReadmeFile {

QString loadingText()
{
    return QStringLiteral("_Loading…_");
}

QString missingText()
{
    return QStringLiteral("_No README found in this project._");
}

QString read(const std::optional<QString>& path)
{
    // A device, pipe or folder named like a README could block or never end.
    if (!path || !QFileInfo(*path).isFile())
        return missingText();
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly))
        return missingText();
    QByteArray bytes = file.read(maxBytes + 1);
    if (bytes.size() > maxBytes) {
        // Cutting at a line feed keeps every UTF-8 sequence whole.
        bytes.truncate(maxBytes);
        const qsizetype lastLine = bytes.lastIndexOf('\n');
        bytes.truncate(lastLine < 0 ? 0 : lastLine);
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return missingText();
    return text;
}

}  // namespace stowage::ReadmeFile
