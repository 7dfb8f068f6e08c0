#pragma once
// The keyed modes' shared model: an entry, a pending expression per
// parenthesis level, and an entry state. CDalMode is the D.A.L. mode
// (functions are written into the expression in front of their operand); the
// Algebraic, Chain and R.P.N. modes derive from it and replace a few
// operations.
#include "calculator/CalcMode.h"

class CDalMode : public CCalcMode {
public:
    CDalMode();

    std::string GetDisplayText() const override;
    std::string GetSignText() const override;
    int Digit(int id) override;
    int Function(int id) override;
    int Operator(int id) override;
    int Equals(int id) override;
    int Parenthesis(int id) override;
    int RecallConstant(int id) override;
    int SetEntry(const std::string& text) override;
    int Clear(int id) override;
    void Reset() override;
    void SetValueShown() override { state_ = ValueShown; }
    void ChangeBase(int oldBase, int newBase) override;
    int CanChangeBase() const override;

    int GetState() const { return state_; }
    const std::string& GetEntry() const { return entry_; }
    const std::string& GetLastResult() const { return lastResult_; }
    int GetLevel() const { return level_; }
    const std::string& GetLevelText(int level) const { return levels_[level]; }

protected:
    // The shared operations the modes pick from.
    int CommonDigit(int id);
    int ImmediateFunction(int id);
    // Function ids 12 (angle conversion), 13 (angle mode) and 30 (percentage).
    int AngleOrPercent(int id);
    // afterFunctionTypes: the Algebraic mode lets an operator follow a function.
    int DalOperator(int id, bool afterFunctionTypes);
    int DalParenthesis(int id);
    // afterFunction: the Chain mode also closes right after a function.
    int CloseLevel(bool afterFunction);
    int CommonEquals();
    std::string& Expression() { return levels_[level_]; }
    std::string ClosingParens() const { return std::string(static_cast<size_t>(pending_[level_]), ')'); }

    std::string entry_;
    std::string previous_;
    std::string levels_[kLevelCount];
    int pending_[kLevelCount] = {};
    int level_ = 0;
    std::string sign_;
    std::string lastResult_;
    int state_ = Cleared;
    // In state Typing: the entry is a computed value (percentage, angle
    // conversion) that the next digit replaces rather than extends.
    bool computedEntry_ = false;

private:
    void ResetDal();
};
