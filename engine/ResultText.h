#pragma once
// Decimal texts of doubles with a given number of significant digits.
namespace tallix_engine {

// Longest text either call writes, terminator included.
constexpr int kMaxDecimalText = 32;

// value written with precision significant digits (1 to 17): fixed form
// ("12.", "0.5", trailing zeros dropped, the point kept) when the decimal
// exponent x satisfies -1 <= x <= precision - 1, else exponent form ("1.e+020",
// "1.5e-007"). A negative value gets a leading "-". Sets exponentForm; returns
// the length. Infinities and NaN write "inf" or "nan".
int FormatSignificant(double value, int precision, char* out, bool& exponentForm);

// The result text of a finite value: as above for the magnitude, then small
// magnitudes that fit are written in full ("0.00000015"), a trailing point is
// dropped ("12"), and the sign put in front. Returns the length.
int FormatDecimalResult(double value, int precision, char* out);

}
