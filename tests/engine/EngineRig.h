#pragma once
// Code under test wired to the private engine: a runner that finds exactly one docker client,
// runs it with the engine's environment, and reports to its own operation center and an
// in-memory activity log. Plus small helpers shared by the engine tests.

#include "EngineSupport.h"
#include "model/InventoryFixtures.h"

#include "docker/DockerCLI.h"
#include "docker/DockerClient.h"
#include "docker/OperationCenter.h"
#include "log/ActivityLog.h"
#include "support/TestSupport.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QProcessEnvironment>
#include <QSet>

#include <memory>

namespace stowage::test {

inline Environment toEnvironment(const QProcessEnvironment& processEnvironment)
{
    Environment env;
    for (const QString& key : processEnvironment.keys())
        env[key] = processEnvironment.value(key);
    return env;
}

// A runner whose only docker candidate is `client`, talking to the private engine.
inline DockerCLI::Config engineRunnerConfig(const Engine& engine, const QString& client)
{
    DockerCLI::Config config;
    config.fixedCandidates = {client};
    config.searchPath = false;
    config.loginShell.clear();
    config.baseEnvironment = toEnvironment(engine.environment());
    return config;
}

struct EngineClientRig {
    OperationCenter operations;
    ActivityLog log{std::nullopt};
    std::unique_ptr<DockerCLI> cli;
    std::unique_ptr<DockerClient> client;

    EngineClientRig(const Engine& engine, const QString& dockerClient, DockerClient::Limits limits = {})
    {
        DockerCLI::Config config = engineRunnerConfig(engine, dockerClient);
        config.operations = &operations;
        config.log = &log;
        cli = std::make_unique<DockerCLI>(config);
        client = std::make_unique<DockerClient>(*cli, limits);
    }

    // Log messages once the UI thread has published them.
    QStringList messages()
    {
        drainEvents();
        QStringList out;
        for (const auto& entry : log.entries())
            out << entry.message;
        return out;
    }
};

// Brings the fixture back when a test that changed the engine ends, whichever way it ends.
class RestoreFixtureAtEnd {
public:
    explicit RestoreFixtureAtEnd(const Engine& engine) : engine_(engine) {}
    ~RestoreFixtureAtEnd() { engine_.rebuildFixture(); }
    RestoreFixtureAtEnd(const RestoreFixtureAtEnd&) = delete;
    RestoreFixtureAtEnd& operator=(const RestoreFixtureAtEnd&) = delete;

private:
    const Engine& engine_;
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

inline int expectedCount(const QJsonObject& expected, const char* key)
{
    return expected.value("counts").toObject().value(key).toInt(-1);
}

// The fixture's real volume names for its names ("anonymous:…" resolved).
inline QStringList realVolumeNames(const Engine& engine, const QStringList& fixtureNames)
{
    QStringList names;
    for (const QString& name : fixtureNames)
        names << engine.volumeName(name);
    return names;
}

}  // namespace stowage::test
