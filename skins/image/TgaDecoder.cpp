// TGA: colour-mapped, true-colour and grey images, raw or run-length coded,
// any of the four origins. Alpha is honoured only where the header (and a
// TGA 2.0 extension area, when present) says the attribute bits are alpha.
#include <cstring>
#include <vector>

#include "skins/image/ImageFormats.h"

namespace {

constexpr size_t kHeader = 18;

struct TgaInfo {
    unsigned type = 0;  // 1 colour-mapped, 2 true colour, 3 grey
    bool rle = false;
    unsigned depth = 0, bytes = 0;
    int64_t width = 0, height = 0;
    bool topDown = false, rightToLeft = false;
    bool useAlpha = false, premultiplied = false;
    unsigned alphaBits = 0;
    unsigned mapFirst = 0;
    std::vector<uint32_t> map;       // colour-map entries, 0x00RRGGBB
    std::vector<uint8_t> mapAlpha;   // and their alpha
    size_t pixels = 0;               // offset of the image data
};

uint32_t Expand5(uint32_t v) { return (v * 255 + 15) / 31; }

// Colour of one stored value of the given depth (15/16/24/32), with alpha.
uint32_t TrueColor(const uint8_t* p, unsigned depth, uint8_t& alpha)
{
    alpha = 255;
    if (depth <= 16) {
        const uint32_t v = ReadLe16(p);
        // The attribute bit of 16-bit pixels is left alone: writers set it
        // at random, and viewers show such images opaque.
        return MakeRgb(Expand5((v >> 10) & 31), Expand5((v >> 5) & 31), Expand5(v & 31));
    }
    if (depth == 32) alpha = p[3];
    return MakeRgb(p[2], p[1], p[0]);
}

// Fewer than 8 attribute bits in a 32-bit pixel: they are the low bits of
// the byte, widened to a full byte.
uint8_t WidenAlpha(uint8_t a, unsigned bits)
{
    return bits >= 8 || bits == 0 ? a : uint8_t((a & ((1u << bits) - 1)) << (8 - bits));
}

// Attribute type of a TGA 2.0 extension area, or -1 without one.
int ExtensionAttributes(const uint8_t* d, size_t size)
{
    static const char kSig[] = "TRUEVISION-XFILE.";
    if (size < kHeader + 26 || std::memcmp(d + size - 18, kSig, 18) != 0) return -1;
    const uint32_t ext = ReadLe32(d + size - 26);
    if (ext == 0 || ext < kHeader || size - 26 < 495 || ext > size - 26 - 495) return -1;
    if (ReadLe16(d + ext) < 495) return -1;
    return d[ext + 494];
}

bool ParseHeader(const uint8_t* d, size_t size, TgaInfo& t)
{
    if (size < kHeader) return false;
    const unsigned idLen = d[0], mapType = d[1], type = d[2];
    t.type = type & 7;
    t.rle = (type & 8) != 0;
    if (mapType > 1 || t.type < 1 || t.type > 3 || (type & ~0xBu) != 0) return false;
    const unsigned mapLen = ReadLe16(d + 5), mapBits = d[7];
    t.mapFirst = ReadLe16(d + 3);
    t.width = ReadLe16(d + 12);
    t.height = ReadLe16(d + 14);
    t.depth = d[16];
    const unsigned desc = d[17], alphaBits = desc & 15;
    t.alphaBits = alphaBits;
    t.rightToLeft = (desc & 0x10) != 0;
    t.topDown = (desc & 0x20) != 0;
    if (!CSkinImage::SizeAllowed(t.width, t.height)) return false;
    if (t.type == 1 && (mapType != 1 || (t.depth != 8 && t.depth != 16))) return false;
    if (t.type == 2 && t.depth != 15 && t.depth != 16 && t.depth != 24 && t.depth != 32) return false;
    if (t.type == 3 && t.depth != 8 && t.depth != 16) return false;
    t.bytes = (t.depth + 7) / 8;
    size_t pos = kHeader + idLen;
    if (mapType == 1) {
        if (mapBits != 15 && mapBits != 16 && mapBits != 24 && mapBits != 32) return false;
        const size_t entry = (mapBits + 7) / 8;
        if (pos + size_t(mapLen) * entry > size) return false;
        if (t.type == 1) {
            for (unsigned i = 0; i < mapLen; ++i) {
                uint8_t a;
                t.map.push_back(TrueColor(d + pos + i * entry, mapBits, a));
                t.mapAlpha.push_back(a);
            }
        }
        pos += size_t(mapLen) * entry;
    }
    if (pos > size) return false;
    t.pixels = pos;
    const int attributes = ExtensionAttributes(d, size);
    t.useAlpha = alphaBits > 0 && attributes != 0 && attributes != 1;
    t.premultiplied = attributes == 4;
    return true;
}

// Colour and alpha of one pixel value as stored in the file.
uint32_t PixelColor(const TgaInfo& t, const uint8_t* p, uint8_t& alpha)
{
    alpha = 255;
    if (t.type == 2) {
        const uint32_t c = TrueColor(p, t.depth, alpha);
        if (t.depth == 32) alpha = WidenAlpha(alpha, t.alphaBits);
        return c;
    }
    if (t.type == 3) {
        if (t.depth == 16) alpha = p[1];
        return MakeRgb(p[0], p[0], p[0]);
    }
    const unsigned index = t.depth == 16 ? ReadLe16(p) : p[0];
    if (index < t.mapFirst || index - t.mapFirst >= t.map.size()) return CSkinImage::kBlack;
    alpha = t.mapAlpha[index - t.mapFirst];
    return t.map[index - t.mapFirst];
}

}  // namespace

