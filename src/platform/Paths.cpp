#include "platform/Paths.h"

#include <QDir>
#include <QStandardPaths>

namespace stowage::platform {

std::optional<QString> appDataDir()
{
    // GenericDataLocation is the per-user data root itself, without the
    // organisation/application suffix that AppDataLocation would add.
    const QString root = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (root.isEmpty())
        return std::nullopt;
    const QString dir = QDir(root).filePath(QStringLiteral("Stowage"));
    QDir().mkpath(dir);
    return dir;
}

}  // namespace stowage::platform
