#include "calculator/CalcController.h"

#include "calculator/NumberReading.h"
#include "calculator/NumberText.h"
#include "engine/CalcEngine.h"
#include "platform/Clipboard.h"
#include "platform/MessageBox.h"
#include "platform/TextCodec.h"
#include "strings/Language.h"

#include <algorithm>

namespace {

const int kStrInvalidPress = 377;
const int kStrInvalidPressCaption = 378;
const int kDisplayCheckWidth = 50;

using Operation = int (CCalcController::*)(int);

// Indexed by command type; the command table decides which ids exist.
const Operation kOperations[kCommandTypeCount] = {
    &CCalcController::DigitCommand,    &CCalcController::OperatorCommand,
    &CCalcController::FunctionCommand, &CCalcController::ParenthesisCommand,
    &CCalcController::MemoryCommand,   &CCalcController::EqualsCommand,
    &CCalcController::RecallCommand,   &CCalcController::MemoryModeCommand,
    &CCalcController::ClearCommand,    &CCalcController::ClipboardCommand,
    &CCalcController::BaseCommand,     &CCalcController::StackCommand,
};

CCalcEngine* Engine()
{
    return CCalcEngine::GetInstance();
}

std::string ResText(int id)
{
    // Message texts run longer than the usual 256 bytes.
    std::string text;
    if (!LoadResString(LocalizedId(id), text, 2048)) LoadResString(id, text, 2048);
    return text;
}

void DotsToCommas(std::string& text)
{
    std::replace(text.begin(), text.end(), '.', ',');
}

std::string PlainText(const std::string& value)
{
    std::string full, mantissa, exponent;
    CNumberText::GetInstance()->FormatPlain(value, full, mantissa, exponent);
    return full;
}

bool IsBlank(const std::string& text)
{
    return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

// The marks a pasted number may use: the user's group separator, and "," as
// the point when the display or the locale writes it so.
SNumberMarks PasteMarks()
{
    const CNumberText* numberText = CNumberText::GetInstance();
    SNumberMarks marks;
    marks.groupSeparator = numberText->GetLocaleData().thousandSeparator;
    marks.commaIsDecimal = numberText->GetDecimalComma() || numberText->GetLocaleData().decimalSeparator == ",";
    return marks;
}

}  // namespace

CCalcController::CCalcController() : modes_{&expression_, &algebraic_, &dal_, &chain_, &rpn_} {}

int CCalcController::Dispatch(int commandType, int commandId)
{
    int accepted = FindCommand(commandType, commandId) ? (this->*kOperations[commandType])(commandId) : 0;
    if (accepted) {
        refused_ = 0;
    } else if (++refused_ > 2) {
        refused_ = 0;
        ShowRefusedMessage();
    }
    return accepted;
}

void CCalcController::ShowRefusedMessage() const
{
    MessageBoxService().Show(ResText(kStrInvalidPress), ResText(kStrInvalidPressCaption), MessageKind::Warning,
                             MessageButtons::Ok);
}

int CCalcController::DigitCommand(int id)
{
    if (id < 0 || id > 16) return 0;
    return ActiveMode().Digit(id);
}

int CCalcController::OperatorCommand(int id)
{
    if (id < 0 || id > 17 || (id >= 4 && Engine()->GetBase() != 10)) return 0;
    CEvaluationWatch watch;
    const int accepted = ActiveMode().Operator(id);
    // Elsewhere an operator's evaluation is a running result, not a calculation done.
    if (accepted && currentMode_ == kModeRpn) Record(watch);
    return accepted;
}

int CCalcController::FunctionCommand(int id)
{
    if (id < 0 || id > 31 || (id != 18 && Engine()->GetBase() != 10)) return 0;
    memoryMode_ = kMemAdd;
    CEvaluationWatch watch;
    const int accepted = ActiveMode().Function(id);
    if (accepted) Record(watch);
    return accepted;
}

int CCalcController::ParenthesisCommand(int id)
{
    if (id != 0 && id != 1) return 0;
    return ActiveMode().Parenthesis(id);
}

// The shown number as a value: an empty display is 0.
std::string CCalcController::DisplayValue()
{
    std::string value = ActiveMode().GetDisplayText();
    return value.empty() ? "0" : value;
}

// An error word is no value: storing it would stick in the register and in
// the saved settings, so such a press is refused and the register kept.
int CCalcController::StoreRegister(int index)
{
    const std::string shown = DisplayValue();
    if (IsErrorWord(shown)) return 0;
    const std::string value = ConvertBase(shown, Engine()->GetBase(), 10);
    if (IsErrorWord(value)) return 0;
    memory_[index] = value.substr(0, kRegisterCapacity);
    ActiveMode().SetValueShown();
    return 1;
}

int CCalcController::RecallRegister(int index)
{
    const std::string& text = memory_[index];
    return ActiveMode().SetEntry(ConvertBase(text.empty() ? "0" : text, 10, Engine()->GetBase()));
}

int CCalcController::AddToRegister(int index, bool subtract)
{
    const std::string shown = DisplayValue();
    if (IsErrorWord(shown)) return 0;
    int base = Engine()->GetBase();
    std::string reg = ConvertBase(memory_[index].empty() ? "0" : memory_[index], 10, base);
    std::string sum = ConvertBase(reg + (subtract ? "-" : "+") + shown, base, 10);
    // A sum beyond the range of numbers is refused like an error display.
    if (IsErrorWord(sum)) return 0;
    memory_[index] = sum.substr(0, kRegisterCapacity);
    if (!subtract) ActiveMode().SetValueShown();
    return 1;
}

int CCalcController::MemoryCommand(int id)
{
    const CommandRow* row = FindCommand(kCmdMemory, id);
    if (!row) return 0;
    int accepted = 1;
    if (id <= 7) {
        accepted = StoreRegister(id);
    } else if (id <= 15) {
        accepted = RecallRegister(id - 8);
    } else if (id == 16) {
        memory_[0].clear();
    } else if (id == 24) {
        if (Engine()->GetBase() != 10 && DisplayValue().size() > kDisplayCheckWidth) return 0;
        accepted = AddToRegister(0, false);
    } else if (id <= 32) {
        int index = id - 25;
        switch (memoryMode_) {
        case kMemSubtract: accepted = AddToRegister(index, true); break;
        case kMemRecall: accepted = RecallRegister(index); break;
        case kMemStore: accepted = StoreRegister(index); break;
        case kMemAdd: accepted = AddToRegister(index, false); break;
        default: accepted = AddToRegister(0, false); break;   // modes 1 and 2 name no register
        }
    } else {
        accepted = AddToRegister(0, id == 34);
    }
    memoryMode_ = kMemAdd;
    return accepted;
}

int CCalcController::EqualsCommand(int id)
{
    CEvaluationWatch watch;
    ActiveMode().Equals(id);
    Record(watch);
    // An error word is no answer: recalled, it would only become Syntax Error.
    const std::string shown = Utf8ToCp1252(PlainText(ActiveMode().GetDisplayText())).substr(0, kRegisterCapacity);
    if (!IsErrorWord(DisplayValue())) answer_ = shown;
    return 1;
}

int CCalcController::RecallCommand(int id)
{
    if (id == 99) return ActiveMode().SetEntry(answer_.empty() ? "0" : answer_);
    if (id == 98) {
        if (currentMode_ != kModeRpn) return 0;
        return rpn_.SetEntry(rpn_.GetSavedY().empty() ? "0" : rpn_.GetSavedY());
    }
    if (id < 0 || id > 19) return 0;
    return ActiveMode().RecallConstant(id);
}

int CCalcController::MemoryModeCommand(int id)
{
    // Ids 0 and 1 step through the modes by the current mode.
    static const int kFromId0[6] = {5, 2, 1, 0, 0, 0};
    static const int kFromId1[6] = {2, 5, 0, 1, 1, 1};
    int from = (memoryMode_ >= 0 && memoryMode_ <= 5) ? memoryMode_ : kMemAdd;
    if (id == 0) memoryMode_ = kFromId0[from];
    else if (id == 1) memoryMode_ = kFromId1[from];
    else if (id >= 3 && id <= 5) memoryMode_ = memoryMode_ == id ? kMemAdd : id;
    else memoryMode_ = kMemAdd;
    return 1;
}

int CCalcController::ClearCommand(int id)
{
    if (id < 0 || id > 3) return 0;
    if (id != 3) memoryMode_ = kMemAdd;
    return ActiveMode().Clear(id);
}

int CCalcController::ClipboardCommand(int id)
{
    IClipboard& clipboard = ClipboardService();
    if (id == 0) return clipboard.SetText(PlainText(ActiveMode().GetDisplayText()));
    if (id == 1) {
        if (currentMode_ != kModeExpression) return 0;
        std::string line = expression_.GetSignText();
        if (CNumberText::GetInstance()->GetDecimalComma()) DotsToCommas(line);
        return clipboard.SetText(Cp1252ToUtf8(line));
    }
    if (id != 2) return 0;
    std::string text;
    clipboard.GetText(text);
    if (IsBlank(text)) return 1;
    // Only a number of the current base goes in, whole: words would fail at
    // "=" only, and a cut number would be another number.
    const std::string number = ReadNumberText(text, Engine()->GetBase(), PasteMarks());
    if (number.empty() || number.size() > kEntryCapacity) return 0;
    return ActiveMode().SetEntry(number);
}

int CCalcController::BaseCommand(int id)
{
    if (id < 2 || id > 36) return 0;
    int old = Engine()->GetBase();
    if (id == old) return 1;
    if (!ActiveMode().CanChangeBase()) return 0;
    ActiveMode().ChangeBase(old, id);
    return Engine()->SetBase(id);
}

int CCalcController::StackCommand(int id)
{
    if (currentMode_ != kModeRpn || id < 0 || id > 3) return 0;
    return rpn_.StackCommand(id);
}

int CCalcController::RefusalReason(int type, int id) const
{
    if (!FindCommand(type, id)) return kRefusalUnknown;
    const int base = Engine()->GetBase();
    if ((type == kCmdStack || (type == kCmdRecall && id == 98)) && currentMode_ != kModeRpn) return kRefusalRpnOnly;
    const bool digitOutside = type == kCmdDigit && (id == 16 ? base != 10 : id >= base);
    const bool decimalOnly = (type == kCmdOperator && id >= 4) || (type == kCmdFunction && id != 18) ||
                             (type == kCmdRecall && id < 20);
    if (digitOutside || (decimalOnly && base != 10)) return kRefusalBase;
    const std::string shown = modes_[currentMode_]->GetDisplayText();
    if (IsErrorWord(shown)) return kRefusalNoNumber;
    if (type == kCmdDigit && currentMode_ != kModeExpression) {
        if (id == 0 && shown == "0") return kRefusalNone;
        if (shown.size() >= kDigitLimit) return kRefusalFull;
    }
    return kRefusalNotNow;
}

void CCalcController::GetDisplay(std::string& fullText, std::string& mantissaText, std::string& exponentText,
                                 int formatted, int regional)
{
    const std::string value = ActiveMode().GetDisplayText();
    if (formatted) {
        FormatValue(value, Engine()->GetBase(), fullText, mantissaText, exponentText, regional);
    } else {
        CNumberText::GetInstance()->FormatPlain(value, fullText, mantissaText, exponentText);
    }
}

void CCalcController::FormatValue(const std::string& value, int base, std::string& fullText,
                                  std::string& mantissaText, std::string& exponentText, int regional) const
{
    CNumberText* text = CNumberText::GetInstance();
    if (base == 10) {
        text->FormatDisplay(value, fullText, mantissaText, exponentText, regional, displayDigits_);
        if (text->GetDecimalComma()) {
            DotsToCommas(fullText);
            DotsToCommas(mantissaText);
        }
    } else {
        text->CheckWidth(value, fullText, mantissaText, exponentText, kDisplayCheckWidth);
    }
}

std::string CCalcController::GetSignText() const
{
    return Cp1252ToUtf8(modes_[currentMode_]->GetSignText());
}

void CCalcController::SetCalcBase(int base)
{
    Engine()->SetBase(base);
}

void CCalcController::SetNotation(int notation)
{
    CNumberText::GetInstance()->SetNotation(notation);
}

void CCalcController::SetRepeatedEquals(int on)
{
    chain_.SetRepeatedEquals(on);
}

void CCalcController::SetCalcMode(int mode)
{
    if (mode >= kModeExpression && mode <= kModeRpn) currentMode_ = mode;
}

void CCalcController::SetStackSize(int levels)
{
    rpn_.SetStackSize(levels);
}

// A stored text that is no number (an error word saved by an older version)
// would stick in the register: it counts as empty.
void CCalcController::SetMemoryText(int index, const std::string& text)
{
    if (index < 0 || index >= kMemoryRegisters) return;
    memory_[index] = IsPlainDecimal(text) ? text.substr(0, kRegisterCapacity) : std::string();
}

int CCalcController::CalcBase() const
{
    return Engine()->GetBase();
}

int CCalcController::Notation() const
{
    return CNumberText::GetInstance()->GetNotation();
}

int CCalcController::RepeatedEquals() const
{
    return chain_.GetRepeatedEquals();
}

int CCalcController::CalcMode() const
{
    return currentMode_;
}

int CCalcController::StackSize() const
{
    return rpn_.GetStackSize();
}

std::string CCalcController::MemoryText(int index) const
{
    return (index >= 0 && index < kMemoryRegisters) ? memory_[index] : std::string();
}

int CCalcController::IsMemoryInUse(int index) const
{
    if (index < 0 || index >= kMemoryRegisters) return 0;
    return !memory_[index].empty() && memory_[index] != "0";
}
