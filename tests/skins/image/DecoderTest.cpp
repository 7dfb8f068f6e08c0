// Our own decoders on small images built here byte by byte: every BMP
// variant, TGA origins and runs, PCX planes, WBMP, icons with masks, format
// detection by content, the size limits, and survival of every prefix.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "skins/image/ImageDecoder.h"
#include "skins/image/ImageFormats.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The test picture: 5 x 3 pixels of colours that every format can hold exactly.
constexpr int kW = 5, kH = 3;
const uint32_t kPicture[kH][kW] = {
    {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000},
    {0x000000, 0xFF0000, 0xFF0000, 0x00FF00, 0xFFFFFF},
    {0x0000FF, 0x0000FF, 0x000000, 0xFF00FF, 0x00FFFF},
};
const uint32_t kPalette[] = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0xFF00FF, 0x00FFFF};

int Index(uint32_t c)
{
    for (int i = 0; i < 7; ++i)
        if (kPalette[i] == c) return i;
    return 0;
}

void Put16(Bytes& b, uint32_t v) { b.push_back(uint8_t(v)); b.push_back(uint8_t(v >> 8)); }
void Put32(Bytes& b, uint32_t v) { Put16(b, v & 0xFFFF); Put16(b, v >> 16); }
void Pad4(Bytes& b, size_t rowStart) { while ((b.size() - rowStart) % 4) b.push_back(0); }

struct BmpVariant {
    const char* name;
    int bpp;
    uint32_t compression;  // 0 plain, 1 RLE8, 2 RLE4, 3 bit fields
    bool topDown;
    bool coreHeader;        // OS/2 12-byte header, 3-byte palette entries
    uint32_t masks[3];      // for bit fields
};

uint32_t Pack(uint32_t c, const uint32_t masks[3])
{
    uint32_t v = 0;
    for (int i = 0; i < 3; ++i) {
        const uint32_t m = masks[i], comp = (c >> (16 - 8 * i)) & 255;
        if (!m) continue;
        const int shift = __builtin_ctz(m);
        const uint32_t max = m >> shift;
        v |= ((comp * max + 127) / 255) << shift;
    }
    return v;
}

// Pixel rows of the picture in file order, encoded as the variant says.
Bytes BmpPixels(const BmpVariant& s)
{
    Bytes b;
    for (int r = 0; r < kH; ++r) {
        const int y = s.topDown ? r : kH - 1 - r;
        const size_t start = b.size();
        if (s.compression == 1) {  // RLE8: one run per pixel pair where equal, literals otherwise
            for (int x = 0; x < kW; ++x) { b.push_back(1); b.push_back(uint8_t(Index(kPicture[y][x]))); }
            b.push_back(0); b.push_back(0);
            continue;
        }
        if (s.compression == 2) {  // RLE4: an absolute run of all five, padded to a word
            b.push_back(0); b.push_back(kW);
            for (int x = 0; x < kW; x += 2)
                b.push_back(uint8_t(Index(kPicture[y][x]) << 4 | (x + 1 < kW ? Index(kPicture[y][x + 1]) : 0)));
            if (b.size() % 2) b.push_back(0);
            b.push_back(0); b.push_back(0);
            continue;
        }
        uint32_t acc = 0;
        int bits = 0;
        for (int x = 0; x < kW; ++x) {
            const uint32_t c = kPicture[y][x];
            if (s.bpp <= 8) {
                acc = acc << s.bpp | uint32_t(Index(c));
                bits += s.bpp;
                if (bits == 8) { b.push_back(uint8_t(acc)); acc = 0; bits = 0; }
            } else if (s.bpp == 24) {
                b.push_back(uint8_t(c)); b.push_back(uint8_t(c >> 8)); b.push_back(uint8_t(c >> 16));
            } else {
                const uint32_t defaults16[3] = {0x7C00, 0x03E0, 0x001F}, defaults32[3] = {0xFF0000, 0xFF00, 0xFF};
                const uint32_t* m = s.compression == 3 ? s.masks : (s.bpp == 16 ? defaults16 : defaults32);
                const uint32_t v = Pack(c, m);
                if (s.bpp == 16) Put16(b, v); else Put32(b, v);
            }
        }
        if (bits) b.push_back(uint8_t(acc << (8 - bits)));
        Pad4(b, start);
    }
    if (s.compression == 1 || s.compression == 2) { b.push_back(0); b.push_back(1); }
    return b;
}

