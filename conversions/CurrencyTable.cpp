#include "conversions/CurrencyTable.h"

#include "conversions/FormatDouble.h"
#include "conversions/UnitNames.h"
#include "datafiles/IniStore.h"
#include "datafiles/RatesCheck.h"
#include "platform/AsciiCase.h"

#include <charconv>
#include <cstdio>

namespace {

// The code of entry i is kRateCodes[i], the key of its rate in the rates file.
struct BuiltInCurrency {
    const char* symbol;
    const char* name;
    double rate;
};

// Windows-1252 symbols: 0x80 euro, 0xA2 cent, 0xA3 pound, 0xA5 yen.
static_assert(CCurrencyTable::kCurrencies == kRateCodeCount);
const BuiltInCurrency kBuiltIn[CCurrencyTable::kCurrencies] = {
    {"$", "United States Dollar", 1},
    {"\x80", "European Monetary Union", 1.6427},
    {"$", "African Financial Community Franc", 0.002491},
    {"$", "Argentine Peso (Floating Rate)", 0.4518},
    {"$", "Australian Dollar", 0.9864},
    {"S", "Austrian Schilling", 0.087204},
    {"$", "Bahamian Dollar", 1.3397},
    {"BD$", "Barbados Dollar", 0.5050505050505051},
    {"Bf", "Belgian Franc", 0.029748},
    {"BD$", "Belizean Dollar", 0.5},
    {"R$", "Brazilian Real", 0.4575},
    {"lv", "Bulgaria Leva", 1.5485},
    {"$", "Canadian Dollar", 0.74},
    {"CI$", "Cayman Islands Dollar", 1.1764705882352942},
    {"$", "Chilean Peso", 0.002206},
    {"Y", "Chinese Renminbi", 0.1584},
    {"$", "Colombian Peso", 0.000469},
    {"kn", "Croatian Kuna", 0.2137},
    {"\xA3", "Cypriot Pound", 0.4643},
    {"Kc", "Czech. Republic Koruna", 0.0505},
    {"kr", "Danish Krone", 0.2207},
    {"DF", "Djiboutian Franc", 0.005626797058310498},
    {"$f.", "Dutch Guilder", 0.54456},
    {"$", "East Caribbean Dollar", 0.4959},
    {"ED", "Emirati Dirhams", 0.27229407760381213},
    {"EEK", "Estonia Kroon", 0.0807},
    {"$", "Fiji Dollar", 0.759},
    {"FmK", "Finnish Markkaa", 0.20184},
    {"FF", "French Franc", 0.18288},
    {"DM", "German Deutsche mark", 0.61356},
    {"\xA2", "Ghanaian Cedi", 0.000153},
    {"Dr", "Greek Drachma", 0.03516},
    {"\xA3", "GB Pound Sterling", 2.3371},
    {"L", "Honduran Lempira", 0.07556},
    {"HK$", "Hong Kong Dollar", 0.170544},
    {"Ft", "Hungarian Forint", 0.006269},
    {"kr", "Icelandic Krona", 0.01832},
    {"Rs", "Indian Rupee", 0.02908},
    {"Rp", "Indonesian Rupiah", 0.000156},
    {"\xA3", "Irish Pound (Punt)", 0.1524},
    {"NIS", "Israeli New Shekel", 0.3035},
    {"L", "Italian Lire", 0.0006198},
    {"$", "Jamaican dollar", 0.0221},
    {"\xA5", "Japanese Yen", 0.012325},
    {"JD", "Jordanian Dinar", 1.41095},
    {"Ls", "Latvia Lat", 1.8781},
    {"Lt", "Lithuania Litas", 0.3658},
    {"LuxF", "Luxenbourg Franc", 0.029748},
    {"RM", "Malaysian Ringgit", 0.3484},
    {"Lm", "Maltese Lira", 2.9256},
    {"$", "Mexican New Peso", 0.1175},
    {"$", "Moroccan Dirham", 0.149},
    {"K", "Myanmar (Burma) Kyat", 0.2295},
    {"NAf.", "Neth. Antilles Guilder", 0.7438},
    {"$", "New Zealand Dollar", 0.849},
    {"kr", "Norwegian Krona", 0.1961},
    {"$", "Pacific Financial Community Franc", 0.01377},
    {"Rs.", "Pakistan Rupee", 0.02314},
    {"$", "Panamanian Balboa", 1.324},
    {"S/. ", "Peruvian New Sol", 0.3823},
    {"PHP", "Philippine Peso", 0.02383},
    {"zl", "Polish Zloty", 0.3534},
    {"Esc", "Portuguese Escudos", 0.0059856},
    {"QR$", "Qatar Riyal", 0.27397},
    {"lei", "Romanian Leu", 4.1e-05},
    {"R", "Russian Rouble", 0.04528},
    {"$", "Singapore Dollar", 0.7753},
    {"Sk", "Slovak Koruna", 0.03994},
    {"SIT", "Slovenian Tolar", 0.006936},
    {"R ", "South African Rand", 0.1919},
    {"Wn", "South Korean Won", 0.001107},
    {"Pts", "Spanish Peseta", 0.007212},
    {"SLRs", "Sri Lanka Rupee", 0.0138},
    {"kr", "Swedish Krona", 0.181},
    {"SFr", "Swiss Franc", 1.2335},
    {"NT$", "Taiwanese New Dollar", 0.03894},
    {"Bt", "Thai Baht", 0.03343},
    {"TT$", "Trinidad & Tobago Dollar", 0.2153},
    {"TD", "Tunisian Dinar", 1.0802},
    {"TL", "Turkish Lira", 0.009262},
    {"bs", "Venezuelan Bolivar", 0.000829},
};

const char kSection[] = "Conversions";
constexpr size_t kResultChars = 255;

CCurrencyTable* g_instance = nullptr;

} // namespace

CCurrencyTable::CCurrencyTable() : CCurrencyTable(ProgramFolderOfExecutable() + "Currency/Currency.ini") {}

CCurrencyTable::CCurrencyTable(const std::string& ratesPath) : m_ratesPath(ratesPath) {}

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
    int readable = rates.Load(m_ratesPath.c_str());
    for (int i = 0; i < kCurrencies; ++i) {
        CurrencyEntry& entry = m_entries[i];
        entry.symbol = kBuiltIn[i].symbol;
        entry.name = kBuiltIn[i].name;
        entry.code = kRateCodes[i];
        entry.rate = kBuiltIn[i].rate;
        double rate = 1;
        if (readable && rates.GetDouble(rate, kSection, kRateCodes[i], 1)) entry.rate = rate;
    }
    return readable ? 1 : 0;
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
    m_resultText = FormatDouble(m_result, 15);
    if (m_resultText.size() > kResultChars) m_resultText.resize(kResultChars);
}

int CCurrencyTable::GetResult(std::string& out, int part) const
{
    out = ResultPart(m_resultText, part);
    return 1;
}

int CCurrencyTable::FindCode(const char* code) const
{
    if (!code) return -1;
    for (int i = 0; i < kCurrencies; ++i)
        if (SameAsciiNoCase(kRateCodes[i], code)) return i;
    return -1;
}
