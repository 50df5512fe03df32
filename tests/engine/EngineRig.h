#pragma once
// The private Docker engine of the end-to-end tests (engine.sh starts it before them, with the
// fixture of FIXTURE.md and fixture/expected.json) and code under test wired to it. Nothing here
// ever talks to the machine's default engine.

#include "model/InventoryFixtures.h"  // readable Qt strings in failure messages

#include "docker/DockerClient.h"
#include "docker/OperationCenter.h"
#include "log/ActivityLog.h"
#include "model/AppModel.h"
#include "support/AppModelAccess.h"
#include "support/ScriptedAlerts.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonObject>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <cmath>

namespace stowage::test {

struct DockerRun {
    int exitCode = -1;  // -1 when the client did not start or did not end in time
    QByteArray out;
    QByteArray err;
    bool ok() const { return exitCode == 0; }
};

class Engine {
public:
    // Reads the state file of `engine.sh start`; available() is false (with a reason) when the
    // file does not name a private engine or the engine does not answer.
    static Engine load();
    bool available() const { return m_reason.isEmpty(); }
    QString unavailableReason() const { return m_reason; }
    QString engineDir() const { return m_engineDir; }  // /tmp/stowage-engine.XXXXXX

    // The current environment pointed at the private engine, the user's contexts left out.
    QProcessEnvironment environment() const;
    DockerRun run(const QStringList& args, const QString& client = docker20Client(), int timeoutMs = 120000) const;
    // Standard output of a command that must succeed (a test failure is added otherwise).
    QByteArray docker(const QStringList& args, const QString& client = docker20Client()) const;
    QString line(const QStringList& args, const QString& client = docker20Client()) const;
    QStringList lines(const QStringList& args, const QString& client = docker20Client()) const;

    // Brings the fixture back with the same ids and names (`engine.sh rebuild-fixture`, ~2 s).
    bool rebuildFixture() const;
    // Notes that a test changes the engine: the next engine test starts with rebuildFixture().
    void markChanged() const;

    // The real name of a fixture volume: "anonymous:alpha-cache" and "anonymous:orphan" stand for
    // the two anonymous volumes (new names on every engine start); other names are returned as is.
    QString volumeName(const QString& fixtureName) const;
    QString imageId(const QString& reference) const { return line({"image", "inspect", reference, "--format", "{{.Id}}"}); }
    QString containerId(const QString& name) const { return line({"container", "inspect", name, "--format", "{{.Id}}"}); }
    // The Images row of the engine's own `docker system df`.
    EngineImageTotals imageTotals() const
    {
        return DockerClient::parseEngineImageTotals(QString::fromUtf8(docker({"system", "df", "--format", "{{json .}}"})));
    }

    static QString docker20Client() { return QStringLiteral("/usr/bin/docker"); }  // the engine's own version
    static QString docker28Client() { return QStringLiteral("/usr/local/bin/docker"); }

private:
    QString m_engineDir;
    QString m_reason = QStringLiteral("engine not loaded");
};

inline QStringList jsonStrings(const QJsonValue& array)
{
    QStringList result;
    for (const QJsonValue& value : array.toArray())
        result << value.toString();
    return result;
}

inline QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}
template <typename Set> QStringList sorted(const Set& set) { return sorted(QStringList(set.begin(), set.end())); }
inline QSet<QString> toSet(const QStringList& list) { return QSet<QString>(list.begin(), list.end()); }

// What reading docker's print of `bytes` gives: `digits` significant digits of decimal units
// (524.3kB, 3.146MB; 1.98MB in image listings).
inline qint64 dockerReading(qint64 bytes, int digits = 4)
{
    const qint64 scale = bytes < 1 ? 1 : qint64(std::pow(10, std::max(0, int(std::log10(double(bytes))) + 1 - digits)));
    return (bytes + scale / 2) / scale * scale;
}

