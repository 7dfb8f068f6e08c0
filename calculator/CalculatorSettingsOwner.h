#pragma once
// How the calculator's own values reach the settings store: the store hands
// them over at load and asks for them at save, and the calculator needs to
// know nothing of where they are kept.
#include <string>

// Implemented by the calculator controller. LoadSettings calls the setters in
// this order: SetCalcBase, SetNotation, SetRepeatedEquals, SetCalcMode,
// SetStackSize, then SetMemoryText for registers 0 to 7. Values arrive as
// stored, unchecked: the owner applies its own limits (the R.P.N. stack ignores
// a count outside 3..20, for example).
class CalculatorSettingsOwner {
public:
    virtual ~CalculatorSettingsOwner() = default;

    // The number base, for the calculator mode current at that moment (before
    // SetCalcMode switches the mode).
    virtual void SetCalcBase(int base) = 0;
    // 0 Normal, 1 Fixed, 2 Scientific, 3 Engineering.
    virtual void SetNotation(int notation) = 0;
    // The repeated-equals flag of the Chain (simple) mode, 1 on.
    virtual void SetRepeatedEquals(int on) = 0;
    // 1 Algebraic, 2 D.A.L., 3 Chain (simple), 4 R.P.N., 0 expression entry.
    virtual void SetCalcMode(int mode) = 0;
    // R.P.N. stack levels.
    virtual void SetStackSize(int levels) = 0;
    // Memory register `index` (0..7) gets `text` unchanged: Windows-1252, at
    // most 19 characters, "" when the stored value was missing or too long.
    virtual void SetMemoryText(int index, const std::string& text) = 0;

    // Asked by SaveSettings, in the order CalcBase (the current mode's base),
    // Notation, RepeatedEquals, CalcMode, StackSize (the number of levels) and
    // MemoryText 0..7 (decimal text; "" for an empty register, saved as "0").
    virtual int CalcBase() const = 0;
    virtual int Notation() const = 0;
    virtual int RepeatedEquals() const = 0;
    virtual int CalcMode() const = 0;
    virtual int StackSize() const = 0;
    virtual std::string MemoryText(int index) const = 0;
};
