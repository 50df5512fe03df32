#include "docker/EngineContext.h"

#include "docker/JsonFields.h"
#include "text/PrintableText.h"

#include <QUrl>

namespace stowage {

namespace {

QString variable(const Environment& env, const char* name)
{
    const auto it = env.find(QString::fromLatin1(name));
    return it == env.end() ? QString() : it->second;
}

}  // namespace

QList<EngineContext> parseContextList(const QString& out, const Environment& env)
{
    const bool hostFromEnvironment = !variable(env, "DOCKER_HOST").isEmpty();
    const bool contextFromEnvironment = !hostFromEnvironment && !variable(env, "DOCKER_CONTEXT").isEmpty();
    QList<EngineContext> contexts;
    json::Reader reader;
    for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const auto document = reader.parse(line);
        const json::Object object = document ? json::Object(*document) : json::Object();
        EngineContext context;
        context.name = object.string("Name");
        if (context.name.isEmpty())
            continue;
        context.description = object.string("Description");
        context.endpoint = object.string("DockerEndpoint");
        context.current = object.boolean("Current");
        context.error = object.string("Error");
        context.fromEnvironment = context.current && (hostFromEnvironment || contextFromEnvironment);
        contexts << context;
    }
    return contexts;
}

QList<EngineContext> listContexts(DockerRunner& runner, double timeout, std::stop_token stop)
{
    const QString out = runner.run(
        {QStringLiteral("context"), QStringLiteral("ls"), QStringLiteral("--format"), QStringLiteral("{{json .}}")},
        timeout, stop);
    return parseContextList(out, runner.environment());
}

std::optional<EngineContext> findContext(const QList<EngineContext>& contexts, const QString& name)
{
    for (const EngineContext& context : contexts)
        if (context.name == name)
            return context;
    return std::nullopt;
}

QString engineLabel(const QString& name, const QString& endpoint)
{
    return endpoint.isEmpty() ? printable(name) : printable(name) + QStringLiteral(" (") + printable(endpoint) + u')';
}

QString remoteHost(const QString& endpoint)
{
    const QString trimmed = endpoint.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(QLatin1String("unix://"), Qt::CaseInsensitive)
        || trimmed.startsWith(QLatin1String("npipe://"), Qt::CaseInsensitive))
        return {};
    const QUrl url(trimmed, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty())
        return printable(trimmed);  // remote, though its host cannot be told apart: the whole endpoint
    const QString host = url.host().contains(u':') ? u'[' + url.host() + u']' : url.host();
    return printable(url.userName().isEmpty() ? host : url.userName() + u'@' + host);
}

}  // namespace stowage