// Containers are compared by their short (12-digit) ids, as docker ps lists them.
inline QString shortId(const QString& id) { return id.left(12); }
template <typename Record, typename Key> QStringList listOf(const QList<Record>& records, Key key)
{
    QStringList out;
    for (const Record& record : records)
        out << key(record);
    return out;
}
inline QSet<QString> containerIds(const QList<SGContainer>& l)
{
    return toSet(listOf(l, [](auto& c) { return shortId(c.id); }));
}
inline QSet<QString> imageIds(const QList<SGImage>& l) { return toSet(listOf(l, [](auto& i) { return i.id; })); }
inline QSet<QString> volumeNames(const QList<SGVolume>& l) { return toSet(listOf(l, [](auto& v) { return v.name; })); }

// What Docker itself holds, read with the docker client.
struct DockerState {
    QSet<QString> containerIds, containerNames, imageIds, imageRefs, volumes, danglingVolumes;
    QString buildCacheSize;  // the Build Cache row of system df
    int running = 0;

    static DockerState read(const Engine& engine);
};

// How the rig's model differs from one on the private engine with the usual limits.
struct EngineModelSetup {
    QString dockerHost;  // DOCKER_HOST for the runner; the private engine's when empty
    QString cacheFile;   // the state cache; one in the rig's folder when empty
    DockerClient::Limits limits;
    AppModel::RemovalLimits removalLimits{12.0, 60.0, 120.0};
    QString client = Engine::docker20Client();
    bool refreshAfterCleanup = true;
};

// A runner, a query facade and an AppModel over the private engine, with their own operation
// center, in-memory log, scripted alerts and cache file. The runner starts a small wrapper that
// notes every argument list (one file per run, each argument NUL-terminated) and then becomes
// the docker client, so a test sees exactly what reached Docker.
struct EngineModelRig {
    using Setup = EngineModelSetup;

    explicit EngineModelRig(const Engine& engine, const Setup& setup = {});

    QString cacheFile() const { return dir.filePath(QStringLiteral("state.cache")); }
    // Refreshes and waits for its end; true when the refresh inspected every container.
    bool refreshAndWait();
    bool waitIdle(std::chrono::milliseconds limit = std::chrono::seconds(90));
    // Every argument list passed to docker so far, in start order.
    QList<QStringList> calls() const;
    // The argument lists that change something: rm, rmi, volume rm, builder prune.
    QList<QStringList> removalCalls() const;
    // The items (past the command words) of every call starting with `command`.
    QStringList itemsOf(const QStringList& command) const;
    // "level message" of every log entry once the UI thread has published it.
    QStringList logLines() { return test::logLines(log); }

    OperationCenter operations;
    ActivityLog log{std::nullopt};
    ScriptedAlerts alerts;
    QTemporaryDir dir;
    std::unique_ptr<DockerRunner> cli;
    std::unique_ptr<DockerClient> client;
    std::unique_ptr<AppModel> model;
};

// Base of engine tests: loads the engine and expected.json (with "${ENGINE_DIR}" filled in),
// rebuilds the fixture when an earlier test changed it; skips without an engine (fails in CI).
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override;

    int count(const char* key) const { return expected.value("counts").toObject().value(key).toInt(-1); }
    QStringList list(const char* key) const { return jsonStrings(expected.value(QLatin1String(key))); }
    // The entry of expected.json's array `key` whose "name" or "ref" is `name`.
    QJsonObject entry(const char* key, const QString& name) const;
    // Fixture references (image refs, volume names with "anonymous:…", container names) to engine
    // ids and names.
    QSet<QString> imageIdsOf(const QStringList& refs) const;
    // The images docker's own filter calls dangling (untagged, nothing built on them).
    QSet<QString> danglingImageIds() const
    {
        return toSet(engine.lines({"images", "-q", "--no-trunc", "--filter", "dangling=true"}));
    }
    // What "Remove Unused Images" offers: the named unused images and the dangling one.
    QSet<QString> offeredImageIds() const { return imageIdsOf(list("unusedImages")) + danglingImageIds(); }
    QStringList realVolumes(const QStringList& fixtureNames) const;
    QSet<QString> volumesOf(const QStringList& fixtureNames) const { return toSet(realVolumes(fixtureNames)); }
    QSet<QString> containerIdsOf(const QStringList& names) const;

    Engine engine;
    QJsonObject expected;
};

// An engine test that changes the engine: the next engine test gets the fixture back.
class FreshFixtureTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (!IsSkipped() && !HasFatalFailure())
            engine.markChanged();
    }
};

}  // namespace stowage::test
