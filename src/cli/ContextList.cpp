#include "cli/ContextList.h"

#include "history/History.h"
#include "text/PrintableText.h"

#include <QJsonArray>
#include <QRegularExpression>

#include <algorithm>

namespace stowage::cli {

namespace {

QString notes(const EngineContext& context)
{
    QStringList notes;
    if (context.fromEnvironment)
        notes << QStringLiteral("from the environment");
    if (!context.error.isEmpty())
        notes << QStringLiteral("error: ") + context.error;
    return printable(notes.join(QStringLiteral("; ")));
}

QString padded(const QString& text, qsizetype width) { return text + QString(width - text.size(), u' '); }

}  // namespace

QString contextsText(const QList<EngineContext>& contexts)
{
    qsizetype nameWidth = 4, endpointWidth = 8;
    for (const EngineContext& context : contexts) {
        nameWidth = std::max(nameWidth, printable(context.name).size());
        endpointWidth = std::max(endpointWidth, printable(context.endpoint).size());
    }
    QString text = QStringLiteral("  ") + padded(QStringLiteral("NAME"), nameWidth + 2)
        + padded(QStringLiteral("ENDPOINT"), endpointWidth + 2) + QStringLiteral("NOTES\n");
    for (const EngineContext& context : contexts)
        text += (context.current ? QStringLiteral("* ") : QStringLiteral("  ")) +
                padded(printable(context.name), nameWidth + 2) +
                padded(printable(context.endpoint), endpointWidth + 2) + notes(context) + u'\n';
    return text.replace(QRegularExpression(QStringLiteral(" +$"), QRegularExpression::MultilineOption), QString());
}

QJsonObject contextsDocument(const QList<EngineContext>& contexts)
{
    QJsonArray list;
    for (const EngineContext& context : contexts)
        list.append(QJsonObject{{"name", context.name},
                                {"description", context.description},
                                {"endpoint", context.endpoint},
                                {"current", context.current},
                                {"fromEnvironment", context.fromEnvironment},
                                {"error", context.error}});
    return {{"command", "contexts"}, {"contexts", list}};
}

EngineChoice chooseEngine(const Request& request, const QList<EngineContext>& contexts, const QString& listError)
{
    if (request.context.isEmpty()) {
        const auto current = std::find_if(contexts.begin(), contexts.end(), [](const auto& c) { return c.current; });
        if (current != contexts.end())
            return {*current, {}};
        // An old docker without contexts, or none at all: the engine as the environment names it.
        return {{History::engineName(), {}, {}, true, true, {}}, {}};
    }
    if (const auto found = findContext(contexts, request.context))
        return {*found, {}};
    const QString name = printable(request.context);
    if (!listError.isEmpty())
        return {{}, QStringLiteral("stowage: the docker contexts cannot be listed, so context '%1' cannot be found: %2")
                        .arg(name, printable(listError))};
    QStringList known;
    for (const EngineContext& context : contexts)
        known << printable(context.name);
    return {{}, QStringLiteral("stowage: docker has no context named '%1' (it has: %2).")
                    .arg(name, known.join(QStringLiteral(", ")))};
}

}  // namespace stowage::cli
