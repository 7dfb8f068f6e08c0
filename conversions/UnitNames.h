#pragma once
// The unit-names resource: a UTF-8 text file of "id=text" lines, one string
// table for every language at the shifted ids (id + language x 1000, English at
// the plain ids). Lines starting with "#" and lines without "=" are ignored.
#include <map>
#include <string>

class CUnitNameTable {
public:
    // 0 when the file can't be read (the table is then empty).
    int Load(const std::string& path);
    // The text at `id`, cut to maxChars characters; 0 and an empty text when absent.
    int Find(int id, size_t maxChars, std::string& out) const;
    size_t Size() const { return m_strings.size(); }

private:
    std::map<int, std::string> m_strings;
};

// Cuts UTF-8 text to at most maxChars characters, never inside a character.
std::string CutUtf8(const std::string& text, size_t maxChars);
