#pragma once
// The terminal front end: each command is one entry of the table in
// TerminalCommands.cpp and one file of its own in this folder. A command gets
// the whole argument list (argv[0] is the program) and returns the exit code:
// 0 success, 1 failure of the work itself, 2 bad arguments (after a usage line).

struct TerminalCommand {
    const char* flag;                    // "--eval"
    const char* usage;                   // one line for the usage text
    int (*run)(int argc, char** argv);
};

// The table, ended by an entry with a null flag.
extern const TerminalCommand kTerminalCommands[];

// Finds the command whose flag appears among the arguments; null when none does.
const TerminalCommand* FindTerminalCommand(int argc, char** argv);
// Prints every usage line to standard error.
void PrintTerminalUsage();
