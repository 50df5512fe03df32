#include "support/ScriptedDocker.h"

#include "support/TestSupport.h"

#include <QFile>
#include <QJsonDocument>

namespace stowage::test {

ScriptedDocker::ScriptedDocker() { write(); }

void ScriptedDocker::setRules(const QList<FakeRule>& rules)
{
    rules_ = rules;
    write();
}

void ScriptedDocker::write()
{
    QJsonArray array;
    for (const auto& rule : rules_) {
        QJsonObject o{{"match", rule.match}, {"stdout", rule.out}, {"stderr", rule.err}, {"exit", rule.exit},
                      {"sleep", rule.sleep}, {"echoItems", rule.echoItems}, {"ignoreTerm", rule.ignoreTerm}};
        if (rule.times >= 0)
            o["times"] = rule.times;
        array.append(o);
    }
    QFile file(dir_.filePath("rules.json"));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(QJsonDocument(array).toJson());
}

QStringList ScriptedDocker::calls() const
{
    QFile file(dir_.filePath("calls.log"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

QStringList ScriptedDocker::callsStartingWith(const QString& prefix) const
{
    QStringList out;
    for (const auto& call : calls())
        if (call.startsWith(prefix))
            out << call;
    return out;
}

DockerRunner::Config ScriptedDocker::config(OperationCenter* operations, ActivityLog* log) const
{
    DockerRunner::Config config;
    config.operations = operations;
    config.log = log;
    config.fixedCandidates = {fakeDockerPath()};
    config.searchPath = false;
    config.loginShell = QString();
    config.baseEnvironment = systemEnvironment();
    (*config.baseEnvironment)["FAKE_DOCKER_SCRIPT"] = dir_.path();
    config.killGrace = 0.3;
    config.postTimeoutWait = 2.0;
    config.drainAfterExit = 0.5;
    return config;
}

}  // namespace stowage::test
