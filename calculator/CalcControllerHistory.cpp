// The controller's side of the calculation history: what goes in, how an
// entry reads, and what a recalled entry puts back.
#include "calculator/CalcController.h"

#include "calculator/NumberReading.h"
#include "calculator/NumberText.h"
#include "engine/CalcEngine.h"

namespace {

// The decimal mark the display writes.
std::string DecimalPoint(int regional)
{
    const CNumberText* text = CNumberText::GetInstance();
    if (text->GetDecimalComma()) return ",";
    const std::string& mark = text->GetLocaleData().decimalSeparator;
    return regional && !mark.empty() ? mark : ".";
}

}  // namespace

void CCalcController::OpenHistory(const std::string& path)
{
    history_ = CCalcHistory(path);
    history_.Load();
}

// A bare number handed back ("5" = "5") calculated nothing worth keeping.
void CCalcController::Record(const CEvaluationWatch& watch)
{
    if (!watch.Saw() || watch.Expression().empty() || watch.Expression() == watch.Result()) return;
    history_.Add({currentMode_, CCalcEngine::GetInstance()->GetBase(), watch.Expression(), watch.Result()});
}

std::string CCalcController::HistoryExpressionText(const SHistoryEntry& entry, int regional) const
{
    return ReadableExpression(entry.expression, entry.base, entry.base == 10 ? DecimalPoint(regional) : ".");
}

std::string CCalcController::HistoryResultText(const SHistoryEntry& entry, int regional) const
{
    std::string full, mantissa, exponent;
    FormatValue(entry.result, entry.base, full, mantissa, exponent, regional);
    return exponent.empty() ? mantissa : mantissa + "e" + exponent;
}

int CCalcController::RecallHistory(size_t index)
{
    if (index >= history_.Count()) return 0;
    const SHistoryEntry& entry = history_.At(index);
    const int base = CCalcEngine::GetInstance()->GetBase();
    if (currentMode_ == kModeExpression) {
        const std::string line = entry.base == base ? entry.expression : ConvertNumbers(entry.expression, entry.base, base);
        return expression_.SetLine(line);
    }
    if (IsErrorWord(entry.result)) return 0;
    const std::string value = entry.base == base ? entry.result : ConvertBase(entry.result, entry.base, base);
    if (IsErrorWord(value) || value.size() > kEntryCapacity) return 0;
    return ActiveMode().SetEntry(value);
}
