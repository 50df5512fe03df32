#include "cli/Console.h"

#include "cli/HeadlessRequest.h"
#include "text/Graphemes.h"

#include <QFileDevice>

namespace stowage::cli {

namespace {

bool write(QIODevice& device, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    return device.write(bytes) == bytes.size();
}

}  // namespace

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

int Console::flushAndSettle(int status)
{
    flush();
    if (outputFailure_.isEmpty())
        return status;
    warn(printable(QStringLiteral("stowage: could not write the output: ") + outputFailure_));
    return status == ExitStatus::success ? ExitStatus::outputFailed : status;
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
