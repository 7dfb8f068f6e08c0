#include "calculator/DalMode.h"

#include "engine/CalcEngine.h"

namespace {

const char kDigitChars[] = "0123456789ABCDEF";
const char kTimes[] = "\xD7";
const int kTimesId = 2;

bool IsTypingOrShown(int state)
{
    return state == Typing || state == ValueShown;
}

// An empty text stands for the 0 the display shows.
std::string OrZero(const std::string& text)
{
    return text.empty() ? "0" : text;
}

}  // namespace

CDalMode::CDalMode()
{
    ResetDal();
}

std::string CDalMode::GetDisplayText() const
{
    return (state_ == Opened || state_ == Cleared) ? "0" : entry_;
}

std::string CDalMode::GetSignText() const
{
    return sign_;
}

int CDalMode::Digit(int id)
{
    return CommonDigit(id);
}

int CDalMode::CommonDigit(int id)
{
    if (id < 0 || id > 16) return 0;
    if (id == 16 ? CurrentBase() != 10 : id >= CurrentBase()) return 0;
    if (state_ == AfterOperator) entry_.clear();
    std::string entry = entry_;
    if (state_ != Typing || computedEntry_) entry.clear();
    // Counted on the number being typed, so a long result shown after "="
    // does not block the next number.
    if (entry.size() >= kDigitLimit) return 0;
    if (id == 16) {
        if (entry.find('.') != std::string::npos) return 0;
        if (entry.empty()) entry = "0";
        entry += '.';
    } else {
        if (entry == "0") {
            if (id == 0) return 0;
            entry.clear();
        }
        entry += kDigitChars[id];
    }
    if (state_ == AfterEquals) sign_.clear();
    entry_ = entry;
    state_ = Typing;
    computedEntry_ = false;
    return 1;
}

int CDalMode::Function(int id)
{
    if (id < 0 || id > 31) return 0;
    if (id == 12 || id == 13 || id == 30) {
        if (!AngleOrPercent(id)) return 0;
        state_ = ValueShown;
        return 1;
    }
    if ((id >= 18 && id <= 29) || id == 31) return ImmediateFunction(id);
    std::string text = FunctionText(id);
    std::string implied = IsTypingOrShown(state_) ? entry_ + kTimes : "";
    if (Expression().size() + implied.size() + static_cast<size_t>(pending_[level_]) + text.size() > kLevelCapacity)
        return 0;
    if (IsTypingOrShown(state_)) {
        // A number in front of a function multiplies it: 2 sin 30 is 2×sin(30).
        Expression() += entry_;
        entry_.clear();
        DalOperator(kTimesId, false);
    } else if (state_ == AfterEquals) {
        entry_.clear();
    }
    state_ = AfterFunction;
    ++pending_[level_];
    sign_ = text.substr(0, text.size() - 1);
    Expression() += text;
    return 1;
}

int CDalMode::ImmediateFunction(int id)
{
    if (state_ == AfterOperator) return 0;
    std::string entry = (state_ == Opened || state_ == Cleared) ? "0" : entry_;
    if (entry.empty()) return 0;
    state_ = ValueShown;
    sign_.clear();
    entry_ = EvaluateText(FunctionText(id) + entry + ")");
    return 1;
}

int CDalMode::AngleOrPercent(int id)
{
    CCalcEngine* engine = CCalcEngine::GetInstance();
    if (id == 12) {
        std::string value = entry_, converted;
        if (engine->ConvertAngleText(value, converted)) entry_ = converted;
        engine->SetAngleMode(3);
    } else if (id == 13) {
        engine->SetAngleMode(3);
    } else {
        // 200 + 10 % is 20: the percentage of the operand before the sign.
        const std::string& expr = Expression();
        bool ofPrevious = !expr.empty() && (expr.back() == '+' || expr.back() == '-') && state_ == Typing;
        std::string value = OrZero(entry_) + kTimes + "0.01";
        if (ofPrevious) value = OrZero(previous_) + kTimes + value;
        entry_ = EvaluateText(value);
    }
    // The state stays (a second "%" still takes the percentage of the operand
    // before "+"), but the computed value is no number being typed: the next
    // digit starts a new one.
    if (id != 13 && state_ == Typing) computedEntry_ = true;
    return 1;
}

int CDalMode::Operator(int id)
{
    return DalOperator(id, false);
}

