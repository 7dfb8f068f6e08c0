#include "datafiles/RatesCheck.h"

#include "datafiles/IniStore.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <locale.h>

const char* const kRateCodes[kRateCodeCount] = {
    "USD", "EUR", "XOF", "ARS", "AUD", "ATS", "BSD", "BBD", "BEF", "BZD", "BRL", "BGN", "CAD", "KYD",
    "CLP", "CNY", "COP", "HRK", "CYP", "CZK", "DKK", "DJK", "NLG", "XCD", "AED", "EEK", "FJD", "FIM",
    "FRF", "DEM", "GHC", "GRD", "GBP", "HNL", "HKD", "HUF", "ISK", "INR", "IDR", "IEP", "ILS", "ITL",
    "JMD", "JPY", "JOD", "LVL", "LTL", "LUF", "MYR", "MTL", "MXN", "MAD", "MMK", "ANG", "NZD", "NOK",
    "XPF", "PKR", "PAB", "PEN", "PHP", "PLN", "PTE", "QAR", "ROL", "RUB", "SGD", "SKK", "SIT", "ZAR",
    "KRW", "ESP", "LKR", "SEK", "CHF", "TWD", "THB", "TTD", "TND", "TRL", "VEB",
};

const char kBuiltInRatesDate[] = "2004-06-01";

// The figures of earlier releases, undated there and shown as of their
// "Last Update" of 1 June 2004, made consistent: the euro's rate is theirs,
// and every rate that follows from another is computed (kFixedRates).
const double kBuiltInRates[kRateCodeCount] = {
    1, // USD
    1.6427, // EUR
    1.6427 / 655.957, // XOF
    0.4518, // ARS
    0.9864, // AUD
    1.6427 / 13.7603, // ATS
    1, // BSD
    0.5, // BBD
    1.6427 / 40.3399, // BEF
    0.5, // BZD
    0.4575, // BRL
    1.6427 / 1.95583, // BGN
    0.74, // CAD
    1.2, // KYD
    0.002206, // CLP
    0.1584, // CNY
    0.000469, // COP
    1.6427 / 7.53450, // HRK
    1.6427 / 0.585274, // CYP
    0.0505, // CZK
    0.2207, // DKK
    1 / 177.721, // DJK
    1.6427 / 2.20371, // NLG
    1 / 2.7, // XCD
    1 / 3.6725, // AED
    1.6427 / 15.6466, // EEK
    0.759, // FJD
    1.6427 / 5.94573, // FIM
    1.6427 / 6.55957, // FRF
    1.6427 / 1.95583, // DEM
    0.000153, // GHC
    1.6427 / 340.750, // GRD
    2.3371, // GBP
    0.07556, // HNL
    1 / 7.8, // HKD
    0.006269, // HUF
    0.01832, // ISK
    0.02908, // INR
    0.000156, // IDR
    1.6427 / 0.787564, // IEP
    0.3035, // ILS
    1.6427 / 1936.27, // ITL
    0.0221, // JMD
    0.012325, // JPY
    1 / 0.709, // JOD
    1.6427 / 0.702804, // LVL
    1.6427 / 3.45280, // LTL
    1.6427 / 40.3399, // LUF
    0.3484, // MYR
    1.6427 / 0.429300, // MTL
    0.1175, // MXN
    0.149, // MAD
    0.2295, // MMK
    1 / 1.79, // ANG
    0.849, // NZD
    0.1961, // NOK
    1.6427 / (1000 / 8.38), // XPF
    0.02314, // PKR
    1, // PAB
    0.3823, // PEN
    0.02383, // PHP
    0.3534, // PLN
    1.6427 / 200.482, // PTE
    1 / 3.64, // QAR
    4.1e-05, // ROL
    0.04528, // RUB
    0.7753, // SGD
    1.6427 / 30.1260, // SKK
    1.6427 / 239.640, // SIT
    0.1919, // ZAR
    0.001107, // KRW
    1.6427 / 166.386, // ESP
    0.0138, // LKR
    0.181, // SEK
    1.2335, // CHF
    0.03894, // TWD
    0.03343, // THB
    0.2153, // TTD
    1.0802, // TND
    0.009262, // TRL
    0.000829, // VEB
};

