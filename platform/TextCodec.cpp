#include "platform/TextCodec.h"

#include <cstdint>

namespace {

// Unicode code points of the bytes 80 to 9F; 0 marks the five unassigned ones.
constexpr uint16_t kHigh[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

uint32_t CodePointOf(unsigned char b)
{
    if (b >= 0x80 && b <= 0x9F && kHigh[b - 0x80] != 0) return kHigh[b - 0x80];
    return b;
}

void AppendUtf8(std::string& out, uint32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

int ByteFor(uint32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == cp) return 0x80 + i;
    if (cp >= 0x80 && cp <= 0x9F && kHigh[cp - 0x80] == 0) return static_cast<int>(cp);
    return -1;
}

} // namespace

std::string Cp1252ToUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    for (unsigned char b : text) AppendUtf8(out, CodePointOf(b));
    return out;
}

std::string Utf8ToCp1252(std::string_view text, bool* lossless)
{
    std::string out;
    out.reserve(text.size());
    bool ok = true;
    size_t i = 0;
    while (i < text.size()) {
        unsigned char b = static_cast<unsigned char>(text[i]);
        uint32_t cp = 0;
        size_t len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        bool valid = len != 0 && i + len <= text.size();
        if (valid) {
            cp = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
            for (size_t k = 1; k < len && valid; ++k) {
                unsigned char c = static_cast<unsigned char>(text[i + k]);
                valid = (c & 0xC0) == 0x80;
                cp = (cp << 6) | (c & 0x3F);
            }
        }
        if (!valid) {
            out += '?';
            ok = false;
            ++i;
            continue;
        }
        int byte = ByteFor(cp);
        if (byte < 0) {
            out += '?';
            ok = false;
        } else {
            out += static_cast<char>(byte);
        }
        i += len;
    }
    if (lossless) *lossless = ok;
    return out;
}
