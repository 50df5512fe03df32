#include "platform/PlatformWords.h"

#include <QCoreApplication>

namespace stowage::platform {

namespace {

struct PlatformWordSources {
    const char* showFolderButton;
    const char* showMountpointAction;
    const char* showLogFileButton;
    const char* socketPermissionHelp;
    const char* installDockerHelp;
    const char* restartDockerHelp;
};

// The texts in English; wordsFor() translates them when asked, after the catalogues are installed.
const PlatformWordSources macWords{
    .showFolderButton = QT_TRANSLATE_NOOP("PlatformWords", "Finder"),
    .showMountpointAction = QT_TRANSLATE_NOOP("PlatformWords", "Reveal Mountpoint in Finder"),
    .showLogFileButton = QT_TRANSLATE_NOOP("PlatformWords", "Reveal File"),
    .socketPermissionHelp = nullptr,
    .installDockerHelp = QT_TRANSLATE_NOOP("PlatformWords", "Install Docker Desktop or colima, then retry."),
    .restartDockerHelp = QT_TRANSLATE_NOOP("PlatformWords", "Restart Docker Desktop and try again."),
};

const PlatformWordSources freedesktopWords{
    .showFolderButton = QT_TRANSLATE_NOOP("PlatformWords", "File Manager"),
    .showMountpointAction = QT_TRANSLATE_NOOP("PlatformWords", "Show Mountpoint in File Manager"),
    .showLogFileButton = QT_TRANSLATE_NOOP("PlatformWords", "Show in File Manager"),
    .socketPermissionHelp = QT_TRANSLATE_NOOP("PlatformWords",
        "Your user may not use the Docker engine's socket. Join the docker group "
        "(sudo usermod -aG docker $USER, then log out and back in), or point DOCKER_HOST "
        "at a rootless engine (unix://$XDG_RUNTIME_DIR/docker.sock)."),
    .installDockerHelp = QT_TRANSLATE_NOOP("PlatformWords",
        "Install Docker from your distribution's packages (on Debian or Ubuntu: "
        "sudo apt install docker.io), or Docker Engine or Docker Desktop from Docker's own "
        "packages, then press Retry."),
    .restartDockerHelp = QT_TRANSLATE_NOOP("PlatformWords",
        "Restart the Docker service (sudo systemctl restart docker, or Docker Desktop if you use it) and try "
        "again."),
};

QString translated(const char* source)
{
    return source ? QCoreApplication::translate("PlatformWords", source) : QString();
}

}  // namespace

PlatformWords wordsFor(DesktopKind kind)
{
    const PlatformWordSources& words = kind == DesktopKind::macOS ? macWords : freedesktopWords;
    return {translated(words.showFolderButton),    translated(words.showMountpointAction),
            translated(words.showLogFileButton),   translated(words.socketPermissionHelp),
            translated(words.installDockerHelp),   translated(words.restartDockerHelp)};
}

PlatformWords platformWords()
{
#ifdef __APPLE__
    return wordsFor(DesktopKind::macOS);
#else
    return wordsFor(DesktopKind::freedesktop);
#endif
}

}  // namespace stowage::platform
