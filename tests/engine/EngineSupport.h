#pragma once
// Access to the private Docker engine of the end-to-end tests: the engine that
// tests/engine/engine.sh starts (ctest runs it before the engine tests) with the fixture
// inventory of tests/engine/FIXTURE.md. Nothing here ever talks to the machine's default engine.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QJsonObject>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace stowage::test {

// The outcome of one docker command.
struct DockerRun {
    int exitCode = -1;  // -1 when the client did not start or did not end in time
    QByteArray out;
    QByteArray err;
    bool ok() const { return exitCode == 0; }
};

class Engine {
public:
    // Reads the state file written by `engine.sh start` and checks that the engine answers.
    // When it does not, available() is false and unavailableReason() says why.
    static Engine load(const QString& stateFile = QStringLiteral(ENGINE_STATE_FILE));

    bool available() const { return m_reason.isEmpty(); }
    QString unavailableReason() const { return m_reason; }

    QString dockerHost() const { return m_dockerHost; }  // unix:///tmp/stowage-engine.XXXXXX/docker.sock
    QString engineDir() const { return m_engineDir; }     // /tmp/stowage-engine.XXXXXX

    // The current environment with DOCKER_HOST set to the private engine and the user's docker
    // contexts and client configuration left out: for docker clients and for code under test.
    QProcessEnvironment environment() const;

    // Runs a docker client against the private engine. Each argument reaches it unchanged.
    DockerRun run(const QStringList& args, const QString& client = docker20Client(), int timeoutMs = 120000) const;
    // Standard output of a docker command that must succeed (a test failure is added otherwise).
    QByteArray docker(const QStringList& args, const QString& client = docker20Client()) const;
    // The non-empty lines of docker(args), trimmed.
    QStringList lines(const QStringList& args, const QString& client = docker20Client()) const;

    // Throws away everything on the engine and brings the fixture back (`engine.sh
    // rebuild-fixture`, about two seconds). A failure is added when it does not succeed.
    bool rebuildFixture() const;

    // The real name of a fixture volume: "anonymous:alpha-cache" and "anonymous:orphan" stand for
    // the two anonymous volumes (new names on every engine start); other names are returned as is.
    QString volumeName(const QString& fixtureName) const;
    QString imageId(const QString& reference) const;  // full "sha256:…" id
    QString containerId(const QString& name) const;   // full 64-digit id

    static QString docker20Client();  // the docker.io client (20.10), the engine's own version
    static QString docker28Client();  // the newer client that comes first on PATH

private:
    QString m_dockerHost;
    QString m_engineDir;
    QString m_reason = QStringLiteral("engine not loaded");
};

// True when CI=true: a missing engine is then a test failure, never a skip.
bool engineRequired();

// tests/engine/fixture/expected.json; with engineDir given, "${ENGINE_DIR}" in its texts is
// replaced by it.
QJsonObject loadExpectedFixture(const QString& engineDir = {});

// Base of engine tests: loads the engine and expected.json; skips the test when there is no
// engine (fails it in CI).
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override;

    Engine engine;
    QJsonObject expected;
};

}  // namespace stowage::test
