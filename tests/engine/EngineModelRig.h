#pragma once
// An AppModel over the private engine: its own runner, operation center, in-memory log,
// scripted alerts and cache file. The runner starts a small recording wrapper instead of the
// docker client itself: the wrapper notes every argument list it receives (one file per run,
// each argument NUL-terminated) and then becomes the real client, so a test can see exactly
// which commands reached Docker and with which arguments.

#include "engine/EngineSupport.h"
#include "model/InventoryFixtures.h"  // readable Qt strings in failure messages

#include "docker/DockerCLI.h"
#include "docker/OperationCenter.h"
#include "log/ActivityLog.h"
#include "model/AppModel.h"
#include "support/ScriptedAlerts.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QSet>
#include <QTemporaryDir>

#include <memory>

namespace stowage::test {

// How the rig's model differs from one on the private engine with the usual limits.
struct EngineModelSetup {
    // DOCKER_HOST for the model's runner; the private engine's when empty.
    QString dockerHost;
    // The state cache file; one in the rig's own folder when empty.
    QString cacheFile;
    DockerClient::Limits limits;
    AppModel::RemovalLimits removalLimits{12.0, 60.0, 120.0};
    // The docker client the runner ends up running.
    QString client = Engine::docker20Client();
    bool refreshAfterCleanup = true;
};

struct EngineModelRig {
    using Setup = EngineModelSetup;

    OperationCenter operations;
    ActivityLog log{std::nullopt};
    ScriptedAlerts alerts;
    QTemporaryDir dir;
    std::unique_ptr<DockerCLI> cli;
    std::unique_ptr<AppModel> model;

    explicit EngineModelRig(const Engine& engine, const Setup& setup = {})
    {
        QDir(dir.path()).mkpath(QStringLiteral("calls"));
        writeRecordingWrapper(setup.client);

        Environment env;
        const QProcessEnvironment system = engine.environment();
        for (const QString& key : system.keys())
            env[key] = system.value(key);
        if (!setup.dockerHost.isEmpty())
            env[QStringLiteral("DOCKER_HOST")] = setup.dockerHost;

        DockerCLI::Config config;
        config.fixedCandidates = {wrapperPath()};
        config.searchPath = false;
        config.loginShell.clear();
        config.baseEnvironment = env;
        config.killGrace = 0.5;
        config.operations = &operations;
        config.log = &log;
        cli = std::make_unique<DockerCLI>(config);

        AppModel::Options options;
        options.cacheFile = std::optional<QString>(setup.cacheFile.isEmpty() ? cacheFile() : setup.cacheFile);
        options.alerts = &alerts;
        options.limits = setup.limits;
        options.removalLimits = setup.removalLimits;
        options.refreshAfterCleanup = setup.refreshAfterCleanup;
        model = std::make_unique<AppModel>(*cli, options);
    }

    QString cacheFile() const { return dir.filePath(QStringLiteral("state.json")); }
    QString wrapperPath() const { return dir.filePath(QStringLiteral("docker")); }

    // Refreshes and waits for its end; true when the refresh inspected every container.
    bool refreshAndWait()
    {
        model->refresh();
        return waitIdle() && model->usageDataComplete();
    }

    bool waitIdle(std::chrono::milliseconds limit = std::chrono::seconds(90))
    {
        return waitUntil([&] { return !model->isLoading(); }, limit);
    }

    // Every argument list the runner passed to docker so far, in start order.
    QList<QStringList> calls() const
    {
        QDir callDir(dir.filePath(QStringLiteral("calls")));
        QList<QStringList> out;
        for (const QString& name : callDir.entryList(QDir::Files, QDir::Name)) {
            QFile file(callDir.filePath(name));
            if (!file.open(QIODevice::ReadOnly))
                continue;
            QStringList args;
            const QByteArray bytes = file.readAll();
            for (const QByteArray& arg : bytes.split('\0'))
                args << QString::fromUtf8(arg);
            if (!args.isEmpty())
                args.removeLast();  // after the last terminator
            out << args;
        }
        return out;
    }

    // The argument lists that change something: rm, rmi, volume rm, builder prune.
    QList<QStringList> removalCalls() const
    {
        QList<QStringList> out;
        for (const QStringList& args : calls()) {
            const QString head = args.value(0);
            if (head == QLatin1String("rm") || head == QLatin1String("rmi")
                || (head == QLatin1String("volume") && args.value(1) == QLatin1String("rm"))
                || (head == QLatin1String("builder") && args.value(1) == QLatin1String("prune")))
                out << args;
        }
        return out;
    }

    // The items (past the command words) of every call starting with `command`.
    QStringList itemsOf(const QStringList& command) const
    {
        QStringList items;
        for (const QStringList& args : calls())
            if (args.mid(0, command.size()) == command)
                items += args.mid(command.size());
        return items;
    }

