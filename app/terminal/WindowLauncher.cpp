#include "app/terminal/WindowLauncher.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <unistd.h>
#ifdef TALLIX_WINDOW_MODULE
#include <dlfcn.h>
#endif

namespace {
// The folder of this executable, with its final "/"; the window program lies
// beside it.
std::string ProgramFolder()
{
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0) return "";
    const std::string_view self(path, static_cast<size_t>(n));
    const size_t slash = self.rfind('/');
    return slash == std::string_view::npos ? "" : std::string(self.substr(0, slash + 1));
}
}  // namespace

bool HasGraphicalDisplay()
{
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value && *value) return true;
    }
    return false;
}

bool WantsScreenshot(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) == "--screenshot" || std::string_view(argv[i]).starts_with("--screenshot="))
            return true;
    return false;
}

#ifdef TALLIX_WINDOW_MODULE
int StartWindowProgram(int argc, char** argv)
{
    const std::string path = ProgramFolder() + "tallix-window.so";
    void* module = dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
    using Entry = int (*)(int, char**);
    Entry entry = module ? reinterpret_cast<Entry>(dlsym(module, "TallixWindowMain")) : nullptr;
    if (!entry) {
        std::fprintf(stderr, "tallix: the window program could not be loaded: %s\n", dlerror());
        return 1;
    }
    return entry(argc, argv);
}
#else
int StartWindowProgram(int, char** argv)
{
    // argv[0] stays the user's: the window's class and title follow it.
    const std::string path = ProgramFolder() + "tallix-window";
    execv(path.c_str(), argv);
    std::fprintf(stderr, "tallix: the window program %s could not be started: %s\n", path.c_str(),
                 std::strerror(errno));
    return 1;
}
#endif
