#include "EngineSupport.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>

namespace stowage::test {

namespace {

QString engineScriptsDir() { return QDir::cleanPath(QStringLiteral(TEST_DATA_DIR "/../engine")); }

// The value of KEY=value in the state file's lines; empty when absent.
QString stateValue(const QByteArray& state, const QByteArray& key)
{
    for (const QByteArray& line : state.split('\n')) {
        if (line.startsWith(key + '='))
            return QString::fromUtf8(line.mid(key.size() + 1)).trimmed();
    }
    return {};
}

bool isPrivateEngineDir(const QString& dir)
{
    static const QRegularExpression pattern(QStringLiteral("^/tmp/stowage-engine\\.[A-Za-z0-9]+$"));
    return pattern.match(dir).hasMatch();
}

DockerRun runProcess(const QString& program, const QStringList& args, const QProcessEnvironment& env, int timeoutMs)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(args);
    process.setProcessEnvironment(env);
    process.start();
    DockerRun result;
    if (!process.waitForStarted(10000)) {
        result.err = process.errorString().toUtf8();
        return result;
    }
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
        result.err = "timed out: " + process.readAllStandardError();
        return result;
    }
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return result;
}

}  // namespace

Engine Engine::load(const QString& stateFile)
{
    Engine engine;
    QFile file(stateFile);
    if (!file.open(QIODevice::ReadOnly)) {
        engine.m_reason = QStringLiteral("no engine state file %1: the engine_start test did not run or found "
                                         "no dockerd (run the engine tests through ctest -L engine)")
                              .arg(stateFile);
        return engine;
    }
    const QByteArray state = file.readAll();
    engine.m_dockerHost = stateValue(state, "DOCKER_HOST");
    engine.m_engineDir = stateValue(state, "STOWAGE_ENGINE_DIR");
    if (!isPrivateEngineDir(engine.m_engineDir)
        || engine.m_dockerHost != QStringLiteral("unix://%1/docker.sock").arg(engine.m_engineDir)) {
        engine.m_reason = QStringLiteral("state file %1 does not name a private engine").arg(stateFile);
        return engine;
    }
    engine.m_reason.clear();
    const DockerRun version = engine.run({"version", "--format", "{{.Server.Version}}"}, docker20Client(), 15000);
    if (!version.ok())
        engine.m_reason = QStringLiteral("the private engine at %1 does not answer: %2")
                              .arg(engine.m_dockerHost, QString::fromUtf8(version.err).trimmed());
    return engine;
}

QProcessEnvironment Engine::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DOCKER_CONTEXT", "DOCKER_TLS_VERIFY", "DOCKER_CERT_PATH", "DOCKER_API_VERSION"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("DOCKER_HOST"), m_dockerHost);
    env.insert(QStringLiteral("DOCKER_CONFIG"), m_engineDir + QStringLiteral("/client-config"));
    return env;
}

DockerRun Engine::run(const QStringList& args, const QString& client, int timeoutMs) const
{
    if (m_dockerHost.isEmpty())
        return {-1, {}, "no private engine"};
    return runProcess(client, args, environment(), timeoutMs);
}

QByteArray Engine::docker(const QStringList& args, const QString& client) const
{
    const DockerRun result = run(args, client);
    EXPECT_TRUE(result.ok()) << client.toStdString() << ' ' << args.join(' ').toStdString() << " exited with "
                             << result.exitCode << ": " << result.err.toStdString();
    return result.ok() ? result.out : QByteArray();
}

QStringList Engine::lines(const QStringList& args, const QString& client) const
{
    QStringList lines;
    for (const QString& line : QString::fromUtf8(docker(args, client)).split('\n')) {
        if (!line.trimmed().isEmpty())
            lines << line.trimmed();
    }
    return lines;
}

bool Engine::rebuildFixture() const
{
    const DockerRun result = runProcess(engineScriptsDir() + QStringLiteral("/engine.sh"),
                                        {QStringLiteral("rebuild-fixture"), QStringLiteral(ENGINE_STATE_FILE)},
                                        QProcessEnvironment::systemEnvironment(), 300000);
    EXPECT_TRUE(result.ok()) << "engine.sh rebuild-fixture failed (" << result.exitCode
                             << "): " << result.err.toStdString();
    return result.ok();
}

QString Engine::volumeName(const QString& fixtureName) const
{
    static const QString prefix = QStringLiteral("anonymous:");
    if (!fixtureName.startsWith(prefix))
        return fixtureName;
    const QJsonObject where =
        loadExpectedFixture().value("anonymousVolumes").toObject().value(fixtureName.mid(prefix.size())).toObject();
    const QString container = where.value("container").toString();
    if (!container.isEmpty()) {
        const QString mountAt = where.value("destination").toString();
        const QString tmpl = QStringLiteral("{{range .Mounts}}{{if eq .Destination \"%1\"}}{{.Name}}{{end}}{{end}}")
                                 .arg(mountAt);
        return QString::fromUtf8(docker({"inspect", container, "--format", tmpl})).trimmed();
    }
    // The anonymous orphan: the one 64-hex-digit name among the dangling volumes.
    static const QRegularExpression hex64(QStringLiteral("^[0-9a-f]{64}$"));
    for (const QString& name : lines({"volume", "ls", "-q", "--filter", "dangling=true"})) {
        if (hex64.match(name).hasMatch())
            return name;
    }
    return {};
}

QString Engine::imageId(const QString& reference) const
{
    return QString::fromUtf8(docker({"image", "inspect", reference, "--format", "{{.Id}}"})).trimmed();
}

QString Engine::containerId(const QString& name) const
{
    return QString::fromUtf8(docker({"container", "inspect", name, "--format", "{{.Id}}"})).trimmed();
}

QString Engine::docker20Client() { return QStringLiteral("/usr/bin/docker"); }

QString Engine::docker28Client() { return QStringLiteral("/usr/local/bin/docker"); }

bool engineRequired() { return qgetenv("CI") == "true"; }

QJsonObject loadExpectedFixture(const QString& engineDir)
{
    QFile file(engineScriptsDir() + QStringLiteral("/fixture/expected.json"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray text = file.readAll();
    if (!engineDir.isEmpty())
        text.replace("${ENGINE_DIR}", engineDir.toUtf8());
    return QJsonDocument::fromJson(text).object();
}

void EngineTest::SetUp()
{
    expected = loadExpectedFixture();
    ASSERT_FALSE(expected.isEmpty()) << "tests/engine/fixture/expected.json is missing or not valid JSON";
    engine = Engine::load();
    if (!engine.available()) {
        if (engineRequired())
            FAIL() << "CI=true and no private Docker engine: " << engine.unavailableReason().toStdString();
        GTEST_SKIP() << engine.unavailableReason().toStdString();
    }
    expected = loadExpectedFixture(engine.engineDir());
}

}  // namespace stowage::test
