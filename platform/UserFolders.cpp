#include "platform/UserFolders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace {
std::string BaseFolder(const char* variable, const char* underHome)
{
    const char* named = std::getenv(variable);
    if (named && named[0] == '/') return named;
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* entry = ::getpwuid(::getuid());
        home = entry && entry->pw_dir ? entry->pw_dir : "/tmp";
    }
    return std::string(home) + underHome;
}
}  // namespace

std::string UserConfigFolder() { return BaseFolder("XDG_CONFIG_HOME", "/.config"); }

std::string UserCacheFolder() { return BaseFolder("XDG_CACHE_HOME", "/.cache"); }
