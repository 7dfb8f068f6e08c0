#include "app/terminal/TerminalCommands.h"

#include <cstdio>
#include <cstring>

// One declaration and one row per command.
// (commands are added here as their subsystems arrive)
int RunEvalCommand(int argc, char** argv);
int RunCliCommand(int argc, char** argv);
int RunConvertCommand(int argc, char** argv);
int RunUpdateRatesCommand(int argc, char** argv);
int RunPressCommand(int argc, char** argv);
int RunCheckSkinCommand(int argc, char** argv);

const TerminalCommand kTerminalCommands[] = {
    {"--eval", "--eval TEXT [--base N] [--angle deg|rad|grad]", RunEvalCommand},
    {"--cli", "--cli [--base N] [--angle deg|rad|grad]", RunCliCommand},
    {"--convert", "--convert VALUE FROM TO", RunConvertCommand},
    {"--update-rates", "--update-rates", RunUpdateRatesCommand},
    {"--press", "--press \"T,I T,I ...\" [--mode M] [--base B] [--angle deg|rad|grad] [--notation N] [--repeated-equals 0|1] [--stack-size S]", RunPressCommand},
    {"--check-skin", "--check-skin PATH/TO/SKIN.ini [--normal-only]", RunCheckSkinCommand},
    {nullptr, nullptr, nullptr},
};

const TerminalCommand* FindTerminalCommand(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        for (const TerminalCommand* c = kTerminalCommands; c->flag; ++c)
            if (std::strcmp(argv[i], c->flag) == 0) return c;
    return nullptr;
}

void PrintTerminalUsage()
{
    std::fprintf(stderr, "usage:\n");
    for (const TerminalCommand* c = kTerminalCommands; c->flag; ++c)
        std::fprintf(stderr, "  tallix %s\n", c->usage);
}
