#include "app/terminal/WindowLauncher.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <dlfcn.h>
#include <unistd.h>

namespace {
// The folder of this executable, with its final "/"; the window module lies
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
