#pragma once
// What a scripted fake docker (tests/support/fake_docker.cpp) answers: files
// in a folder, and rules.json naming for each command prefix the file it
// prints. serveInventory() serves the docker output of a whole inventory, so
// that a refresh against the fake docker lands exactly it; several inventories,
// each behind a docker context of its own, can share one folder.

#include "ListingLines.h"
#include "cache/StateCache.h"
#include "docker/DockerClient.h"
#include "docker/DockerRunner.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcessEnvironment>

namespace stowage::bench {

// This process's environment, as a runner takes it.
inline Environment processEnvironment()
{
    Environment env;
    const QProcessEnvironment system = QProcessEnvironment::systemEnvironment();
    for (const QString& key : system.keys())
        env[key] = system.value(key);
    return env;
}

// A runner that runs `docker` (none is found when it is empty) and looks up
// nothing else: no PATH search, no login shell. The environment is this
// process's, with FAKE_DOCKER_SCRIPT naming `scriptDir` when one is given.
inline DockerRunner::Config fakeDockerRunnerConfig(const QString& docker, const QString& scriptDir,
                                                   OperationCenter& operations, ActivityLog& log)
{
    DockerRunner::Config config;
    config.fixedCandidates = docker.isEmpty() ? QStringList{} : QStringList{docker};
    config.searchPath = false;
    config.loginShell = QString();
    config.operations = &operations;
    config.log = &log;
    config.baseEnvironment = processEnvironment();
    if (!scriptDir.isEmpty())
        (*config.baseEnvironment)["FAKE_DOCKER_SCRIPT"] = scriptDir;
    return config;
}

// Writes `s` as the state cache file `path`; false when it cannot.
inline bool writeStateCache(const QString& path, const CachedState& s)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(StateCache::encode(s)) > 0;
}

class FakeDockerScript {
public:
    explicit FakeDockerScript(QString dir) : dir_(std::move(dir)) {}

    // From here on, rules answer `docker --context NAME …` only (none: any call), `delay`
    // seconds after the call; their files carry the context's name.
    void setContext(QString context, double delay)
    {
        context_ = std::move(context);
        delay_ = delay;
    }

    // The command whose arguments start with `match` prints `text`.
    void serve(const QString& match, const QString& file, const QString& text)
    {
        addRule(match, file, text, QStringLiteral("stdoutFile"));
    }

    // The command whose arguments start with `match` prints, for each further
    // argument, the line of `text` that starts with it and "@@".
    void serveItems(const QString& match, const QString& file, const QString& text)
    {
        addRule(match, file, text, QStringLiteral("itemLinesFile"));
    }

    // Writes the rules; false when any file could not be written.
    bool finish()
    {
        QFile rules(QDir(dir_).filePath("rules.json"));
        return ok_ && rules.open(QIODevice::WriteOnly | QIODevice::Truncate)
            && rules.write(QJsonDocument(rules_).toJson(QJsonDocument::Compact)) > 0;
    }

    static QString jsonLine(const QJsonObject& object)
    {
        return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) + QLatin1Char('\n');
    }

private:
    // Writes `text` to `file` and adds the rule that serves it as `field` says.
    void addRule(const QString& match, QString file, const QString& text, const QString& field)
    {
        if (!context_.isEmpty())
            file = context_ + '-' + file;
        QFile out(QDir(dir_).filePath(file));
        ok_ = ok_ && out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(text.toUtf8()) >= 0;
        rules_.append(QJsonObject{{"match", context_.isEmpty() ? match : "--context " + context_ + ' ' + match},
                                  {field, file},
                                  {"sleep", delay_}});
    }

    QString dir_;
    QString context_;
    double delay_ = 0;
    QJsonArray rules_;
    bool ok_ = true;
};

inline QString dockerTime(const OptionalDate& date)
{
    return date ? date->toUTC().toString(Qt::ISODateWithMs) : QStringLiteral("0001-01-01T00:00:00Z");
}

