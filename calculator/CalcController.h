#pragma once
// What a key press does: the controller checks a (command type, command id)
// pair against the active mode and the base, handles memory registers, the
// answer register, clipboard and base changes itself, and hands the rest to
// the active mode. It owns the five modes, of which one is active.
//
// Texts held here (entries, registers) are Windows-1252; GetDisplay and
// GetSignText return UTF-8 for drawing and printing.
#include "calculator/AlgebraicMode.h"
#include "calculator/CalcHistory.h"
#include "calculator/CalcMode.h"
#include "calculator/CalculatorSettingsOwner.h"
#include "calculator/ChainMode.h"
#include "calculator/CommandTable.h"
#include "calculator/DalMode.h"
#include "calculator/RpnMode.h"

#include <string>

// Mode indexes; the stored CalcMode values.
enum CalcModeIndex { kModeExpression = 0, kModeAlgebraic = 1, kModeDal = 2, kModeChain = 3, kModeRpn = 4 };

// What a register key (type 4, ids 25 to 32) does.
enum MemoryMode { kMemSubtract = 0, kMemRecall = 3, kMemStore = 4, kMemAdd = 5 };

// Why a command was refused, for a spoken reason (RefusalReason).
enum Refusal {
    kRefusalNone = 0,      // nothing worth saying (a 0 typed on a 0)
    kRefusalUnknown = 1,   // no such command
    kRefusalBase = 2,      // not in the current base
    kRefusalRpnOnly = 3,   // only in R.P.N. mode
    kRefusalFull = 4,      // the number being typed has its 20 digits
    kRefusalNoNumber = 5,  // the display shows an error word
    kRefusalNotNow = 6     // not possible at this point of the calculation
};

const int kMemoryRegisters = 8;
const size_t kRegisterCapacity = 31;

class CCalcController : public CalculatorSettingsOwner {
public:
    CCalcController();

    // Runs the operation of the command's type; 1 when accepted, 0 when
    // refused. The third refusal in a row shows the "Invalid button press"
    // message and starts the count again.
    int Dispatch(int commandType, int commandId);

    // The per-type operations (the keyboard calls these directly, so its
    // refusals are not counted).
    int DigitCommand(int id);
    int OperatorCommand(int id);
    int FunctionCommand(int id);
    int ParenthesisCommand(int id);
    int MemoryCommand(int id);
    int EqualsCommand(int id);
    int RecallCommand(int id);
    int MemoryModeCommand(int id);
    int ClearCommand(int id);
    int ClipboardCommand(int id);
    int BaseCommand(int id);
    int StackCommand(int id);

    // Why (type, id) is refused in the present state: asked after Dispatch
    // or a per-type operation returned 0, so it names the first check that
    // fails rather than deciding anew. A Refusal value.
    int RefusalReason(int type, int id) const;

    // The display text of the active mode, UTF-8. formatted: the notation and
    // width of the display (base 10) or the 50-character check (other bases);
    // otherwise the plain text. regional: the user's separators.
    void GetDisplay(std::string& fullText, std::string& mantissaText, std::string& exponentText, int formatted,
                    int regional);
    // The text beside the number (operator, "(", "=", or mode 0's line), UTF-8.
    std::string GetSignText() const;

    // Settings handed over at start-up and asked for at exit, in the order
    // base, notation, repeated equals, mode, stack size, memory 0-7.
    void SetCalcBase(int base) override;
    void SetNotation(int notation) override;
    void SetRepeatedEquals(int on) override;
    void SetCalcMode(int mode) override;
    void SetStackSize(int levels) override;
    void SetMemoryText(int index, const std::string& text) override;
    int CalcBase() const override;
    int Notation() const override;
    int RepeatedEquals() const override;
    int CalcMode() const override;
    int StackSize() const override;
    std::string MemoryText(int index) const override;

    // 1 when register index holds something other than "" or "0".
    int IsMemoryInUse(int index) const;
    const std::string& GetAnswer() const { return answer_; }
    int GetMemoryMode() const { return memoryMode_; }
    int GetRefusedCount() const { return refused_; }
    int GetDisplayDigits() const { return displayDigits_; }

    // Every calculation a press completes ("=", a function key on a number,
    // an R.P.N. operation); in memory until OpenHistory names its file.
    CCalcHistory& History() { return history_; }
    const CCalcHistory& History() const { return history_; }
    // Reads the history file at path and keeps writing to it.
    void OpenHistory(const std::string& path);
    // Formats a value text of `base` as the display would (UTF-8).
    void FormatValue(const std::string& value, int base, std::string& fullText, std::string& mantissaText,
                     std::string& exponentText, int regional) const;
    // A history entry as the user reads it (UTF-8): "2 + 3" and "5".
    std::string HistoryExpressionText(const SHistoryEntry& entry, int regional) const;
    std::string HistoryResultText(const SHistoryEntry& entry, int regional) const;
    // Puts an entry's result (in the expression mode: its expression) into
    // the entry, carried into the current base; 1 when taken.
    int RecallHistory(size_t index);

    CCalcMode& ActiveMode() { return *modes_[currentMode_]; }
    CCalcMode& Mode(int index) { return *modes_[index]; }
    CRpnMode& Rpn() { return rpn_; }
    const CRpnMode& Rpn() const { return rpn_; }
    // Shows the R.P.N. stack in a message box (a tap on the display).
    void ShowStack() const { rpn_.ShowStack(); }

private:
    std::string DisplayValue();
    int StoreRegister(int index);
    int RecallRegister(int index);
    int AddToRegister(int index, bool subtract);
    void ShowRefusedMessage() const;
    void Record(const CEvaluationWatch& watch);

    CCalcMode expression_;
    CAlgebraicMode algebraic_;
    CDalMode dal_;
    CChainMode chain_;
    CRpnMode rpn_;
    CCalcMode* modes_[5];
    CCalcHistory history_;
    int currentMode_ = kModeChain;
    std::string memory_[kMemoryRegisters];
    std::string answer_;
    int memoryMode_ = kMemAdd;
    int refused_ = 0;
    int displayDigits_ = 20;
};
