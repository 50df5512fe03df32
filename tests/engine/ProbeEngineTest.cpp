// The real executable against the private engine: `--probe` prints the fixture's six summary
// lines, a stopped daemon gives one ERROR line, and in every case the process ends with status 0
// after its log lines reached the file; `report --json` tells what Docker holds and what is safe
// to remove, and neither it nor a dry `clean --json` changes anything.

#include "EngineRig.h"

#include "docker/Probe.h"

#include <gmock/gmock.h>

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>

namespace stowage::test {
namespace {

struct ProbeRun {
    int exitCode = -1;
    QStringList lines;  // standard output
    QByteArray out;     // standard output
    QByteArray err;
    QStringList log;    // the activity log file the run wrote
    bool wroteStateCache = false;
    qint64 elapsedMs = 0;
};

// A throwaway sshd on a free loopback port whose one key logs in with DOCKER_HOST set to
// `dockerHost`, and an `ssh` wrapper (put first on PATH) with that key, its own known hosts and no
// prompts, so that the user's ~/.ssh is never read or written.
struct LoopbackSshd {
    QTemporaryDir dir{"/tmp/stowage-sshd.XXXXXX"};
    QProcess sshd;
    QString url;      // ssh://127.0.0.1:PORT
    QString problem;  // why sshd does not run; empty when it does

    explicit LoopbackSshd(const QString& dockerHost)
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        const QString port = QString::number(probe.serverPort());
        probe.close();
        const auto path = [&](const char* name) { return dir.filePath(name); };
        for (const char* key : {"host_key", "user_key"})
            QProcess::execute("ssh-keygen", {"-q", "-t", "ed25519", "-N", "", "-f", path(key)});
        // Its own HOME too, so that the account's shell start-up files are not read on every connection.
        writeFile(path("authorized_keys"), QStringLiteral("environment=\"DOCKER_HOST=%1\",environment=\"HOME=%2\" ").arg(dockerHost, dir.path()).toUtf8()
                                               + readFile(path("user_key.pub")));
        writeFile(path("sshd_config"), QStringLiteral("Port %1\nListenAddress 127.0.0.1\nHostKey %2/host_key\nAuthorizedKeysFile %2/authorized_keys\n"
                                                      "PasswordAuthentication no\nPermitUserEnvironment yes\nStrictModes no\nUsePAM no\nPidFile none\n")
                                           .arg(port, dir.path()).toUtf8());
        writeFile(path("ssh_config"), QStringLiteral("Host *\nIdentityFile %1/user_key\nStrictHostKeyChecking no\nUserKnownHostsFile %1/known_hosts\n"
                                                     "BatchMode yes\n").arg(dir.path()).toUtf8());
        QDir().mkpath(path("bin"));
        writeFile(path("bin/ssh"), "#!/bin/sh\nexec /usr/bin/ssh -F " + path("ssh_config").toUtf8() + " \"$@\"\n", true);
        url = "ssh://127.0.0.1:" + port;  // as the user the tests run as
        QDir().mkpath("/run/sshd");  // its privilege separation folder
        sshd.setProcessChannelMode(QProcess::MergedChannels);
        sshd.start("/usr/sbin/sshd", {"-D", "-e", "-f", path("sshd_config")});
        if (!sshd.waitForStarted() || !waitUntil([&] { return QProcess::execute(path("bin/ssh"), {"-p", port, "127.0.0.1", "true"}) == 0; }))
            problem = "sshd cannot run or let the test's key in: " + sshd.errorString() + " " + QString::fromUtf8(sshd.readAll());
    }
    ~LoopbackSshd() { sshd.terminate(); sshd.waitForFinished(10000); }
};

class ProbeEngineTest : public EngineTest {
protected:
    // Runs the real executable with the engine's environment, a private data folder (so that the
    // user's activity log is never touched), the newer client on PATH and `dockerHost` when given;
    // standard output goes to `outputFile` when given.
    ProbeRun runStowage(const QStringList& arguments, const QString& dockerHost = {}, const QString& path = {},
                        const QString& outputFile = {}, const QString& dockerConfig = {})
    {
        QTemporaryDir home;
        QProcessEnvironment env = engine.environment();
        if (!dockerConfig.isEmpty())
            env.insert("DOCKER_CONFIG", dockerConfig);
        env.insert("XDG_DATA_HOME", home.path());
        env.insert("PATH", path.isEmpty() ? QFileInfo(Engine::docker28Client()).path() + ":" + env.value("PATH") : path);
        if (!dockerHost.isEmpty())
            env.insert("DOCKER_HOST", dockerHost);
        QProcess process;
        process.setProcessEnvironment(env);
        QElapsedTimer timer;
        timer.start();
        if (!outputFile.isEmpty())
            process.setStandardOutputFile(outputFile);
        process.start(QStringLiteral(STOWAGE_EXE_PATH), arguments);
        EXPECT_TRUE(process.waitForFinished(120000)) << "stowage did not end";
        ProbeRun run;
        run.elapsedMs = timer.elapsed();
        if (process.exitStatus() == QProcess::NormalExit)
            run.exitCode = process.exitCode();
        run.out = process.readAllStandardOutput();
        run.err = process.readAllStandardError();
        run.lines = QString::fromUtf8(run.out).split('\n', Qt::SkipEmptyParts);
        run.wroteStateCache = QFile::exists(home.filePath("Stowage/state.cache"));
        run.log = QString::fromUtf8(readFile(home.filePath("Stowage/activity.log"))).split('\n', Qt::SkipEmptyParts);
        return run;
    }

