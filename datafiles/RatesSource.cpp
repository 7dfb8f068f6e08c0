#include "datafiles/RatesSource.h"

#include "datafiles/IniStore.h"
#include "datafiles/RatesCheck.h"
#include "platform/AsciiCase.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlversion.h>

#include "platform/LibrarySymbol.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <mutex>

const char kRatesInfoSection[] = "Info";
const char kRatesDateKey[] = "Date";
const char kRatesSourceKey[] = "Source";
const char kRatesDatesSection[] = "Dates";

// libxml2 is loaded the first time reference rates arrive, not at start-up.
namespace {

struct XmlApi {
    xmlFreeFunc* freeFunction;  // the library's variable
    xmlChar* (*getNoNsProp)(const xmlNode*, const xmlChar*);
    xmlAttrPtr (*hasProp)(const xmlNode*, const xmlChar*);
    void (*stopParser)(xmlParserCtxtPtr);
    void (*initParser)();
    xmlParserCtxtPtr (*newParserCtxt)();
    xmlDocPtr (*ctxtReadMemory)(xmlParserCtxtPtr, const char*, int, const char*, const char*, int);
    const xmlError* (*ctxtGetLastError)(void*);
    void (*freeParserCtxt)(xmlParserCtxtPtr);
    xmlNodePtr (*docGetRootElement)(const xmlDoc*);
    void (*freeDoc)(xmlDocPtr);
};

const XmlApi* Xml()
{
    static XmlApi api;
    static const bool loaded = [] {
        void* lib = dlopen("libxml2.so.2", RTLD_NOW | RTLD_LOCAL);
        return lib && FindLibrarySymbol(lib, "xmlFree", api.freeFunction) && FindLibrarySymbol(lib, "xmlGetNoNsProp", api.getNoNsProp) &&
               FindLibrarySymbol(lib, "xmlHasProp", api.hasProp) && FindLibrarySymbol(lib, "xmlStopParser", api.stopParser) &&
               FindLibrarySymbol(lib, "xmlInitParser", api.initParser) && FindLibrarySymbol(lib, "xmlNewParserCtxt", api.newParserCtxt) &&
               FindLibrarySymbol(lib, "xmlCtxtReadMemory", api.ctxtReadMemory) &&
               FindLibrarySymbol(lib, "xmlCtxtGetLastError", api.ctxtGetLastError) &&
               FindLibrarySymbol(lib, "xmlFreeParserCtxt", api.freeParserCtxt) &&
               FindLibrarySymbol(lib, "xmlDocGetRootElement", api.docGetRootElement) && FindLibrarySymbol(lib, "xmlFreeDoc", api.freeDoc);
    }();
    return loaded ? &api : nullptr;
}

}  // namespace

#undef xmlFree
#define xmlFree (*Xml()->freeFunction)
#define xmlGetNoNsProp Xml()->getNoNsProp
#define xmlHasProp Xml()->hasProp
#define xmlStopParser Xml()->stopParser
#define xmlInitParser Xml()->initParser
#define xmlNewParserCtxt Xml()->newParserCtxt
#define xmlCtxtReadMemory Xml()->ctxtReadMemory
#define xmlCtxtGetLastError Xml()->ctxtGetLastError
#define xmlFreeParserCtxt Xml()->freeParserCtxt
#define xmlDocGetRootElement Xml()->docGetRootElement
#define xmlFreeDoc Xml()->freeDoc

namespace {

const char kConversions[] = "Conversions";
// Reference rates take a few kilobytes; a document this large is no such thing.
constexpr size_t kMaxXmlBytes = 1 << 20;
constexpr size_t kMaxIniValue = 255; // what the INI reader keeps of a value

// What the XML gives: the reference date and each currency's units per euro.
struct ReferenceRates {
    std::string date;
    std::map<std::string, double> perEuro;
};

bool IsDate(const std::string& text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    int parts[3] = {};
    const size_t starts[3] = {0, 5, 8}, lengths[3] = {4, 2, 2};
    for (int i = 0; i < 3; ++i) {
        const char* first = text.data() + starts[i];
        for (size_t k = 0; k < lengths[i]; ++k)
            if (first[k] < '0' || first[k] > '9') return false;
        std::from_chars(first, first + lengths[i], parts[i]);
    }
    const int year = parts[0], month = parts[1], day = parts[2];
    static const int kDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1 || day > kDays[month - 1]) return false;
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    return month != 2 || day <= 28 || leap;
}

bool IsCurrencyCode(const std::string& text)
{
    if (text.size() != 3) return false;
    for (char c : text)
        if (c < 'A' || c > 'Z') return false;
    return true;
}

// Rates are written as plain decimals ("1.0550"): no sign, exponent or hex.
bool IsPlainDecimal(const std::string& text)
{
    int digits = 0, points = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9') ++digits;
        else if (c == '.') ++points;
        else return false;
    }
    return digits > 0 && points <= 1;
}

