#include "app/terminal/TerminalCommands.h"

int main(int argc, char** argv)
{
    int exitCode = 0;
    if (RunTerminal(argc, argv, exitCode)) return exitCode;
    // Until the window exists, a plain start is the line calculator.
    return RunLineCalculator();
}
