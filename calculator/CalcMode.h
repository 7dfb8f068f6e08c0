#pragma once
// A calculator mode turns key presses into expression texts for the engine.
// CCalcMode is the base of every mode and is itself the expression-entry mode
// (mode 0), which edits one free expression line. Texts are Windows-1252.
//
// Every operation returns 1 when the press is accepted and 0 when it is
// refused; a refused press changes nothing.
#include <deque>
#include <string>
#include <utility>

// The entry state of the keyed modes; the numbers are the stored values.
enum EntryState {
    Typing = 0,
    AfterOperator = 1,
    AfterFunction = 2,
    AfterEquals = 5,
    ValueShown = 6,
    Opened = 8,
    Cleared = 12
};

// Capacities that are behaviour.
const size_t kEntryCapacity = 32;      // an entry or register text
const size_t kDigitLimit = 20;         // digit keys stop here
const size_t kLevelCapacity = 511;     // one parenthesis level's expression
const int kLevelCount = 20;
const size_t kLineCapacity = 256;      // the expression-entry line
const size_t kHistoryCapacity = 30;    // (line, result) pairs

// Texts of the keys: function ids 0 to 31 (ids 12, 13 and 30 act without a
// text and give ""), operator ids 0 to 17, constant ids 0 to 19.
const char* FunctionText(int id);
const char* OperatorText(int id);
const char* ConstantText(int id);
// Evaluates in the engine's current base and returns the result text.
std::string EvaluateText(const std::string& expression);
// While one lives, it sees the last text EvaluateText handed to the engine
// and its result: what a key press calculated, whichever mode made it.
class CEvaluationWatch {
public:
    CEvaluationWatch();
    ~CEvaluationWatch();
    CEvaluationWatch(const CEvaluationWatch&) = delete;
    CEvaluationWatch& operator=(const CEvaluationWatch&) = delete;
    bool Saw() const { return m_saw; }
    const std::string& Expression() const { return m_expression; }
    const std::string& Result() const { return m_result; }
    void See(const std::string& expression, const std::string& result);

private:
    CEvaluationWatch* m_outer;
    bool m_saw = false;
    std::string m_expression, m_result;
};
// Rewrites a value text from one base into another.
std::string ConvertBase(const std::string& value, int fromBase, int toBase);
// Rewrites every number of an expression text from one base into another;
// operators, parentheses and function names stay as they are.
std::string ConvertNumbers(const std::string& text, int fromBase, int toBase);
// The engine's current base.
int CurrentBase();

class CCalcMode {
public:
    CCalcMode();
    virtual ~CCalcMode() = default;

    // The number the display shows (for mode 0 the last result).
    virtual std::string GetDisplayText() const;
    // The text beside the number (for mode 0 the expression line).
    virtual std::string GetSignText() const;
    virtual int Digit(int id);
    virtual int Function(int id);
    virtual int Operator(int id);
    virtual int Equals(int id);
    virtual int Parenthesis(int id);
    virtual int RecallConstant(int id);
    virtual int SetEntry(const std::string& text);
    // Replaces the expression line (mode 0: a recalled calculation); 0 when
    // it does not fit.
    int SetLine(const std::string& text);
    virtual int Clear(int id);
    virtual void Reset();

    // A value stored from the display counts as shown: the next digit starts
    // a new number.
    virtual void SetValueShown() {}
    // Carries the shown value from one base into the other (the engine's base
    // is changed by the caller afterwards).
    virtual void ChangeBase(int oldBase, int newBase);
    // 0 when what waits for "=" cannot be carried into another base.
    virtual int CanChangeBase() const { return 1; }

    // Expression entry's history, oldest first.
    size_t GetHistoryCount() const { return history_.size(); }
    const std::pair<std::string, std::string>& GetHistoryItem(size_t index) const { return history_[index]; }

private:
    int Append(const std::string& text);
    int ToggleSign();

    std::string line_;
    std::string result_;
    std::deque<std::pair<std::string, std::string>> history_;
    bool afterEquals_ = false;
    bool clearedLast_ = false;
};
