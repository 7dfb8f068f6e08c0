#include "calculator/KeyFeedback.h"

#include <vector>

#include "calculator/CalcController.h"
#include "calculator/CommandNames.h"
#include "engine/CalcEngine.h"
#include "platform/TextCodec.h"
#include "strings/Language.h"
#include "strings/StringIds.h"

namespace {

std::string Text(int id, const char* english)
{
    return LocalizedText(id, english);
}

// Fills the first "%d" with a number and the first "%s" with a text.
std::string Fill(std::string format, int number, const std::string& text = {})
{
    size_t at = format.find("%d");
    if (at != std::string::npos) format.replace(at, 2, std::to_string(number));
    at = format.find("%s");
    if (at != std::string::npos) format.replace(at, 2, text);
    return format;
}

std::string AngleWords(int angle)
{
    if (angle == 1) return Text(StringId::SpokenRadians, "radians");
    if (angle == 2) return Text(StringId::SpokenGrads, "grads");
    return Text(StringId::SpokenDegrees, "degrees");
}

// The memory keys' mode in the words of its key.
std::string ModeWords(int mode)
{
    switch (mode) {
    case kMemSubtract: return CommandName(kCmdMemoryMode, 0);
    case kMemRecall: return CommandName(kCmdMemoryMode, 3);
    case kMemStore: return CommandName(kCmdMemoryMode, 4);
    case kMemAdd: return CommandName(kCmdMemoryMode, 5);
    default: return CommandName(kCmdMemoryMode, 1);
    }
}

enum class RegisterUse { Store, Add, Clear, Recall };

// The register a memory key works on and how, by the mode before the key.
RegisterUse MemoryTarget(int id, int mode, int& index)
{
    index = 0;
    if (id <= 7) {
        index = id;
        return RegisterUse::Store;
    }
    if (id <= 15) {
        index = id - 8;
        return RegisterUse::Recall;
    }
    if (id == 16) return RegisterUse::Clear;
    if (id < 25 || id > 32) return RegisterUse::Add;
    // Modes 1 and 2 name no register: the key adds to the first one.
    if (mode != 1 && mode != 2) index = id - 25;
    if (mode == kMemRecall) return RegisterUse::Recall;
    return mode == kMemStore ? RegisterUse::Store : RegisterUse::Add;
}

std::string Join(const std::vector<std::string>& parts)
{
    std::string text;
    for (const std::string& part : parts) {
        if (part.empty()) continue;
        if (!text.empty()) text += ", ";
        text += part;
    }
    return text;
}

}  // namespace

CalcSigns CKeyFeedback::Capture() const
{
    CalcSigns s;
    for (int i = 0; i < kMemoryRegisters; ++i) s.memory[i] = calculator_.MemoryText(i);
    s.memoryMode = calculator_.GetMemoryMode();
    s.angle = CCalcEngine::GetInstance()->GetAngleMode();
    s.base = calculator_.CalcBase();
    return s;
}

void CKeyFeedback::Before(const std::string& value)
{
    before_ = Capture();
    value_ = value;
}

std::string CKeyFeedback::After(int type, int id, int accepted, bool typed, const std::string& value)
{
    if (!accepted) return Refused(calculator_.RefusalReason(type, id));
    refusal_ = -1;
    const CalcSigns now = Capture();
    std::vector<std::string> words;
    if (now.base != before_.base) words.push_back(CommandName(kCmdBase, now.base));
    if (now.angle != before_.angle) words.push_back(AngleWords(now.angle));
    if (type == kCmdMemoryMode) words.push_back(ModeWords(now.memoryMode));
    bool recall = false;
    if (type == kCmdMemory) words.push_back(MemoryWords(id, now, recall));
    // An empty text is no value to speak (nothing shown while an operator waits).
    const bool changed = !value.empty() && value != value_;
    if (recall || ValueSpoken(type, id, typed, changed) || (now.angle != before_.angle && changed))
        words.push_back(value);
    else if (!typed && (type == kCmdOperator || type == kCmdParenthesis) && words.empty())
        words.push_back(CommandName(type, id));  // what the key began: its name
    return Join(words);
}

bool CKeyFeedback::ValueSpoken(int type, int id, bool typed, bool changed) const
{
    switch (type) {
    case kCmdDigit: return !typed && changed;
    case kCmdOperator: return changed;
    case kCmdParenthesis: return calculator_.CalcMode() == kModeRpn || (id == 1 && changed);
    case kCmdFunction: return (id != 12 && id != 13) || changed;
    case kCmdMemory:
    case kCmdMemoryMode: return false;
    case kCmdClipboard: return id == 2;
    default: return true;  // equals, recall, clear, base, stack
    }
}

std::string CKeyFeedback::MemoryWords(int id, const CalcSigns& now, bool& recall) const
{
    int index = 0;
    const RegisterUse use = MemoryTarget(id, before_.memoryMode, index);
    const std::string shown = Cp1252ToUtf8(now.memory[index].empty() ? "0" : now.memory[index]);
    switch (use) {
    case RegisterUse::Recall: recall = true; return {};
    case RegisterUse::Clear: return Fill(Text(StringId::SpokenMemoryCleared, "memory %d cleared"), index + 1);
    case RegisterUse::Store: return Fill(Text(StringId::SpokenMemoryStored, "memory %d stored: %s"), index + 1, shown);
    default: return Fill(Text(StringId::SpokenMemoryValue, "memory %d: %s"), index + 1, shown);
    }
}

std::string CKeyFeedback::Refused(int reason)
{
    if (reason == refusal_) return {};
    refusal_ = reason;
    switch (reason) {
    case kRefusalNone: return {};
    case kRefusalUnknown: return Text(StringId::SpokenNoKey, "not a calculator key");
    case kRefusalBase:
        return Fill(Text(StringId::SpokenNotInBase, "not available in base %d"), calculator_.CalcBase());
    case kRefusalRpnOnly: return Text(StringId::SpokenRpnOnly, "only in R.P.N. mode");
    case kRefusalFull: return Text(StringId::SpokenNumberFull, "no more digits: 20 at most");
    case kRefusalNoNumber: return Text(StringId::SpokenNoNumber, "the display shows no number");
    default: return Text(StringId::SpokenNotNow, "not possible now");
    }
}

std::string CKeyFeedback::NoKey()
{
    return Refused(kRefusalUnknown);
}

std::string StackWords(const CCalcController& calculator, const std::string& value)
{
    if (calculator.CalcMode() != kModeRpn) return {};
    const CRpnMode& rpn = calculator.Rpn();
    std::vector<std::string> levels;
    if (!value.empty()) levels.push_back("X: " + value);
    static const char* const kNames[] = {"Y", "Z", "T"};
    for (int i = 0; i + 1 < rpn.GetStackSize(); ++i) {
        const std::string& text = rpn.GetRegister(i);
        const std::string name = i < 3 ? kNames[i] : std::to_string(i + 2);
        levels.push_back(name + ": " + Cp1252ToUtf8(text.empty() ? "0" : text));
    }
    return Join(levels);
}

int MemoryModeKeyOn(int id, int mode)
{
    switch (id) {
    case 0: return mode == kMemSubtract;
    case 1: return mode == 1 || mode == 2;
    case kMemRecall:
    case kMemStore: return mode == id;
    default: return mode == kMemAdd;
    }
}
