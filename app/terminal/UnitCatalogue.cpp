#include "app/terminal/UnitCatalogue.h"

#include "conversions/UnitConverter.h"
#include "conversions/UnitNames.h"
#include "conversions/UnitTables.h"
#include "platform/UserFolders.h"

namespace {

const char kDegree[] = "\xC2\xB0";

bool EndsWith(const std::string& text, const char* end)
{
    const std::string tail(end);
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

// Case, "-" or blank, a leading "US " and American spelling do not matter.
std::string CanonicalName(const std::string& name)
{
    std::string c = Lower(name);
    ReplaceAll(c, "-", " ");
    ReplaceAll(c, "meter", "metre");
    ReplaceAll(c, "liter", "litre");
    if (c.rfind("us ", 0) == 0) c.erase(0, 3);
    return c;
}

// The plural of the counted word: the one before " per ", else the last.
std::string PluralName(const std::string& canonical)
{
    const size_t per = canonical.find(" per ");
    std::string head = canonical.substr(0, per);
    const std::string rest = per == std::string::npos ? std::string() : canonical.substr(per);
    if (EndsWith(head, "foot")) head.replace(head.size() - 4, 4, "feet");
    else if (EndsWith(head, "ch") || EndsWith(head, "sh") || EndsWith(head, "s") || EndsWith(head, "x"))
        head += "es";
    else head += "s";
    return head + rest;
}

// "°C" may be typed "C".
std::string WithoutDegree(const std::string& abbreviation)
{
    return abbreviation.rfind(kDegree, 0) == 0 ? abbreviation.substr(sizeof kDegree - 1) : abbreviation;
}

bool InOneCase(const std::string& text)
{
    bool lower = false, upper = false;
    for (char c : text) {
        lower = lower || (c >= 'a' && c <= 'z');
        upper = upper || (c >= 'A' && c <= 'Z');
    }
    return !(lower && upper);
}

bool MatchesExactly(const SUnitEntry& unit, const std::string& typed)
{
    return unit.name == typed ||
           (!unit.abbreviation.empty() && (unit.abbreviation == typed || WithoutDegree(unit.abbreviation) == typed));
}

bool MatchesName(const SUnitEntry& unit, const std::string& typed)
{
    if (unit.name.empty()) return false;
    const std::string canonical = CanonicalName(unit.name);
    const std::string wanted = CanonicalName(typed);
    return wanted == canonical || wanted == PluralName(canonical);
}

bool MatchesAbbreviation(const SUnitEntry& unit, const std::string& typed)
{
    if (unit.abbreviation.empty()) return false;
    const std::string wanted = Lower(typed);
    return Lower(unit.abbreviation) == wanted || Lower(WithoutDegree(unit.abbreviation)) == wanted;
}

} // namespace

std::string ShippedUnitNamesPath()
{
    return ProgramFolder() + "UnitLib.txt";
}

bool CUnitCatalogue::Load(const std::string& path)
{
    units_.clear();
    CUnitNameTable table;
    if (!table.Load(path) || table.Size() == 0) return false;
    for (int c = 0; c < CUnitConverter::kCategories; ++c)
        for (int u = 0; u < kUnitCategories[c].units; ++u) {
            SUnitEntry entry;
            entry.category = c;
            entry.unit = u;
            int nameId = 0, abbreviationId = 0;
            UnitStringIds(c, u, nameId, abbreviationId);
            table.Find(nameId, CUnitConverter::kNameChars, entry.name);
            table.Find(abbreviationId, CUnitConverter::kAbbreviationChars, entry.abbreviation);
            units_.push_back(entry);
        }
    return true;
}

std::vector<const SUnitEntry*> CUnitCatalogue::Find(const std::string& typed, std::string& choices) const
{
    choices.clear();
    for (auto matches : {MatchesExactly, MatchesName, MatchesAbbreviation}) {
        std::vector<const SUnitEntry*> found;
        std::vector<std::string> names; // a unit found in two categories is one unit
        for (const SUnitEntry& unit : units_) {
            if (!matches(unit, typed)) continue;
            found.push_back(&unit);
            bool known = false;
            for (const std::string& name : names) known = known || name == unit.name;
            if (known) continue;
            names.push_back(unit.name);
            choices += (choices.empty() ? "" : ", ") + unit.abbreviation + " (" + unit.name + ")";
        }
        // In mixed case an abbreviation is meant as typed: "Mb" is not "MB".
        const bool sure = names.size() == 1 && (matches != MatchesAbbreviation || InOneCase(typed));
        if (sure) choices.clear();
        else found.clear();
        if (!found.empty() || !choices.empty()) return found;
    }
    return {};
}

std::vector<const SUnitEntry*> CUnitCatalogue::Readings(const std::string& typed) const
{
    std::vector<const SUnitEntry*> readings;
    for (const SUnitEntry& unit : units_)
        if (MatchesExactly(unit, typed) || MatchesName(unit, typed) || MatchesAbbreviation(unit, typed))
            readings.push_back(&unit);
    return readings;
}

bool CommonCategory(const std::vector<const SUnitEntry*>& from, const std::vector<const SUnitEntry*>& to,
                    const SUnitEntry*& f, const SUnitEntry*& t)
{
    for (const SUnitEntry* a : from)
        for (const SUnitEntry* b : to)
            if (a->category == b->category) {
                f = a, t = b;
                return true;
            }
    return false;
}