    QStringList fixtureSummary(const QString& docker) const
    {
        return {
            QStringLiteral("containers: %1").arg(count("containers")),
            QStringLiteral("images: %1 | first id is sha256: true").arg(count("imageRows")),
            QStringLiteral("volumes: %1").arg(count("volumes")),
            "build cache: " + engine.line({"system", "df", "--format",
                                           R"({{if eq .Type "Build Cache"}}{{.Size}} reclaimable {{.Reclaimable}}{{end}})"}),
            // 3 MiB + 2 MiB + 1.5 MiB + 512 KiB written, printed and read in decimal units: 7.34 MB.
            QStringLiteral("volume sizes: %1 | total 7.3 MB").arg(count("volumes")),
            "docker root: " + engine.engineDir() + "/data",
            "docker: " + docker,
        };
    }
};

// Also with other arguments around it, and through the query facade with either client.
TEST_F(ProbeEngineTest, TheExecutablePrintsTheFixturesSummaryAndExitsZero)
{
    for (const QStringList& arguments : {QStringList{"--probe"}, QStringList{"-v", "--probe", "extra"}}) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const ProbeRun run = runStowage(arguments);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.lines, fixtureSummary(Engine::docker28Client()));
    }
    // The docker a Linux user means is the one their PATH finds first, not a fixed place.
    const QString docker20Dir = QFileInfo(Engine::docker20Client()).path();
    const ProbeRun onPath = runStowage({"--probe"}, {}, docker20Dir + ":/bin:" + QFileInfo(Engine::docker28Client()).path());
    EXPECT_EQ(onPath.lines, fixtureSummary(Engine::docker20Client()));
    EXPECT_FALSE(onPath.log.filter("\tinfo\tdocker: " + Engine::docker20Client() + " (found on PATH)").isEmpty());
    for (const QString& client : {Engine::docker20Client(), Engine::docker28Client()}) {
        SCOPED_TRACE(client.toStdString());
        EngineModelRig rig(engine, {.client = client});
        EXPECT_EQ(Probe::lines(*rig.client), fixtureSummary(rig.client->cli.dockerExecutable()));
    }
}

// A socket path nobody listens on, and a socket file a crashed daemon left behind.
TEST_F(ProbeEngineTest, AStoppedDaemonGivesOneErrorLineAndTheLogReachesTheFile)
{
    QTemporaryDir sockets;
    const QString stale = sockets.filePath("stale.sock");
    ASSERT_EQ(QProcess::execute("/usr/bin/python3", {"-c", "import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])",
                                                     stale}),
              0);
    for (const QString& socket : {stale, sockets.filePath("missing.sock")}) {
        SCOPED_TRACE(socket.toStdString());
        const ProbeRun run = runStowage({"--probe"}, "unix://" + socket);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.lines, QStringList{"ERROR: Cannot connect to the Docker daemon. Is Docker running?"});
        // The runner's line about the failed listing was written before the process ended.
        static const QRegularExpression fileLine(
            "^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}Z\twarn\tps -a --format \\{\\{…\\}\\} — exit 1: "
            "Cannot connect to the Docker daemon at unix://.*\\.sock\\. Is the docker daemon running\\?$");
        EXPECT_FALSE(run.log.filter(fileLine).isEmpty()) << run.log.join('\n').toStdString();
    }
}

