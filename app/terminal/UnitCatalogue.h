#pragma once
// The units of the converter by their English names and abbreviations (from
// the unit-names file), and how a name typed at the terminal finds one:
// the exact spelling first; then the name in any case, plural or with
// American spelling ("miles", "Kilometers"); then the abbreviation in any
// case, only when it is typed all in one case and means one unit ("KM", "kwh",
// but not "Mb" for "MB", and "KN" could be "kn" or "kN").
#include <string>
#include <vector>

// The unit-names file the program ships.
std::string ShippedUnitNamesPath();

struct SUnitEntry {
    int category = 0;
    int unit = 0;
    std::string name;         // UTF-8
    std::string abbreviation; // UTF-8; empty for a unit without one
};

class CUnitCatalogue {
public:
    // Reads the English names from the unit-names file; false when it can't be read.
    bool Load(const std::string& path);
    const std::vector<SUnitEntry>& Units() const { return units_; }

    // The entries `typed` names (one per category that has the unit); empty
    // when none does. When it could mean several units, or one only in
    // another case, `choices` lists them ("kn (knot), kN (kilonewton)") and
    // the result is empty.
    std::vector<const SUnitEntry*> Find(const std::string& typed, std::string& choices) const;
    // Every entry `typed` could name in any of those ways, the abbreviation
    // in any case: the readings to try when what Find gives does not convert.
    std::vector<const SUnitEntry*> Readings(const std::string& typed) const;

private:
    std::vector<SUnitEntry> units_;
};

// The first entries of the two lists that share a category: the units are
// converted there. False when none do.
bool CommonCategory(const std::vector<const SUnitEntry*>& from, const std::vector<const SUnitEntry*>& to,
                    const SUnitEntry*& f, const SUnitEntry*& t);
