#pragma once
// A calculation as people type it at a terminal, turned into the text the
// engine reads. Blanks are dropped; "ans" stands for the last result; in
// another base, lower-case digits are read as upper-case; a postfix "5!" is
// written "!(5)" where nothing else could be meant. What the engine would
// silently misread instead of refusing (a digit the base does not have, a text
// over its length) is refused here with a message.
#include <string>

// Longest text the engine evaluates, in Windows-1252 characters.
constexpr size_t kMaxExpressionChars = 255;

enum class ExpressionProblem { kNone, kEmpty, kBadDigit, kTooLong };

struct SPreparedExpression {
    std::string text;    // Windows-1252, for the engine
    ExpressionProblem problem = ExpressionProblem::kNone;
    std::string message; // for a problem other than kEmpty: what is wrong
};

// `typed` is UTF-8; `answer` the last result written in `base`, or null where
// "ans" means nothing.
SPreparedExpression PrepareExpression(const std::string& typed, int base, const std::string* answer);
