#include "app/terminal/TerminalCommands.h"
#include <string_view>

int main(int argc, char** argv)
{
    if (const TerminalCommand* command = FindTerminalCommand(argc, argv))
        return command->run(argc, argv);
    // Until the window exists, a plain start is the interactive line calculator.
    for (const TerminalCommand* c = kTerminalCommands; c->flag; ++c)
        if (c->flag == std::string_view("--cli")) return c->run(argc, argv);
    PrintTerminalUsage();
    return 2;
}