Bytes Dib(const BmpVariant& s, int width = kW, int height = kH)
{
    Bytes b;
    const int h = s.topDown ? -height : height;
    if (s.coreHeader) {
        Put32(b, 12); Put16(b, uint32_t(width)); Put16(b, uint32_t(height)); Put16(b, 1); Put16(b, uint32_t(s.bpp));
    } else {
        Put32(b, 40); Put32(b, uint32_t(width)); Put32(b, uint32_t(h)); Put16(b, 1); Put16(b, uint32_t(s.bpp));
        Put32(b, s.compression); Put32(b, 0); Put32(b, 2835); Put32(b, 2835);
        Put32(b, s.bpp <= 8 ? 7 : 0); Put32(b, 0);
        if (s.compression == 3) for (uint32_t m : s.masks) Put32(b, m);
    }
    if (s.bpp <= 8) {
        const int entries = s.coreHeader ? 1 << s.bpp : 7;
        for (int i = 0; i < entries; ++i) {
            const uint32_t c = i < 7 ? kPalette[i] : 0;
            b.push_back(uint8_t(c)); b.push_back(uint8_t(c >> 8)); b.push_back(uint8_t(c >> 16));
            if (!s.coreHeader) b.push_back(0);
        }
    }
    return b;
}

Bytes Bmp(const BmpVariant& s)
{
    Bytes dib = Dib(s), px = BmpPixels(s), b = {'B', 'M'};
    Put32(b, uint32_t(14 + dib.size() + px.size())); Put32(b, 0); Put32(b, uint32_t(14 + dib.size()));
    b.insert(b.end(), dib.begin(), dib.end());
    b.insert(b.end(), px.begin(), px.end());
    return b;
}

void ExpectPicture(const CSkinImage& img, const std::string& what)
{
    ASSERT_EQ(img.Width(), kW) << what;
    ASSERT_EQ(img.Height(), kH) << what;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) EXPECT_EQ(img.GetPixel(x, y), kPicture[y][x]) << what << " at " << x << "," << y;
}

const BmpVariant kBmpVariants[] = {
    {"24-bit bottom-up", 24, 0, false, false, {}},
    {"24-bit top-down", 24, 0, true, false, {}},
    {"32-bit", 32, 0, false, false, {}},
    {"32-bit bit fields", 32, 3, false, false, {0x0000FF00, 0x00FF0000, 0xFF000000}},
    {"32-bit 10-bit fields", 32, 3, true, false, {0x3FF00000, 0x000FFC00, 0x000003FF}},
    {"16-bit 5-5-5", 16, 0, false, false, {}},
    {"16-bit 5-6-5 bit fields", 16, 3, false, false, {0xF800, 0x07E0, 0x001F}},
    {"8-bit palette", 8, 0, false, false, {}},
    {"8-bit top-down", 8, 0, true, false, {}},
    {"4-bit palette", 4, 0, false, false, {}},
    {"8-bit OS/2 header", 8, 0, false, true, {}},
    {"4-bit OS/2 header", 4, 0, false, true, {}},
    {"RLE8", 8, 1, false, false, {}},
    {"RLE4", 4, 2, false, false, {}},
};

TEST(BmpDecoder, EveryVariantGivesThePicture)
{
    for (const BmpVariant& s : kBmpVariants) {
        const Bytes file = Bmp(s);
        CSkinImage img;
        ASSERT_EQ(DecodeImage(file.data(), file.size(), img), 1) << s.name;
        ExpectPicture(img, s.name);
    }
}