const SFixedRate kFixedRates[] = {
    // The irrevocable conversion rates of the currencies the euro replaced.
    {"ATS", "EUR", 13.7603},
    {"BEF", "EUR", 40.3399},
    {"DEM", "EUR", 1.95583},
    {"ESP", "EUR", 166.386},
    {"FIM", "EUR", 5.94573},
    {"FRF", "EUR", 6.55957},
    {"IEP", "EUR", 0.787564},
    {"ITL", "EUR", 1936.27},
    {"LUF", "EUR", 40.3399},
    {"NLG", "EUR", 2.20371},
    {"PTE", "EUR", 200.482},
    {"GRD", "EUR", 340.750},
    {"SIT", "EUR", 239.640},
    {"CYP", "EUR", 0.585274},
    {"MTL", "EUR", 0.429300},
    {"SKK", "EUR", 30.1260},
    {"EEK", "EUR", 15.6466},
    {"LVL", "EUR", 0.702804},
    {"LTL", "EUR", 3.45280},
    {"HRK", "EUR", 7.53450},
    {"BGN", "EUR", 1.95583},
    // Pegs to the euro, then to the dollar.
    {"XOF", "EUR", 655.957},
    {"XPF", "EUR", 1000 / 8.38},
    {"BSD", "USD", 1},
    {"PAB", "USD", 1},
    {"BBD", "USD", 2},
    {"BZD", "USD", 2},
    {"KYD", "USD", 1 / 1.2},
    {"AED", "USD", 3.6725},
    {"DJK", "USD", 177.721},
    {"XCD", "USD", 2.7},
    {"ANG", "USD", 1.79},
    {"QAR", "USD", 3.64},
    {"JOD", "USD", 0.709},
    {"HKD", "USD", 7.8},
};
const int kFixedRateCount = sizeof kFixedRates / sizeof kFixedRates[0];

namespace {

const char kSection[] = "Conversions";

// Six digits, "." whatever LC_NUMERIC says.
std::string ShortNumber(double value)
{
    char buffer[32];
    const std::to_chars_result written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    return std::string(buffer, written.ptr);
}

} // namespace

bool ReadRateNumber(const std::string& text, double& value)
{
    static locale_t c = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(0));
    char* end = nullptr;
    value = c ? strtod_l(text.c_str(), &end, c) : std::strtod(text.c_str(), &end);
    return !text.empty() && end == text.c_str() + text.size();
}

int CheckRatesText(std::string_view body, std::string& reason)
{
    CIniStore rates;
    rates.LoadText(body);
    if (rates.FindSection(kSection) < 0) {
        reason = "no section [Conversions]";
        return 0;
    }
    int named = 0;
    for (const char* code : kRateCodes) {
        std::string text;
        if (!rates.GetString(text, kSection, code, "")) continue;
        double rate = 0;
        if (!ReadRateNumber(text, rate) || !std::isfinite(rate) || rate <= 0) {
            reason = std::string(code) + "=" + text + " is no positive number";
            return 0;
        }
        if (rate < kMinPlausibleRate || rate > kMaxPlausibleRate) {
            reason = std::string(code) + "=" + text + " is no plausible rate";
            return 0;
        }
        if (code == std::string_view("USD") && rate != 1) {
            reason = "USD=" + text + ": the rates are not in U.S. dollars";
            return 0;
        }
        ++named;
    }
    if (rates.FindKey(rates.FindSection(kSection), "USD") < 0) {
        reason = "no rate for USD";
        return 0;
    }
    if (named < kMinimumRates) {
        reason = "only " + std::to_string(named) + " of " + std::to_string(kRateCodeCount) + " rates, " +
                 std::to_string(kMinimumRates) + " needed";
        return 0;
    }
    return 1;
}

bool PlausibleRate(CIniStore& rates, const char* code, double& rate)
{
    std::string text;
    double value = 0;
    if (!rates.GetString(text, kSection, code, "") || !ReadRateNumber(text, value) || !std::isfinite(value) ||
        value < kMinPlausibleRate || value > kMaxPlausibleRate)
        return false;
    rate = value;
    return true;
}

int CheckRatesAgainst(std::string_view body, std::string_view previous, std::string& reason)
{
    CIniStore rates, before;
    rates.LoadText(body);
    before.LoadText(previous);
    for (int i = 0; i < kRateCodeCount; ++i) {
        double rate = 0, was = kBuiltInRates[i];
        if (!PlausibleRate(rates, kRateCodes[i], rate)) continue;
        PlausibleRate(before, kRateCodes[i], was);
        if (rate > was * kMaxRateChange || rate * kMaxRateChange < was) {
            reason = std::string(kRateCodes[i]) + "=" + ShortNumber(rate) + ", against " + ShortNumber(was) +
                     " before, is no plausible rate";
            return 0;
        }
    }
    return 1;
}
