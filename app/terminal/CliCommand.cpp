// tallix --cli [--base N] [--angle deg|rad|grad]: a line calculator for a
// terminal. Each line is a calculation or one of a few words that change the
// base or the angle unit; end of input or "quit" leaves.
#include "calculator/NumberText.h"
#include "engine/CalcEngine.h"
#include "platform/TextCodec.h"

#include <editline/readline.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>

int ApplyEngineOption(int argc, char** argv, int& i, CCalcEngine& engine);   // EvalCommand.cpp

namespace {

const char kCliUsage[] = "usage: tallix --cli [--base N] [--angle deg|rad|grad]\n";

const char kCliHelp[] =
    "Type a calculation such as 12.5*(3+sin(30)) and press Enter.\n"
    "  deg, rad, grad     angle unit of the trigonometric functions\n"
    "  base N             number base 2 to 36 (also bin, oct, dec, hex)\n"
    "  normal, fixed, sci, eng\n"
    "                     how results are shown (also notation 0 to 3)\n"
    "  help               this text\n"
    "  quit, exit         leave (end of input leaves too)\n";

const char* const kAngleNames[] = {"DEG", "RAD", "GRAD"};

const char* const kNotationWords[] = {"normal", "fixed", "sci", "eng"};

// The line printed for one evaluation: the text the calculator's display
// would show, in the chosen notation.
std::string ResultLine(const std::string& resultText, double /*value*/)
{
    std::string full, mantissa, exponent;
    CNumberText* text = CNumberText::GetInstance();
    if (CCalcEngine::GetInstance()->GetBase() == 10)
        text->FormatDisplay(resultText, full, mantissa, exponent, 0, 20);
    else
        text->CheckWidth(resultText, full, mantissa, exponent, 50);
    return full;
}

// "normal", "fixed", "sci", "eng" or "notation N"; 1 when the line was one.
int HandleNotationWord(std::string_view line, std::string& reply)
{
    int notation = -1;
    for (int n = 0; n < 4; ++n)
        if (line == kNotationWords[n]) notation = n;
    if (line.size() == 10 && line.substr(0, 9) == "notation " && line[9] >= '0' && line[9] <= '3')
        notation = line[9] - '0';
    else if (notation < 0 && line.substr(0, 8) == "notation") {
        reply = "the notation is normal, fixed, sci or eng (0 to 3)\n";
        return 1;
    }
    if (notation < 0) return 0;
    CNumberText::GetInstance()->SetNotation(notation);
    reply = std::string("notation ") + kNotationWords[notation] + "\n";
    return 1;
}

// Words of the line calculator; 1 when the line was one (reply filled), else 0.
int HandleWord(std::string_view line, CCalcEngine& engine, std::string& reply, bool& quit)
{
    static const struct {
        const char* word;
        int base;
    } kBaseWords[] = {{"bin", 2}, {"oct", 8}, {"dec", 10}, {"hex", 16}};
    if (line == "quit" || line == "exit") {
        quit = true;
        return 1;
    }
    if (line == "help" || line == "?") {
        reply = kCliHelp;
        return 1;
    }
    if (HandleNotationWord(line, reply)) return 1;
    for (int mode = 0; mode < 3; ++mode) {
        std::string lower = kAngleNames[mode];
        for (char& c : lower) c = static_cast<char>(c - 'A' + 'a');
        if (line == lower) {
            engine.SetAngleMode(mode);
            reply = std::string("angle unit ") + kAngleNames[mode] + "\n";
            return 1;
        }
    }
    for (const auto& w : kBaseWords)
        if (line == w.word) {
            engine.SetBase(w.base);
            reply = "base " + std::to_string(w.base) + "\n";
            return 1;
        }
    if (line.substr(0, 5) == "base ") {
        const std::string number(line.substr(5));
        char* end = nullptr;
        const long base = std::strtol(number.c_str(), &end, 10);
        if (end != number.c_str() && *end == '\0' && base >= 2 && base <= 36 && engine.SetBase(base))
            reply = "base " + std::to_string(base) + "\n";
        else
            reply = "the base is a number from 2 to 36\n";
        return 1;
    }
    return 0;
}

// The line editor reads UTF-8 ("÷", "×", "²") only under a UTF-8 character
// type; keep the user's when it is one.
void UseUtf8CharacterType()
{
    const char* current = std::setlocale(LC_CTYPE, "");
    if (current && (std::strstr(current, "UTF-8") || std::strstr(current, "utf8"))) return;
    std::setlocale(LC_CTYPE, "C.UTF-8");
}

// Reads one line without its newline; false at the end of input.
bool ReadLine(bool interactive, CCalcEngine& engine, std::string& line)
{
    if (!interactive) return static_cast<bool>(std::getline(std::cin, line));
    const std::string prompt =
        std::string(kAngleNames[engine.GetAngleMode()]) + " " + std::to_string(engine.GetBase()) + "> ";
    char* raw = readline(prompt.c_str());
    if (!raw) return false;
    line = raw;
    std::free(raw);
    if (!line.empty()) add_history(line.c_str());
    return true;
}

}

int RunCliCommand(int argc, char** argv)
{
    CCalcEngine* engine = CCalcEngine::GetInstance();
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--cli") continue;
        if (ApplyEngineOption(argc, argv, i, *engine) != 1) {
            std::fputs(kCliUsage, stderr);
            return 2;
        }
    }
    const bool interactive = isatty(STDIN_FILENO) != 0;
    if (interactive) {
        UseUtf8CharacterType();
        using_history();
        std::printf("Tallix line calculator: \"help\" lists the commands, \"quit\" leaves.\n");
    }
    std::string line;
    std::string result;
    bool quit = false;
    while (!quit && ReadLine(interactive, *engine, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        std::string reply;
        if (HandleWord(line, *engine, reply, quit)) {
            std::fputs(reply.c_str(), stdout);
        } else {
            const double value = engine->Evaluate(Utf8ToCp1252(line), result);
            std::printf("%s\n", ResultLine(result, value).c_str());
        }
        std::fflush(stdout);
    }
    if (interactive && !quit) std::printf("\n");
    CCalcEngine::ReleaseInstance();
    return 0;
}
