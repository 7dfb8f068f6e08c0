#include "engine/Evaluator.h"

#include "engine/ResultText.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace tallix_engine {
namespace {

constexpr double kDegToRad = 0.017453292519943295;
constexpr double kGradToRad = 0.015707963267948967;
constexpr double kRadToDeg = 57.29577951308232;
constexpr double kRadToGrad = 63.66197723675814;
constexpr double kSnapAbove = 1e-11;
constexpr double kSnapBelow = -1e-10;
constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kE = 2.718281828459045;
constexpr double kRandomScale = 3.051850947599719e-05;
constexpr double kLargest = 1.7976931348623157e308;
constexpr double kOneThird = 0.3333333333333333;
constexpr double kFiveThirds = 1.6666666666666667;
constexpr double kTwo63 = 9223372036854775808.0;

double AngleIn(double v, int mode)
{
    return mode == 0 ? v * kDegToRad : mode == 2 ? v * kGradToRad : v;
}

double AngleOut(double v, int mode)
{
    return mode == 0 ? v * kRadToDeg : mode == 2 ? v * kRadToGrad : v;
}

// Tiny trigonometric remainders of exact angles become exactly zero.
double Snap(double v)
{
    return (v > kSnapBelow && v < 0.0) || (v > 0.0 && v < kSnapAbove) ? 0.0 : v;
}

// m! for the combinations; a negative m stands for itself. Stops once the
// product is infinite: the result is the same and huge counts end at once.
double CountFactorial(double m)
{
    if (!(m >= 1.0)) return m == 0.0 ? 1.0 : m;
    double product = 1.0;
    for (double c = m; c >= 1.0 && std::isfinite(product); c -= 1.0) product *= c;
    return product;
}

double Combinations(double left, double right, bool divideByRFactorial)
{
    const double n = std::floor(left);
    const double r = std::floor(right);
    // No way to choose more things than there are.
    if (n >= 0.0 && r > n) return 0.0;
    const double g = n - r > 0.0 ? CountFactorial(n - r) : 1.0;
    const double fn = CountFactorial(n);
    return divideByRFactorial ? fn / (CountFactorial(r) * g) : fn / g;
}

// An exact odd multiple of 90 degrees (100 grads) is a pole of the tangent;
// its radian value is rounded, which would give 1.6e16 instead.
double Tangent(double v, int mode)
{
    const double rightAngle = mode == 0 ? 90.0 : mode == 2 ? 100.0 : 0.0;
    if (rightAngle > 0.0 && std::fmod(std::fabs(v), 2.0 * rightAngle) == rightAngle)
        return std::numeric_limits<double>::infinity();
    return Snap(std::tan(AngleIn(v, mode)));
}

double PolarAngle(double x, double y, int mode)
{
    double offset = 0.0;
    if (x < 0.0) offset = kPi;
    else if (x >= 0.0 && y < 0.0) offset = kTwoPi;
    return AngleOut(std::atan(y / x) + offset, mode);
}

// Sum of the integers from 0 to floor(v), both included, in closed form.
double SumTo(double v)
{
    const double n = std::floor(v);
    const double a = std::fabs(n);
    const double half = std::fmod(a, 2.0) == 0.0 ? (a / 2.0) * (a + 1.0) : a * ((a + 1.0) / 2.0);
    return n < 0.0 ? -half : half;
}

double DegreesToDms(double v)
{
    const double d = std::floor(v);
    const double m = (v - d) * 0.6 * 100.0;
    const double s = (m - std::floor(m)) * 60.0;
    return d + std::floor(m) * 0.01 + s * 0.0001;
}

double DmsToDegrees(double v)
{
    const double d = std::floor(v);
    const double scaled = v * 1e26 * 1e-18;
    double q;
    if (std::fabs(scaled) < kTwo63)
        q = static_cast<double>(static_cast<int64_t>(scaled) / 1000000);
    else
        q = std::trunc(scaled / 1000000.0);
    const double h = (v * 100.0 - q) * 0.01;
    return d + ((v - d - h) + h * kFiveThirds) * kFiveThirds;
}

double Random()
{
    // glibc's generator yields 31 bits; its top 15 give the classic 0..32767.
    return static_cast<double>((std::rand() >> 16) & 0x7FFF) * kRandomScale;
}

// Negation and the functions, by token code (the parser's name table order).
double Function(int code, double v, const SEvalState& s, int mode)
{
    switch (code) {
    case 24: return -v;   // negation
    case 25: return v < 0.0 ? -v : v;   // abs
    case 26: return Snap(AngleOut(std::acos(v), mode));   // acos
    case 27: return Snap(AngleOut(std::asin(v), mode));   // asin
    case 28: return 0.5 * std::log((1.0 + v) / (1.0 - v));   // atanh
    case 29: return Snap(AngleOut(std::atan(v), mode));   // atan
    case 30: return std::cosh(v);   // cosh
    case 31: return Snap(std::cos(AngleIn(v, mode)));   // cos
    case 32: return std::exp(v);   // exp
    case 33: return std::log(v) / std::log(2.0);   // log2
    case 34: return std::log10(v);   // log
    case 35: return std::log(v);   // ln
    case 36: return std::sinh(v);   // sinh
    case 37: return Snap(std::sin(AngleIn(v, mode)));   // sin
    case 38: return std::sqrt(v);   // sqrt
    case 39: return std::tanh(v);   // tanh
    case 40: return Tangent(v, mode);   // tan
    case 41: return s.slots[1] == 0.0 ? v * 0.01 : v * s.slots[0] * 0.01;   // pct
    case 42: return Factorial(v);   // !
    case 43: return std::log(std::fabs(v + std::sqrt(v * v + 1.0)));   // asnh
    case 44: return v < 1.0 ? 0.0 : std::log(v + std::sqrt(v * v - 1.0));   // acsh
    case 45: return (v >= 1.0 || v <= -1.0) ? 0.0 : 0.5 * std::log((1.0 + v) / (1.0 - v));   // atnh
    case 46: return SumTo(v);   // sum
    case 47: return DmsToDegrees(v);   // dc
    case 48: return DegreesToDms(v);   // dms
    case 49: return Random();   // rand
    case 50: return std::pow(10.0, v);   // tenx
    case 51: return v < 0.0 ? -std::pow(-v, kOneThird) : std::pow(v, kOneThird);   // crt
    case 52: return std::pow(v, 3.0);   // cbd
    case 53: return std::pow(v, 2.0);   // sqrd
    case 54: return 1.0 / v;   // inv
    case 55: return v * -1.0;   // pm
    case 56: return std::pow(kE, v);   // ex
    default: return v;
    }
}

double Binary(int code, double l, double r, int mode)
{
    switch (code) {
    case kTokAdd: return l + r;
    case kTokSub: return RoundedSubtract(l, r);
    case kTokMul: return l * r;
    case kTokDiv: return l / r;
    case kTokPow: return std::pow(l, r);
    case kTokExp10: return l * std::pow(10.0, r);
    case kTokRoot: return std::pow(l, 1.0 / r);
    case kTokComb: return Combinations(l, r, true);
    case kTokPerm: return Combinations(l, r, false);
    case kTokPolarX: return l * std::cos(AngleIn(r, mode));
    case kTokPolarY: return l * std::sin(AngleIn(r, mode));
    case kTokRadius: return std::pow(l * l + r * r, 0.5);
    case kTokAngle: return PolarAngle(l, r, mode);
    case kTokAnd: return static_cast<double>(TruncToInt64(l) & TruncToInt64(r));
    case kTokOr: return static_cast<double>(TruncToInt64(l) | TruncToInt64(r));
    case kTokXor: return static_cast<double>(TruncToInt64(l) ^ TruncToInt64(r));
    case kTokNor: return (TruncToInt64(l) == 0 && TruncToInt64(r) == 0) ? 1.0 : 0.0;
    case kTokMod: return std::fmod(l, r);
    default: return l;
    }
}

// 10^k for the rounding, exact for every k it is asked for.
double PowerOfTen(int k)
{
    static const double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                     1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                     1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    return k >= 0 && k <= 22 ? kPowers[k] : std::pow(10.0, k);
}

}