// `report --json` holds Docker's own figures and listings and the fixture's safe set; neither it nor
// a dry `clean --json` removes anything or writes the window's state cache.
TEST_F(ProbeEngineTest, TheReportAgreesWithDockerAndNeitherItNorADryRunChangesAnything)
{
    const DockerState before = DockerState::read(engine);
    for (const QStringList& arguments : {QStringList{"report", "--json"}, QStringList{"clean", "--json"}}) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const ProbeRun run = runStowage(arguments);
        EXPECT_EQ(run.exitCode, 0);
        const QJsonObject doc = QJsonDocument::fromJson(run.out).object();
        const auto strings = [&](const char* object, const char* key) {
            return toSet(jsonStrings(doc.value(QLatin1String(object)).toObject().value(QLatin1String(key))));
        };
        EXPECT_TRUE(doc.value("usageDataComplete").toBool());
        // Of the orphans only the anonymous one is safe: the named and the project's may hold data.
        EXPECT_EQ(strings("wouldRemove", "images"), offeredImageIds());
        EXPECT_EQ(strings("wouldRemove", "volumes"), volumesOf({"anonymous:orphan"}));
        EXPECT_FALSE(run.log.isEmpty());
        EXPECT_FALSE(run.wroteStateCache) << "the state cache is the window's";
        if (arguments[0] != "report")
            continue;
        EXPECT_EQ(doc.value("containers").toObject(),
                  (QJsonObject{{"total", count("containers")}, {"running", count("runningContainers")}}));
        // The image totals are the engine's own (docker system df), not the listing's rows summed.
        const EngineImageTotals images = engine.imageTotals();
        EXPECT_EQ(doc.value("totals")["imageBytes"].toInteger(), images.sizeBytes);
        EXPECT_EQ(doc.value("totals")["imageCount"].toInt(), images.count);
        // One entry per image id and per volume, exactly the ones Docker lists, with the sizes of
        // the bytes written into the volumes.
        QSet<QString> ids;
        for (const QJsonValue value : doc.value("images").toArray())
            ids.insert(value["id"].toString());
        EXPECT_EQ(ids, toSet(engine.lines({"images", "-aq", "--no-trunc"})));
        QHash<QString, qint64> sizes;
        for (const QJsonValue value : doc.value("volumes").toArray())
            sizes.insert(value["name"].toString(), value["sizeBytes"].toInteger());
        EXPECT_EQ(toSet(sizes.keys()), toSet(engine.lines({"volume", "ls", "-q"})));
        for (const QJsonValue value : expected.value("volumes").toArray())
            EXPECT_EQ(sizes.value(engine.volumeName(value["name"].toString())), dockerReading(value["contentBytes"].toInteger()));
    }
    const DockerState after = DockerState::read(engine);
    EXPECT_EQ(after.imageIds, before.imageIds);
    EXPECT_EQ(after.volumes, before.volumes);
    EXPECT_EQ(after.buildCacheSize, before.buildCacheSize);
}

// A volume someone created with a name of 64 hex digits and a label of their own looks generated
// but is not anonymous: neither `clean --yes` (the newer client) nor Safe Clean All in the model
// (the engine's own client) removes it or its data, while the fixture's anonymous orphan goes.
TEST_F(ProbeEngineTest, AGeneratedLookingVolumeWithALabelOfItsOwnIsNeverCleanedAsAnonymous)
{
    engine.markChanged();
    // Looked up before the look-alike exists: it is 64 hex digits and dangling too.
    const QString anonymous = engine.volumeName("anonymous:orphan");
    const QString name = QCryptographicHash::hash("customer-db", QCryptographicHash::Sha256).toHex();
    engine.docker({"volume", "create", "--label", "purpose=customer-db", name});
    const QString data = engine.line({"volume", "inspect", name, "--format", "{{.Mountpoint}}"}) + "/data.bin";
    ASSERT_TRUE(writeFile(data, QByteArray(3 * 1024 * 1024, 'd')));

    EXPECT_EQ(runStowage({"clean", "--yes"}).exitCode, 0);
    const QSet<QString> volumes = DockerState::read(engine).volumes;
    EXPECT_TRUE(volumes.contains(name) && !volumes.contains(anonymous));

    EngineModelRig rig(engine);
    ASSERT_TRUE(rig.refreshAndWait());
    EXPECT_TRUE(rig.model->classification().anonymousOrphanVolumes().isEmpty());
    rig.model->removals().safeCleanAll();
    ASSERT_TRUE(rig.waitIdle());
    EXPECT_TRUE(rig.itemsOf({"volume", "rm"}).isEmpty());
    EXPECT_TRUE(DockerState::read(engine).volumes.contains(name));
    EXPECT_EQ(readFile(data), QByteArray(3 * 1024 * 1024, 'd'));
}

