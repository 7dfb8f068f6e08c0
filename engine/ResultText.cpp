#include "engine/ResultText.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace tallix_engine {
namespace {

struct SDigits {
    char digits[20];   // significant digits, trailing zeros removed (at least one)
    int count = 0;
    int exponent = 0;  // value = d.ddd x 10^exponent
};

// Correctly rounded significant digits of a finite magnitude.
SDigits Decompose(double magnitude, int precision)
{
    char sci[40];
    auto r = std::to_chars(sci, sci + sizeof sci, magnitude, std::chars_format::scientific,
                           precision - 1);
    SDigits d;
    const char* p = sci;
    for (; p < r.ptr && *p != 'e'; ++p)
        if (*p != '.') d.digits[d.count++] = *p;
    int exponent = 0;
    std::from_chars(p + 1 + (p[1] == '+'), r.ptr, exponent);
    d.exponent = exponent;
    while (d.count > 1 && d.digits[d.count - 1] == '0') --d.count;
    return d;
}

int WriteExponentForm(const SDigits& d, char* out)
{
    int n = 0;
    out[n++] = d.digits[0];
    out[n++] = '.';
    std::memcpy(out + n, d.digits + 1, d.count - 1);
    n += d.count - 1;
    out[n++] = 'e';
    out[n++] = d.exponent < 0 ? '-' : '+';
    const int e = std::abs(d.exponent);
    out[n++] = static_cast<char>('0' + e / 100);
    out[n++] = static_cast<char>('0' + e / 10 % 10);
    out[n++] = static_cast<char>('0' + e % 10);
    return n;
}

int WriteFixedForm(const SDigits& d, char* out)
{
    int n = 0;
    if (d.exponent < 0) {
        out[n++] = '0';
        out[n++] = '.';
        std::memcpy(out + n, d.digits, d.count);
        return n + d.count;
    }
    for (int i = 0; i <= d.exponent; ++i) out[n++] = i < d.count ? d.digits[i] : '0';
    out[n++] = '.';
    for (int i = d.exponent + 1; i < d.count; ++i) out[n++] = d.digits[i];
    return n;
}

int WriteMagnitude(const SDigits& d, int precision, char* out, bool& exponentForm)
{
    exponentForm = d.exponent < -1 || d.exponent > precision - 1;
    return exponentForm ? WriteExponentForm(d, out) : WriteFixedForm(d, out);
}

}

int FormatSignificant(double value, int precision, char* out, bool& exponentForm)
{
    exponentForm = false;
    if (!std::isfinite(value)) {
        const char* text = std::isnan(value) ? "nan" : value < 0 ? "-inf" : "inf";
        std::strcpy(out, text);
        return static_cast<int>(std::strlen(text));
    }
    int n = 0;
    if (value < 0.0) out[n++] = '-';
    n += WriteMagnitude(Decompose(std::fabs(value), precision), precision, out + n, exponentForm);
    out[n] = '\0';
    return n;
}

int FormatDecimalResult(double value, int precision, char* out)
{
    const bool negative = value < 0.0;
    const double magnitude = std::fabs(value);
    const SDigits d = Decompose(magnitude, precision);
    char body[kMaxDecimalText];
    bool exponentForm = false;
    int n = WriteMagnitude(d, precision, body, exponentForm);
    int len = 0;
    if (negative) out[len++] = '-';
    const int e = -d.exponent;
    if (magnitude < 0.1 && magnitude != 0.0 && exponentForm && e > 0 &&
        e + (n - 1) < precision + 2) {
        // Short enough to write in full: "0.", E - 1 zeros, then the digits.
        out[len++] = '0';
        out[len++] = '.';
        for (int i = 1; i < e; ++i) out[len++] = '0';
        std::memcpy(out + len, d.digits, d.count);
        len += d.count;
    } else {
        if (body[n - 1] == '.') --n;
        std::memcpy(out + len, body, n);
        len += n;
    }
    out[len] = '\0';
    return len;
}

}
