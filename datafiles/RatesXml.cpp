#include "datafiles/RatesXml.h"

#include "datafiles/RatesCheck.h"
#include "platform/AsciiCase.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlversion.h>

#include "platform/LibrarySymbol.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <mutex>

// libxml2 is loaded the first time XML rates arrive, not at start-up.
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

// Reference rates take a few kilobytes, the UN's some ten; a document this
// large is neither.
constexpr size_t kMaxXmlBytes = 1 << 20;

} // namespace

bool IsRatesDate(const std::string& text)
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

namespace {

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

bool ReadEntries(const xmlNode* dated, SSourceRates& out, std::string& reason)
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
        if (!out.units.emplace(code, rate).second) {
            reason = code + " is listed twice";
            return false;
        }
    }
    return true;
}

const char kUnDataset[] = "UN_OPERATIONAL_RATES_DATASET";

bool Listed(const std::string& code)
{
    return std::any_of(std::begin(kRateCodes), std::end(kRateCodes), [&](const char* c) { return code == c; });
}

// The text of the first child element `name` of `row`, without the blanks
// around it (the UN's values end in tabs); false when there is none.
bool ChildText(const xmlNode* row, const char* name, std::string& value)
{
    for (const xmlNode* child = row->children; child; child = child->next) {
        if (!HasName(child, name)) continue;
        value.clear();
        for (const xmlNode* part = child->children; part; part = part->next)
            if ((part->type == XML_TEXT_NODE || part->type == XML_CDATA_SECTION_NODE) && part->content)
                value += reinterpret_cast<const char*>(part->content);
        const size_t first = value.find_first_not_of(" \t\r\n");
        value = first == std::string::npos ? "" : value.substr(first, value.find_last_not_of(" \t\r\n") - first + 1);
        return true;
    }
    return false;
}

// "1 Dec 2026" (as the UN writes it) or "2026-12-01" as "2026-12-01"; empty when neither.
std::string UnDate(const std::string& text)
{
    if (IsRatesDate(text)) return text;
    static const char kMonths[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
    int day = 0, year = 0;
    char month[4] = {}, rest = 0;
    if (std::sscanf(text.c_str(), "%2d %3[A-Za-z] %4d%c", &day, month, &year, &rest) != 3) return {};
    const char* found = std::strstr(kMonths, month);
    if (!found || std::strlen(month) != 3 || (found - kMonths) % 3 != 0) return {};
    char iso[16];
    std::snprintf(iso, sizeof iso, "%04d-%02d-%02d", year, static_cast<int>((found - kMonths) / 3 + 1), day);
    return IsRatesDate(iso) ? iso : std::string();
}

bool ReadUnRow(const xmlNode* row, SSourceRates& out, std::string& reason)
{
    std::string code, rateText, dateText;
    if (!ChildText(row, "f_curr_code", code) || !Listed(code) || out.units.count(code)) return true;
    const std::string where = " of " + code + " at line " + std::to_string(row->line);
    double rate = 0;
    if (!ChildText(row, "rate", rateText) || !IsPlainDecimal(rateText) || !ReadRateNumber(rateText, rate) ||
        !std::isfinite(rate) || rate <= 0) {
        reason = "the rate" + where + ", " + Quoted(rateText) + ", is no positive number";
        return false;
    }
    const std::string date = ChildText(row, "eff_date", dateText) ? UnDate(dateText) : std::string();
    if (date.empty()) {
        reason = "the date" + where + ", " + Quoted(dateText) + ", is no date";
        return false;
    }
    out.units[code] = rate;
    out.dates[code] = date;
    if (date > out.date) out.date = date;
    return true;
}

// So few rates of the list are no UN table but a part of one.
constexpr size_t kMinimumUnRates = 10;

bool ReadUnRates(const xmlNode* root, SSourceRates& out, std::string& reason)
{
    out.kind = SSourceRates::kUnOperational;
    for (const xmlNode* row = root->children; row; row = row->next)
        if (HasName(row, "UN_OPERATIONAL_RATES") && !ReadUnRow(row, out, reason)) return false;
    if (out.units.size() < kMinimumUnRates) {
        reason = "operational rates of only " + std::to_string(out.units.size()) + " currencies of the list";
        return false;
    }
    // Most rates take effect on the first of the month; the reference date
    // is the latest, and only rates of another day keep their own.
    for (auto it = out.dates.begin(); it != out.dates.end();)
        it = it->second == out.date ? out.dates.erase(it) : std::next(it);
    return true;
}

// What the parser leaves of a document: its root, or why there is none worth reading.
xmlDocPtr ParseRates(std::string_view xml, std::string& reason)
{
    if (xml.size() > kMaxXmlBytes) {
        reason = "XML of more than " + std::to_string(kMaxXmlBytes) + " bytes";
        return nullptr;
    }
    if (!Xml()) {
        reason = "XML rates, which need libxml2 (not installed)";
        return nullptr;
    }
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
    xmlParserCtxtPtr parser = xmlNewParserCtxt();
    if (!parser) {
        reason = "no memory to read the XML";
        return nullptr;
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
    if (guard.html || (root && HasName(root, "html"))) reason = "an HTML page, not exchange rates";
    else if (guard.doctype) reason = "a document type declaration, which exchange rates never have";
    else if (!wellFormed || !root)
        reason = "XML that is not well-formed" + (errorLine > 0 ? ", at line " + std::to_string(errorLine) : "");
    else return doc;
    xmlFreeDoc(doc);
    return nullptr;
}

bool ReadEuroRates(const xmlNode* root, SSourceRates& out, std::string& reason)
{
    out.kind = SSourceRates::kEuroReference;
    const xmlNode* dated = FindDatedCube(root);
    if (!dated) {
        reason = "XML without a Cube element that has a reference date";
        return false;
    }
    Attribute(dated, "time", out.date);
    if (!IsRatesDate(out.date)) {
        reason = "the reference date " + Quoted(out.date) + " is no date";
        return false;
    }
    if (!ReadEntries(dated, out, reason)) return false;
    if (out.units.count("USD") == 0) reason = "no USD rate, which rates in U.S. dollars need";
    return out.units.count("USD") != 0;
}

} // namespace

int ReadSourceRates(std::string_view xml, SSourceRates& out, std::string& reason)
{
    out = SSourceRates();
    xmlDocPtr doc = ParseRates(xml, reason);
    if (!doc) return 0;
    const xmlNode* root = xmlDocGetRootElement(doc);
    const bool ok = HasName(root, kUnDataset) ? ReadUnRates(root, out, reason) : ReadEuroRates(root, out, reason);
    xmlFreeDoc(doc);
    return ok ? 1 : 0;
}
