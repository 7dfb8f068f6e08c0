#include "platform/UserFolders.h"

#include <pwd.h>
#include <unistd.h>

#include <climits>
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

std::string ProgramFolder()
{
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return std::string();
    const std::string path(buffer, static_cast<size_t>(n));
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}
