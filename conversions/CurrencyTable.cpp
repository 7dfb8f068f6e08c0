#include "conversions/CurrencyTable.h"

#include "conversions/FormatDouble.h"
#include "conversions/UnitNames.h"
#include "datafiles/IniStore.h"
#include "datafiles/RatesCheck.h"
#include "datafiles/RatesSource.h"
#include "datafiles/UserData.h"
#include "platform/AsciiCase.h"
#include "platform/UserFolders.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

// The code of entry i is kRateCodes[i], the key of its rate in the rates
// file; its built-in rate is kBuiltInRates[i].
struct BuiltInCurrency {
    const char* symbol;
    const char* name;
};

// Windows-1252 symbols: 0x80 euro, 0xA2 cent, 0xA3 pound, 0xA5 yen.
static_assert(CCurrencyTable::kCurrencies == kRateCodeCount);
const BuiltInCurrency kBuiltIn[CCurrencyTable::kCurrencies] = {
    {"$", "United States Dollar"},
    {"\x80", "European Monetary Union"},
    {"$", "African Financial Community Franc"},
    {"$", "Argentine Peso (Floating Rate)"},
    {"$", "Australian Dollar"},
    {"S", "Austrian Schilling"},
    {"$", "Bahamian Dollar"},
    {"BD$", "Barbados Dollar"},
    {"Bf", "Belgian Franc"},
    {"BD$", "Belizean Dollar"},
    {"R$", "Brazilian Real"},
    {"lv", "Bulgaria Leva"},
    {"$", "Canadian Dollar"},
    {"CI$", "Cayman Islands Dollar"},
    {"$", "Chilean Peso"},
    {"Y", "Chinese Renminbi"},
    {"$", "Colombian Peso"},
    {"kn", "Croatian Kuna"},
    {"\xA3", "Cypriot Pound"},
    {"Kc", "Czech. Republic Koruna"},
    {"kr", "Danish Krone"},
    {"DF", "Djiboutian Franc"},
    {"$f.", "Dutch Guilder"},
    {"$", "East Caribbean Dollar"},
    {"ED", "Emirati Dirhams"},
    {"EEK", "Estonia Kroon"},
    {"$", "Fiji Dollar"},
    {"FmK", "Finnish Markkaa"},
    {"FF", "French Franc"},
    {"DM", "German Deutsche mark"},
    {"\xA2", "Ghanaian Cedi"},
    {"Dr", "Greek Drachma"},
    {"\xA3", "GB Pound Sterling"},
    {"L", "Honduran Lempira"},
    {"HK$", "Hong Kong Dollar"},
    {"Ft", "Hungarian Forint"},
    {"kr", "Icelandic Krona"},
    {"Rs", "Indian Rupee"},
    {"Rp", "Indonesian Rupiah"},
    {"\xA3", "Irish Pound (Punt)"},
    {"NIS", "Israeli New Shekel"},
    {"L", "Italian Lire"},
    {"$", "Jamaican dollar"},
    {"\xA5", "Japanese Yen"},
    {"JD", "Jordanian Dinar"},
    {"Ls", "Latvia Lat"},
    {"Lt", "Lithuania Litas"},
    {"LuxF", "Luxenbourg Franc"},
    {"RM", "Malaysian Ringgit"},
    {"Lm", "Maltese Lira"},
    {"$", "Mexican New Peso"},
    {"$", "Moroccan Dirham"},
    {"K", "Myanmar (Burma) Kyat"},
    {"NAf.", "Neth. Antilles Guilder"},
    {"$", "New Zealand Dollar"},
    {"kr", "Norwegian Krona"},
    {"$", "Pacific Financial Community Franc"},
    {"Rs.", "Pakistan Rupee"},
    {"$", "Panamanian Balboa"},
    {"S/. ", "Peruvian New Sol"},
    {"PHP", "Philippine Peso"},
    {"zl", "Polish Zloty"},
    {"Esc", "Portuguese Escudos"},
    {"QR$", "Qatar Riyal"},
    {"lei", "Romanian Leu"},
    {"R", "Russian Rouble"},
    {"$", "Singapore Dollar"},
    {"Sk", "Slovak Koruna"},
    {"SIT", "Slovenian Tolar"},
    {"R ", "South African Rand"},
    {"Wn", "South Korean Won"},
    {"Pts", "Spanish Peseta"},
    {"SLRs", "Sri Lanka Rupee"},
    {"kr", "Swedish Krona"},
    {"SFr", "Swiss Franc"},
    {"NT$", "Taiwanese New Dollar"},
    {"Bt", "Thai Baht"},
    {"TT$", "Trinidad & Tobago Dollar"},
    {"TD", "Tunisian Dinar"},
    {"TL", "Turkish Lira"},
    {"bs", "Venezuelan Bolivar"},
};

