#include "app/terminal/TerminalCommands.h"

#include <cstdio>
#include <string_view>

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        if (arg == "--help" || arg == "-h") {
            std::fprintf(stderr, "Tallix, a skinnable calculator. Without arguments it starts the line calculator.\n");
            PrintTerminalUsage();
            return 0;
        }
    }
    if (const TerminalCommand* command = FindTerminalCommand(argc, argv))
        return command->run(argc, argv);
    // Until the window exists, a plain start is the interactive line calculator.
    for (const TerminalCommand* c = kTerminalCommands; c->flag; ++c)
        if (c->flag == std::string_view("--cli")) return c->run(argc, argv);
    PrintTerminalUsage();
    return 2;
}
