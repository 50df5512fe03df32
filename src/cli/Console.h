#pragma once
// Standard output and standard error of a command without a window. Results
// go to standard output; messages to standard error; the progress line (the
// model's status text) is drawn in place on standard error, and only when
// that is a terminal. Every text from Docker passes through printable().

#include "text/PrintableText.h"

#include <QIODevice>
#include <QString>

namespace stowage::cli {

// The filter the window's dialogs use too.
using stowage::printable;

class Console {
public:
    // `progressColumns` 0: no progress line (standard error is no terminal).
    Console(QIODevice& out, QIODevice& err, int progressColumns = 0);

    // Writes `text` as it is to standard output.
    void print(const QString& text);
    // One line on standard error.
    void warn(const QString& line);
    // Replaces the progress line with `status`, cut to the terminal's width.
    void showProgress(const QString& status);
    void clearProgress();
    bool showsProgress() const { return columns_ > 0; }
    // Why writing to standard output failed (a full disk, a closed pipe);
    // empty while every write went through.
    QString outputFailure() const { return outputFailure_; }
    // Hands what was printed on to the system (standard output may be buffered
    // below Qt, where a full disk shows only now) and records a failure.
    void flush();
    // Flushes; output that did not arrive is a failure, not a report: it is
    // said on standard error, where it can still be read, and turns a
    // successful `status` into ExitStatus::outputFailed. Returns the status.
    int flushAndSettle(int status);

private:
    QIODevice& out_;
    QIODevice& err_;
    int columns_;
    bool progressShown_ = false;
    QString outputFailure_;
};

}  // namespace stowage::cli
