// A stand-in for the docker program, for fault injection in tests.
// Directive mode (any argument starts with --fake-; the others are ignored), carried out in order:
//   --fake-stdout TEXT, --fake-stderr TEXT, --fake-exit N (at the end), --fake-sleep SECONDS,
//   --fake-ignore-term (SIGTERM from here on), --fake-spew BYTES (to both streams, interleaved),
//   --fake-invalid-utf8, --fake-grandchild SECONDS (holds the pipes), --fake-echo-args (one a
//   line), --fake-pid-file PATH.
// Scripted mode (FAKE_DOCKER_SCRIPT=DIR): the first rule of DIR/rules.json, a JSON array of
//   {"match", "stdout", "stdoutFile", "stderr", "exit", "sleep", "ignoreTerm", "times", "echoItems",
//   "itemLinesFile"},
// whose "match" starts the arguments joined by spaces (with or without a leading `--context NAME`) answers; "stdoutFile" names a file in DIR
// printed after "stdout" (large listings); "times" limits a rule to its first N
// calls; "echoItems" prints every argument after the match on a line (as rm -f and volume rm
// do); "itemLinesFile" names a file in DIR whose lines start "ITEM@@" (the inspect templates'
// shape) and prints, for every argument after the match, its line, so that batches of any size
// are answered. Every call is appended to DIR/calls.log as one line.
#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QStringList>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>
#include <sys/types.h>
#include <thread>
#include <unistd.h>

namespace {

void writeAll(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            return;
        done += n;
    }
}

void sleepSeconds(double seconds)
{
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

int runDirectives(const QStringList& args)
{
    int status = 0;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto next = [&]() -> QString { return i + 1 < args.size() ? args[++i] : QString(); };
        if (a == "--fake-stdout")
            writeAll(1, next().toUtf8());
        else if (a == "--fake-stderr")
            writeAll(2, next().toUtf8());
        else if (a == "--fake-exit")
            status = next().toInt();
        else if (a == "--fake-sleep")
            sleepSeconds(next().toDouble());
        else if (a == "--fake-ignore-term")
            signal(SIGTERM, SIG_IGN);
        else if (a == "--fake-spew") {
            const qint64 total = next().toLongLong();
            const QByteArray chunk(65536, 'x');
            for (qint64 written = 0; written < total; written += chunk.size()) {
                const QByteArray part = chunk.left(std::min<qint64>(chunk.size(), total - written));
                writeAll(1, part);
                writeAll(2, part);
            }
        } else if (a == "--fake-invalid-utf8")
            writeAll(1, QByteArray("ok \xff\xfe\n"));
        else if (a == "--fake-grandchild") {
            const double seconds = next().toDouble();
            if (fork() == 0) {
                sleepSeconds(seconds);
                _exit(0);
            }
        } else if (a == "--fake-echo-args") {
            for (const auto& arg : args)
                writeAll(1, arg.toUtf8() + '\n');
        } else if (a == "--fake-pid-file") {
            QFile f(next());
            if (f.open(QIODevice::WriteOnly))
                f.write(QByteArray::number(getpid()));
        }
    }
    return status;
}

// Counts calls served by a limited rule; safe across concurrent fake processes.
bool takeTurn(const QString& dir, int ruleIndex, int times)
{
    QLockFile lock(dir + QStringLiteral("/rule-%1.lock").arg(ruleIndex));
    lock.lock();
    QFile counter(dir + QStringLiteral("/rule-%1.count").arg(ruleIndex));
    int used = 0;
    if (counter.open(QIODevice::ReadOnly))
        used = counter.readAll().toInt();
    counter.close();
    if (used >= times)
        return false;
    if (counter.open(QIODevice::WriteOnly | QIODevice::Truncate))
        counter.write(QByteArray::number(used + 1));
    return true;
}

