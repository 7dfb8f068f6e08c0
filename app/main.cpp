#include "app/terminal/TerminalCommands.h"

#include <cstdio>
#include <string_view>

int main(int argc, char** argv)
{
    // Only in first place: "--eval -h" is a text to evaluate, not a request for help.
    if (argc > 1 && (argv[1] == std::string_view("--help") || argv[1] == std::string_view("-h"))) {
        std::fprintf(stderr, "Tallix, a skinnable calculator. Without arguments it starts the line calculator.\n");
        PrintTerminalUsage();
        return 0;
    }
    if (const TerminalCommand* command = FindTerminalCommand(argc, argv))
        return command->run(argc, argv);
    // Until the window exists, a plain start is the interactive line calculator.
    for (const TerminalCommand* c = kTerminalCommands; c->flag; ++c)
        if (c->flag == std::string_view("--cli")) return c->run(argc, argv);
    PrintTerminalUsage();
    return 2;
}
