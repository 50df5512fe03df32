#pragma once
// `stowage contexts`, and the engine a report or a clean acts on: the context
// named with --context, else the one docker selects by itself.

#include "cli/HeadlessRequest.h"
#include "docker/EngineContext.h"

#include <QJsonObject>
#include <QList>
#include <QString>

#include <optional>

namespace stowage::cli {

// A table: the current context marked "*", then name, endpoint and notes.
QString contextsText(const QList<EngineContext>& contexts);
QJsonObject contextsDocument(const QList<EngineContext>& contexts);

// The engine `request` acts on, from the contexts docker listed (or why they
// could not be listed: `listError`). An error message (for standard error)
// when the context asked for is unknown or cannot be looked up.
struct EngineChoice {
    EngineContext engine;
    QString error;
};
EngineChoice chooseEngine(const Request& request, const QList<EngineContext>& contexts, const QString& listError);

}  // namespace stowage::cli
