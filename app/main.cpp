#include "app/WindowProgram.h"
#include "app/terminal/TerminalCommands.h"

#include <cstdio>
#include <string_view>

int main(int argc, char** argv)
{
    int exitCode = 0;
    if (RunTerminal(argc, argv, exitCode)) return exitCode;
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) == "--screenshot" || std::string_view(argv[i]).starts_with("--screenshot="))
            return RunScreenshot(argc, argv);
    if (!HasGraphicalDisplay()) {
        std::fprintf(stderr, "tallix: no graphical display; starting the terminal calculator\n");
        return RunLineCalculator();
    }
    return RunWindowProgram(argc, argv);
}