// With either client: the image pulled from the registry is kept and says why, the dangling image
// is offered, and the project taken down with `down` is reported with its volume.
TEST_F(ProbeEngineTest, TheReportTellsPulledFromBuiltAndKeepsTakenDownProjects)
{
    const QString postgres = engine.imageId("postgres:16");
    const QSet<QString> dangling = danglingImageIds();
    ASSERT_EQ(dangling.size(), 1);
    for (const QString& client : {Engine::docker20Client(), Engine::docker28Client()}) {
        SCOPED_TRACE(client.toStdString());
        const ProbeRun run = runStowage({"report", "--json"}, {}, QFileInfo(client).path() + ":/usr/bin:/bin");
        EXPECT_EQ(run.exitCode, 0);
        const QJsonObject doc = QJsonDocument::fromJson(run.out).object();
        QHash<QString, QJsonObject> images;
        for (const QJsonValue value : doc.value("images").toArray())
            images.insert(value["id"].toString(), value.toObject());
        EXPECT_EQ(images[postgres]["reason"].toString(), "Pulled from a registry — kept");
        EXPECT_FALSE(images[postgres]["offered"].toBool());
        EXPECT_TRUE(images[*dangling.begin()]["offered"].toBool());
        EXPECT_EQ(images[*dangling.begin()]["reason"].toString(), "");
        const QJsonArray projects = doc.value("projects").toArray();
        const QJsonObject gamma = projects.at(3).toObject();  // by name: alpha, beta, delta, gamma
        EXPECT_EQ(gamma["name"].toString(), "sgfx-gamma");
        EXPECT_TRUE(gamma["takenDown"].toBool());
        EXPECT_EQ(jsonStrings(gamma["volumes"]), QStringList{"sgfx-gamma_db"});
        EXPECT_EQ(gamma["volumeBytes"].toInteger(), dockerReading(3145728));
    }

    // A report that cannot be written (a full disk) is a failure, said on standard error.
    const ProbeRun full = runStowage({"report"}, {}, {}, "/dev/full");
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_TRUE(full.err.startsWith("stowage: could not write the output: ")) << full.err.toStdString();
}