const char kSection[] = "Conversions";
constexpr size_t kResultChars = 255;

CCurrencyTable* g_instance = nullptr;

} // namespace

CCurrencyTable::CCurrencyTable() : CCurrencyTable(UserRatesPath(), ShippedRatesPath()) {}

CCurrencyTable::CCurrencyTable(const std::string& ratesPath, const std::string& shippedPath)
    : m_ratesPath(ratesPath), m_shippedPath(shippedPath.empty() ? ratesPath : shippedPath)
{
}

// The download writes the user's file under the name it has in any letter
// case; the table reads that same file.
std::string CCurrencyTable::ReadPath() const { return PathToRead(ExistingSpelling(m_ratesPath), m_shippedPath); }

CCurrencyTable* CCurrencyTable::Instance()
{
    if (!g_instance) g_instance = new CCurrencyTable();
    return g_instance;
}

void CCurrencyTable::Release()
{
    delete g_instance;
    g_instance = nullptr;
}

int CCurrencyTable::Load()
{
    m_count = kCurrencies;
    CIniStore rates;
    int readable = rates.Load(ReadPath().c_str());
    m_referenceDate = readable ? RatesReferenceDate(rates) : std::string();
    m_source = readable ? RatesSourceName(rates) : std::string();
    for (int i = 0; i < kCurrencies; ++i) {
        CurrencyEntry& entry = m_entries[i];
        entry.symbol = kBuiltIn[i].symbol;
        entry.name = kBuiltIn[i].name;
        entry.code = kRateCodes[i];
        entry.rate = kBuiltInRates[i];
        entry.date.clear();
        entry.builtIn = true;
        double rate = 1;
        if (!readable || !rates.GetDouble(rate, kSection, kRateCodes[i], 1)) continue;
        // A rate no currency has (1e308, 4e-320, below 0) is not taken; 0 (no
        // number) is, and converts nothing.
        if (rate != 0 && !(rate >= kMinPlausibleRate && rate <= kMaxPlausibleRate)) continue;
        entry.rate = rate;
        entry.builtIn = RateIsBuiltIn(rates, kRateCodes[i]);
        entry.date = ::RateDate(rates, kRateCodes[i]);
    }
    return readable ? 1 : 0;
}

int CCurrencyTable::GetReferenceDate(int& day, int& month, int& year) const
{
    // "YYYY-MM-DD", checked when the rates were loaded.
    if (m_referenceDate.empty()) return 0;
    std::from_chars(m_referenceDate.data(), m_referenceDate.data() + 4, year);
    std::from_chars(m_referenceDate.data() + 5, m_referenceDate.data() + 7, month);
    std::from_chars(m_referenceDate.data() + 8, m_referenceDate.data() + 10, day);
    return 1;
}

int CCurrencyTable::GetEntry(int index, std::string& code, std::string& name, std::string& symbol) const
{
    if (index < 0 || index >= m_count) return 0;
    code = m_entries[index].code;
    name = m_entries[index].name;
    symbol = m_entries[index].symbol;
    return 1;
}

