#include "calculator/ChainMode.h"

namespace {
const int kTimesId = 2;
}

CChainMode::CChainMode()
{
    CChainMode::Reset();
}

int CChainMode::Function(int id)
{
    if (id < 0 || id > 31) return 0;
    if (id == 12 || id == 13 || id == 30) return AngleOrPercent(id);
    return ImmediateFunction(id);
}

int CChainMode::Operator(int id)
{
    const char* text = OperatorText(id);
    if (!*text || state_ == Opened || state_ == Cleared) return 0;
    std::string& expr = Expression();
    if (state_ == AfterOperator) {
        if (!expr.empty()) expr.pop_back();
    } else {
        if (expr.size() + entry_.size() + static_cast<size_t>(pending_[level_]) > kLevelCapacity) return 0;
        previous_ = entry_;
        expr += entry_ + ClosingParens();
        entry_.clear();
        pending_[level_] = 0;
        // The running result is both what is shown and what the next operator continues.
        expr = EvaluateText(expr);
        entry_ = expr;
    }
    state_ = AfterOperator;
    expr += text;
    lastOperator_ = text;
    sign_ = text;
    return 1;
}

int CChainMode::Equals(int)
{
    if (state_ == Opened || state_ == Cleared) return 1;
    if (!RepeatEquals()) return 0;
    return CommonEquals();
}

// Prepares "=" after "=": the last operation again, with the same operand.
int CChainMode::RepeatEquals()
{
    if (!repeatedEquals_) return 1;
    switch (state_) {
    case Typing:
    case AfterFunction:
    case ValueShown: repeatedOperand_ = entry_; break;
    case AfterOperator: repeatedOperand_ = previous_; break;
    case AfterEquals:
        if (lastOperator_.empty()) break;
        Expression() = entry_ + lastOperator_;
        entry_ = repeatedOperand_;
        state_ = ValueShown;
        break;
    default: break;
    }
    return 1;
}

int CChainMode::Parenthesis(int id)
{
    if (id == 1) return CloseLevel(true);
    if (id != 0 || level_ + 2 > kLevelCount) return 0;
    if (state_ == AfterEquals || state_ == Opened || state_ == Cleared) return 0;
    if (state_ == Typing || state_ == AfterFunction || state_ == ValueShown) {
        if (!Operator(kTimesId)) return 0;
    }
    state_ = Opened;
    ++level_;
    sign_ = "(";
    return 1;
}

void CChainMode::Reset()
{
    CDalMode::Reset();
    lastOperator_.clear();
    repeatedOperand_.clear();
}

void CChainMode::ChangeBase(int oldBase, int newBase)
{
    CDalMode::ChangeBase(oldBase, newBase);
    if (!repeatedOperand_.empty()) repeatedOperand_ = ConvertBase(repeatedOperand_, oldBase, newBase);
    // Another base reads a letter operator as a digit: "=" cannot repeat it there.
    if (newBase != 10 && lastOperator_.size() == 1 && lastOperator_[0] >= 'A' && lastOperator_[0] <= 'Z')
        lastOperator_.clear();
}