int runScript(const QString& dir, const QStringList& args)
{
    const QString joined = args.join(' ');
    {
        QFile calls(dir + "/calls.log");
        if (calls.open(QIODevice::Append))
            calls.write(joined.toUtf8() + '\n');
    }
    // The command itself, after a global --context NAME.
    const QString command = args.value(0) == "--context" ? args.mid(2).join(' ') : joined;
    QFile rulesFile(dir + "/rules.json");
    if (!rulesFile.open(QIODevice::ReadOnly)) {
        writeAll(2, "fake docker: no rules.json\n");
        return 99;
    }
    const QJsonArray rules = QJsonDocument::fromJson(rulesFile.readAll()).array();
    for (int i = 0; i < rules.size(); ++i) {
        const QJsonObject rule = rules[i].toObject();
        QString match = rule.value("match").toString();
        if (!joined.startsWith(match)) {
            if (!command.startsWith(match))
                continue;
            match = joined.left(joined.size() - command.size()) + match;
        }
        if (rule.contains("times") && !takeTurn(dir, i, rule.value("times").toInt()))
            continue;
        if (rule.value("ignoreTerm").toBool())
            signal(SIGTERM, SIG_IGN);
        sleepSeconds(rule.value("sleep").toDouble());
        writeAll(1, rule.value("stdout").toString().toUtf8());
        if (const QString name = rule.value("stdoutFile").toString(); !name.isEmpty()) {
            QFile served(dir + '/' + name);
            if (!served.open(QIODevice::ReadOnly)) {
                writeAll(2, ("fake docker: cannot read " + name + "\n").toUtf8());
                return 96;
            }
            writeAll(1, served.readAll());
        }
        if (const QString name = rule.value("itemLinesFile").toString(); !name.isEmpty()) {
            QFile served(dir + '/' + name);
            if (!served.open(QIODevice::ReadOnly)) {
                writeAll(2, ("fake docker: cannot read " + name + "\n").toUtf8());
                return 96;
            }
            // An item names the line whose first field it starts (a short id, a full one).
            // Looked up in place: the file holds every container of a large inventory.
            const QStringList items = joined.mid(match.size()).split(' ', Qt::SkipEmptyParts);
            std::vector<QByteArray> keys;
            std::unordered_map<std::string_view, std::string_view> lineOf;
            std::set<size_t> lengths;
            for (const QString& item : items)
                keys.push_back(item.toUtf8());
            for (const QByteArray& key : keys) {
                lineOf.emplace(std::string_view(key.constData(), size_t(key.size())), std::string_view());
                lengths.insert(size_t(key.size()));
            }
            // Mapped rather than read: copying megabytes costs each run a page fault per page.
            const uchar* mapped = served.size() > 0 ? served.map(0, served.size()) : nullptr;
            const std::string_view text(reinterpret_cast<const char*>(mapped), mapped ? size_t(served.size()) : 0);
            for (size_t at = 0; at < text.size();) {
                const size_t newline = text.find('\n', at);
                const size_t end = newline == std::string_view::npos ? text.size() : newline + 1;
                const std::string_view line = text.substr(at, end - at);
                const size_t field = line.find("@@");
                for (const size_t length : lengths) {
                    if (field == std::string_view::npos || length > field)
                        continue;
                    if (const auto slot = lineOf.find(line.substr(0, length)); slot != lineOf.end())
                        slot->second = line;
                }
                at = end;
            }
            for (const QByteArray& key : keys) {
                const std::string_view line = lineOf[std::string_view(key.constData(), size_t(key.size()))];
                writeAll(1, QByteArray(line.data(), qsizetype(line.size())));
            }
        }
        if (rule.value("echoItems").toBool()) {
            const QStringList items = joined.mid(match.size()).split(' ', Qt::SkipEmptyParts);
            for (const auto& item : items)
                writeAll(1, item.toUtf8() + '\n');
        }
        writeAll(2, rule.value("stderr").toString().toUtf8());
        return rule.value("exit").toInt();
    }
    writeAll(2, ("fake docker: no rule for: " + joined + "\n").toUtf8());
    return 98;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool directive = std::any_of(args.begin(), args.end(), [](const QString& a) { return a.startsWith("--fake-"); });
    if (directive)
        return runDirectives(args);
    const QString dir = qEnvironmentVariable("FAKE_DOCKER_SCRIPT");
    if (dir.isEmpty()) {
        writeAll(2, "fake docker: neither directives nor FAKE_DOCKER_SCRIPT\n");
        return 97;
    }
    return runScript(dir, args);
}
