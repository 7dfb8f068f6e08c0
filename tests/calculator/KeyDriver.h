#pragma once
// Drives a controller with a readable key script and reports what the display
// shows, the way a user sees it: "2 + 3 × 4 =" -> "14".
//
// Tokens (separated by blanks): a run of 0-9 and "." types those digits;
// "#FF" types hex digits; + - * / ^ "mod" are operators; sin cos tan sqrt pm
// inv sqrd % log ln ! "angle" "drg" are functions; ( ) ; "=" or "ENTER";
// "AC" "CE" "BS" clear; "STO<n>" "RCL<n>" "M+" "M-" "MC" registers; "mode<n>"
// memory-operation mode changes (type 7, id n); "MEM<n>" register key type 4
// id 25 + n; "ANS" "LASTY" "K<n>" recalls; "swap" "rollup" "rolldown" "drop";
// "base<n>"; "copy" "copyexpr" "paste"; "T,I" any raw pair.
#include "calculator/CalcController.h"

#include <string>
#include <vector>

struct KeyPress {
    int type;
    int id;
};

// The presses of a script; an unknown token fails the test that uses it.
std::vector<KeyPress> ParseKeys(const std::string& script);

// Presses every key through Dispatch; returns how many were accepted.
int PressKeys(CCalcController& calc, const std::string& script);

// The display's full text (formatted, not regional).
std::string DisplayOf(CCalcController& calc);

// Puts the shared engine and number text back to their start-up state.
void ResetSharedState();
