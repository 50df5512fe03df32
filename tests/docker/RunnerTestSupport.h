#pragma once
// A runner wired to the fake docker program, its own operation center and an
// in-memory activity log, with short timing rules so that the tests are fast.

#include "docker/DockerCLI.h"
#include "docker/OperationCenter.h"
#include "log/ActivityLog.h"
#include "support/TestSupport.h"

#include <QProcessEnvironment>

#include <memory>

namespace stowage::test {

inline Environment currentEnvironment()
{
    Environment env;
    const auto system = QProcessEnvironment::systemEnvironment();
    for (const auto& key : system.keys())
        env[key] = system.value(key);
    return env;
}

struct RunnerRig {
    OperationCenter operations;
    ActivityLog log{std::nullopt};
    std::unique_ptr<DockerCLI> cli;

    explicit RunnerRig(DockerCLI::Config config = fastConfig()) { attach(std::move(config)); }

    void attach(DockerCLI::Config config)
    {
        config.operations = &operations;
        config.log = &log;
        cli = std::make_unique<DockerCLI>(std::move(config));
    }

    static DockerCLI::Config fastConfig()
    {
        DockerCLI::Config config;
        config.fixedCandidates = {fakeDockerPath()};
        config.searchPath = false;
        config.loginShell.clear();
        config.baseEnvironment = currentEnvironment();
        config.killGrace = 0.5;
        config.postTimeoutWait = 3.0;
        config.drainAfterExit = 0.5;
        config.slowRunThreshold = 0.4;
        return config;
    }

    // Log messages once the UI thread has published them.
    QStringList messages(std::chrono::milliseconds settle = std::chrono::milliseconds(50))
    {
        drainEvents(settle);
        QStringList out;
        for (const auto& entry : log.entries())
            out << entry.message;
        return out;
    }

    bool hasEntry(LogLevel level, const QString& message)
    {
        drainEvents();
        for (const auto& entry : log.entries())
            if (entry.level == level && entry.message == message)
                return true;
        return false;
    }
};

}  // namespace stowage::test
