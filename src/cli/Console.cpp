#include "cli/Console.h"

#include "docker/Graphemes.h"

namespace stowage::cli {

namespace {

void write(QIODevice& device, const QString& text)
{
    device.write(text.toUtf8());
}

}  // namespace

Console::Console(QIODevice& out, QIODevice& err, int progressColumns)
    : out_(out), err_(err), columns_(progressColumns)
{
}

void Console::print(const QString& text)
{
    clearProgress();
    write(out_, text);
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
