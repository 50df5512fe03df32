#include "ui/readme/ReadmeFile.h"

#include "platform/FileProbe.h"

#include <QCoreApplication>
#include <QStringDecoder>

namespace stowage::ReadmeFile {

QString loadingText()
{
    return QCoreApplication::translate("ReadmeFile", "_Loading…_");
}

QString missingText()
{
    return QCoreApplication::translate("ReadmeFile", "_No README found in this project._");
}

QString read(const std::optional<QString>& path)
{
    // A device, pipe or folder named like a README could block or never end.
    auto file = path ? platform::readRegularFile(*path, maxBytes) : std::nullopt;
    if (!file)
        return missingText();
    QByteArray& bytes = file->bytes;
    if (!file->whole) {
        // Cutting at a line feed keeps every UTF-8 sequence whole.
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
