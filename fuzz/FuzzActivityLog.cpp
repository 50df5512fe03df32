// Reading back the previous run's activity log: any bytes in the file. Every
// entry read back is written as the same line again.

#include "FuzzInput.h"

#include "log/LogFormat.h"

using namespace stowage;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QList<LogEntry> entries = logformat::parsePreviousRun(fuzz::bytes(data, size));
    fuzz::require(entries.size() <= logformat::previousRunLines, "at most the last lines are read");
    for (const LogEntry& entry : entries) {
        const QByteArray line = logformat::diskLine(entry);
        fuzz::require(line.endsWith('\n') && line.count('\n') == 1, "an entry is one line");
        const auto again = logformat::parseDiskLine(QString::fromUtf8(line.chopped(1)));
        fuzz::require(again.has_value(), "a written line reads back");
        fuzz::require(again->message == entry.message && again->level == entry.level
                          && again->time == entry.time,
                      "an entry survives its line");
    }
    return 0;
}
