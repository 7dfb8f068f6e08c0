#include "engine/NumberBases.h"

#include "engine/Evaluator.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace tallix_engine {
namespace {

constexpr int64_t kMaxInt64 = std::numeric_limits<int64_t>::max();
constexpr double kTwo63 = 9223372036854775808.0;
constexpr double kTwo60 = 1152921504606846976.0;
constexpr int64_t kMaxWraps = 10000;

int DigitValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return -1;
}

}

void ToDecimalInteger(const char* run, int length, int base, std::string& out)
{
    int64_t value = 0;
    for (int i = 0; i < length && value < kMaxInt64; ++i) {
        const int digit = DigitValue(run[i]);
        if (digit <= 0) continue;
        const double power = std::pow(static_cast<double>(base), length - 1 - i);
        const int64_t p = power >= kTwo63 ? kMaxInt64 : static_cast<int64_t>(power);
        int64_t term = 0;
        if (__builtin_mul_overflow(p, static_cast<int64_t>(digit), &term) ||
            __builtin_add_overflow(value, term, &value))
            value = kMaxInt64;
    }
    char text[24];
    auto r = std::to_chars(text, text + sizeof text, value);
    out.append(text, r.ptr);
}

void ToDecimalText(const std::string& text, int base, std::string& out)
{
    out.clear();
    size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) {
        out.push_back('-');
        i = 1;
    }
    size_t runStart = i;
    for (; i < text.size(); ++i) {
        if (DigitValue(text[i]) >= 0) continue;
        if (i > runStart) ToDecimalInteger(text.data() + runStart, static_cast<int>(i - runStart), base, out);
        out.push_back(text[i]);
        runStart = i + 1;
    }
    if (i > runStart) ToDecimalInteger(text.data() + runStart, static_cast<int>(i - runStart), base, out);
}

int ToBaseText(double value, int base, int wordWidth, char* out)
{
    const int64_t modulus = int64_t{1} << wordWidth;
    int64_t f = value > kTwo60 ? 0 : TruncToInt64(value);
    // At most kMaxWraps steps of the modulus bring f into the word; a value
    // that needs more shows as 0.
    if (f >= modulus) {
        const int64_t steps = f / modulus;
        f = steps > kMaxWraps ? 0 : f - steps * modulus;
    } else if (f < 0) {
        const int64_t steps = f / -modulus + (f % modulus != 0 ? 1 : 0);
        f = steps > kMaxWraps ? 0 : f + steps * modulus;
    }
    char reversed[kMaxBaseText];
    int n = 0;
    do {
        const int digit = static_cast<int>(f % base);
        reversed[n++] = static_cast<char>(digit < 10 ? '0' + digit : 'A' + digit - 10);
        f /= base;
    } while (f > 0);
    for (int i = 0; i < n; ++i) out[i] = reversed[n - 1 - i];
    out[n] = '\0';
    return n;
}

}
