#include "app/terminal/WindowLauncher.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/UserFolders.h"

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

int StartWindowProgram(int argc, char** argv, bool screenshot)
{
    const std::string path = CompanionFolder() + "tallix-window.so";
    void* module = dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
    using Entry = int (*)(int, char**, int);
    Entry entry = module ? reinterpret_cast<Entry>(dlsym(module, "TallixWindowMain")) : nullptr;
    if (!entry) {
        std::fprintf(stderr, "tallix: the window program could not be loaded: %s\n", dlerror());
        return 1;
    }
    return entry(argc, argv, screenshot ? 1 : 0);
}
