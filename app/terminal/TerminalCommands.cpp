// Reads the command line into a command and its request: one table row per
// option, GNU style ("--base=16", "--" ends the options), and one message per
// kind of misuse that names the option or value at fault.
#include "app/terminal/TerminalCommands.h"

#include "app/terminal/TerminalRequest.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

enum Command : int {
    kNoCommand = -1,
    kEval,
    kCli,
    kStdin,
    kConvert,
    kListUnits,
    kListCurrencies,
    kUpdateRates,
    kPress,
    kCheckSkin,
    kHelp,
    kVersion,
};

constexpr unsigned Bit(int command) { return 1u << command; }
constexpr unsigned kCalculating = Bit(kEval) | Bit(kCli) | Bit(kStdin) | Bit(kPress);

struct SCommandRow {
    const char* flag;
    int (*run)(const STerminalRequest&);
    bool takesOperands;
};

// Indexed by Command.
const SCommandRow kCommands[] = {
    {"--eval", RunEvalCommand, true},
    {"--cli", RunCliCommand, false},
    {"-", RunStdinCommand, false},
    {"--convert", RunConvertCommand, true},
    {"--list-units", RunListUnitsCommand, true},
    {"--list-currencies", RunListCurrenciesCommand, false},
    {"--update-rates", RunUpdateRatesCommand, false},
    {"--press", RunPressCommand, false},
    {"--check-skin", RunCheckSkinCommand, false},
    {"--help", RunHelpCommand, true},
    {"--version", RunVersionCommand, true},
};

struct SOptionRow {
    const char* name;
    const char* shortName;
    const char* value;   // what its value is, for messages; null for a switch
    int command;         // the command the option selects, or kNoCommand
    unsigned acceptedBy; // for the other options: the commands that take it
};

const SOptionRow kOptions[] = {
    {"--eval", nullptr, "an expression", kEval, 0},
    {"--cli", nullptr, nullptr, kCli, 0},
    {"--convert", nullptr, nullptr, kConvert, 0},
    {"--list-units", nullptr, nullptr, kListUnits, 0},
    {"--list-currencies", nullptr, nullptr, kListCurrencies, 0},
    {"--update-rates", nullptr, nullptr, kUpdateRates, 0},
    {"--press", nullptr, "key pairs such as \"0,2 1,0 0,3 5,0\"", kPress, 0},
    {"--check-skin", nullptr, "a skin description file", kCheckSkin, 0},
    {"--help", "-h", nullptr, kHelp, 0},
    {"--version", nullptr, nullptr, kVersion, 0},
    {"--base", nullptr, "a base from 2 to 36", kNoCommand, kCalculating},
    {"--angle", nullptr, "deg, rad or grad", kNoCommand, kCalculating},
    {"--notation", nullptr, "normal, fixed, sci or eng", kNoCommand, kCalculating},
    {"--mode", nullptr, "a mode from 0 to 4", kNoCommand, Bit(kPress)},
    {"--repeated-equals", nullptr, "0 or 1", kNoCommand, Bit(kPress)},
    {"--stack-size", nullptr, "a size from 3 to 20", kNoCommand, Bit(kPress)},
    {"--quiet", "-q", nullptr, kNoCommand, Bit(kUpdateRates)},
    {"--normal-only", nullptr, nullptr, kNoCommand, Bit(kCheckSkin)},
    {"--strict", nullptr, nullptr, kNoCommand, Bit(kEval) | Bit(kCli) | Bit(kStdin)},
};

// Options of the window (its off-screen pictures), which starts when the
// command line holds nothing else.
const char* const kWindowValueOptions[] = {"--screenshot", "--group", "--skin", "--language", "--options", "--keys"};
const char* const kWindowFlagOptions[] = {"--vga"};

const SOptionRow* FindOption(std::string_view name)
{
    for (const SOptionRow& row : kOptions)
        if (name == row.name || (row.shortName && name == row.shortName)) return &row;
    return nullptr;
}

bool IsWindowValueOption(std::string_view name)
{
    for (const char* option : kWindowValueOptions)
        if (name == option) return true;
    return false;
}

// "-m" in any case, also inside another switch, starts the window in the tray.
bool IsTraySwitch(std::string_view arg)
{
    for (size_t i = 0; i + 1 < arg.size(); ++i)
        if (arg[i] == '-' && (arg[i + 1] == 'm' || arg[i + 1] == 'M')) return true;
    return false;
}

// A lone "-", and a "-" before a digit, "." or "(" (a negative number), are
// operands: they are not options.
bool IsOperand(std::string_view arg)
{
    if (arg.size() < 2 || arg[0] != '-') return true;
    const char next = arg[1];
    return (next >= '0' && next <= '9') || next == '.' || next == '(';
}

// "an expression, --cli, - or --press": what an option goes with.
std::string CommandsTaking(const SOptionRow& option)
{
    std::vector<std::string> names;
    for (int c = kEval; c <= kVersion; ++c)
        if (option.acceptedBy & Bit(c)) names.push_back(c == kEval ? "an expression" : kCommands[c].flag);
    std::string text;
    for (size_t i = 0; i < names.size(); ++i)
        text += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
    return text;
}

