#include "platform/UserFolders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

// Relative to the installed executable's folder; set by the build.
#ifndef TALLIX_DATA_FROM_BIN
#define TALLIX_DATA_FROM_BIN "../share/tallix"
#endif
#ifndef TALLIX_COMPANIONS_FROM_BIN
#define TALLIX_COMPANIONS_FROM_BIN "../lib/tallix"
#endif

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

std::string ExecutableFolder()
{
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return std::string();
    const std::string path(buffer, static_cast<size_t>(n));
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The installed folder `relative` to the executable's, when the program runs
// installed (the data folder is there); otherwise the executable's folder.
std::string InstalledOrBeside(const char* relative)
{
    const std::string folder = ExecutableFolder();
    if (folder.empty()) return folder;
    struct stat info {};
    const std::string data = folder + TALLIX_DATA_FROM_BIN;
    if (::stat(data.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return folder;
    char* resolved = ::realpath((folder + relative).c_str(), nullptr);
    if (!resolved) return folder + relative + "/";
    std::string result = std::string(resolved) + "/";
    std::free(resolved);
    return result;
}
}  // namespace

std::string UserConfigFolder() { return BaseFolder("XDG_CONFIG_HOME", "/.config"); }

std::string UserCacheFolder() { return BaseFolder("XDG_CACHE_HOME", "/.cache"); }

std::string UserDataFolder() { return BaseFolder("XDG_DATA_HOME", "/.local/share"); }

std::string TallixDataFolder() { return UserDataFolder() + "/tallix/"; }

std::string UserStateFolder() { return BaseFolder("XDG_STATE_HOME", "/.local/state"); }

std::string TallixStateFolder() { return UserStateFolder() + "/tallix/"; }

std::string ProgramFolder() { return InstalledOrBeside(TALLIX_DATA_FROM_BIN); }

std::string CompanionFolder() { return InstalledOrBeside(TALLIX_COMPANIONS_FROM_BIN); }

void MakeParentFolders(const std::string& path)
{
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
        ::mkdir(path.substr(0, slash).c_str(), 0700);
}
