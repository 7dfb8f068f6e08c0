#include "datafiles/IniStore.h"

#include "platform/AsciiCase.h"
#include "platform/AtomicFile.h"
#include "platform/FileText.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <locale.h>
#include <mutex>
#include <unistd.h>

namespace {

// Opening and creating files is serialised process-wide; everything else runs unlocked.
std::mutex g_fileLock;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string Trim(const std::string& text)
{
    size_t end = text.size();
    while (end > 0 && IsBlank(text[end - 1])) --end;
    size_t begin = 0;
    while (begin < end && IsBlank(text[begin])) ++begin;
    return text.substr(begin, end - begin);
}

// A pair written as "key=value" that the next read would take for a section
// header: a line that starts with "[" and ends with "]".
bool ReadsAsSection(const std::string& key, const std::string& value)
{
    const std::string last = Trim(value);
    return !key.empty() && key.front() == '[' && !last.empty() && last.back() == ']';
}

bool SameName(const std::string& a, const char* b)
{
    return SameAsciiNoCase(a, b);
}

// Splits at commas the way strtok does: empty pieces are skipped.
std::vector<std::string> SplitCommas(const std::string& text)
{
    std::vector<std::string> pieces;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t comma = text.find(',', pos);
        if (comma == std::string::npos) comma = text.size();
        if (comma > pos) pieces.push_back(text.substr(pos, comma - pos));
        pos = comma + 1;
    }
    return pieces;
}

// atoi as the C library does it (strtol, then narrowed), without atoi's overflow UB.
int ToInt(const std::string& text)
{
    return static_cast<int>(std::strtol(text.c_str(), nullptr, 10));
}

int PieceOr(const std::vector<std::string>& pieces, size_t i)
{
    return i < pieces.size() ? ToInt(pieces[i]) : -1;
}

} // namespace

CIniStore::CIniStore() = default;
CIniStore::~CIniStore() = default;

int CIniStore::Load(const char* path)
{
    if (!path) return 0;
    int fd;
    int error = 0;
    {
        std::lock_guard<std::mutex> lock(g_fileLock);
        fd = OpenDataFile(path, error);
    }
    if (fd < 0) return 0;
    // One byte more than is read tells a cut text from a whole one.
    std::string buffer(kMaxRead + 1, '\0');
    size_t got = 0;
    int ok = ReadUpTo(fd, buffer.data(), kMaxRead + 1, got);
    ::close(fd);
    if (!ok) return 0;
    buffer.resize(got);
    return LoadText(buffer);
}

int CIniStore::LoadText(std::string_view text)
{
    // Only the first 30,000 bytes are read, and the text ends at the first
    // zero byte, as a C string would.
    const size_t given = text.size();
    text = text.substr(0, kMaxRead);
    text = text.substr(0, text.find('\0'));

    Clear();
    stopLine_ = 0;
    whole_ = text.size() == given ? 1 : 0;
    // Lines split at LF with strtok semantics: runs of LF give no empty lines,
    // and a CR before the LF stays on the line. Two CR-only lines in a row end
    // the parse (the first line of the file does not count).
    int emptyRun = 0;
    bool first = true;
    size_t pos = 0;
    int lineNo = 1;
    while (true) {
        for (; pos < text.size() && text[pos] == '\n'; ++pos) ++lineNo;
        if (pos >= text.size()) break;
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string line(text.substr(pos, end - pos));
        pos = end;
        if (!first) {
            emptyRun = (line == "\r") ? emptyRun + 1 : 0;
            if (emptyRun == 2) {
                stopLine_ = lineNo;
                // Two CR-only lines at the very end lose nothing.
                if (text.find_first_not_of("\r\n", end) != std::string_view::npos) whole_ = 0;
                break;
            }
        }
        first = false;
        ParseLine(line, lineNo);
    }
    return 1;
}