class CCommandLine {
public:
    // False when the command line belongs to the window.
    bool Read(int argc, char** argv);
    int Command() const { return command_; }
    const STerminalRequest& Request() const { return request_; }
    const std::string& Error() const { return error_; }

private:
    bool ReadOption(std::string_view arg, int argc, char** argv, int& i);
    void SetCommand(int command, std::string_view flag);
    void CheckFit();
    void Fail(const std::string& message)
    {
        if (error_.empty()) error_ = message;
    }

    STerminalRequest request_;
    int command_ = kNoCommand;
    std::string commandFlag_;
    std::string windowOption_;
    bool help_ = false;
    std::string error_;
};

bool CCommandLine::Read(int argc, char** argv)
{
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (!optionsEnded && arg == "--") optionsEnded = true;
        else if (optionsEnded || IsOperand(arg)) request_.operands.emplace_back(arg);
        else if (!ReadOption(arg, argc, argv, i)) return true;
    }
    if (help_) command_ = kHelp;
    if (command_ == kNoCommand && request_.operands.empty() && request_.options.empty()) return false;
    if (command_ == kNoCommand && !request_.operands.empty()) {
        const bool stdinOnly = request_.operands.size() == 1 && request_.operands[0] == "-";
        command_ = stdinOnly ? kStdin : kEval;
        if (stdinOnly) request_.operands.clear();
        commandFlag_ = stdinOnly ? "-" : "an expression";
    }
    CheckFit();
    return true;
}

// Reads the option at argv[i] (and its value); false after an error.
bool CCommandLine::ReadOption(std::string_view arg, int argc, char** argv, int& i)
{
    std::string_view name = arg;
    std::string_view value;
    const size_t equals = arg.find('=');
    const bool attached = arg.substr(0, 2) == "--" && equals != std::string_view::npos;
    if (attached) {
        name = arg.substr(0, equals);
        value = arg.substr(equals + 1);
    }
    const SOptionRow* row = FindOption(name);
    if (!row) {
        if (IsWindowValueOption(name)) {
            if (!attached) ++i;
            windowOption_ = name;
            return true;
        }
        for (const char* option : kWindowFlagOptions)
            if (name == option) {
                windowOption_ = name;
                return true;
            }
        if (IsTraySwitch(arg)) {
            windowOption_ = arg;
            return true;
        }
        Fail("unknown option " + Quoted(std::string(name)));
        return false;
    }
    if (row->value && !attached) {
        if (i + 1 >= argc) {
            Fail(std::string(row->name) + " needs " + row->value);
            return false;
        }
        value = argv[++i];
    } else if (!row->value && attached) {
        Fail(std::string(row->name) + " takes no value");
        return false;
    }
    if (row->command == kHelp) help_ = true;
    else if (row->command != kNoCommand) SetCommand(row->command, row->name);
    request_.options.emplace_back(row->name, std::string(value));
    return true;
}

void CCommandLine::SetCommand(int command, std::string_view flag)
{
    if (command_ != kNoCommand && command_ != command)
        Fail(commandFlag_ + " and " + std::string(flag) + " can't be used together");
    command_ = command;
    commandFlag_ = flag;
}

// Every option and operand must suit the command.
void CCommandLine::CheckFit()
{
    if (command_ == kHelp || command_ == kVersion) return;
    if (command_ == kNoCommand) {
        if (!windowOption_.empty() && request_.options.empty()) return;
        const std::string& first = request_.options.front().first;
        Fail(first + " goes with " + CommandsTaking(*FindOption(first)));
        return;
    }
    if (!windowOption_.empty())
        Fail(windowOption_ + " is an option of the window; it does not go with " + commandFlag_);
    for (const auto& [name, value] : request_.options) {
        const SOptionRow* row = FindOption(name);
        if (row->command == kNoCommand && !(row->acceptedBy & Bit(command_)))
            Fail(name + " does not go with " + commandFlag_ + ", only with " + CommandsTaking(*row));
    }
    if (!kCommands[command_].takesOperands && !request_.operands.empty())
        Fail(commandFlag_ + " takes no argument " + Quoted(request_.operands.front()));
}

volatile std::sig_atomic_t g_pipeClosed = 0;

void OnPipeClosed(int)
{
    g_pipeClosed = 1;
}

// A closed pipe shows as a failed write (noted), not as a killed program.
void CatchClosedPipe()
{
    std::signal(SIGPIPE, OnPipeClosed);
}

// Output that could not be written (a full disk, a closed pipe) fails the
// command; a closed pipe is not worth a message: nobody reads any more.
int FinishOutput(int exitCode)
{
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0;
    const int error = errno;
    if (flushed && !std::ferror(stdout)) return exitCode;
    if (!g_pipeClosed && error != EPIPE)
        std::fprintf(stderr, "tallix: can't write the output%s%s\n", error ? ": " : "", error ? std::strerror(error) : "");
    return exitCode ? exitCode : 1;
}

} // namespace

bool RunTerminal(int argc, char** argv, int& exitCode)
{
    CCommandLine line;
    if (!line.Read(argc, argv) || (line.Error().empty() && line.Command() == kNoCommand)) return false;
    CatchClosedPipe();
    if (!line.Error().empty()) exitCode = UsageError(line.Error());
    else exitCode = kCommands[line.Command()].run(line.Request());
    exitCode = FinishOutput(exitCode);
    return true;
}

int RunLineCalculator()
{
    CatchClosedPipe();
    return FinishOutput(RunCliCommand(STerminalRequest()));
}
