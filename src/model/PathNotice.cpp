#include "model/PathNotice.h"

#include <QCoreApplication>

namespace stowage {

namespace {

using platform::PathPresence;

bool within(const QString& path, const QString& folder)
{
    return !folder.isEmpty() && path.startsWith(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'));
}

// Says what is true of a path that is not present; `missing` is the notice
// for nothing there, `whyNotPermitted` explains a refusal.
PathNotice noticeFor(const QString& path, const platform::PathFacts& facts, PathNotice missing,
                     const QString& whyNotPermitted)
{
    switch (facts.presence) {
    case PathPresence::notPermitted:
        // Permission was refused somewhere along the path: whether its end
        // exists cannot be told, only that this user may not look.
        return {QCoreApplication::translate("PathNotice", "Not permitted"),
                QCoreApplication::translate("PathNotice", "Your user may not open this path on this host:\n%1\n\n(%2)")
                    .arg(path, whyNotPermitted)};
    case PathPresence::unavailable:
        return {QCoreApplication::translate("PathNotice", "Cannot open"),
                QCoreApplication::translate("PathNotice", "This path could not be read on this host:\n%1\n\n(%2)")
                    .arg(path, facts.reason)};
    case PathPresence::missing:
    case PathPresence::present: break;
    }
    return missing;
}

}  // namespace

PathNotice projectPathNotice(const QString& path, const platform::PathFacts& facts)
{
    return noticeFor(path, facts,
                     {QCoreApplication::translate("PathNotice", "Not found"),
                      QCoreApplication::translate("PathNotice", "Project path not found on this host:\n%1").arg(path)},
                     facts.reason);
}

PathNotice mountpointNotice(const QString& mountpoint, const platform::PathFacts& facts, const QString& dockerRoot)
{
    const PathNotice missing{
        QCoreApplication::translate("PathNotice", "Not found"),
        QCoreApplication::translate(
            "PathNotice",
            "Path does not exist on this host:\n%1\n\n(The Docker engine runs elsewhere, in a virtual "
            "machine such as Docker Desktop's or on another host, and keeps its volumes there.)")
            .arg(mountpoint)};
    const QString whyNotPermitted =
        within(mountpoint, dockerRoot)
            ? QCoreApplication::translate("PathNotice",
                                          "Docker keeps volumes inside its data root, %1, which only root may open.")
                  .arg(dockerRoot)
            : facts.reason;
    return noticeFor(mountpoint, facts, missing, whyNotPermitted);
}

}  // namespace stowage