int CDalMode::DalOperator(int id, bool afterFunctionTypes)
{
    const char* text = OperatorText(id);
    if (!*text) return 0;
    int state = (afterFunctionTypes && state_ == AfterFunction) ? Typing : state_;
    if (state == AfterFunction || state == Opened || state == Cleared) return 0;
    std::string& expr = Expression();
    size_t kept = expr.size() - (state == AfterOperator && !expr.empty() ? 1 : 0);
    if (kept + entry_.size() + static_cast<size_t>(pending_[level_]) + 1 > kLevelCapacity) return 0;
    if (state == AfterOperator) {
        // The new operator replaces the old one; the operand before it stays.
        if (!expr.empty()) expr.pop_back();
    } else {
        previous_ = entry_;
    }
    expr += entry_ + ClosingParens();
    entry_.clear();
    pending_[level_] = 0;
    state_ = AfterOperator;
    expr += text;
    sign_ = text;
    return 1;
}

int CDalMode::Equals(int)
{
    return CommonEquals();
}

int CDalMode::CommonEquals()
{
    if (state_ == AfterFunction || state_ == AfterEquals || state_ == Opened || state_ == Cleared) return 0;
    if (IsTypingOrShown(state_)) {
        for (;;) {
            Expression() += entry_ + ClosingParens();
            pending_[level_] = 0;
            if (level_ == 0) break;
            entry_ = EvaluateText(Expression());
            Expression().clear();
            --level_;
        }
    } else if (state_ == AfterOperator && !Expression().empty()) {
        Expression().pop_back();
    }
    state_ = AfterEquals;
    sign_ = "=";
    entry_ = EvaluateText(Expression());
    Expression().clear();
    pending_[level_] = 0;
    lastResult_ = entry_;
    return 1;
}

int CDalMode::Parenthesis(int id)
{
    return DalParenthesis(id);
}

int CDalMode::DalParenthesis(int id)
{
    if (id == 1) return CloseLevel(false);
    if (id != 0 || level_ + 2 > kLevelCount) return 0;
    if (IsTypingOrShown(state_)) {
        if (!DalOperator(kTimesId, false)) return 0;
    } else if (state_ == AfterEquals) {
        entry_.clear();
    }
    state_ = Opened;
    ++level_;
    sign_ = "(";
    return 1;
}

// ")" of the D.A.L. and Algebraic modes; Chain accepts it after a function too.
int CDalMode::CloseLevel(bool afterFunction)
{
    bool accepted = IsTypingOrShown(state_) || (afterFunction && state_ == AfterFunction);
    if (level_ == 0 || !accepted) return 0;
    Expression() += entry_ + ClosingParens();
    pending_[level_] = 0;
    entry_ = EvaluateText(Expression());
    Expression().clear();
    --level_;
    sign_ = ")";
    // The bracket's value is shown, not being typed: a digit starts anew.
    state_ = ValueShown;
    return 1;
}

int CDalMode::RecallConstant(int id)
{
    if (CurrentBase() != 10 || !*ConstantText(id)) return 0;
    return SetEntry(EvaluateText(ConstantText(id)));
}

int CDalMode::SetEntry(const std::string& text)
{
    entry_ = text.substr(0, kEntryCapacity);
    sign_.clear();
    state_ = ValueShown;
    return 1;
}

int CDalMode::Clear(int id)
{
    switch (id) {
    case 0:
    case 1:
        state_ = Opened;
        Reset();
        return 1;
    case 2:
        SetEntry("");
        state_ = Opened;
        return 1;
    case 3:
        if (state_ == Typing && !entry_.empty()) entry_.pop_back();
        computedEntry_ = false; // an edited result is typed on
        return 1;
    default: return 0;
    }
}

void CDalMode::Reset()
{
    ResetDal();
}

void CDalMode::ResetDal()
{
    entry_.clear();
    previous_.clear();
    sign_.clear();
    for (int i = 0; i < kLevelCount; ++i) {
        levels_[i].clear();
        pending_[i] = 0;
    }
    level_ = 0;
    state_ = Cleared;
    computedEntry_ = false;
}

// In base 10 the upper-case letters of a pending expression are operators
// ("2E3+"); every other base reads them as digits, so the sum would change.
int CDalMode::CanChangeBase() const
{
    if (CurrentBase() != 10) return 1;
    for (int i = 0; i <= level_; ++i)
        for (char c : levels_[i])
            if (c >= 'A' && c <= 'Z') return 0;
    return 1;
}

void CDalMode::ChangeBase(int oldBase, int newBase)
{
    std::string shown = GetDisplayText();
    entry_.clear();
    SetEntry(ConvertBase(shown, oldBase, newBase));
    // What waits for "=" was keyed in the old base; it must keep its value.
    for (int i = 0; i <= level_; ++i) levels_[i] = ConvertNumbers(levels_[i], oldBase, newBase);
    if (!previous_.empty()) previous_ = ConvertBase(previous_, oldBase, newBase);
}
