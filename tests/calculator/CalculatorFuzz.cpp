// Random key presses on every mode, and random value texts through the
// display formatting: nothing may crash, overrun or break a capacity.
#include "calculator/CalcController.h"
#include "calculator/NumberText.h"
#include "engine/CalcEngine.h"
#include "platform/Clipboard.h"
#include "platform/MessageBox.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

class SilentMessageBox : public IMessageBox {
public:
    MessageAnswer Show(const std::string&, const std::string&, MessageKind, MessageButtons) override
    {
        return MessageAnswer::Ok;
    }
};

void Check(bool condition)
{
    if (!condition) std::abort();
}

void CheckDisplay(CCalcController& calc)
{
    std::string full, mantissa, exponent;
    for (int formatted = 0; formatted < 2; ++formatted)
        for (int regional = 0; regional < 2; ++regional) calc.GetDisplay(full, mantissa, exponent, formatted, regional);
    calc.GetSignText();
    Check(calc.ActiveMode().GetSignText().size() <= kLineCapacity + kLevelCapacity);
    for (int i = 0; i < kMemoryRegisters; ++i) Check(calc.MemoryText(i).size() <= kRegisterCapacity);
}

void FuzzKeys(const uint8_t* data, size_t size)
{
    CCalcController calc;
    calc.SetCalcMode(data[0] % 5);
    calc.SetStackSize(3 + data[0] / 5 % 18);
    calc.SetRepeatedEquals(data[0] & 1);
    for (size_t i = 1; i + 1 < size; i += 2) {
        int type = data[i] % 13;
        int id = static_cast<int>(data[i + 1]) - 16;
        if (type == 10) id = data[i + 1] % 40;   // mostly valid bases
        calc.Dispatch(type, id);
        if (data[i] >= 0xF0) calc.SetCalcMode(data[i + 1] % 5);
        CheckDisplay(calc);
    }
    calc.Rpn().ShowStack();
}

void FuzzText(const uint8_t* data, size_t size)
{
    std::string value(reinterpret_cast<const char*>(data + 1), size - 1);
    CNumberText* text = CNumberText::GetInstance();
    std::string full, mantissa, exponent;
    for (int regional = 0; regional < 2; ++regional) {
        text->FormatDisplay(value, full, mantissa, exponent, regional, 20);
        text->FormatCurrency(value, "\x80", full, mantissa, exponent, regional, data[0] % 24);
    }
    text->FormatPlain(value, full, mantissa, exponent);
    text->CheckWidth(value, full, mantissa, exponent, 50);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static SilentMessageBox silent;
    SetMessageBoxService(&silent);
    if (size < 1) return 0;
    CCalcEngine::GetInstance()->SetBase(10);
    CCalcEngine::GetInstance()->SetAngleMode(0);
    CNumberText* text = CNumberText::GetInstance();
    text->SetNotation(data[0] >> 5 & 3);
    text->SetRegionalNumberFormat(data[0] >> 4 & 1);
    text->SetDecimalComma(data[0] >> 3 & 1);
    ClipboardService().SetText(std::string(reinterpret_cast<const char*>(data), size > 40 ? 40 : size));
    if (data[0] & 0x80) FuzzText(data, size);
    else FuzzKeys(data, size);
    return 0;
}