void CIniStore::ParseLine(const std::string& raw, int lineNo)
{
    std::string line = Trim(raw);
    if (line.empty()) return;
    size_t equals = line.find('=');
    const bool header = line.size() >= 2 && line.front() == '[' && line.back() == ']';
    if (header && sections_.size() < static_cast<size_t>(kMaxSections)) {
        Section section;
        if (line.size() - 2 > kMaxValue) whole_ = 0;
        section.name = line.substr(1, std::min(line.size() - 2, kMaxValue));
        section.line = lineNo;
        sections_.push_back(std::move(section));
        return;
    }
    if (header) whole_ = 0; // past the last section a file may hold
    if (equals == std::string::npos || equals == 0 || sections_.empty()) {
        if (line.front() != ';' && line.front() != '#') whole_ = 0;
        return;
    }
    Pair pair{Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)), lineNo};
    if (pair.key.size() > kMaxKey) {
        whole_ = 0;
        return;
    }
    // A cut may end on a blank, which the next read would drop: drop it now.
    // Nor may it end the line on "]" after a key that starts with "[": the
    // saved line would come back as a section header.
    if (pair.value.size() > kMaxValue) {
        whole_ = 0;
        pair.value = Trim(pair.value.substr(0, kMaxValue));
        while (ReadsAsSection(pair.key, pair.value)) pair.value = Trim(pair.value.substr(0, pair.value.size() - 1));
    }
    Section& current = sections_.back();
    if (current.pairs.size() < static_cast<size_t>(kMaxPairs))
        current.pairs.push_back(std::move(pair));
    else
        whole_ = 0;
}

const CIniStore::Pair* CIniStore::Find(const char* section, const char* key) const
{
    if (!section || !key) return nullptr;
    int s = FindSection(section);
    if (s < 0) return nullptr;
    int k = FindKey(s, key);
    return k < 0 ? nullptr : &sections_[static_cast<size_t>(s)].pairs[static_cast<size_t>(k)];
}

int CIniStore::GetString(std::string& out, const char* section, const char* key, const char* def)
{
    const Pair* pair = Find(section, key);
    if (pair) {
        out = pair->value;
        return 1;
    }
    out = def ? def : "";
    return 0;
}

int CIniStore::GetInt(int& out, const char* section, const char* key, int def)
{
    std::string text;
    int found = GetString(text, section, key, std::to_string(def).c_str());
    out = ToInt(text);
    return found;
}

int CIniStore::GetIntPair(int& x, int& y, const char* section, const char* key, int defX, int defY)
{
    const Pair* pair = Find(section, key);
    if (!pair) {
        x = defX;
        y = defY;
        return 0;
    }
    std::vector<std::string> pieces = SplitCommas(pair->value);
    x = PieceOr(pieces, 0);
    y = PieceOr(pieces, 1);
    return 1;
}

int CIniStore::GetColor(uint32_t& out, const char* section, const char* key, uint32_t def)
{
    const Pair* pair = Find(section, key);
    if (!pair) {
        out = def;
        return 0;
    }
    std::vector<std::string> pieces = SplitCommas(pair->value);
    uint32_t red = static_cast<uint32_t>(PieceOr(pieces, 0)) & 0xFF;
    uint32_t green = static_cast<uint32_t>(PieceOr(pieces, 1)) & 0xFF;
    uint32_t blue = static_cast<uint32_t>(PieceOr(pieces, 2)) & 0xFF;
    out = red | (green << 8) | (blue << 16);
    return 1;
}

int CIniStore::GetDouble(double& out, const char* section, const char* key, double def)
{
    const Pair* pair = Find(section, key);
    if (!pair) {
        out = def;
        return 0;
    }
    // Data files use "." whatever LC_NUMERIC the process runs under.
    static locale_t c = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(0));
    out = c ? strtod_l(pair->value.c_str(), nullptr, c) : std::strtod(pair->value.c_str(), nullptr);
    return 1;
}

