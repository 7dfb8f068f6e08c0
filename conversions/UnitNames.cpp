#include "conversions/UnitNames.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string_view>

#include "platform/FileText.h"

int CUnitNameTable::Load(const std::string& path)
{
    m_strings.clear();
    std::string text;
    int error = 0;
    if (!ReadFileText(path, text, error)) return 0;
    for (size_t start = 0; start < text.size();) {
        size_t stop = text.find('\n', start);
        if (stop == std::string::npos) stop = text.size();
        std::string line = text.substr(start, stop - start);
        start = stop + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        size_t eq = line.find('=');
        if (eq == std::string::npos || eq == 0) continue;
        errno = 0;
        char* end = nullptr;
        long id = std::strtol(line.c_str(), &end, 10);
        if (errno || end != line.c_str() + eq || id <= 0 || id > INT_MAX) continue;
        m_strings.emplace(static_cast<int>(id), line.substr(eq + 1));
    }
    return 1;
}

int CUnitNameTable::Find(int id, size_t maxChars, std::string& out) const
{
    auto it = m_strings.find(id);
    if (it == m_strings.end()) {
        out.clear();
        return 0;
    }
    out = CutUtf8(it->second, maxChars);
    return 1;
}

std::string CutUtf8(const std::string& text, size_t maxChars)
{
    size_t chars = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        bool starts = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (starts && chars++ == maxChars) return text.substr(0, i);
    }
    return text;
}