// The listings, sizes, dangling names, data root, engine id and batched
// inspection of `s`, with its images' layers in the refresh's batches.
inline void serveInventory(FakeDockerScript& script, const CachedState& s,
                           const QString& engineId = QStringLiteral("fake-engine"),
                           int layersBatchSize = DockerClient::Limits{}.layersBatchSize)
{
    QString ps, images, volumes, dangling;
    for (const SGContainer& c : s.containers) {
        const QString labels = c.project.isEmpty()
            ? QString()
            : QStringLiteral("com.docker.compose.project=%1,com.docker.compose.project.working_dir=%2").arg(c.project, c.workingDir);
        ps += FakeDockerScript::jsonLine(listed({{"ID", c.id}, {"Names", c.name}, {"Image", c.image},
                                                 {"Status", c.status}, {"State", c.state}, {"Labels", labels}},
                                                c.project, c.workingDir));
    }
    for (const SGImage& i : s.images)
        images += FakeDockerScript::jsonLine({{"ID", i.id}, {"Repository", i.repository}, {"Tag", i.tag},
                                              {"Size", i.size}, {"CreatedSince", i.created}});
    QJsonArray sizes;
    for (const SGVolume& v : s.volumes) {
        const QString labels = v.project.isEmpty() ? QString() : "com.docker.compose.project=" + v.project;
        volumes += FakeDockerScript::jsonLine(listed(
            {{"Name", v.name}, {"Driver", v.driver}, {"Mountpoint", v.mountpoint}, {"Labels", labels}}, v.project));
        sizes.append(QJsonObject{{"Name", v.name}, {"Size", QStringLiteral("%1kB").arg(s.volumeSizes.value(v.name) / 1024)}});
    }
    for (const QString& name : s.danglingVolumeNames)
        dangling += name + QLatin1Char('\n');
    script.serve("ps -a", "ps.out", ps);
    script.serve("images -a", "images.out", images);
    script.serve("volume ls --format", "volumes.out", volumes);
    script.serve("volume ls -q", "dangling.out", dangling);
    script.serve("system df -v", "df-v.out",
                 QString::fromUtf8(QJsonDocument(QJsonObject{{"Volumes", sizes}}).toJson(QJsonDocument::Compact)));
    script.serve("system df --format", "df.out",
                 R"x({"Type":"Build Cache","Size":"1.5GB","Reclaimable":"1.2GB (80%)","TotalCount":"40","Active":"0"})x"
                 "\n");
    script.serve("info --format {{.ID}}", "id.out", engineId + '\n');
    script.serve("info", "info.out", "/var/lib/docker\n");
    script.serve("version", "version.out", "20.10.24\n");
    // Each inspect batch, whatever its size, gets the lines of its ids.
    QString inspected;
    for (const SGContainer& c : s.containers) {
        QJsonArray mounts;
        for (const QString& name : c.mounts)
            mounts.append(QJsonObject{{"Type", "volume"}, {"Name", name}, {"Destination", "/data"}});
        inspected += c.id + "@@" + c.imageID + "@@" + QString::fromUtf8(QJsonDocument(mounts).toJson(QJsonDocument::Compact))
            + "@@" + dockerTime(c.startedAt) + "@@" + dockerTime(c.finishedAt) + '\n';
    }
    script.serveItems("inspect ", "inspect.out", inspected);
    // The refresh asks for each listed id once, in list order; these ids are distinct.
    for (qsizetype first = 0; first < s.imageLayers.size(); first += layersBatchSize) {
        script.serve("image inspect " + s.imageLayers[first].id + ' ', QStringLiteral("layers-%1.out").arg(first),
                     imageLayersLines(s.imageLayers.mid(first, layersBatchSize)));
    }
}

inline bool writeInventoryScript(const CachedState& s, const QString& dir)
{
    FakeDockerScript script(dir);
    serveInventory(script, s);
    return script.finish();
}

}  // namespace stowage::bench
