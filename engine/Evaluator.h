#pragma once
// Runs a postfix token list over a stack of number-slot indices; every
// operation writes its result into the slot of its left (or only) operand, so
// the value of the expression ends in slot 0.
#include "engine/EvalState.h"

namespace tallix_engine {

// angleMode: 0 DEG, 1 RAD, 2 GRAD. 0 when the list is malformed (which a
// successful parse never produces).
int RunPostfix(SEvalState& state, int angleMode);

// The factorial with its gamma approximation for fractions; (-3)! is -6.
double Factorial(double v);
// L - R rounded to the decimal places the operands' texts suggest.
double RoundedSubtract(double left, double right);
// Truncates toward zero to 64 bits; out-of-range values saturate, NaN is 0.
int64_t TruncToInt64(double v);

}