TEST(BmpDecoder, OneBitUsesItsTwoColours)
{
    // pal1: black/white picture from a two-entry palette, 9 pixels wide (two bytes a row).
    Bytes b = {'B', 'M'};
    Put32(b, 0); Put32(b, 0); Put32(b, 14 + 40 + 8);
    Put32(b, 40); Put32(b, 9); Put32(b, 2); Put16(b, 1); Put16(b, 1);
    for (int i = 0; i < 6; ++i) Put32(b, 0);
    Put32(b, 0x00102030); Put32(b, 0x00A0B0C0);
    const uint8_t rows[2][4] = {{0x80, 0x80, 0, 0}, {0x55, 0x00, 0, 0}};  // bottom row first
    for (auto& r : rows) b.insert(b.end(), r, r + 4);
    CSkinImage img;
    ASSERT_EQ(DecodeBmp(b.data(), b.size(), img), 1);
    EXPECT_EQ(img.GetPixel(0, 1), 0xA0B0C0u);
    EXPECT_EQ(img.GetPixel(1, 1), 0x102030u);
    EXPECT_EQ(img.GetPixel(8, 1), 0xA0B0C0u);
    EXPECT_EQ(img.GetPixel(1, 0), 0xA0B0C0u);
    EXPECT_EQ(img.GetPixel(0, 0), 0x102030u);
}

TEST(BmpDecoder, RleRunsAreClippedAndDeltasLeaveBlack)
{
    struct Case { const char* name; Bytes stream; std::vector<std::pair<int, uint32_t>> bottomRow; };
    const Case cases[] = {
        {"run longer than the row stops at its end", {9, 1, 0, 0, 2, 2, 0, 1}, {{0, 0xFF0000}, {4, 0xFF0000}}},
        {"delta skips pixels, which stay black", {1, 1, 0, 2, 2, 0, 1, 3, 0, 1}, {{0, 0xFF0000}, {1, 0}, {2, 0}, {3, 0x0000FF}}},
        {"stream ending early keeps what it drew", {2, 2}, {{0, 0x00FF00}, {1, 0x00FF00}, {2, 0}}},
        {"end of line moves up", {1, 1, 0, 0, 1, 3, 0, 1}, {{0, 0xFF0000}, {1, 0}}},
    };
    for (const Case& c : cases) {
        BmpVariant s{"rle", 8, 1, false, false, {}};
        Bytes dib = Dib(s), b = {'B', 'M'};
        Put32(b, 0); Put32(b, 0); Put32(b, uint32_t(14 + dib.size()));
        b.insert(b.end(), dib.begin(), dib.end());
        b.insert(b.end(), c.stream.begin(), c.stream.end());
        CSkinImage img;
        ASSERT_EQ(DecodeBmp(b.data(), b.size(), img), 1) << c.name;
        for (auto [x, color] : c.bottomRow) EXPECT_EQ(img.GetPixel(x, kH - 1), color) << c.name << " x=" << x;
    }
}

