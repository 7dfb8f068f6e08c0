#pragma once
// Bases live only at the edges of an evaluation: numbers of the input text are
// rewritten in decimal before parsing, and a result is written as a whole
// number in the output base, wrapped to a two's-complement word.
#include <cstdint>
#include <string>

namespace tallix_engine {

// Longest base text (base 2, 32-bit word) plus terminator, with room to spare.
constexpr int kMaxBaseText = 72;

// Value of one run of digits ("0"-"9", "A"-"Z") in base, as decimal integer
// text appended to out. A digit is not checked against the base. The value
// saturates at the largest 64-bit integer instead of wrapping.
void ToDecimalInteger(const char* run, int length, int base, std::string& out);

// Rewrites every run of digits of text from base into decimal; other
// characters are copied. A leading "-" is kept in front.
void ToDecimalText(const std::string& text, int base, std::string& out);

// The whole part of value in base (2 to 36), wrapped into 0 .. 2^wordWidth - 1;
// values beyond 2^60, beyond 10000 wraps, infinities and NaN give "0".
int ToBaseText(double value, int base, int wordWidth, char* out);

}
