#pragma once
// Chain (simple): every operator first evaluates what has been keyed so far,
// strictly left to right; "=" may repeat the last operation.
#include "calculator/DalMode.h"

class CChainMode : public CDalMode {
public:
    CChainMode();

    int Function(int id) override;
    int Operator(int id) override;
    int Equals(int id) override;
    int Parenthesis(int id) override;
    void Reset() override;
    void ChangeBase(int oldBase, int newBase) override;

    void SetRepeatedEquals(int on) { repeatedEquals_ = on != 0; }
    int GetRepeatedEquals() const { return repeatedEquals_ ? 1 : 0; }

private:
    int RepeatEquals();

    bool repeatedEquals_ = true;
    std::string lastOperator_;
    std::string repeatedOperand_;
};