TEST(BmpDecoder, HostileHeadersAreRefused)
{
    struct Case { const char* name; int width, height, bpp; uint32_t compression; uint16_t planes; };
    const Case cases[] = {
        {"wider than 8192", 8193, 1, 24, 0, 1},     {"taller than 8192", 1, -8193, 24, 0, 1},
        {"over 16.7 million pixels", 4097, 4097, 8, 0, 1}, {"zero width", 0, 5, 24, 0, 1},
        {"negative width", -5, 5, 24, 0, 1},         {"zero height", 5, 0, 24, 0, 1},
        {"bit count 7", 5, 3, 7, 0, 1},              {"bit count 64", 5, 3, 64, 0, 1},
        {"two planes", 5, 3, 24, 0, 2},              {"RLE8 at 4 bits", 5, 3, 4, 1, 1},
        {"unknown compression", 5, 3, 24, 9, 1},     {"height -2^31", 5, INT32_MIN, 24, 0, 1},
        {"pixel data missing", 5, 3, 24, 0, 1},
    };
    for (const Case& c : cases) {
        Bytes b = {'B', 'M'};
        Put32(b, 0); Put32(b, 0); Put32(b, 14 + 40);
        Put32(b, 40); Put32(b, uint32_t(c.width)); Put32(b, uint32_t(c.height)); Put16(b, c.planes); Put16(b, uint32_t(c.bpp));
        Put32(b, c.compression);
        for (int i = 0; i < 5; ++i) Put32(b, 0);
        b.resize(b.size() + 8, 0);  // a little pixel data, far too little for any of these
        CSkinImage img;
        EXPECT_EQ(DecodeImage(b.data(), b.size(), img), 0) << c.name;
        EXPECT_TRUE(img.IsEmpty()) << c.name;
    }
}

TEST(BmpDecoder, AlphaIsUsedOnlyWhenSomePixelHasIt)
{
    // 32-bit with an alpha mask: all-zero alpha means "opaque" (a writer that
    // left the byte unset); real alpha is laid over black.
    const struct { uint8_t alpha; uint32_t expected; } cases[] = {{0, 0x804020}, {255, 0x804020}, {128, 0x402010}};
    for (const auto& c : cases) {
        Bytes b = {'B', 'M'};
        Put32(b, 0); Put32(b, 0); Put32(b, 14 + 56);
        Put32(b, 56); Put32(b, 2); Put32(b, 1); Put16(b, 1); Put16(b, 32); Put32(b, 3);
        for (int i = 0; i < 5; ++i) Put32(b, 0);
        Put32(b, 0xFF0000); Put32(b, 0xFF00); Put32(b, 0xFF); Put32(b, 0xFF000000);
        Put32(b, uint32_t(c.alpha) << 24 | 0x804020); Put32(b, uint32_t(c.alpha) << 24 | 0x804020);
        CSkinImage img;
        ASSERT_EQ(DecodeBmp(b.data(), b.size(), img), 1);
        EXPECT_EQ(img.GetPixel(0, 0), c.expected) << int(c.alpha);
    }
}

// TGA of the picture, true colour 24-bit, with the given origin and coding.
Bytes Tga(bool topDown, bool rightToLeft, bool rle)
{
    Bytes b = {0, 0, uint8_t(rle ? 10 : 2), 0, 0, 0, 0, 0, 0, 0, 0, 0};
    Put16(b, kW); Put16(b, kH);
    b.push_back(24);
    b.push_back(uint8_t((topDown ? 0x20 : 0) | (rightToLeft ? 0x10 : 0)));
    std::vector<uint32_t> seq;
    for (int r = 0; r < kH; ++r)
        for (int c = 0; c < kW; ++c) {
            const int y = topDown ? r : kH - 1 - r, x = rightToLeft ? kW - 1 - c : c;
            seq.push_back(kPicture[y][x]);
        }
    auto pixel = [&](uint32_t c) { b.push_back(uint8_t(c)); b.push_back(uint8_t(c >> 8)); b.push_back(uint8_t(c >> 16)); };
    if (!rle) {
        for (uint32_t c : seq) pixel(c);
        return b;
    }
    // Runs for equal neighbours, raw packets otherwise; packets may span rows.
    for (size_t i = 0; i < seq.size();) {
        size_t n = 1;
        while (i + n < seq.size() && seq[i + n] == seq[i] && n < 128) ++n;
        if (n > 1) { b.push_back(uint8_t(0x80 | (n - 1))); pixel(seq[i]); i += n; continue; }
        size_t m = 1;
        while (i + m < seq.size() && m < 128 && !(i + m + 1 < seq.size() && seq[i + m] == seq[i + m + 1])) ++m;
        b.push_back(uint8_t(m - 1));
        for (size_t k = 0; k < m; ++k) pixel(seq[i + k]);
        i += m;
    }
    return b;
}