int CCurrencyTable::GetRateText(int index, std::string& out) const
{
    if (index < 0 || index >= m_count) return 0;
    // Six decimals as "%f" writes them in the C locale, whatever LC_NUMERIC says.
    char buffer[512];
    std::to_chars_result written =
        std::to_chars(buffer, buffer + sizeof buffer, m_entries[index].rate, std::chars_format::fixed, 6);
    out.assign(buffer, written.ec == std::errc() ? written.ptr : buffer);
    return 1;
}

const std::string& CCurrencyTable::RateDate(int index) const
{
    static const std::string none;
    return index >= 0 && index < m_count ? m_entries[index].date : none;
}

bool CCurrencyTable::IsBuiltIn(int index) const { return index >= 0 && index < m_count && m_entries[index].builtIn; }

double CCurrencyTable::Rate(int index) const
{
    return index >= 0 && index < m_count ? m_entries[index].rate : 0;
}

int CCurrencyTable::SetFrom(int index)
{
    if (index < 0 || index >= m_count) return 0;
    m_from = index;
    return 1;
}

int CCurrencyTable::SetTo(int index)
{
    if (index < 0 || index >= m_count) return 0;
    m_to = index;
    return 1;
}

void CCurrencyTable::SetAmount(const char* text)
{
    m_amount = ReadNumber(text);
    Recompute();
}

void CCurrencyTable::Recompute()
{
    if (m_count == 0) return;
    double from = Rate(m_from);
    double to = Rate(m_to);
    // A missing or zero rate would give 0 or infinity; the last result stays.
    if (from == 0 || to == 0) return;
    m_result = from * m_amount / to;
    // Beyond the numbers there is no amount to show.
    m_resultText = std::isfinite(m_result) ? FormatDouble(m_result, 15) : std::string();
    if (m_resultText.size() > kResultChars) m_resultText.resize(kResultChars);
}

int CCurrencyTable::GetResult(std::string& out, int part) const
{
    out = ResultPart(m_resultText, part);
    return 1;
}

namespace {

// Days since 1970-01-01 of a "YYYY-MM-DD" date (the proleptic Gregorian count).
bool DayNumber(const std::string& date, long& days)
{
    int y = 0, m = 0, d = 0;
    if (date.size() != 10 || std::sscanf(date.c_str(), "%4d-%2d-%2d", &y, &m, &d) != 3) return false;
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    days = era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy - 719468;
    return true;
}

} // namespace

bool StaleRatesAge(const std::string& date, const std::string& today, SRatesAge& age)
{
    long from = 0, to = 0;
    if (!DayNumber(date, from) || !DayNumber(today, to) || to - from <= kStaleDays) return false;
    const long days = to - from;
    int y0 = 0, m0 = 0, d0 = 0, y1 = 0, m1 = 0, d1 = 0;
    std::sscanf(date.c_str(), "%4d-%2d-%2d", &y0, &m0, &d0);
    std::sscanf(today.c_str(), "%4d-%2d-%2d", &y1, &m1, &d1);
    const int months = (y1 - y0) * 12 + (m1 - m0) - (d1 < d0 ? 1 : 0);
    if (days < 60) age = {static_cast<int>(days), SRatesAge::kDays};
    else if (months < 24) age = {months, SRatesAge::kMonths};
    else age = {months / 12, SRatesAge::kYears};
    return true;
}

std::string RatesAgeText(const SRatesAge& age)
{
    static const char* const kUnits[] = {"days", "months", "years"};
    return std::to_string(age.count) + " " + kUnits[age.unit] + " old";
}

int CCurrencyTable::FindCode(const char* code) const
{
    if (!code) return -1;
    for (int i = 0; i < kCurrencies; ++i)
        if (SameAsciiNoCase(kRateCodes[i], code)) return i;
    return -1;
}