// A text from the answer, as far as a message can show it.
std::string Quoted(const std::string& text)
{
    constexpr size_t kShown = 40;
    return "\"" + (text.size() > kShown ? text.substr(0, kShown) + "..." : text) + "\"";
}

bool HasName(const xmlNode* node, const char* name)
{
    return node->type == XML_ELEMENT_NODE && node->name && SameAsciiNoCase(reinterpret_cast<const char*>(node->name), name);
}

// The attribute's value with any character references resolved; false when absent.
bool Attribute(const xmlNode* node, const char* name, std::string& value)
{
    xmlChar* text = xmlGetNoNsProp(node, reinterpret_cast<const xmlChar*>(name));
    if (!text) return false;
    value = reinterpret_cast<const char*>(text);
    xmlFree(text);
    return true;
}

// The first Cube (in document order) that carries a reference date.
const xmlNode* FindDatedCube(const xmlNode* node)
{
    for (; node; node = node->next) {
        if (node->type != XML_ELEMENT_NODE) continue;
        if (HasName(node, "Cube") && xmlHasProp(node, reinterpret_cast<const xmlChar*>("time"))) return node;
        if (const xmlNode* found = FindDatedCube(node->children)) return found;
    }
    return nullptr;
}

// A document type declaration is no part of reference rates, and the place
// where entities are declared: the parser stops there, before reading any.
struct ParseGuard {
    bool doctype = false;
    bool html = false;
};

void StopAtDoctype(void* context, const xmlChar* name, const xmlChar*, const xmlChar*)
{
    xmlParserCtxtPtr parser = static_cast<xmlParserCtxtPtr>(context);
    ParseGuard& guard = *static_cast<ParseGuard*>(parser->_private);
    guard.doctype = true;
    guard.html = name && SameAsciiNoCase(reinterpret_cast<const char*>(name), "html");
    xmlStopParser(parser);
}

bool ReadEntries(const xmlNode* dated, ReferenceRates& out, std::string& reason)
{
    for (const xmlNode* entry = dated->children; entry; entry = entry->next) {
        if (!HasName(entry, "Cube")) continue;
        std::string code, rateText;
        if (!Attribute(entry, "currency", code) || !Attribute(entry, "rate", rateText)) {
            reason = "the rate at line " + std::to_string(entry->line) + " lacks its currency or its value";
            return false;
        }
        double rate = 0;
        if (!IsCurrencyCode(code)) {
            reason = Quoted(code) + " at line " + std::to_string(entry->line) + " is no currency code";
            return false;
        }
        if (!IsPlainDecimal(rateText) || !ReadRateNumber(rateText, rate) || !std::isfinite(rate) || rate <= 0) {
            reason = "the rate of " + code + ", " + Quoted(rateText) + ", is no positive number";
            return false;
        }
        if (!out.perEuro.emplace(code, rate).second) {
            reason = code + " is listed twice";
            return false;
        }
    }
    return true;
}

bool ReadReferenceRates(std::string_view xml, ReferenceRates& out, std::string& reason)
{
    if (xml.size() > kMaxXmlBytes) {
        reason = "XML of more than " + std::to_string(kMaxXmlBytes) + " bytes";
        return false;
    }
    if (!Xml()) {
        reason = "reference rates, which need libxml2 (not installed)";
        return false;
    }
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
    xmlParserCtxtPtr parser = xmlNewParserCtxt();
    if (!parser) {
        reason = "no memory to read the XML";
        return false;
    }
    ParseGuard guard;
    parser->_private = &guard;
    parser->sax->internalSubset = &StopAtDoctype;
    // No network, no external or internal entity substitution, no DTD, and
    // the parser's limits for documents of ordinary size (the download is
    // capped far below them anyway).
    int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
#if LIBXML_VERSION >= 21300
    options |= XML_PARSE_NO_XXE;
#endif
    xmlDocPtr doc = xmlCtxtReadMemory(parser, xml.data(), static_cast<int>(xml.size()), nullptr, nullptr, options);
    const bool wellFormed = doc && parser->wellFormed;
    const xmlError* error = xmlCtxtGetLastError(parser);
    const int errorLine = error ? error->line : 0;
    xmlFreeParserCtxt(parser);
    const xmlNode* root = doc ? xmlDocGetRootElement(doc) : nullptr;
    bool ok = false;
    if (guard.html || (root && HasName(root, "html"))) {
        reason = "an HTML page, not reference rates";
    } else if (guard.doctype) {
        reason = "a document type declaration, which reference rates never have";
    } else if (!wellFormed) {
        reason = "XML that is not well-formed" + (errorLine > 0 ? ", at line " + std::to_string(errorLine) : "");
    } else if (const xmlNode* dated = FindDatedCube(root); !dated) {
        reason = "XML without a Cube element that has a reference date";
    } else if (Attribute(dated, "time", out.date); !IsDate(out.date)) {
        reason = "the reference date " + Quoted(out.date) + " is no date";
    } else if (ReadEntries(dated, out, reason)) {
        ok = out.perEuro.count("USD") != 0;
        if (!ok) reason = "no USD rate, which rates in U.S. dollars need";
    }
    xmlFreeDoc(doc);
    return ok;
}

