#include "datafiles/RatesSource.h"

#include "datafiles/IniStore.h"
#include "datafiles/RatesCheck.h"
#include "datafiles/RatesXml.h"

#include <algorithm>
#include <charconv>

const char kRatesInfoSection[] = "Info";
const char kRatesDateKey[] = "Date";
const char kRatesSourceKey[] = "Source";
const char kRatesUnDateKey[] = "UnDate";
const char kRatesUnSourceKey[] = "UnSource";
const char kRatesDatesSection[] = "Dates";
const char kBuiltInRateMark[] = "built-in";

namespace {

const char kConversions[] = "Conversions";
// A rate kept from rates that named no date for it.
const char kUndatedMark[] = "undated";
constexpr size_t kMaxIniValue = 255; // what the INI reader keeps of a value

// One currency while the rates are merged; an empty date is no known one.
struct SMergedRate {
    double rate = 0;
    std::string date;
    bool builtIn = true;
};

std::string InfoValue(CIniStore& rates, const char* key)
{
    std::string value;
    rates.GetString(value, kRatesInfoSection, key, "");
    return value;
}

// What [Dates] says of `code`, or the reference date when it names none.
std::string OwnDate(CIniStore& rates, const char* code)
{
    std::string own;
    rates.GetString(own, kRatesDatesSection, code, "");
    if (IsRatesDate(own) || own == kBuiltInRateMark || own == kUndatedMark) return own;
    return RatesReferenceDate(rates);
}

std::string RateText(double rate)
{
    char buffer[64];
    std::to_chars_result written = std::to_chars(buffer, buffer + sizeof buffer, rate);
    return std::string(buffer, written.ptr);
}

bool Writable(const std::string& url)
{
    return url.size() <= kMaxIniValue && std::none_of(url.begin(), url.end(), [](char c) { return c >= 0 && c < ' '; });
}

// The current rates, each code of the list given.
void ReadCurrent(CIniStore& current, SMergedRate (&rates)[kRateCodeCount])
{
    for (int i = 0; i < kRateCodeCount; ++i) {
        SMergedRate& r = rates[i];
        r.rate = kBuiltInRates[i];
        if (!PlausibleRate(current, kRateCodes[i], r.rate)) continue;
        r.builtIn = RateIsBuiltIn(current, kRateCodes[i]);
        r.date = r.builtIn ? "" : RateDate(current, kRateCodes[i]);
    }
}

void ApplySource(const SSourceRates& source, SMergedRate (&rates)[kRateCodeCount])
{
    const bool euro = source.kind == SSourceRates::kEuroReference;
    const double usdPerEuro = euro ? source.units.at("USD") : 1;
    for (int i = 0; i < kRateCodeCount; ++i) {
        SMergedRate& r = rates[i];
        const std::string code = kRateCodes[i];
        const auto listed = source.units.find(code);
        if (listed == source.units.end() && !(euro && code == "EUR")) continue;
        const auto own = source.dates.find(code);
        const std::string date = own == source.dates.end() ? source.date : own->second;
        // The UN's monthly rate never replaces a newer one of the daily source.
        if (!euro && !r.builtIn && !r.date.empty() && r.date > date) continue;
        r = {code == "EUR" && euro ? usdPerEuro : usdPerEuro / listed->second, date, false};
    }
}

// What follows from another rate: by fixed conversion rates and pegs.
void ApplyFixedRates(const std::string& referenceDate, SMergedRate (&rates)[kRateCodeCount])
{
    const auto at = [&](const char* code) -> SMergedRate& {
        for (int i = 0; i < kRateCodeCount; ++i)
            if (std::string_view(kRateCodes[i]) == code) return rates[i];
        return rates[0];
    };
    at("USD") = {1, referenceDate, false};
    for (int f = 0; f < kFixedRateCount; ++f) {
        const SFixedRate& fixed = kFixedRates[f];
        SMergedRate& r = at(fixed.code);
        // A peg to the euro always holds; one to the dollar, where no source names a rate.
        if (std::string_view(fixed.anchor) == "EUR") {
            const SMergedRate& euro = at("EUR");
            r = {euro.rate / fixed.perAnchor, euro.date, euro.builtIn};
        } else if (r.builtIn) {
            r = {1 / fixed.perAnchor, referenceDate, false};
        }
    }
}

std::string RatesText(CIniStore& current, const SSourceRates& source, const std::string& url)
{
    SMergedRate rates[kRateCodeCount];
    ReadCurrent(current, rates);
    ApplySource(source, rates);
    const bool euro = source.kind == SSourceRates::kEuroReference;
    const std::string keptUrl = Writable(url) ? url : "";
    std::string date = InfoValue(current, kRatesDateKey), from = InfoValue(current, kRatesSourceKey);
    std::string unDate = InfoValue(current, kRatesUnDateKey), unFrom = InfoValue(current, kRatesUnSourceKey);
    (euro ? date : unDate) = source.date;
    (euro ? from : unFrom) = keptUrl;
    if (!IsRatesDate(date)) date.clear();
    if (!IsRatesDate(unDate)) unDate.clear();
    const std::string reference = date.empty() ? unDate : date;
    ApplyFixedRates(reference, rates);

    std::string text = "; Exchange rates: the value of one unit of each currency in U.S. dollars\n";
    text += std::string("[") + kRatesInfoSection + "]\n";
    if (!date.empty()) text += std::string(kRatesDateKey) + "=" + date + "\n";
    if (!date.empty() && !Writable(from)) from.clear();
    if (!date.empty() && !from.empty()) text += std::string(kRatesSourceKey) + "=" + from + "\n";
    if (!unDate.empty()) text += std::string(kRatesUnDateKey) + "=" + unDate + "\n";
    if (!unDate.empty() && Writable(unFrom) && !unFrom.empty())
        text += std::string(kRatesUnSourceKey) + "=" + unFrom + "\n";
    text += std::string("[") + kConversions + "]\n";
    std::string dates;
    for (int i = 0; i < kRateCodeCount; ++i) {
        const SMergedRate& r = rates[i];
        text += std::string(kRateCodes[i]) + "=" + RateText(r.rate) + "\n";
        const std::string own = r.builtIn ? kBuiltInRateMark : r.date.empty() ? kUndatedMark : r.date;
        if (own != reference) dates += std::string(kRateCodes[i]) + "=" + own + "\n";
    }
    // What no source of this day gave keeps its own date, so no page calls it new.
    if (!dates.empty()) text += std::string("[") + kRatesDatesSection + "]\n" + dates;
    return text;
}

// XML rates: their first character, after blanks and a byte-order mark, is
// "<"; a rates file's never is.
bool LooksLikeXml(std::string_view body)
{
    if (body.substr(0, 3) == "\xEF\xBB\xBF") body.remove_prefix(3);
    const size_t first = body.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && body[first] == '<';
}

// Refuses rates older than those of the same kind the file holds.
bool NotOlder(const std::string& arriving, const std::string& held, std::string& reason)
{
    if (arriving.empty() || held.empty() || arriving >= held) return true;
    reason = "its rates of " + arriving + " are older than the rates of " + held + " already held";
    return false;
}

std::time_t DayStart(const std::string& date)
{
    std::tm day{};
    std::from_chars(date.data(), date.data() + 4, day.tm_year);
    std::from_chars(date.data() + 5, date.data() + 7, day.tm_mon);
    std::from_chars(date.data() + 8, date.data() + 10, day.tm_mday);
    day.tm_year -= 1900;
    day.tm_mon -= 1;
    return timegm(&day);
}

} // namespace