    QStringList logLines()
    {
        drainEvents();
        QStringList lines;
        for (const auto& entry : log.entries())
            lines << rawValue(entry.level) + QLatin1Char(' ') + entry.message;
        return lines;
    }

private:
    void writeRecordingWrapper(const QString& client) const
    {
        // The rig's folder name is made by QTemporaryDir from safe characters only.
        QFile script(wrapperPath());
        script.open(QIODevice::WriteOnly);
        script.write("#!/bin/sh\n"
                     "f=$(mktemp \"" + dir.filePath(QStringLiteral("calls")).toUtf8() + "/$(date +%s%N).XXXXXX\")"
                     " && printf '%s\\0' \"$@\" >\"$f\"\n"
                     "exec " + client.toUtf8() + " \"$@\"\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
};

inline QSet<QString> toSet(const QStringList& list) { return QSet<QString>(list.begin(), list.end()); }

template <typename Record, typename Key>
QSet<QString> keysOf(const QList<Record>& records, Key key)
{
    QSet<QString> out;
    for (const Record& record : records)
        out.insert(key(record));
    return out;
}

// Containers are compared by their short (12-digit) ids, as docker ps lists them.
inline QString shortId(const QString& id) { return id.left(12); }
inline QSet<QString> containerIds(const QList<SGContainer>& list)
{
    return keysOf(list, [](const SGContainer& c) { return shortId(c.id); });
}
inline QSet<QString> imageIds(const QList<SGImage>& list)
{
    return keysOf(list, [](const SGImage& i) { return i.id; });
}
inline QSet<QString> volumeNames(const QList<SGVolume>& list)
{
    return keysOf(list, [](const SGVolume& v) { return v.name; });
}

// What Docker itself holds, read with the docker client.
struct DockerState {
    QSet<QString> containerIds;   // short ids
    QSet<QString> containerNames;
    QSet<QString> imageIds;       // sha256:…, every row of images -a
    QSet<QString> imageRefs;      // repository:tag of the tagged rows
    QSet<QString> volumes;
    QSet<QString> danglingVolumes;
    int imageRows = 0;
    QString buildCacheSize;       // the Build Cache row of system df

    static DockerState read(const Engine& engine)
    {
        DockerState s;
        s.containerIds = toSet(engine.lines({"ps", "-aq"}));
        s.containerNames = toSet(engine.lines({"ps", "-a", "--format", "{{.Names}}"}));
        const QStringList ids = engine.lines({"images", "-aq", "--no-trunc"});
        s.imageRows = static_cast<int>(ids.size());
        s.imageIds = toSet(ids);
        for (const QString& ref : engine.lines({"images", "--format", "{{.Repository}}:{{.Tag}}"}))
            if (ref != QLatin1String("<none>:<none>"))
                s.imageRefs.insert(ref);
        s.volumes = toSet(engine.lines({"volume", "ls", "-q"}));
        s.danglingVolumes = toSet(engine.lines({"volume", "ls", "-q", "--filter", "dangling=true"}));
        for (const QString& row : engine.lines({"system", "df", "--format", "{{.Type}}={{.Size}}"}))
            if (row.startsWith(QLatin1String("Build Cache=")))
                s.buildCacheSize = row.mid(12);
        return s;
    }
};

// An engine test that removes things: it starts from a freshly restored fixture and restores
// it again at its end, so that tests which only read find the fixture intact.
class FreshFixtureTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(engine.rebuildFixture());
        restoreAtEnd = true;
    }
    void TearDown() override
    {
        if (restoreAtEnd)
            engine.rebuildFixture();
    }

    bool restoreAtEnd = false;

    // Fixture references (image refs, volume names with "anonymous:…") to engine ids and names.
    QSet<QString> imageIdsOf(const QStringList& refs) const
    {
        QSet<QString> ids;
        for (const QString& ref : refs)
            ids.insert(engine.imageId(ref));
        return ids;
    }
    QSet<QString> volumesOf(const QStringList& fixtureNames) const
    {
        QSet<QString> names;
        for (const QString& name : fixtureNames)
            names.insert(engine.volumeName(name));
        return names;
    }
    QSet<QString> containerIdsOf(const QStringList& names) const
    {
        QSet<QString> ids;
        for (const QString& name : names)
            ids.insert(shortId(engine.containerId(name)));
        return ids;
    }
    QStringList expectedList(const char* key) const
    {
        QStringList out;
        for (const QJsonValue& value : expected.value(QLatin1String(key)).toArray())
            out << value.toString();
        return out;
    }
};

}  // namespace stowage::test
