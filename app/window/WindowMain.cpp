// The window program's entry, reached through the terminal program (tallix)
// with its command line: the window, or a screenshot of it.
#include "app/window/WindowProgram.h"

#include <string_view>

extern "C" __attribute__((visibility("default"))) int TallixWindowMain(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) == "--screenshot" || std::string_view(argv[i]).starts_with("--screenshot="))
            return RunScreenshot(argc, argv);
    return RunWindowProgram(argc, argv);
}

#ifndef TALLIX_WINDOW_MODULE
int main(int argc, char** argv) { return TallixWindowMain(argc, argv); }
#endif
