#pragma once
// Drives the fake docker program in scripted mode: each test writes the rules
// (argument prefix → output, status, delay) and reads back the calls made.

#include "docker/DockerRunner.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>
#include <QTemporaryDir>

namespace stowage::test {

struct FakeRule {
    QString match;
    QString out;
    QString err;
    int exit = 0;
    double sleep = 0;
    int times = -1;  // serve every matching call when negative
    bool echoItems = false;
    bool ignoreTerm = false;
};

class ScriptedDocker {
public:
    ScriptedDocker();
    // Replaces the rules; earlier rules win.
    void setRules(const QList<FakeRule>& rules);
    // The argument lines of every call so far, oldest first.
    QStringList calls() const;
    // The calls whose argument line starts with `prefix`.
    QStringList callsStartingWith(const QString& prefix) const;
    // A runner configuration that runs the fake in this script's directory,
    // registering with `operations` and logging to `log` when given.
    DockerRunner::Config config(OperationCenter* operations = nullptr, ActivityLog* log = nullptr) const;
    QString directory() const { return dir_.path(); }

private:
    void write();
    QTemporaryDir dir_;
    QList<FakeRule> rules_;
};

}  // namespace stowage::test