TEST(TgaDecoder, AllOriginsRawAndRunCoded)
{
    for (int rle = 0; rle < 2; ++rle)
        for (int top = 0; top < 2; ++top)
            for (int rtl = 0; rtl < 2; ++rtl) {
                const Bytes b = Tga(top, rtl, rle);
                CSkinImage img;
                const std::string what = std::string(rle ? "rle" : "raw") + (top ? " top" : " bottom") + (rtl ? " right" : " left");
                ASSERT_EQ(DecodeImage(b.data(), b.size(), img), 1) << what;
                ExpectPicture(img, what);
            }
}

TEST(TgaDecoder, ColourMappedWithFirstIndexOffset)
{
    // Map entries start at index 10; index 9 lies before the map and shows black.
    Bytes b = {0, 1, 1};
    Put16(b, 10); Put16(b, 2); b.push_back(24);
    Put16(b, 0); Put16(b, 0); Put16(b, 3); Put16(b, 1); b.push_back(8); b.push_back(0x20);
    b.insert(b.end(), {0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00});  // red, blue (BGR)
    b.insert(b.end(), {10, 11, 9});
    CSkinImage img;
    ASSERT_EQ(DecodeTga(b.data(), b.size(), img), 1);
    EXPECT_EQ(img.GetPixel(0, 0), 0xFF0000u);
    EXPECT_EQ(img.GetPixel(1, 0), 0x0000FFu);
    EXPECT_EQ(img.GetPixel(2, 0), 0u);
}

