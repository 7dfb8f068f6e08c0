#pragma once
// R.P.N.: the entry is X; above it a stack of 2 to 19 text registers (Y, Z,
// T, then levels 5 and up). ENTER lifts the stack, an operator combines Y and
// X and drops it, a function acts on X. The stack survives mode switches.
#include "calculator/DalMode.h"

const int kStackRegisters = 20;

class CRpnMode : public CDalMode {
public:
    CRpnMode();

    std::string GetDisplayText() const override;
    std::string GetSignText() const override;
    int Digit(int id) override;
    int Function(int id) override;
    int Operator(int id) override;
    int Equals(int id) override;
    int Parenthesis(int id) override;
    void Reset() override;
    void ChangeBase(int oldBase, int newBase) override;

    // Stack command ids: 0 swap, 1 roll up, 2 roll down, 3 drop.
    int StackCommand(int id);
    void Swap();
    void RollUp();
    void RollDown();
    void Drop();
    void Lift();

    // 3 to 20 levels (X included); other sizes are refused with 0.
    int SetStackSize(int size);
    int GetStackSize() const { return count_ + 1; }
    // Register index 0 is Y, 1 Z, 2 T, and so on.
    const std::string& GetRegister(int index) const { return registers_[index]; }
    const std::string& GetSavedY() const { return savedY_; }

    // The show-stack message: caption (UTF-8) and one line per level from the
    // top down (UTF-8).
    void GetStackText(std::string& caption, std::string& text) const;
    // Shows that message in a message box.
    void ShowStack() const;

private:
    void ResetRpn();
    std::string OldX() const { return entry_.empty() ? "0" : entry_; }

    std::string registers_[kStackRegisters];
    int count_ = 3;
    std::string savedY_;
};
