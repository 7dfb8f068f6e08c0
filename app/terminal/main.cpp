// tallix: the terminal commands, or else the window. This program loads no
// Qt; the window program is started only when the window is wanted.
#include "app/terminal/TerminalCommands.h"
#include "app/terminal/WindowLauncher.h"
#include "datafiles/UserData.h"

#include <cstdio>

int main(int argc, char** argv)
{
    int exitCode = 0;
    TakeOverProgramFolderFiles();
    if (RunTerminal(argc, argv, exitCode)) return exitCode;
    const bool screenshot = WantsScreenshot(argc, argv);
    if (const std::string problem = screenshot ? std::string() : DisplayProblem(); !problem.empty()) {
        std::fprintf(stderr, "tallix: %s; starting the terminal calculator\n", problem.c_str());
        return RunLineCalculator();
    }
    return StartWindowProgram(argc, argv, screenshot);
}
