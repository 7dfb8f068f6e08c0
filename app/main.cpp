#include "app/WindowProgram.h"
#include "app/terminal/TerminalCommands.h"

#include <cstdio>
#include <cstring>
#include <string_view>

int main(int argc, char** argv)
{
    // Only in first place: "--eval -h" is a text to evaluate, not a request for help.
    if (argc > 1 && (argv[1] == std::string_view("--help") || argv[1] == std::string_view("-h"))) {
        std::fprintf(stderr, "Tallix, a skinnable calculator. Without arguments it opens its window.\n");
        PrintTerminalUsage();
        return 0;
    }
    if (const TerminalCommand* command = FindTerminalCommand(argc, argv))
        return command->run(argc, argv);
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--screenshot") == 0) return RunScreenshot(argc, argv);
    if (!HasGraphicalDisplay()) {
        std::fprintf(stderr, "tallix: no graphical display; starting the terminal calculator\n");
        for (const TerminalCommand* c = kTerminalCommands; c->flag; ++c)
            if (c->flag == std::string_view("--cli")) return c->run(argc, argv);
    }
    return RunWindowProgram(argc, argv);
}
