#include "datafiles/RatesCheck.h"

#include "datafiles/IniStore.h"

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

const double kBuiltInRates[kRateCodeCount] = {
    1, // USD
    1.6427, // EUR
    0.002491, // XOF
    0.4518, // ARS
    0.9864, // AUD
    0.087204, // ATS
    1.3397, // BSD
    0.5050505050505051, // BBD
    0.029748, // BEF
    0.5, // BZD
    0.4575, // BRL
    1.5485, // BGN
    0.74, // CAD
    1.1764705882352942, // KYD
    0.002206, // CLP
    0.1584, // CNY
    0.000469, // COP
    0.2137, // HRK
    0.4643, // CYP
    0.0505, // CZK
    0.2207, // DKK
    0.005626797058310498, // DJK
    0.54456, // NLG
    0.4959, // XCD
    0.27229407760381213, // AED
    0.0807, // EEK
    0.759, // FJD
    0.20184, // FIM
    0.18288, // FRF
    0.61356, // DEM
    0.000153, // GHC
    0.03516, // GRD
    2.3371, // GBP
    0.07556, // HNL
    0.170544, // HKD
    0.006269, // HUF
    0.01832, // ISK
    0.02908, // INR
    0.000156, // IDR
    0.1524, // IEP
    0.3035, // ILS
    0.0006198, // ITL
    0.0221, // JMD
    0.012325, // JPY
    1.41095, // JOD
    1.8781, // LVL
    0.3658, // LTL
    0.029748, // LUF
    0.3484, // MYR
    2.9256, // MTL
    0.1175, // MXN
    0.149, // MAD
    0.2295, // MMK
    0.7438, // ANG
    0.849, // NZD
    0.1961, // NOK
    0.01377, // XPF
    0.02314, // PKR
    1.324, // PAB
    0.3823, // PEN
    0.02383, // PHP
    0.3534, // PLN
    0.0059856, // PTE
    0.27397, // QAR
    4.1e-05, // ROL
    0.04528, // RUB
    0.7753, // SGD
    0.03994, // SKK
    0.006936, // SIT
    0.1919, // ZAR
    0.001107, // KRW
    0.007212, // ESP
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

namespace {

const char kSection[] = "Conversions";

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
