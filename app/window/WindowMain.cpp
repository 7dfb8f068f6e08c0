// The window program's entry, the one symbol the window module shows: the
// terminal program (tallix) opens the module and calls it with its command
// line when the window or a screenshot of it is wanted.
#include "app/window/WindowProgram.h"

#include <string_view>

extern "C" __attribute__((visibility("default"))) int TallixWindowMain(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) == "--screenshot" || std::string_view(argv[i]).starts_with("--screenshot="))
            return RunScreenshot(argc, argv);
    return RunWindowProgram(argc, argv);
}