bool IsPlausibleTga(const uint8_t* d, size_t size)
{
    TgaInfo t;
    if (!ParseHeader(d, size, t)) return false;
    // Raw data must be all there; a run-coded image needs at least one packet.
    return t.rle ? t.pixels < size : (size - t.pixels) / t.bytes >= size_t(t.width * t.height);
}

int DecodeTga(const uint8_t* data, size_t size, CSkinImage& out)
{
    out.Destroy();
    TgaInfo t;
    if (!ParseHeader(data, size, t)) return 0;
    const size_t count = size_t(t.width * t.height);
    // The data must be able to cover the image (a run packet holds at most
    // 128 pixels) before we allocate for it.
    if (!t.rle && (size - t.pixels) / t.bytes < count) return 0;
    if (t.rle && (size - t.pixels) / (1 + t.bytes) < (count + 127) / 128) return 0;
    if (!out.Create(int(t.width), int(t.height))) return 0;
    std::vector<uint8_t> alpha(count, 255);
    uint32_t* px = out.Pixels();
    auto place = [&](size_t i, uint32_t c, uint8_t a) {
        const size_t row = i / size_t(t.width), col = i % size_t(t.width);
        const size_t x = t.rightToLeft ? size_t(t.width) - 1 - col : col;
        const size_t y = t.topDown ? row : size_t(t.height) - 1 - row;
        px[y * size_t(t.width) + x] = c;
        alpha[y * size_t(t.width) + x] = a;
    };
    const uint8_t* p = data + t.pixels;
    const uint8_t* end = data + size;
    size_t i = 0;
    uint8_t a;
    if (!t.rle) {
        for (; i < count; ++i, p += t.bytes) {
            const uint32_t c = PixelColor(t, p, a);
            place(i, c, a);
        }
    } else {
        // Packets may cross scan lines; a stream cut short keeps what it drew.
        while (i < count && p < end) {
            const unsigned head = *p++;
            const size_t n = std::min<size_t>((head & 0x7F) + 1, count - i);
            if (head & 0x80) {
                if (size_t(end - p) < t.bytes) break;
                const uint32_t c = PixelColor(t, p, a);
                p += t.bytes;
                for (size_t k = 0; k < n; ++k) place(i++, c, a);
            } else {
                for (size_t k = 0; k < n && size_t(end - p) >= t.bytes; ++k, p += t.bytes) {
                    const uint32_t c = PixelColor(t, p, a);
                    place(i++, c, a);
                }
                if (size_t(end - p) < t.bytes && i < count) break;
            }
        }
    }
    bool any = false;
    for (uint8_t v : alpha) any |= v != 0;
    if (t.useAlpha && any && !t.premultiplied) {
        for (size_t k = 0; k < count; ++k)
            px[k] = OverBlack(px[k] >> 16, (px[k] >> 8) & 255, px[k] & 255, alpha[k]);
    }
    return 1;
}
