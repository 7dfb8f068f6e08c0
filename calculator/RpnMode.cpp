#include "calculator/RpnMode.h"

#include "engine/CalcEngine.h"
#include "platform/MessageBox.h"
#include "platform/TextCodec.h"
#include "strings/Language.h"

namespace {
const int kStrStackSize = 383;
}

CRpnMode::CRpnMode()
{
    ResetRpn();
}

std::string CRpnMode::GetDisplayText() const
{
    return OldX();
}

std::string CRpnMode::GetSignText() const
{
    return "";
}

int CRpnMode::Digit(int id)
{
    // Judge the key before lifting: a refused digit must not move the stack.
    if (id < 0 || id > 16 || (id == 16 ? CurrentBase() != 10 : id >= CurrentBase())) return 0;
    if (state_ == AfterOperator || state_ == AfterFunction || state_ == ValueShown) {
        Lift();
        entry_.clear();
    }
    return CommonDigit(id);
}

int CRpnMode::Equals(int id)
{
    if (id != 0 || entry_.empty()) return 0;
    state_ = AfterEquals;
    Lift();
    return 1;
}

int CRpnMode::Operator(int id)
{
    const char* text = OperatorText(id);
    if (!*text) return 0;
    const std::string& y = registers_[0];
    if (!y.empty()) entry_ = entry_.empty() ? y : EvaluateText(y + text + entry_);
    lastResult_ = entry_;
    state_ = AfterOperator;
    Drop();
    return 1;
}

int CRpnMode::Function(int id)
{
    if (id < 0 || id > 31) return 0;
    CCalcEngine* engine = CCalcEngine::GetInstance();
    if (id == 12) {
        std::string value = entry_, converted;
        if (engine->ConvertAngleText(value, converted)) entry_ = converted;
        state_ = ValueShown;
        engine->SetAngleMode(3);
    } else if (id == 13) {
        state_ = ValueShown;
        engine->SetAngleMode(3);
    } else if (id == 30) {
        if (!entry_.empty()) entry_ = EvaluateText(entry_ + "\xD7" "0.01");
        // The percentage is a result, not digits being typed: the next digit
        // lifts it rather than extending it.
        if (state_ == Typing) state_ = ValueShown;
    } else {
        state_ = AfterFunction;
        entry_ = EvaluateText(FunctionText(id) + OldX() + ")");
    }
    return 1;
}

int CRpnMode::Parenthesis(int id)
{
    if (id == 0) Swap();
    else if (id == 1) RollDown();
    else return 0;
    return 1;
}

int CRpnMode::StackCommand(int id)
{
    switch (id) {
    case 0: Swap(); return 1;
    case 1: RollUp(); return 1;
    case 2: RollDown(); return 1;
    case 3: Drop(); return 1;
    default: return 0;
    }
}

void CRpnMode::Lift()
{
    for (int i = count_ - 1; i > 0; --i) registers_[i] = registers_[i - 1];
    registers_[0] = entry_;
    savedY_ = registers_[0];
}

void CRpnMode::Drop()
{
    savedY_ = registers_[0];
    for (int i = 0; i < count_ - 1; ++i) registers_[i] = registers_[i + 1];
}

// After a stack movement X holds a value that is shown, not typed: the next
// digit lifts it instead of extending it.
void CRpnMode::Swap()
{
    std::string x = OldX();
    entry_ = registers_[0].empty() ? "0" : registers_[0];
    registers_[0] = x;
    savedY_ = registers_[0];
    state_ = ValueShown;
}

void CRpnMode::RollDown()
{
    std::string x = OldX();
    entry_ = registers_[0];
    for (int i = 0; i < count_ - 1; ++i) registers_[i] = registers_[i + 1];
    registers_[count_ - 1] = x;
    savedY_ = registers_[0];
    state_ = ValueShown;
}

void CRpnMode::RollUp()
{
    std::string x = OldX();
    entry_ = registers_[count_ - 1];
    for (int i = count_ - 1; i > 0; --i) registers_[i] = registers_[i - 1];
    registers_[0] = x;
    savedY_ = registers_[0];
    state_ = ValueShown;
}

int CRpnMode::SetStackSize(int size)
{
    if (size < 3 || size > kStackRegisters) return 0;
    count_ = size - 1;
    return 1;
}

void CRpnMode::Reset()
{
    ResetRpn();
}

void CRpnMode::ResetRpn()
{
    CDalMode::Reset();
    lastResult_.clear();
    for (std::string& r : registers_) r = "0";
}

// The whole stack moves into the new base, not only X.
void CRpnMode::ChangeBase(int oldBase, int newBase)
{
    CDalMode::ChangeBase(oldBase, newBase);
    for (int i = 0; i < count_; ++i)
        if (!registers_[i].empty()) registers_[i] = ConvertBase(registers_[i], oldBase, newBase);
    if (!savedY_.empty()) savedY_ = ConvertBase(savedY_, oldBase, newBase);
}

void CRpnMode::GetStackText(std::string& caption, std::string& text) const
{
    std::string label;
    if (!LoadResString(LocalizedId(kStrStackSize), label)) LoadResString(kStrStackSize, label);
    caption = label + std::to_string(GetStackSize());
    std::string lines;
    for (int i = count_ - 1; i >= 3; --i) lines += std::to_string(i + 2) + ": " + registers_[i] + "\n";
    if (count_ >= 3) lines += "T: " + registers_[2] + "\n";
    lines += "Z: " + registers_[1] + "\n";
    lines += "Y: " + registers_[0] + "\n";
    lines += "X: " + OldX() + "\n";
    text = Cp1252ToUtf8(lines);
}

void CRpnMode::ShowStack() const
{
    std::string caption, text;
    GetStackText(caption, text);
    MessageBoxService().Show(text, caption, MessageKind::Information, MessageButtons::Ok);
}
