// Removing one image without force. What the engine does (checked with the
// 20.10 engine and the 20.10 and 28.x clients):
//  - `rmi <id>` deletes an image with at most one tag, and refuses, changing
//    nothing, one that a container uses, that another image is built on, or
//    that has several tags ("image is referenced in multiple repositories").
//  - `rmi a:1 b:2` untags the names one after another and deletes the image
//    with the last one. When a container uses the image, the last name is
//    refused after the others were untagged; when another image is built on
//    it, every name is untagged, the image stays and the status is 0; a name
//    that moved to another image since the listing untags (or deletes) that
//    other image. The status alone therefore does not say whether the image
//    went: the output's "Deleted: <id>" line does.
//  - Deleting an image deletes with it each untagged parent (the classic
//    builder's intermediate images) that has no other child and no container,
//    one "Deleted: <id>" line each.

#include "docker/DockerClient.h"
#include "docker/DockerRunner.h"
#include "log/ActivityLog.h"
#include "text/TextTrim.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>

namespace stowage {

namespace {

const QString deletedPrefix = QStringLiteral("Deleted: ");

// The window's words for why an image stayed; the log's stay English.
struct Shown {
    Q_DECLARE_TR_FUNCTIONS(ImageRemoval)
};

}  // namespace

QStringList DockerClient::parseDeletedImages(const QString& out)
{
    QStringList ids;
    for (QStringView line : QStringView(out).split(u'\n', Qt::SkipEmptyParts)) {
        const QStringView trimmed = trimSpacesAndTabs(line);
        if (trimmed.startsWith(deletedPrefix))
            ids.append(trimmed.mid(deletedPrefix.size()).toString());
    }
    return ids;
}

QStringList DockerClient::removeImage(const ImageUnit& image, double timeout, std::stop_token stop) const
{
    if (image.id.isEmpty() || looksLikeOption(image.id))
        throw DockerError::commandFailed(QStringLiteral("not a valid image id"), Shown::tr("not a valid image id"));
    const QString label = QStringLiteral("rmi ") + image.id.left(19);
    QStringList deleted;
    if (image.references.size() <= 1)
        deleted = parseDeletedImages(mutate(label, {QStringLiteral("rmi"), image.id}, timeout, stop));
    else
        retryingAfterTimeout(label, [&] { deleted = untagAndDelete(image.id, timeout, stop); });
    // The command succeeded, so the image went even if its output said nothing readable.
    if (!deleted.contains(image.id))
        deleted.prepend(image.id);
    return deleted;
}

QStringList DockerClient::heldReferences(const QString& id, double timeout, std::stop_token stop) const
{
    const QString out = cli.run({QStringLiteral("image"), QStringLiteral("inspect"), QStringLiteral("--format"),
                                 QStringLiteral("{{json .RepoTags}}"), id},
                                timeout, stop);
    QStringList references;
    for (const QJsonValue& value : QJsonDocument::fromJson(out.toUtf8()).array()) {
        const QString reference = value.toString();
        if (!reference.isEmpty() && !looksLikeOption(reference))
            references.append(reference);
    }
    return references;
}

QStringList DockerClient::untagAndDelete(const QString& id, double timeout, std::stop_token stop) const
{
    // The names the image holds now: one that moved to another image since the
    // listing is not this image's any more.
    const QStringList held = heldReferences(id, timeout, stop);
    if (held.size() <= 1)
        return parseDeletedImages(cli.run({QStringLiteral("rmi"), id}, timeout, stop));
    RunResult result;
    try {
        result = cli.runRaw(QStringList{QStringLiteral("rmi")} + held, timeout, stop);
    } catch (const RunError&) {
        restoreReferences(id, held, stop);
        throw;
    }
    const QStringList deleted = parseDeletedImages(result.out);
    if (deleted.contains(id))
        return deleted;
    Note reason{QStringLiteral("docker kept the image (another image is built on it)"),
                Shown::tr("docker kept the image (another image is built on it)")};
    if (result.status != 0) {
        const std::optional<QString> refusal = firstLine(result.err);
        const DockerError error = DockerError::fromMessage(refusal.value_or(QStringLiteral("docker rmi failed")));
        reason = {error.description(), refusal ? error.shownDescription() : Shown::tr("docker rmi failed")};
    }
    const Note restored = restoreReferences(id, held, stop);
    throw DockerError::commandFailed(reason.logged + restored.logged, reason.shown + restored.shown);
}

DockerClient::Note DockerClient::restoreReferences(const QString& id, const QStringList& references, std::stop_token stop) const
{
    // This undoes what a failed or stopped step changed, so the Stop that ended
    // that step does not skip it; a Stop pressed while it runs ends it, and so
    // does its own deadline: the window waits for it before it can report.
    const std::stop_token ownStop = stop.stop_requested() ? std::stop_token{} : stop;
    const QDeadlineTimer deadline(qint64(2 * limits_.restoreTimeout * 1000));
    const auto limit = [&] { return std::min(limits_.restoreTimeout, deadline.remainingTime() / 1000.0); };
    QStringList lost = references;
    try {
        for (const QString& reference : heldReferences(id, limit(), ownStop))
            lost.removeAll(reference);
    } catch (const RunError&) {
        return {};  // the image is gone, or the engine cannot say
    }
    if (lost.isEmpty())
        return {};
    QStringList failed;
    for (const QString& reference : lost) {
        try {
            if (deadline.hasExpired() || ownStop.stop_requested())
                throw CancelledError();
            cli.run({QStringLiteral("tag"), id, reference}, limit(), ownStop);
        } catch (const RunError&) {
            failed.append(reference);
        }
    }
    cli.log().log(failed.isEmpty() ? LogLevel::info : LogLevel::error,
                  QStringLiteral("↺ %1: the image stayed; tags put back: %2/%3")
                      .arg(id.left(19))
                      .arg(lost.size() - failed.size())
                      .arg(lost.size()));
    if (failed.isEmpty())
        return {QStringLiteral("; its tags were put back"), Shown::tr("; its tags were put back")};
    const QString names = failed.join(QStringLiteral(", "));
    return {QStringLiteral("; putting back %1 failed").arg(names), Shown::tr("; putting back %1 failed").arg(names)};
}

}  // namespace stowage