int CIniStore::SetValue(const char* section, const char* key, const char* value)
{
    if (!section || !key || !value) return 0;
    // A line break inside a value would split it into other lines of the file.
    if (std::strpbrk(value, "\r\n")) return 0;
    int s = FindSection(section);
    if (s < 0) return 0;
    int k = FindKey(s, key);
    if (k < 0) return 0;
    // The saved pair would read back as a section header.
    if (ReadsAsSection(key, std::string(value).substr(0, kMaxValue))) return 0;
    Pair& pair = sections_[static_cast<size_t>(s)].pairs[static_cast<size_t>(k)];
    pair.key = key;
    pair.value = value;
    if (pair.value.size() > kMaxValue) pair.value.resize(kMaxValue);
    return 1;
}

int CIniStore::AddValue(const char* section, const char* key, const char* value)
{
    if (SetValue(section, key, value)) return 1;
    if (!section || !key || !value || std::strpbrk(value, "\r\n")) return 0;
    const std::string name = key;
    if (name.empty() || name.size() > kMaxKey || name.find_first_of("=\r\n") != std::string::npos) return 0;
    if (name != Trim(name) || *section == '\0' || std::strpbrk(section, "]\r\n")) return 0;
    if (ReadsAsSection(name, std::string(value).substr(0, kMaxValue))) return 0;
    int s = FindSection(section);
    if (s < 0) {
        if (sections_.size() >= static_cast<size_t>(kMaxSections)) return 0;
        sections_.push_back(Section{std::string(section).substr(0, kMaxValue), {}, 0});
        s = static_cast<int>(sections_.size()) - 1;
    }
    Section& target = sections_[static_cast<size_t>(s)];
    if (target.pairs.size() >= static_cast<size_t>(kMaxPairs)) return 0;
    target.pairs.push_back(Pair{name, std::string(value).substr(0, kMaxValue), 0});
    return 1;
}

int CIniStore::Save(const char* path)
{
    if (!path) return 0;
    std::string text;
    for (const Section& section : sections_) {
        text += '[';
        text += section.name;
        text += "]\r\n";
        for (const Pair& pair : section.pairs) {
            text += pair.key;
            text += '=';
            text += pair.value;
            text += "\r\n";
        }
        text += "\r\n";
    }
    // Line ends and blank lines may make the saved text longer than the
    // text read: a file the next Load would read only in part (losing the
    // rest at the save after that) is not written at all.
    if (text.size() > kMaxRead) {
        errno = EFBIG;
        return 0;
    }
    // The temporary file has a unique name, so saving needs no lock.
    return WriteFileAtomically(path, text);
}

void CIniStore::Clear()
{
    sections_.clear();
}

int CIniStore::FindSection(const char* name) const
{
    if (!name) return -1;
    for (size_t i = 0; i < sections_.size(); ++i)
        if (SameName(sections_[i].name, name)) return static_cast<int>(i);
    return -1;
}

int CIniStore::SectionLine(int section) const
{
    return section >= 0 && static_cast<size_t>(section) < sections_.size() ? sections_[static_cast<size_t>(section)].line : 0;
}

int CIniStore::KeyLine(int section, int key) const
{
    if (section < 0 || static_cast<size_t>(section) >= sections_.size()) return 0;
    const std::vector<Pair>& pairs = sections_[static_cast<size_t>(section)].pairs;
    return key >= 0 && static_cast<size_t>(key) < pairs.size() ? pairs[static_cast<size_t>(key)].line : 0;
}

int CIniStore::FindKey(int section, const char* key) const
{
    if (!key || section < 0 || static_cast<size_t>(section) >= sections_.size()) return -1;
    const std::vector<Pair>& pairs = sections_[static_cast<size_t>(section)].pairs;
    for (size_t i = 0; i < pairs.size(); ++i)
        if (SameName(pairs[i].key, key)) return static_cast<int>(i);
    return -1;
}
