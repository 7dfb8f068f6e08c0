#pragma once
// Scratch state of one evaluation, shared by the parser, the postfix step and
// the evaluator. Everything here is reset at the start of each evaluation.
#include <cstdint>

namespace tallix_engine {

// Capacities: 255 characters of text give at most 255 tokens plus the end
// token, and at most 128 number literals; slot 1 always exists for "pct".
constexpr int kMaxText = 255;
constexpr int kMaxTokens = 256;
constexpr int kNumberSlots = 129;

// Token codes.
enum : int16_t {
    kTokEnd = 1,
    kTokOpen = 2,
    kTokAdd = 3,
    kTokSub = 4,
    kTokMul = 5,
    kTokDiv = 6,
    kTokPow = 7,
    kTokExp10 = 8,
    kTokRoot = 9,
    kTokComb = 10,
    kTokPerm = 11,
    kTokPolarX = 12,
    kTokPolarY = 13,
    kTokRadius = 14,
    kTokAngle = 15,
    kTokAnd = 16,
    kTokOr = 17,
    kTokXor = 18,
    kTokNor = 19,
    kTokMod = 20,
    kTokClose = 21,
    kTokNeg = 24,
    kTokFirstFunction = 25,
    kTokLastFunction = 56,
    kTokFirstNumber = 75,
};

struct SEvalState {
    char text[kMaxText + 1];     // prepared text, zero-terminated
    int length = 0;
    int pos = 0;                 // scan position
    int16_t tokens[kMaxTokens];
    int tokenCount = 0;
    double slots[kNumberSlots];
    int numberCount = 0;
    int16_t stack[kMaxTokens];   // operator stack, then operand stack
};

}
