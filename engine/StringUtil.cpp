#include "engine/StringUtil.h"

#include <algorithm>
#include <cstring>

namespace {
CStringUtil* g_stringUtil = nullptr;

// Clamps a possibly negative or too large index into 0..size.
size_t Clamp(int value, size_t size)
{
    if (value <= 0) return 0;
    return std::min(static_cast<size_t>(value), size);
}
}

CStringUtil* CStringUtil::GetInstance()
{
    if (!g_stringUtil) g_stringUtil = new CStringUtil();
    return g_stringUtil;
}

void CStringUtil::ReleaseInstance()
{
    delete g_stringUtil;
    g_stringUtil = nullptr;
}

int CStringUtil::Copy(std::string& dest, std::string_view src) const
{
    dest.assign(src.data(), src.size());
    return 1;
}

int CStringUtil::Append(std::string& dest, std::string_view src) const
{
    dest.append(src.data(), src.size());
    return 1;
}

int CStringUtil::Clear(std::string& text) const
{
    text.clear();
    return 1;
}

int CStringUtil::Length(std::string_view text) const
{
    return static_cast<int>(text.size());
}

int CStringUtil::Find(std::string_view text, std::string_view what, int from) const
{
    if (from < 0) from = 0;
    if (static_cast<size_t>(from) > text.size()) return -1;
    size_t at = text.find(what, static_cast<size_t>(from));
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

int CStringUtil::Left(std::string& dest, std::string_view text, int count) const
{
    dest.assign(text.data(), Clamp(count, text.size()));
    return 1;
}

int CStringUtil::Right(std::string& dest, std::string_view text, int count) const
{
    size_t n = Clamp(count, text.size());
    dest.assign(text.data() + text.size() - n, n);
    return 1;
}

int CStringUtil::Middle(std::string& dest, std::string_view text, int start, int count) const
{
    size_t from = Clamp(start, text.size());
    size_t n = Clamp(count, text.size() - from);
    dest.assign(text.data() + from, n);
    return 1;
}

int CStringUtil::Insert(std::string& text, int pos, std::string_view what) const
{
    if (pos < 0 || static_cast<size_t>(pos) > text.size()) return 0;
    text.insert(static_cast<size_t>(pos), what.data(), what.size());
    return 1;
}

int CStringUtil::Delete(std::string& text, int pos, int count) const
{
    if (pos < 0 || static_cast<size_t>(pos) >= text.size()) return 0;
    text.erase(static_cast<size_t>(pos), Clamp(count, text.size() - pos));
    return 1;
}

int CStringUtil::Compare(std::string_view a, std::string_view b) const
{
    size_t n = std::min(a.size(), b.size());
    int c = n ? std::memcmp(a.data(), b.data(), n) : 0;
    if (c != 0) return c < 0 ? -1 : 1;
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

int CStringUtil::ReplaceAll(std::string& text, std::string_view find, std::string_view with) const
{
    if (find.empty()) return 0;
    const bool restart = with.find(find) == std::string_view::npos;
    int count = 0;
    size_t from = 0;
    for (;;) {
        size_t at = text.find(find.data(), from, find.size());
        if (at == std::string::npos) return count;
        text.replace(at, find.size(), with.data(), with.size());
        ++count;
        // Restarting at the beginning finds nothing before at - find.size() + 1:
        // that stretch is unchanged and held no occurrence, so the search may
        // resume there with the same outcome.
        if (restart)
            from = at >= find.size() - 1 ? at - (find.size() - 1) : 0;
        else
            from = at + with.size();
    }
}
