#pragma once
// Letter case of names (INI sections and keys, settings, skin file names,
// currency codes) folded by ASCII letters only. strcasecmp follows LC_CTYPE:
// under a Turkish locale "I" is not the capital of "i", and the window program
// runs under the user's locale.
#include <string_view>

constexpr char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr bool SameAsciiNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}