std::string RateText(double rate)
{
    char buffer[64];
    std::to_chars_result written = std::to_chars(buffer, buffer + sizeof buffer, rate);
    return std::string(buffer, written.ptr);
}

// The date of a rate kept from the current rates: its own, else that of
// those rates, else (a built-in rate) the built-in rates' date.
std::string KeptRateDate(CIniStore& current, const std::string& code, bool kept)
{
    if (!kept) return kBuiltInRatesDate;
    const std::string date = RateDate(current, code.c_str());
    return date.empty() ? kBuiltInRatesDate : date;
}

// Reference rates as a rates file, each code of the list given: from the
// source, by a fixed euro rate, or as the current rates have it.
std::string RatesText(const ReferenceRates& source, std::string_view currentRates, const std::string& url)
{
    CIniStore current;
    current.LoadText(currentRates);
    const double usdPerEuro = source.perEuro.at("USD");
    std::string text = "; Exchange rates: the value of one unit of each currency in U.S. dollars\n"
                       "; after the euro reference rates of " + source.date + "\n";
    text += std::string("[") + kRatesInfoSection + "]\n" + kRatesDateKey + "=" + source.date + "\n";
    // A URL that a line of its own would not hold whole is not kept.
    if (url.size() <= kMaxIniValue && std::none_of(url.begin(), url.end(), [](char c) { return c >= 0 && c < ' '; }))
        text += std::string(kRatesSourceKey) + "=" + url + "\n";
    text += std::string("[") + kConversions + "]\n";
    std::string dates;
    for (int i = 0; i < kRateCodeCount; ++i) {
        const std::string code = kRateCodes[i];
        double rate = kBuiltInRates[i];
        const bool kept = PlausibleRate(current, code.c_str(), rate);
        bool dated = true; // of the reference date
        if (code == "USD") rate = 1;
        else if (code == "EUR") rate = usdPerEuro;
        else if (auto listed = source.perEuro.find(code); listed != source.perEuro.end())
            rate = usdPerEuro / listed->second;
        else dated = false;
        for (int f = 0; f < kFixedRateCount; ++f) {
            const SFixedRate& fixed = kFixedRates[f];
            if (code != fixed.code) continue;
            // A peg to the euro always holds; one to the dollar, where the source names no rate.
            if (std::string_view(fixed.anchor) == "EUR") rate = usdPerEuro / fixed.perAnchor;
            else if (!dated) rate = 1 / fixed.perAnchor;
            dated = true;
        }
        text += code + "=" + RateText(rate) + "\n";
        if (!dated) dates += code + "=" + KeptRateDate(current, code, kept) + "\n";
    }
    // What the source did not give keeps its own date, so no page calls it new.
    if (!dates.empty()) text += std::string("[") + kRatesDatesSection + "]\n" + dates;
    return text;
}

// Reference rates are XML: their first character, after blanks and a
// byte-order mark, is "<"; a rates file's never is.
bool LooksLikeXml(std::string_view body)
{
    if (body.substr(0, 3) == "\xEF\xBB\xBF") body.remove_prefix(3);
    const size_t first = body.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && body[first] == '<';
}

} // namespace

int RatesTextFromDownload(std::string_view body, std::string_view currentRates, const std::string& url,
                          std::string& ratesText, std::string& reason)
{
    ratesText.clear();
    std::string text(body);
    if (LooksLikeXml(body)) {
        ReferenceRates source;
        if (!ReadReferenceRates(body, source, reason)) return 0;
        text = RatesText(source, currentRates, url);
    }
    if (!CheckRatesText(text, reason) || !CheckRatesAgainst(text, currentRates, reason)) return 0;
    ratesText = std::move(text);
    return 1;
}

std::string RatesReferenceDate(std::string_view ratesText)
{
    CIniStore rates;
    rates.LoadText(ratesText);
    return RatesReferenceDate(rates);
}

std::string RatesReferenceDate(CIniStore& rates)
{
    std::string date;
    rates.GetString(date, kRatesInfoSection, kRatesDateKey, "");
    return IsDate(date) ? date : std::string();
}

bool RatesCameFrom(std::string_view ratesText, const std::string& url)
{
    CIniStore rates;
    rates.LoadText(ratesText);
    std::string source;
    rates.GetString(source, kRatesInfoSection, kRatesSourceKey, "");
    return !url.empty() && source == url && !RatesReferenceDate(rates).empty();
}

std::string RateDate(CIniStore& rates, const char* code)
{
    std::string date;
    rates.GetString(date, kRatesDatesSection, code, "");
    return IsDate(date) ? date : RatesReferenceDate(rates);
}
