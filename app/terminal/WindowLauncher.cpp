#include "app/terminal/WindowLauncher.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/LibrarySymbol.h"
#include "platform/UserFolders.h"

namespace {

std::string Variable(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Connects as the window would; a display that refuses us (a stale DISPLAY
// of an ended ssh or tmux session) would end the window program with an abort.
bool XDisplayAnswers()
{
    void* library = dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
    void* (*connect)(const char*, int*) = nullptr;
    int (*hasError)(void*) = nullptr;
    void (*disconnect)(void*) = nullptr;
    if (!library || !FindLibrarySymbol(library, "xcb_connect", connect) ||
        !FindLibrarySymbol(library, "xcb_connection_has_error", hasError) ||
        !FindLibrarySymbol(library, "xcb_disconnect", disconnect))
        return true; // no way to ask: the window finds out
    void* connection = connect(nullptr, nullptr);
    const bool answers = connection && hasError(connection) == 0;
    if (connection) disconnect(connection);
    return answers;
}

bool WaylandDisplayAnswers()
{
    // A socket handed down is taken by whoever connects first: left to the window.
    if (!Variable("WAYLAND_SOCKET").empty()) return true;
    void* library = dlopen("libwayland-client.so.0", RTLD_NOW | RTLD_LOCAL);
    void* (*connect)(const char*) = nullptr;
    void (*disconnect)(void*) = nullptr;
    if (!library || !FindLibrarySymbol(library, "wl_display_connect", connect) ||
        !FindLibrarySymbol(library, "wl_display_disconnect", disconnect))
        return true;
    void* display = connect(nullptr);
    if (display) disconnect(display);
    return display != nullptr;
}

} // namespace

std::string DisplayProblem()
{
    const std::string forced = Variable("QT_QPA_PLATFORM");
    const std::string x = Variable("DISPLAY"), wayland = Variable("WAYLAND_DISPLAY");
    // A forced platform may be a list ("wayland;xcb"); others (offscreen,
    // vnc...) need no display of the desktop.
    const bool mayX = forced.empty() || forced.find("xcb") != std::string::npos;
    const bool mayWayland = forced.empty() || forced.find("wayland") != std::string::npos;
    if (!mayX && !mayWayland) return std::string();
    const bool xNamed = !x.empty() && mayX, waylandNamed = !wayland.empty() && mayWayland;
    if (!xNamed && !waylandNamed) return "no graphical display";
    const bool xAnswers = xNamed && XDisplayAnswers();
    const bool waylandAnswers = waylandNamed && WaylandDisplayAnswers();
    if (xAnswers != waylandAnswers && forced.empty()) setenv("QT_QPA_PLATFORM", xAnswers ? "xcb" : "wayland", 1);
    if (xAnswers || waylandAnswers) return std::string();
    if (xNamed && waylandNamed) return "neither the display " + x + " nor the Wayland display " + wayland + " answers";
    return xNamed ? "the display " + x + " does not answer" : "the Wayland display " + wayland + " does not answer";
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
