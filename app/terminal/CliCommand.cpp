// tallix --cli, and tallix - for scripts: a line calculator. Each line is a
// calculation or one of a few words that change the base, the angle unit or
// how results are shown; "quit" or the end of input leaves.
#include "app/terminal/Calculation.h"
#include "app/terminal/ExpressionReading.h"
#include "app/terminal/LineReader.h"
#include "app/terminal/NameHelp.h"
#include "app/terminal/TerminalRequest.h"
#include "app/terminal/UnitCatalogue.h"
#include "calculator/NumberText.h"
#include "engine/CalcEngine.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char kCliHelp[] =
    "Type a calculation such as 12.5*(3+sin(30)) and press Enter; \"tallix --help\" lists\n"
    "the functions and operators. ans is the last result.\n"
    "  deg, rad, grad        angle unit of the trigonometric functions\n"
    "  base N                number base 2 to 36 (also bin, oct, dec, hex); base alone\n"
    "                        shows the current one\n"
    "  normal, fixed, sci, eng\n"
    "                        how results are shown (also notation 0 to 3)\n"
    "  help                  this text; help NAME says what a function, constant or\n"
    "                        unit is (Tab completes names at a terminal)\n"
    "  quit, exit            leave (end of input leaves too; Ctrl+C drops the line)\n";

const char* const kAngleNames[] = {"DEG", "RAD", "GRAD"};
const char* const kAngleWords[] = {"deg", "rad", "grad"};

struct SBaseWord {
    const char* word;
    int base;
};
const SBaseWord kBaseWords[] = {{"bin", 2}, {"oct", 8}, {"dec", 10}, {"hex", 16}};

