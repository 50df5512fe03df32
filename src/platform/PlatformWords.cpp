#include "platform/PlatformWords.h"

namespace stowage::platform {

namespace {

const PlatformWords macWords{
    .showFolderButton = QStringLiteral("Finder"),
    .showMountpointAction = QStringLiteral("Reveal Mountpoint in Finder"),
    .showLogFileButton = QStringLiteral("Reveal File"),
    .socketPermissionHelp = {},
    .installDockerHelp = QStringLiteral("Install Docker Desktop or colima, then retry."),
    .restartDockerHelp = QStringLiteral("Restart Docker Desktop and try again."),
};

const PlatformWords freedesktopWords{
    .showFolderButton = QStringLiteral("File Manager"),
    .showMountpointAction = QStringLiteral("Show Mountpoint in File Manager"),
    .showLogFileButton = QStringLiteral("Show in File Manager"),
    .socketPermissionHelp = QStringLiteral(
        "Your user may not use the Docker engine's socket. Join the docker group "
        "(sudo usermod -aG docker $USER, then log out and back in), or point DOCKER_HOST "
        "at a rootless engine (unix://$XDG_RUNTIME_DIR/docker.sock)."),
    .installDockerHelp = QStringLiteral(
        "Install Docker from your distribution's packages (on Debian or Ubuntu: "
        "sudo apt install docker.io), or Docker Engine or Docker Desktop from Docker's own "
        "packages, then press Retry."),
    .restartDockerHelp = QStringLiteral(
        "Restart the Docker service (sudo systemctl restart docker, or Docker Desktop if you use it) and try "
        "again."),
};

}  // namespace

const PlatformWords& wordsFor(DesktopKind kind)
{
    return kind == DesktopKind::macOS ? macWords : freedesktopWords;
}

const PlatformWords& platformWords()
{
#ifdef __APPLE__
    return wordsFor(DesktopKind::macOS);
#else
    return wordsFor(DesktopKind::freedesktop);
#endif
}

}  // namespace stowage::platform