int RatesTextFromDownload(std::string_view body, std::string_view currentRates, const std::string& url,
                          std::string& ratesText, std::string& reason)
{
    ratesText.clear();
    CIniStore current;
    current.LoadText(currentRates);
    std::string text(body);
    if (LooksLikeXml(body)) {
        SSourceRates source;
        if (!ReadSourceRates(body, source, reason)) return 0;
        const bool euro = source.kind == SSourceRates::kEuroReference;
        std::string held = InfoValue(current, euro ? kRatesDateKey : kRatesUnDateKey);
        if (!NotOlder(source.date, IsRatesDate(held) ? held : "", reason)) return 0;
        text = RatesText(current, source, url);
    } else if (!NotOlder(RatesReferenceDate(text), RatesReferenceDate(current), reason)) {
        return 0;
    }
    if (!CheckRatesText(text, reason) || !CheckRatesAgainst(text, currentRates, reason)) return 0;
    ratesText = std::move(text);
    return 1;
}

std::time_t RatesAskedSince(std::string_view ratesText, const std::string& url, std::time_t now)
{
    CIniStore rates;
    rates.LoadText(ratesText);
    std::string date;
    if (!url.empty() && InfoValue(rates, kRatesSourceKey) == url) date = InfoValue(rates, kRatesDateKey);
    else if (!url.empty() && InfoValue(rates, kRatesUnSourceKey) == url) date = InfoValue(rates, kRatesUnDateKey);
    if (!IsRatesDate(date)) return 0;
    return std::min(DayStart(date), now);
}

std::string RatesReferenceDate(std::string_view ratesText)
{
    CIniStore rates;
    rates.LoadText(ratesText);
    return RatesReferenceDate(rates);
}

std::string RatesReferenceDate(CIniStore& rates)
{
    for (const char* key : {kRatesDateKey, kRatesUnDateKey})
        if (std::string date = InfoValue(rates, key); IsRatesDate(date)) return date;
    return {};
}

std::string RatesSourceName(CIniStore& rates)
{
    if (IsRatesDate(InfoValue(rates, kRatesDateKey))) return InfoValue(rates, kRatesSourceKey);
    return InfoValue(rates, kRatesUnSourceKey);
}

std::string RateDate(CIniStore& rates, const char* code)
{
    const std::string own = OwnDate(rates, code);
    return IsRatesDate(own) && own != kBuiltInRatesDate ? own : std::string();
}

bool RateIsBuiltIn(CIniStore& rates, const char* code)
{
    const std::string own = OwnDate(rates, code);
    return own == kBuiltInRateMark || own == kBuiltInRatesDate;
}
