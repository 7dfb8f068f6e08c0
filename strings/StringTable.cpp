#include "strings/StringTable.h"

#include <cstdlib>
#include <memory>
#include <mutex>

namespace {

int Fail(std::string* error, int line, const char* reason)
{
    if (error) *error = "line " + std::to_string(line) + ": " + reason;
    return 0;
}

// `text` is the whole quoted part of a line, quotes included.
bool Unquote(std::string_view text, std::string& out)
{
    if (text.size() < 2 || text.front() != '"' || text.back() != '"') return false;
    out.clear();
    for (size_t i = 1; i + 1 < text.size(); ++i) {
        char c = text[i];
        if (c == '"') return false;
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i >= text.size() - 1) return false; // the backslash escaped the closing quote
        switch (text[i]) {
        case 'r': out += '\r'; break;
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        default: return false;
        }
    }
    return true;
}

} // namespace

bool IsValidUtf8(std::string_view text)
{
    size_t i = 0;
    while (i < text.size()) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        size_t extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : 9;
        if (extra == 9 || c == 0xC0 || c == 0xC1 || c > 0xF4) return false;
        if (extra > 0 && i + extra >= text.size()) return false;
        unsigned cp = extra == 0 ? c : c & (0x3F >> extra);
        for (size_t k = 1; k <= extra; ++k) {
            unsigned char d = static_cast<unsigned char>(text[i + k]);
            if ((d & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (d & 0x3F);
        }
        if ((extra == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)))
            return false;
        i += extra + 1;
    }
    return true;
}

int ParseStringTable(std::string_view text, std::map<int, std::string>& out, std::string* error)
{
    if (!IsValidUtf8(text)) return Fail(error, 0, "not valid UTF-8");
    int lineNo = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        size_t blank = line.find(' ');
        if (blank == 0 || blank == std::string_view::npos) return Fail(error, lineNo, "expected identifier and text");
        std::string idText(line.substr(0, blank));
        char* stop = nullptr;
        long id = std::strtol(idText.c_str(), &stop, 10);
        if (*stop != '\0' || id <= 0 || id > 65535) return Fail(error, lineNo, "bad identifier");
        std::string value;
        if (!Unquote(line.substr(blank + 1), value)) return Fail(error, lineNo, "bad quoted text");
        if (!out.emplace(static_cast<int>(id), std::move(value)).second) return Fail(error, lineNo, "duplicate identifier");
    }
    return 1;
}

const std::map<int, std::string>* BuiltInStringTable(int languageId)
{
    // A language is parsed when it is first asked for: a start needs one or
    // two of the eight, and parsing them all cost more than a millisecond.
    struct Parsed {
        std::once_flag once;
        std::map<int, std::string> table;
        bool ok = false;
    };
    size_t count = 0;
    const EmbeddedStringTable* embedded = EmbeddedStringTables(count);
    static const std::unique_ptr<Parsed[]> parsed(new Parsed[count]);
    const std::map<int, std::string>* found = nullptr;
    // A table that does not parse is not there; of two for one language the later wins.
    for (size_t i = 0; i < count; ++i) {
        if (embedded[i].languageId != languageId) continue;
        Parsed& entry = parsed[i];
        std::call_once(entry.once, [&] {
            entry.ok = ParseStringTable(std::string_view(embedded[i].text, embedded[i].size), entry.table);
            if (!entry.ok) entry.table.clear();
        });
        if (entry.ok) found = &entry.table;
    }
    return found;
}
