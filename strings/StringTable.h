#pragma once
// The built-in string tables: one UTF-8 text file per language, embedded at
// build time, parsed once on first use.
//
// Text format, one entry a line: an identifier, one blank, the text in double
// quotes. Inside the quotes \r \n \t \" \\ are escapes. Empty lines and lines
// starting with '#' are ignored. Identifiers are the English ones; the table's
// language offset is added when the table is loaded.
#include <cstddef>
#include <map>
#include <string>
#include <string_view>

struct EmbeddedStringTable {
    int languageId;
    const char* text;
    size_t size;
};

// The tables compiled into the program (generated source).
const EmbeddedStringTable* EmbeddedStringTables(size_t& count);

// Parses one table's text into identifier -> UTF-8 text. Returns 1; 0 at the
// first malformed line, a duplicate identifier or text that is not valid UTF-8,
// with a description (line number and reason) in *error when given.
int ParseStringTable(std::string_view text, std::map<int, std::string>& out, std::string* error = nullptr);

// The parsed table of one language (plain English identifiers), or nullptr
// when the program carries no table for it or its table is malformed.
const std::map<int, std::string>* BuiltInStringTable(int languageId);

// True when `text` is well-formed UTF-8.
bool IsValidUtf8(std::string_view text);
