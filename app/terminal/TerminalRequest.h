#pragma once
// What the command line asks of a terminal command, once it is read, and the
// few helpers every command shares.
#include <string>
#include <utility>
#include <vector>

class CCalcEngine;

struct STerminalRequest {
    std::vector<std::pair<std::string, std::string>> options; // name, value ("" for a switch), in order
    std::vector<std::string> operands;

    // The last value given for `option`; null when it was not given.
    const std::string* Find(const char* option) const;
    bool Has(const char* option) const { return Find(option) != nullptr; }
    // The operands joined by blanks.
    std::string JoinedOperands() const;
};

// `text` in double quotes, cut after 40 characters: a value in a message.
std::string Quoted(const std::string& text);

// "tallix: MESSAGE" and where to find help, on stderr; returns 2.
int UsageError(const std::string& message);
// "tallix: MESSAGE" on stderr; returns 1.
int Failure(const std::string& message);

// A whole number from `low` to `high` given to `option`; 0 when absent or
// good, else 2 after a message naming option and value.
int ReadNumberOption(const STerminalRequest& request, const char* option, int low, int high, int& out);

// --base, --angle and --notation, shared by the calculating commands.
struct SEngineOptions {
    int base = 10;
    int angle = 0;     // 0 DEG, 1 RAD, 2 GRAD
    int notation = -1; // 0..3; -1 when not given
    bool strict = false; // the calculator's grammar only (--strict)
};
// 0 when the given options are good, else 2 after a usage message.
int ReadEngineOptions(const STerminalRequest& request, SEngineOptions& out);
// "normal", "fixed", "sci", "eng" or 0..3; -1 for anything else.
int NotationFromWord(const std::string& word);
extern const char* const kNotationWords[4];

// Why a file can't be read: "PATH is missing", "PATH is a folder", "PATH
// can't be read (reason)"; empty when it can be.
std::string UnreadableFileProblem(const std::string& path);

// Whether a terminal is on the other end of the descriptor.
bool IsTerminal(int fd);

int RunEvalCommand(const STerminalRequest& request);
int RunCliCommand(const STerminalRequest& request);
int RunStdinCommand(const STerminalRequest& request);
int RunConvertCommand(const STerminalRequest& request);
int RunListUnitsCommand(const STerminalRequest& request);
int RunListCurrenciesCommand(const STerminalRequest& request);
int RunUpdateRatesCommand(const STerminalRequest& request);
int RunPressCommand(const STerminalRequest& request);
int RunCheckSkinCommand(const STerminalRequest& request);
int RunHelpCommand(const STerminalRequest& request);
int RunVersionCommand(const STerminalRequest& request);