// Two engines as two contexts of a private docker configuration, DOCKER_HOST pointing at the first,
// and the first again over ssh:// through a loopback sshd: a clean acts on the engine its context
// names only, though both hold a volume of the same name; the ssh:// context reads what the direct
// one reads; --all-contexts tells the stopped engine and an SSH host that never answers apart, with
// exit status 1, within seconds of the slowest engine that answers.
TEST_F(ProbeEngineTest, EachContextReachesItsOwnEngineAndAStoppedOneIsNotReachable)
{
    LoopbackSshd sshd(engine.environment().value("DOCKER_HOST"));
    if (!sshd.problem.isEmpty() && qgetenv("CI") != "true" && !QFile::exists("/usr/sbin/sshd"))
        GTEST_SKIP() << "no ssh:// engine: " << sshd.problem.toStdString();
    ASSERT_TRUE(sshd.problem.isEmpty()) << sshd.problem.toStdString();
    QTcpServer silent;  // lets a connection in, then says nothing: an SSH host that hangs
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    silent.pauseAccepting();
    QTemporaryDir dir("/tmp/stowage-engine2.XXXXXX");
    const QString socket = "unix://" + dir.filePath("docker.sock");
    QProcess dockerd;
    dockerd.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    dockerd.setStandardOutputFile(QProcess::nullDevice());
    dockerd.start("dockerd", {"--data-root", dir.filePath("data"), "--exec-root", dir.filePath("exec"), "--pidfile",
                              dir.filePath("docker.pid"), "-H", socket, "--bridge=none", "--iptables=false",
                              "--ip-masq=false", "--storage-driver=vfs"});
    const auto second = [&](const QStringList& args) { return engine.run(QStringList{"-H", socket} + args); };
    ASSERT_TRUE(waitUntil([&] { return second({"version"}).ok(); }, std::chrono::seconds(60)));
    const QString config = dir.filePath("config");
    const QList<std::pair<QString, QString>> contexts{{"primary", engine.environment().value("DOCKER_HOST")}, {"second", socket},
                                                      {"remote", sshd.url}, {"silent", "ssh://nobody@127.0.0.1:" + QString::number(silent.serverPort())}};
    for (const auto& [name, host] : contexts)
        ASSERT_TRUE(engine.run({"--config", config, "context", "create", name, "--docker", "host=" + host}).ok());
    engine.markChanged();
    engine.docker({"volume", "create", "twin-vol"});
    ASSERT_TRUE(second({"volume", "create", "twin-vol"}).ok());

    const ProbeRun clean = runStowage({"clean", "--context", "second", "--yes", "--only", "volumes", "--json"}, {}, {}, {}, config);
    EXPECT_EQ(clean.exitCode, 0) << clean.err.toStdString();
    const QJsonObject cleaned = QJsonDocument::fromJson(clean.out).object();
    EXPECT_EQ(cleaned["engine"].toString(), "second");
    EXPECT_EQ(jsonStrings(cleaned["removed"]["volumes"]), QStringList{"twin-vol"});
    EXPECT_TRUE(second({"volume", "inspect", "twin-vol"}).exitCode != 0);
    EXPECT_TRUE(DockerState::read(engine).volumes.contains("twin-vol"));

    dockerd.terminate();
    ASSERT_TRUE(dockerd.waitForFinished(30000));
    const QString path = sshd.dir.filePath("bin") + ":" + QFileInfo(Engine::docker20Client()).path() + ":/bin";
    QList<QJsonObject> reports;
    qint64 slowest = 0;
    for (const char* context : {"primary", "remote"}) {
        const ProbeRun run = runStowage({"report", "--context", context, "--json"}, {}, path, {}, config);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        reports << QJsonDocument::fromJson(run.out).object();
        reports.back().remove("engine");
        reports.back().remove("endpoint");
        // Docker lists images made in the same second, and their names, in any
        // order: compare images by id, and names and planned removals as sets.
        QJsonObject images;
        for (const QJsonValue image : reports.back().take("images").toArray()) {
            QJsonObject named = image.toObject();
            named["repositories"] = QJsonArray::fromStringList(sorted(jsonStrings(named["repositories"])));
            images.insert(image["id"].toString(), named);
        }
        reports.back().insert("images", images);
        QJsonObject planned = reports.back().take("wouldRemove").toObject();
        planned["images"] = QJsonArray::fromStringList(sorted(jsonStrings(planned["images"])));
        reports.back().insert("wouldRemove", planned);
        slowest = std::max(slowest, run.elapsedMs);
    }
    EXPECT_EQ(QJsonDocument(reports[1]).toJson().toStdString(), QJsonDocument(reports[0]).toJson().toStdString());
    const ProbeRun all = runStowage({"report", "--all-contexts", "--json"}, {}, path, {}, config);
    EXPECT_EQ(all.exitCode, 1) << all.err.toStdString();
    // The connect check gives the silent host 5 s; every other engine runs meanwhile.
    EXPECT_LT(all.elapsedMs, std::max<qint64>(slowest, 5000) + 4000) << "the slowest alone took " << slowest << " ms";
    QStringList engines;
    for (const QJsonValue e : QJsonDocument::fromJson(all.out)["engines"].toArray())
        engines << QStringList{e["engine"].toString(), e["reachable"].toBool() ? "up" : "down " + e["error"].toString().section(' ', 0, 2),
                               jsonStrings(e["sameEngineAs"]).join('+')}.join(' ');
    EXPECT_EQ(engines, (QStringList{"default up primary+remote", "primary up default+remote", "remote up default+primary",
                                    "second down Cannot connect to ", "silent down Docker did not "}));
}

}  // namespace
}  // namespace stowage::test
