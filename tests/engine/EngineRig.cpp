#include "EngineRig.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>

namespace stowage::test {

namespace {

QString engineScriptsDir() { return QStringLiteral(TEST_ENGINE_DIR); }

DockerRun runProcess(const QString& program, const QStringList& args, const QProcessEnvironment& env, int timeoutMs)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, args);
    const bool ended = process.waitForFinished(timeoutMs);
    if (!ended) {
        process.kill();
        process.waitForFinished(5000);
    }
    const bool ok = ended && process.exitStatus() == QProcess::NormalExit;
    return {ok ? process.exitCode() : -1, process.readAllStandardOutput(), process.readAllStandardError()};
}

QJsonObject loadExpectedFixture(const QString& engineDir)
{
    const QByteArray json = readFile(engineScriptsDir() + QStringLiteral("/fixture/expected.json"));
    return QJsonDocument::fromJson(QByteArray(json).replace("${ENGINE_DIR}", engineDir.toUtf8())).object();
}

}  // namespace

Engine Engine::load()
{
    Engine engine;
    QFile file(QStringLiteral(ENGINE_STATE_FILE));
    if (!file.open(QIODevice::ReadOnly)) {
        engine.m_reason = "no engine state file " + file.fileName() + ": run the engine tests through ctest -L engine";
        return engine;
    }
    static const QRegularExpression dirLine(QStringLiteral("^STOWAGE_ENGINE_DIR=(/tmp/stowage-engine\\.[A-Za-z0-9]+)$"),
                                            QRegularExpression::MultilineOption);
    engine.m_engineDir = dirLine.match(QString::fromUtf8(file.readAll())).captured(1);
    if (engine.m_engineDir.isEmpty()) {
        engine.m_reason = file.fileName() + " does not name a private engine";
        return engine;
    }
    engine.m_reason.clear();
    const DockerRun version = engine.run({"version", "--format", "{{.Server.Version}}"}, docker20Client(), 15000);
    if (!version.ok())
        engine.m_reason = "the private engine does not answer: " + QString::fromUtf8(version.err).trimmed();
    return engine;
}

QProcessEnvironment Engine::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DOCKER_CONTEXT", "DOCKER_TLS_VERIFY", "DOCKER_CERT_PATH", "DOCKER_API_VERSION"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("DOCKER_HOST"), "unix://" + m_engineDir + "/docker.sock");
    env.insert(QStringLiteral("DOCKER_CONFIG"), m_engineDir + QStringLiteral("/client-config"));
    return env;
}

DockerRun Engine::run(const QStringList& args, const QString& client, int timeoutMs) const
{
    if (m_engineDir.isEmpty())
        return {-1, {}, "no private engine"};
    return runProcess(client, args, environment(), timeoutMs);
}

QByteArray Engine::docker(const QStringList& args, const QString& client) const
{
    const DockerRun result = run(args, client);
    EXPECT_TRUE(result.ok()) << client.toStdString() << ' ' << args.join(' ').toStdString() << ": " << result.err.toStdString();
    return result.ok() ? result.out : QByteArray();
}

QString Engine::line(const QStringList& args, const QString& client) const
{
    return QString::fromUtf8(docker(args, client)).trimmed();
}

QStringList Engine::lines(const QStringList& args, const QString& client) const
{
    return QString::fromUtf8(docker(args, client)).split('\n', Qt::SkipEmptyParts);
}

bool Engine::rebuildFixture() const
{
    const DockerRun result =
        runProcess(engineScriptsDir() + QStringLiteral("/engine.sh"), {"rebuild-fixture", QStringLiteral(ENGINE_STATE_FILE)},
                   QProcessEnvironment::systemEnvironment(), 300000);
    EXPECT_TRUE(result.ok()) << "engine.sh rebuild-fixture failed: " << result.err.toStdString();
    if (result.ok())
        QFile::remove(m_engineDir + QStringLiteral("/fixture-changed"));
    return result.ok();
}

void Engine::markChanged() const
{
    EXPECT_TRUE(writeFile(m_engineDir + QStringLiteral("/fixture-changed"), {}));
}

QString Engine::volumeName(const QString& fixtureName) const
{
    if (fixtureName == QLatin1String("anonymous:alpha-cache"))
        return line({"inspect", "sgfx-alpha_web_1", "--format",
                     R"({{range .Mounts}}{{if eq .Destination "/cache"}}{{.Name}}{{end}}{{end}})"});
    if (fixtureName != QLatin1String("anonymous:orphan"))
        return fixtureName;
    // The only 64-hex-digit name among the dangling volumes.
    static const QRegularExpression hex64(QStringLiteral("^[0-9a-f]{64}$"));
    return lines({"volume", "ls", "-q", "--filter", "dangling=true"}).filter(hex64).value(0);
}