int64_t TruncToInt64(double v)
{
    if (std::isnan(v)) return 0;
    if (v >= kTwo63) return std::numeric_limits<int64_t>::max();
    if (v <= -kTwo63) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(v);
}

double Factorial(double v)
{
    const bool negative = v < 0.0;
    const double a = std::fabs(v);
    double result;
    if (a == 0.0) {
        result = 1.0;
    } else if (a < kTwo63 && a == static_cast<double>(static_cast<int64_t>(a))) {
        result = 1.0;
        for (int64_t n = static_cast<int64_t>(a); n >= 1 && result < kLargest; --n)
            result *= static_cast<double>(n);
    } else {
        result = std::tgamma(a + 1.0);
    }
    return negative ? -result : result;
}

double RoundedSubtract(double left, double right)
{
    const double diff = left - right;
    char text[40];
    bool leftExp = false;
    bool rightExp = false;
    const int leftLen = FormatSignificant(left, 15, text, leftExp);
    const int rightLen = FormatSignificant(right, 14, text, rightExp);
    const int k = (leftExp || rightExp) ? 15 : (leftLen > rightLen ? leftLen : rightLen) - 1;
    double s = PowerOfTen(k + 1) * diff;
    // Beyond the double range the rounding has nothing left to do.
    if (!std::isfinite(s)) return diff;
    s = diff >= 0.0 ? s + 5.0 : s - 5.0;
    const double rounded = std::trunc(s / 10.0) / PowerOfTen(k);
    // The rounding is there to remove binary noise (0.3-0.1). Operands in
    // exponent form round to 15 places, which would wipe out the digits of a
    // tiny difference (1e-20-1e-21 would be 0): keep the difference then.
    if (std::fabs(rounded - diff) > 1e-9 * std::fabs(diff)) return diff;
    return rounded;
}

int RunPostfix(SEvalState& s, int angleMode)
{
    int16_t* stack = s.stack;
    int top = -1;
    for (const int16_t* t = s.tokens; *t != kTokEnd; ++t) {
        const int code = *t;
        if (code >= kTokFirstNumber) {
            if (top + 1 >= kMaxTokens) return 0;
            stack[++top] = static_cast<int16_t>(code - kTokFirstNumber);
        } else if (code >= kTokNeg && code <= kTokLastFunction) {
            if (top < 0) return 0;
            double& slot = s.slots[stack[top]];
            slot = Function(code, slot, s, angleMode);
        } else if (code >= kTokAdd && code <= kTokMod) {
            if (top < 1) return 0;
            const double r = s.slots[stack[top--]];
            double& slot = s.slots[stack[top]];
            slot = Binary(code, slot, r, angleMode);
        } else {
            return 0;
        }
    }
    return 1;
}

}
