#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

namespace stowage::platform {

namespace fs = std::filesystem;

std::optional<QString> appDataDir()
{
    // GenericDataLocation is the per-user data root itself, without the
    // organisation/application suffix that AppDataLocation would add.
    const QString root = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (root.isEmpty())
        return std::nullopt;
    const QString dir = QDir(root).filePath(QStringLiteral("Stowage"));
    makePrivateDir(dir);
    return dir;
}

bool makePrivateDir(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QDir().mkpath(QFileInfo(absolute).absolutePath());
    // Created with its final mode, so it is never open to others, not even briefly.
    QDir().mkdir(absolute, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    restrictToOwner(absolute);
    return QFileInfo(absolute).isDir();
}

void restrictToOwner(const QString& path)
{
    const fs::path target(QFile::encodeName(path).toStdString());
    std::error_code error;
    const fs::perms current = fs::status(target, error).permissions();
    const fs::perms others = fs::perms::group_all | fs::perms::others_all;
    if (error || (current & others) == fs::perms::none)
        return;
    fs::permissions(target, others, fs::perm_options::remove, error);
}

bool isPrivateDir(const QString& path)
{
    struct stat info {};
    if (path.isEmpty() || ::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

}  // namespace stowage::platform
