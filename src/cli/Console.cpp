#include "cli/Console.h"

#include "docker/Graphemes.h"

#include <QFileDevice>

namespace stowage::cli {

namespace {

bool isUnsafe(char32_t c)
{
    return QChar::category(c) == QChar::Other_Control || (c >= 0x202A && c <= 0x202E)
        || (c >= 0x2066 && c <= 0x2069);
}

bool write(QIODevice& device, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    return device.write(bytes) == bytes.size();
}

}  // namespace

QString printable(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const char32_t c : text.toUcs4()) {
        if (isUnsafe(c))
            out += QChar(0xFFFD);
        else
            out += QString::fromUcs4(&c, 1);
    }
    return out;
}

Console::Console(QIODevice& out, QIODevice& err, int progressColumns)
    : out_(out), err_(err), columns_(progressColumns)
{
}

void Console::print(const QString& text)
{
    clearProgress();
    if (!write(out_, text) && outputFailure_.isEmpty())
        outputFailure_ = out_.errorString();
}

void Console::flush()
{
    auto* file = qobject_cast<QFileDevice*>(&out_);
    if (file && !file->flush() && outputFailure_.isEmpty())
        outputFailure_ = file->errorString();
}

void Console::warn(const QString& line)
{
    clearProgress();
    write(err_, line + QLatin1Char('\n'));
}

void Console::showProgress(const QString& status)
{
    if (columns_ <= 0)
        return;
    const QString line = printable(status);
    // "\r" goes back to the line's start and "ESC [K" erases what the last line left.
    write(err_, QStringLiteral("\r\x1b[K") + leadingCharacters(line, columns_ - 1));
    progressShown_ = true;
}

void Console::clearProgress()
{
    if (!progressShown_)
        return;
    write(err_, QStringLiteral("\r\x1b[K"));
    progressShown_ = false;
}

}  // namespace stowage::cli
