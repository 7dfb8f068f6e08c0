#pragma once
// Number <-> text rules shared by the unit, currency and tip models.
#include <string>

// Writes |value| with `digits` significant digits in the manner of %g, with a
// three-digit exponent (1.5e-005, 1.23456789012e+015), no trailing ".", and
// small numbers written out in full when that is short enough (0.000015).
std::string FormatDouble(double value, int digits);

// The longest leading part of `text` that reads as a number ("." as decimal
// point, optional exponent; leading blanks skipped); 0 when there is none.
// Independent of the process locale.
double ReadNumber(const char* text);

// Splits a result text written by FormatDouble: part 0 the whole text; part 1
// the mantissa (the text before "e", cut to 11 characters when the whole text
// is longer than 11, without a trailing "."); part 2 the exponent digits with
// a "-" sign only (015, -005), empty without an exponent.
std::string ResultPart(const std::string& text, int part);