TEST(TgaDecoder, BadHeadersAreRefused)
{
    struct Case { const char* name; uint8_t mapType, type, depth; uint16_t w, h; size_t data; };
    const Case cases[] = {
        {"no image data type", 0, 0, 24, 2, 2, 12}, {"unknown type", 0, 4, 24, 2, 2, 12},
        {"depth 20", 0, 2, 20, 2, 2, 12},          {"colour-mapped without map", 0, 1, 8, 2, 2, 4},
        {"zero width", 0, 2, 24, 0, 2, 12},        {"wider than 8192", 0, 10, 24, 9000, 1, 12},
        {"raw data short", 0, 2, 24, 2, 2, 11},
    };
    for (const Case& c : cases) {
        Bytes b = {0, c.mapType, c.type, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        Put16(b, c.w); Put16(b, c.h); b.push_back(c.depth); b.push_back(0);
        b.resize(b.size() + c.data, 0x40);
        CSkinImage img;
        EXPECT_EQ(DecodeTga(b.data(), b.size(), img), 0) << c.name;
    }
}

Bytes PcxHeader(uint8_t bpp, uint8_t planes, uint16_t w, uint16_t h, uint16_t bytesPerLine)
{
    Bytes b(128, 0);
    b[0] = 0x0A; b[1] = 5; b[2] = 1; b[3] = bpp;
    b[8] = uint8_t(w - 1); b[9] = uint8_t((w - 1) >> 8); b[10] = uint8_t(h - 1); b[11] = uint8_t((h - 1) >> 8);
    for (int i = 0; i < 7; ++i) {  // 16-colour header palette
        b[16 + 3 * i] = uint8_t(kPalette[i] >> 16); b[17 + 3 * i] = uint8_t(kPalette[i] >> 8); b[18 + 3 * i] = uint8_t(kPalette[i]);
    }
    b[65] = planes; b[66] = uint8_t(bytesPerLine); b[67] = uint8_t(bytesPerLine >> 8);
    return b;
}

// Byte stream of PCX run-length coding: runs for everything (always legal).
void PcxRuns(Bytes& b, const Bytes& raw)
{
    for (size_t i = 0; i < raw.size();) {
        size_t n = 1;
        while (i + n < raw.size() && raw[i + n] == raw[i] && n < 63) ++n;
        if (n > 1 || raw[i] >= 0xC0) b.push_back(uint8_t(0xC0 | n));
        b.push_back(raw[i]);
        i += n;
    }
}

TEST(PcxDecoder, PalettedPlanarAndPackedLayouts)
{
    struct Case { const char* name; uint8_t bpp, planes; };
    const Case cases[] = {{"8-bit with 256-colour table", 8, 1}, {"24-bit planar", 8, 3}, {"4-bit packed", 4, 1},
                          {"4 planes of 1 bit", 1, 4}, {"3 planes of 1 bit", 1, 3}};
    for (const Case& c : cases) {
        const uint16_t bpl = uint16_t(((kW * c.bpp + 7) / 8 + 1) & ~1);  // even, as writers keep it
        Bytes b = PcxHeader(c.bpp, c.planes, kW, kH, bpl), raw;
        for (int y = 0; y < kH; ++y) {
            for (int p = 0; p < c.planes; ++p) {
                Bytes line(bpl, 0);
                for (int x = 0; x < kW; ++x) {
                    const uint32_t col = kPicture[y][x];
                    const int idx = Index(col);
                    if (c.bpp == 8 && c.planes == 3) line[x] = uint8_t(col >> (16 - 8 * p));
                    else if (c.bpp == 8) line[x] = uint8_t(idx);
                    else if (c.bpp == 4) line[x / 2] |= uint8_t(idx << ((x & 1) ? 0 : 4));
                    else line[x / 8] |= uint8_t(((idx >> p) & 1) << (7 - x % 8));
                }
                raw.insert(raw.end(), line.begin(), line.end());
            }
        }
        PcxRuns(b, raw);  // runs cross line ends: the decoder must carry them over
        if (c.bpp == 8 && c.planes == 1) {
            b.push_back(0x0C);
            for (int i = 0; i < 256; ++i) {
                const uint32_t col = i < 7 ? kPalette[i] : 0x123456;
                b.push_back(uint8_t(col >> 16)); b.push_back(uint8_t(col >> 8)); b.push_back(uint8_t(col));
            }
        }
        CSkinImage img;
        ASSERT_EQ(DecodeImage(b.data(), b.size(), img), 1) << c.name;
        ExpectPicture(img, c.name);
    }
}

TEST(PcxDecoder, BadHeadersAreRefused)
{
    struct Case { const char* name; uint8_t bpp, planes; uint16_t w, bytesPerLine; };
    const Case cases[] = {{"bytes per line too small", 8, 1, 16, 8}, {"bit depth 3", 3, 1, 4, 4},
                          {"8 bits in 2 planes", 8, 2, 4, 4}, {"wider than 8192", 8, 1, 9000, 9000}};
    for (const Case& c : cases) {
        Bytes b = PcxHeader(c.bpp, c.planes, c.w, 1, c.bytesPerLine);
        b.resize(b.size() + 64, 0x01);
        CSkinImage img;
        EXPECT_EQ(DecodePcx(b.data(), b.size(), img), 0) << c.name;
    }
}

TEST(WbmpDecoder, OneBitRowsPaddedToBytes)
{
    // 10 x 2: multi-byte width field not needed; rows are two bytes each.
    const Bytes b = {0, 0, 10, 2, 0xC0, 0x40, 0x01, 0x80};
    CSkinImage img;
    ASSERT_EQ(DecodeImage(b.data(), b.size(), img), 1);
    const uint32_t W = CSkinImage::kWhite;
    const uint32_t expected[2][10] = {{W, W, 0, 0, 0, 0, 0, 0, 0, W}, {0, 0, 0, 0, 0, 0, 0, W, W, 0}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 10; ++x) EXPECT_EQ(img.GetPixel(x, y), expected[y][x]) << x << "," << y;
    // A 200-pixel width takes two bytes: 0x81 0x48.
    Bytes wide = {0, 0, 0x81, 0x48, 1};
    wide.resize(wide.size() + 25, 0xFF);
    ASSERT_EQ(DecodeWbmp(wide.data(), wide.size(), img), 1);
    EXPECT_EQ(img.Width(), 200);
    const Bytes refused[] = {{0, 0, 10, 2, 0xC0}, {1, 0, 1, 1, 0}, {0, 0x80, 1, 1, 0}, {0, 0, 0x81, 0xC1, 0x80, 0x81, 1, 0}};
    for (const Bytes& r : refused) EXPECT_EQ(DecodeWbmp(r.data(), r.size(), img), 0);
}

// An icon directory with the given DIB entries (each: the picture at 24 bits
// plus an AND mask that makes the last column transparent).
Bytes Icon(int entries)
{
    Bytes entry = Dib({"ico", 24, 0, false, false, {}}, kW, 2 * kH), px = BmpPixels({"ico", 24, 0, false, false, {}});
    entry.insert(entry.end(), px.begin(), px.end());
    for (int r = 0; r < kH; ++r) Put32(entry, 0x08);  // first byte 0x08: x = 4 (MSB first); rows padded to 4 bytes
    Bytes b;
    Put16(b, 0); Put16(b, 1); Put16(b, uint32_t(entries));
    for (int i = 0; i < entries; ++i) {
        b.push_back(kW); b.push_back(kH); b.push_back(0); b.push_back(0); Put16(b, 1); Put16(b, 24);
        Put32(b, uint32_t(entry.size())); Put32(b, uint32_t(6 + 16 * entries + i * entry.size()));
    }
    for (int i = 0; i < entries; ++i) b.insert(b.end(), entry.begin(), entry.end());
    return b;
}

TEST(IcoDecoder, AndMaskMakesPixelsBlack)
{
    const Bytes b = Icon(1);
    CSkinImage img;
    ASSERT_EQ(DecodeImage(b.data(), b.size(), img), 1);
    ASSERT_EQ(img.Width(), kW);
    ASSERT_EQ(img.Height(), kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) EXPECT_EQ(img.GetPixel(x, y), x == 4 ? 0u : kPicture[y][x]) << x << "," << y;
}

TEST(IcoDecoder, BrokenBestEntryFallsBackToTheNext)
{
    Bytes b = Icon(2);
    b[6] = 64; b[7] = 64;  // the first entry claims to be largest...
    const size_t first = ReadLe32(&b[6 + 12]);
    b[first + 14] = 7;     // ...but has an impossible bit count
    CSkinImage img;
    ASSERT_EQ(DecodeIco(b.data(), b.size(), img), 1);
    EXPECT_EQ(img.Width(), kW);
    b = Icon(1);
    b[2] = 3;  // neither icon nor cursor
    EXPECT_EQ(DecodeIco(b.data(), b.size(), img), 0);
}

TEST(ImageDecoder, FormatComesFromContentNotName)
{
    struct Case { Bytes head; EImageFormat format; };
    const Case cases[] = {
        {{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}, EImageFormat::Png},
        {{0xFF, 0xD8, 0xFF, 0xE0}, EImageFormat::Jpeg},
        {{'G', 'I', 'F', '8', '9', 'a'}, EImageFormat::Gif},
        {{'G', 'I', 'F', '8', '7', 'a'}, EImageFormat::Gif},
        {{'I', 'I', 42, 0}, EImageFormat::Tiff},
        {{'M', 'M', 0, 42}, EImageFormat::Tiff},
        {{0, 0, 0, 12, 'j', 'P', ' ', ' ', 0x0D, 0x0A, 0x87, 0x0A}, EImageFormat::Jpeg2000},
        {{0xFF, 0x4F, 0xFF, 0x51}, EImageFormat::Jpeg2000},
        {{'B', 'M', 0, 0}, EImageFormat::Bmp},
        {{0xD7, 0xCD, 0xC6, 0x9A}, EImageFormat::Wmf},
        {{0, 0, 1, 0, 1, 0}, EImageFormat::Ico},
        {{0, 0, 2, 0, 1, 0}, EImageFormat::Ico},
        {Tga(false, false, false), EImageFormat::Tga},
        {{0, 0, 2, 1, 0xFF, 0xFF}, EImageFormat::Wbmp},
        {{'h', 'e', 'l', 'l', 'o'}, EImageFormat::Unknown},
        {{}, EImageFormat::Unknown},
        {{0, 0, 0, 0}, EImageFormat::Unknown},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DetectImageFormat(c.head.data(), c.head.size()), c.format) << ImageFormatName(c.format);
    // A true-colour TGA whose (unused) colour-map fields make it start like a
    // cursor directory still decodes as the TGA it is.
    Bytes tga = Tga(false, false, false);
    tga[4] = 1;  // colour-map first index 256: bytes 0-5 read 00 00 02 00 01 00
    CSkinImage fromTga;
    ASSERT_EQ(DecodeImage(tga.data(), tga.size(), fromTga), 1);
    ExpectPicture(fromTga, "TGA that looks like a cursor");
    Bytes pcx = PcxHeader(8, 1, 2, 2, 2);
    EXPECT_EQ(DetectImageFormat(pcx.data(), pcx.size()), EImageFormat::Pcx);
    CSkinImage img;
    EXPECT_EQ(DecodeImage(nullptr, 0, img), 0);
    EXPECT_EQ(DecodeImageFile("/nonexistent/keys.bmp", img), 0);
}

TEST(WmfDecoder, HeaderClaimingARecordLargerThanTheFileIsRefused)
{
    // libwmf would allocate the declared largest record (here 4 GiB) up front.
    Bytes b;
    Put32(b, 0x9AC6CDD7); Put16(b, 0); Put16(b, 0); Put16(b, 0); Put16(b, 100); Put16(b, 100);
    Put16(b, 1440); Put32(b, 0); Put16(b, 0);
    Put16(b, 1); Put16(b, 9); Put16(b, 0x300); Put32(b, 100); Put16(b, 0); Put32(b, 0x7FFFFFFF); Put16(b, 0);
    Put32(b, 3); Put16(b, 0);
    CSkinImage img;
    EXPECT_EQ(DetectImageFormat(b.data(), b.size()), EImageFormat::Wmf);
    EXPECT_EQ(DecodeImage(b.data(), b.size(), img), 0);
    EXPECT_TRUE(img.IsEmpty());
}

TEST(ImageDecoder, FileWithAnyNameDecodesByContent)
{
    const std::string path = testing::TempDir() + "/picture.png";  // a BMP named .png
    const Bytes b = Bmp(kBmpVariants[0]);
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(b.data(), 1, b.size(), f);
    std::fclose(f);
    CSkinImage img;
    ASSERT_EQ(DecodeImageFile(path, img), 1);
    ExpectPicture(img, path);
    std::remove(path.c_str());
}

TEST(ImageDecoder, EveryPrefixOfOurImagesIsSurvived)
{
    std::vector<std::pair<std::string, Bytes>> files;
    for (const BmpVariant& s : kBmpVariants) files.push_back({s.name, Bmp(s)});
    files.push_back({"tga rle", Tga(true, true, true)});
    files.push_back({"tga raw", Tga(false, false, false)});
    files.push_back({"icon", Icon(2)});
    for (const auto& [name, bytes] : files) {
        for (size_t n = 0; n < bytes.size(); ++n) {
            // Copy the prefix so that any read past its end is a real overread.
            const Bytes prefix(bytes.begin(), bytes.begin() + long(n));
            CSkinImage img;
            const int ok = DecodeImage(prefix.data(), prefix.size(), img);
            EXPECT_EQ(ok, img.IsEmpty() ? 0 : 1) << name << " prefix " << n;
            if (ok) {
                EXPECT_LE(img.Width(), kW) << name << " prefix " << n;
                EXPECT_LE(img.Height(), kH) << name << " prefix " << n;
            }
        }
    }
}

}  // namespace
