#include "conversions/CurrencyTable.h"

#include "conversions/FormatDouble.h"
#include "conversions/UnitNames.h"
#include "datafiles/IniStore.h"

#include <charconv>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <strings.h>

namespace {

struct BuiltInCurrency {
    const char* symbol;
    const char* name;
    const char* code;
    double rate;
};

// Windows-1252 symbols: 0x80 euro, 0xA2 cent, 0xA3 pound, 0xA5 yen.
const BuiltInCurrency kBuiltIn[CCurrencyTable::kCurrencies] = {
    {"$", "United States Dollar", "USD", 1},
    {"\x80", "European Monetary Union", "EUR", 1.6427},
    {"$", "African Financial Community Franc", "XOF", 0.002491},
    {"$", "Argentine Peso (Floating Rate)", "ARS", 0.4518},
    {"$", "Australian Dollar", "AUD", 0.9864},
    {"S", "Austrian Schilling", "ATS", 0.087204},
    {"$", "Bahamian Dollar", "BSD", 1.3397},
    {"BD$", "Barbados Dollar", "BBD", 0.5050505050505051},
    {"Bf", "Belgian Franc", "BEF", 0.029748},
    {"BD$", "Belizean Dollar", "BZD", 0.5},
    {"R$", "Brazilian Real", "BRL", 0.4575},
    {"lv", "Bulgaria Leva", "BGN", 1.5485},
    {"$", "Canadian Dollar", "CAD", 0.74},
    {"CI$", "Cayman Islands Dollar", "KYD", 1.1764705882352942},
    {"$", "Chilean Peso", "CLP", 0.002206},
    {"Y", "Chinese Renminbi", "CNY", 0.1584},
    {"$", "Colombian Peso", "COP", 0.000469},
    {"kn", "Croatian Kuna", "HRK", 0.2137},
    {"\xA3", "Cypriot Pound", "CYP", 0.4643},
    {"Kc", "Czech. Republic Koruna", "CZK", 0.0505},
    {"kr", "Danish Krone", "DKK", 0.2207},
    {"DF", "Djiboutian Franc", "DJK", 0.005626797058310498},
    {"$f.", "Dutch Guilder", "NLG", 0.54456},
    {"$", "East Caribbean Dollar", "XCD", 0.4959},
    {"ED", "Emirati Dirhams", "AED", 0.27229407760381213},
    {"EEK", "Estonia Kroon", "EEK", 0.0807},
    {"$", "Fiji Dollar", "FJD", 0.759},
    {"FmK", "Finnish Markkaa", "FIM", 0.20184},
    {"FF", "French Franc", "FRF", 0.18288},
    {"DM", "German Deutsche mark", "DEM", 0.61356},
    {"\xA2", "Ghanaian Cedi", "GHC", 0.000153},
    {"Dr", "Greek Drachma", "GRD", 0.03516},
    {"\xA3", "GB Pound Sterling", "GBP", 2.3371},
    {"L", "Honduran Lempira", "HNL", 0.07556},
    {"HK$", "Hong Kong Dollar", "HKD", 0.170544},
    {"Ft", "Hungarian Forint", "HUF", 0.006269},
    {"kr", "Icelandic Krona", "ISK", 0.01832},
    {"Rs", "Indian Rupee", "INR", 0.02908},
    {"Rp", "Indonesian Rupiah", "IDR", 0.000156},
    {"\xA3", "Irish Pound (Punt)", "IEP", 0.1524},
    {"NIS", "Israeli New Shekel", "ILS", 0.3035},
    {"L", "Italian Lire", "ITL", 0.0006198},
    {"$", "Jamaican dollar", "JMD", 0.0221},
    {"\xA5", "Japanese Yen", "JPY", 0.012325},
    {"JD", "Jordanian Dinar", "JOD", 1.41095},
    {"Ls", "Latvia Lat", "LVL", 1.8781},
    {"Lt", "Lithuania Litas", "LTL", 0.3658},
    {"LuxF", "Luxenbourg Franc", "LUF", 0.029748},
    {"RM", "Malaysian Ringgit", "MYR", 0.3484},
    {"Lm", "Maltese Lira", "MTL", 2.9256},
    {"$", "Mexican New Peso", "MXN", 0.1175},
    {"$", "Moroccan Dirham", "MAD", 0.149},
    {"K", "Myanmar (Burma) Kyat", "MMK", 0.2295},
    {"NAf.", "Neth. Antilles Guilder", "ANG", 0.7438},
    {"$", "New Zealand Dollar", "NZD", 0.849},
    {"kr", "Norwegian Krona", "NOK", 0.1961},
    {"$", "Pacific Financial Community Franc", "XPF", 0.01377},
    {"Rs.", "Pakistan Rupee", "PKR", 0.02314},
    {"$", "Panamanian Balboa", "PAB", 1.324},
    {"S/. ", "Peruvian New Sol", "PEN", 0.3823},
    {"PHP", "Philippine Peso", "PHP", 0.02383},
    {"zl", "Polish Zloty", "PLN", 0.3534},
    {"Esc", "Portuguese Escudos", "PTE", 0.0059856},
    {"QR$", "Qatar Riyal", "QAR", 0.27397},
    {"lei", "Romanian Leu", "ROL", 4.1e-05},
    {"R", "Russian Rouble", "RUB", 0.04528},
    {"$", "Singapore Dollar", "SGD", 0.7753},
    {"Sk", "Slovak Koruna", "SKK", 0.03994},
    {"SIT", "Slovenian Tolar", "SIT", 0.006936},
    {"R ", "South African Rand", "ZAR", 0.1919},
    {"Wn", "South Korean Won", "KRW", 0.001107},
    {"Pts", "Spanish Peseta", "ESP", 0.007212},
    {"SLRs", "Sri Lanka Rupee", "LKR", 0.0138},
    {"kr", "Swedish Krona", "SEK", 0.181},
    {"SFr", "Swiss Franc", "CHF", 1.2335},
    {"NT$", "Taiwanese New Dollar", "TWD", 0.03894},
    {"Bt", "Thai Baht", "THB", 0.03343},
    {"TT$", "Trinidad & Tobago Dollar", "TTD", 0.2153},
    {"TD", "Tunisian Dinar", "TND", 1.0802},
    {"TL", "Turkish Lira", "TRL", 0.009262},
    {"bs", "Venezuelan Bolivar", "VEB", 0.000829},
};

const char kSection[] = "Conversions";
constexpr size_t kResultChars = 255;

CCurrencyTable* g_instance = nullptr;

std::string Trim(const std::string& text)
{
    size_t begin = text.find_first_not_of(" \t\r");
    if (begin == std::string::npos) return std::string();
    size_t end = text.find_last_not_of(" \t\r");
    return text.substr(begin, end - begin + 1);
}

bool IsKnownCode(const std::string& key)
{
    for (const BuiltInCurrency& c : kBuiltIn)
        if (strcasecmp(c.code, key.c_str()) == 0) return true;
    return false;
}

bool IsNumberText(const std::string& value)
{
    // Rates files always use "." whatever the user's LC_NUMERIC.
    static locale_t c = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(0));
    const char* text = value.c_str();
    char* end = nullptr;
    if (c)
        strtod_l(text, &end, c);
    else
        std::strtod(text, &end);
    return end != text;
}

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
        entry.code = kBuiltIn[i].code;
        entry.rate = kBuiltIn[i].rate;
        double rate = 1;
        if (readable && rates.GetDouble(rate, kSection, kBuiltIn[i].code, 1)) entry.rate = rate;
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
        if (strcasecmp(kBuiltIn[i].code, code) == 0) return i;
    return -1;
}

int CCurrencyTable::IsRatesText(const std::string& body)
{
    bool inSection = false;
    size_t pos = 0;
    while (pos < body.size()) {
        size_t end = body.find('\n', pos);
        if (end == std::string::npos) end = body.size();
        std::string line = Trim(body.substr(pos, end - pos));
        pos = end + 1;
        if (!line.empty() && line[0] == '[') {
            size_t close = line.find(']');
            inSection = close != std::string::npos && strcasecmp(Trim(line.substr(1, close - 1)).c_str(), kSection) == 0;
            continue;
        }
        size_t eq = line.find('=');
        if (!inSection || eq == std::string::npos) continue;
        if (IsKnownCode(Trim(line.substr(0, eq))) && IsNumberText(Trim(line.substr(eq + 1)))) return 1;
    }
    return 0;
}
