#include "platform/DockerLookup.h"

#include <pwd.h>
#include <unistd.h>

#include <array>

namespace stowage::platform {

QString accountShell()
{
    passwd entry{};
    passwd* found = nullptr;
    std::array<char, 4096> buffer{};
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_shell
        && *found->pw_shell)
        return QString::fromLocal8Bit(found->pw_shell);
    return qEnvironmentVariable("SHELL");
}

}  // namespace stowage::platform
