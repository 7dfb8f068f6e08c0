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

namespace {

const char kSection[] = "Conversions";

// The value as the table's GetDouble reads it ("." whatever LC_NUMERIC says);
// false unless the whole text is that number.
bool ReadWholeNumber(const std::string& text, double& value)
{
    static locale_t c = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(0));
    char* end = nullptr;
    value = c ? strtod_l(text.c_str(), &end, c) : std::strtod(text.c_str(), &end);
    return !text.empty() && end == text.c_str() + text.size();
}

} // namespace

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
        if (!ReadWholeNumber(text, rate) || !std::isfinite(rate) || rate <= 0) {
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