std::vector<std::string> Words(const std::string& line)
{
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

// The line calculator's state beside the engine's: the last result ("ans").
class CLineCalculator {
public:
    // forScript: a blank line gets an empty line, so answers line up with the input.
    CLineCalculator(CCalcEngine& engine, bool forScript, bool strict)
        : engine_(engine), forScript_(forScript), strict_(strict) {}

    // Answers one line; false when it failed (an error result or a word with a bad value).
    bool Answer(const std::string& line, std::string& reply, bool& quit);

private:
    bool HandleWord(const std::vector<std::string>& words, std::string& reply, bool& quit);
    bool SetBase(const std::vector<std::string>& words, std::string& reply);
    bool Describe(const std::string& name, std::string& reply);
    bool SetNotation(const std::vector<std::string>& words, std::string& reply);
    std::string AnswerInCurrentBase();

    CCalcEngine& engine_;
    std::string answer_ = "0";
    int answerBase_ = 10;
    bool wordFailed_ = false;
    bool forScript_ = false;
    bool strict_ = false;
};

bool CLineCalculator::Answer(const std::string& line, std::string& reply, bool& quit)
{
    const std::vector<std::string> words = Words(line);
    wordFailed_ = false;
    if (HandleWord(words, reply, quit)) return !wordFailed_;
    const std::string answer = AnswerInCurrentBase();
    const SCalcLine result = Calculate(engine_, line, &answer, strict_);
    std::fputs(result.notes.c_str(), stderr);
    if (result.outcome == CalcOutcome::kEmpty) {
        if (forScript_) reply = "\n";
        return true;
    }
    reply = result.text + "\n";
    if (result.outcome != CalcOutcome::kResult) return false;
    answer_ = result.engineText;
    answerBase_ = engine_.GetBase();
    return true;
}

std::string CLineCalculator::AnswerInCurrentBase()
{
    const int base = engine_.GetBase();
    if (base == answerBase_) return answer_;
    std::string text;
    engine_.EvaluateInBases(answer_, text, answerBase_, base);
    return text;
}

// 1 when the line was one of the words (reply filled).
bool CLineCalculator::HandleWord(const std::vector<std::string>& words, std::string& reply, bool& quit)
{
    if (words.empty()) return false;
    const std::string& word = words[0];
    if (words.size() == 1 && (word == "quit" || word == "exit")) {
        quit = true;
        return true;
    }
    if (words.size() == 1 && (word == "help" || word == "?")) {
        reply = kCliHelp;
        return true;
    }
    if (words.size() == 2 && word == "help") return Describe(words[1], reply);
    if (word == "base") return SetBase(words, reply);
    if (word == "notation" || (words.size() == 1 && NotationFromWord(word) >= 0 && word.size() > 1))
        return SetNotation(words, reply);
    if (words.size() != 1) return false;
    for (int mode = 0; mode < 3; ++mode)
        if (word == kAngleWords[mode]) {
            engine_.SetAngleMode(mode);
            reply = std::string("angle unit ") + kAngleNames[mode] + "\n";
            return true;
        }
    for (const SBaseWord& w : kBaseWords)
        if (word == w.word) return SetBase({"base", std::to_string(w.base)}, reply);
    return false;
}

bool CLineCalculator::Describe(const std::string& name, std::string& reply)
{
    CUnitCatalogue units;
    const bool named = units.Load(ShippedUnitNamesPath());
    reply = DescribeName(name, named ? &units : nullptr);
    if (reply.empty()) {
        const std::string nearest = NearestName(name, true);
        reply = "no function, constant or unit \"" + name + "\"" + (nearest.empty() ? "" : "; did you mean " + nearest + "?");
        wordFailed_ = true;
    }
    reply += "\n";
    return true;
}

bool CLineCalculator::SetBase(const std::vector<std::string>& words, std::string& reply)
{
    if (words.size() == 2) {
        char* end = nullptr;
        const long base = std::strtol(words[1].c_str(), &end, 10);
        if (*end == '\0' && base >= 2 && base <= 36) engine_.SetBase(static_cast<int>(base));
        else wordFailed_ = true;
    } else if (words.size() > 2) {
        wordFailed_ = true;
    }
    reply = wordFailed_ ? "the base is a number from 2 to 36\n" : "base " + std::to_string(engine_.GetBase()) + "\n";
    return true;
}

bool CLineCalculator::SetNotation(const std::vector<std::string>& words, std::string& reply)
{
    CNumberText* text = CNumberText::GetInstance();
    const std::string* chosen = words[0] == "notation" ? (words.size() == 2 ? &words[1] : nullptr) : &words[0];
    if (chosen) {
        const int notation = NotationFromWord(*chosen);
        if (notation >= 0) text->SetNotation(notation);
        else wordFailed_ = true;
    } else if (words.size() > 1) {
        wordFailed_ = true;
    }
    reply = wordFailed_ ? "the notation is normal, fixed, sci or eng (0 to 3)\n"
                        : std::string("notation ") + kNotationWords[text->GetNotation()] + "\n";
    return true;
}

std::string Prompt(const CCalcEngine& engine)
{
    return std::string(kAngleNames[engine.GetAngleMode()]) + " " + std::to_string(engine.GetBase()) + "> ";
}

// failOnError: exit 1 when any line failed (for scripts); otherwise a session ends with 0.
int RunLineLoop(const STerminalRequest& request, bool failOnError)
{
    SEngineOptions options;
    if (const int bad = ReadEngineOptions(request, options)) return bad;
    CCalcEngine& engine = PrepareEngine(options);
    CLineCalculator calculator(engine, failOnError, options.strict);
    CLineReader reader;
    if (reader.Interactive()) {
        CUnitCatalogue units;
        const bool named = units.Load(ShippedUnitNamesPath());
        CompleteFrom(CompletionWords(named ? &units : nullptr));
    }
    if (reader.Interactive())
        std::fprintf(reader.Chatter(), "Tallix line calculator: \"help\" lists the commands, \"quit\" leaves.\n");
    bool anyFailed = false;
    bool quit = false;
    std::string line;
    while (!quit && reader.ReadLine(Prompt(engine), line)) {
        std::string reply;
        anyFailed = !calculator.Answer(line, reply, quit) || anyFailed;
        std::fputs(reply.c_str(), stdout);
        if (std::fflush(stdout) != 0) break; // nobody reads the answers any more
    }
    if (reader.Interactive() && !quit) std::fputc('\n', reader.Chatter());
    CCalcEngine::ReleaseInstance();
    if (reader.ReadError()) return Failure(std::string("can't read the input: ") + std::strerror(reader.ReadError()));
    return failOnError && anyFailed ? 1 : 0;
}

} // namespace

int RunCliCommand(const STerminalRequest& request)
{
    return RunLineLoop(request, false);
}

int RunStdinCommand(const STerminalRequest& request)
{
    return RunLineLoop(request, true);
}