DockerState DockerState::read(const Engine& engine)
{
    DockerState s;
    s.containerIds = toSet(engine.lines({"ps", "-aq"}));
    s.containerNames = toSet(engine.lines({"ps", "-a", "--format", "{{.Names}}"}));
    s.running = int(engine.lines({"ps", "-q"}).size());
    s.imageIds = toSet(engine.lines({"images", "-aq", "--no-trunc"}));
    s.imageRefs = toSet(engine.lines({"images", "--format", "{{.Repository}}:{{.Tag}}"}));
    s.imageRefs.remove(QStringLiteral("<none>:<none>"));
    s.volumes = toSet(engine.lines({"volume", "ls", "-q"}));
    s.danglingVolumes = toSet(engine.lines({"volume", "ls", "-q", "--filter", "dangling=true"}));
    s.buildCacheSize = engine.line({"system", "df", "--format", R"({{if eq .Type "Build Cache"}}{{.Size}}{{end}})"});
    return s;
}

EngineModelRig::EngineModelRig(const Engine& engine, const Setup& setup)
{
    QDir(dir.path()).mkpath(QStringLiteral("calls"));
    const QString wrapper = dir.filePath(QStringLiteral("docker"));
    // The rig's folder name is made by QTemporaryDir from safe characters only.
    writeFile(wrapper,
              "#!/bin/sh\nf=$(mktemp \"" + dir.filePath(QStringLiteral("calls")).toUtf8()
                  + "/$(date +%s%N).XXXXXX\") && printf '%s\\0' \"$@\" >\"$f\"\nexec " + setup.client.toUtf8()
                  + " \"$@\"\n",
              true);

    Environment env;
    const QProcessEnvironment system = engine.environment();
    for (const QString& key : system.keys())
        env[key] = system.value(key);
    if (!setup.dockerHost.isEmpty())
        env[QStringLiteral("DOCKER_HOST")] = setup.dockerHost;
    DockerRunner::Config config;
    config.fixedCandidates = {wrapper};
    config.searchPath = false;
    config.loginShell = QString();
    config.baseEnvironment = env;
    config.killGrace = 0.5;
    config.operations = &operations;
    config.log = &log;
    cli = std::make_unique<DockerRunner>(config);
    client = std::make_unique<DockerClient>(*cli, setup.limits);

    AppModel::Options options;
    options.cacheFile = std::optional<QString>(setup.cacheFile.isEmpty() ? cacheFile() : setup.cacheFile);
    options.alerts = &alerts;
    options.limits = setup.limits;
    options.removalLimits = setup.removalLimits;
    options.refreshAfterCleanup = setup.refreshAfterCleanup;
    model = std::make_unique<AppModel>(*cli, options);
}

bool EngineModelRig::refreshAndWait()
{
    model->refresh();
    return waitIdle() && model->inventory().usageDataComplete;
}

bool EngineModelRig::waitIdle(std::chrono::milliseconds limit)
{
    return waitUntil([&] { return !model->isLoading(); }, limit);
}

QList<QStringList> EngineModelRig::calls() const
{
    QDir callDir(dir.filePath(QStringLiteral("calls")));
    QList<QStringList> out;
    for (const QString& name : callDir.entryList(QDir::Files, QDir::Name)) {
        QStringList args;
        for (const QByteArray& arg : readFile(callDir.filePath(name)).split('\0'))
            args << QString::fromUtf8(arg);
        args.removeLast();  // after the last terminator
        out << args;
    }
    return out;
}

QList<QStringList> EngineModelRig::removalCalls() const
{
    QList<QStringList> out = calls();
    out.removeIf([](const QStringList& args) {
        const QString head = args.value(0) + ' ' + args.value(1);
        return !head.startsWith("rm ") && !head.startsWith("rmi ") && head != "volume rm" && head != "builder prune";
    });
    return out;
}

QStringList EngineModelRig::itemsOf(const QStringList& command) const
{
    QStringList items;
    for (const QStringList& args : calls())
        if (args.mid(0, command.size()) == command)
            items += args.mid(command.size());
    return items;
}

void EngineTest::SetUp()
{
    engine = Engine::load();
    if (!engine.available()) {
        if (qgetenv("CI") == "true")
            FAIL() << "CI=true and no private Docker engine: " << engine.unavailableReason().toStdString();
        GTEST_SKIP() << engine.unavailableReason().toStdString();
    }
    expected = loadExpectedFixture(engine.engineDir());
    ASSERT_FALSE(expected.isEmpty()) << "tests/engine/fixture/expected.json is missing or not valid JSON";
    if (QFile::exists(engine.engineDir() + QStringLiteral("/fixture-changed"))) {
        ASSERT_TRUE(engine.rebuildFixture());
    }
}

QJsonObject EngineTest::entry(const char* key, const QString& name) const
{
    for (const QJsonValue& value : expected.value(QLatin1String(key)).toArray()) {
        const QJsonObject object = value.toObject();
        if (object.value("name").toString() == name || object.value("ref").toString() == name)
            return object;
    }
    ADD_FAILURE() << "no " << key << " entry " << name.toStdString() << " in expected.json";
    return {};
}

QSet<QString> EngineTest::imageIdsOf(const QStringList& refs) const
{
    return toSet(listOf(refs, [&](const QString& ref) { return engine.imageId(ref); }));
}

QStringList EngineTest::realVolumes(const QStringList& fixtureNames) const
{
    return listOf(fixtureNames, [&](const QString& name) { return engine.volumeName(name); });
}

QSet<QString> EngineTest::containerIdsOf(const QStringList& names) const
{
    return toSet(listOf(names, [&](const QString& name) { return shortId(engine.containerId(name)); }));
}

}  // namespace stowage::test
