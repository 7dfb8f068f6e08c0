// BMP and the device-independent bitmaps inside icons: Windows and OS/2
// headers, 1 to 32 bits per pixel, bit fields, RLE4/RLE8 (and OS/2 RLE24),
// bottom-up and top-down, and JPEG or PNG streams wrapped in a BMP header.
#include <bit>
#include <vector>

#include "skins/image/ImageFormats.h"

namespace {

enum : uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kJpeg = 4, kPng = 5, kAlphaBitFields = 6 };

struct Dib {
    int64_t width = 0;
    int64_t height = 0;  // rows of the image (an icon's mask excluded)
    bool topDown = false;
    unsigned bpp = 0;
    uint32_t compression = kRgb;
    bool rle24 = false;
    uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
    std::vector<uint32_t> palette;
    size_t tableEnd = 0;  // offset just after the colour table
};

// One colour channel of a bit-field pixel, scaled to 0..255.
struct Channel {
    uint32_t mask = 0;
    unsigned shift = 0;
    uint64_t max = 0;
    explicit Channel(uint32_t m) : mask(m)
    {
        if (m == 0) return;
        shift = unsigned(std::countr_zero(m));
        max = m >> shift;
    }
    uint32_t Get(uint32_t v) const
    {
        if (max == 0) return 0;
        uint64_t x = (v & mask) >> shift;
        return uint32_t((x * 255 + max / 2) / max);
    }
};

bool ParseHeader(const uint8_t* d, size_t size, bool icon, Dib& dib)
{
    if (size < 12) return false;
    const uint32_t hs = ReadLe32(d);
    uint32_t clrUsed = 0;
    size_t entrySize = 4;
    if (hs == 12) {
        dib.width = ReadLe16(d + 4);
        dib.height = ReadLe16(d + 6);
        if (ReadLe16(d + 8) != 1) return false;
        dib.bpp = ReadLe16(d + 10);
        entrySize = 3;
    } else {
        if (hs < 16 || hs > 4096 || hs > size) return false;
        dib.width = int32_t(ReadLe32(d + 4));
        dib.height = int32_t(ReadLe32(d + 8));
        if (ReadLe16(d + 12) != 1) return false;
        dib.bpp = ReadLe16(d + 14);
        dib.compression = hs >= 20 ? ReadLe32(d + 16) : kRgb;
        clrUsed = hs >= 36 ? ReadLe32(d + 32) : 0;
        const bool os2 = hs != 40 && hs != 52 && hs != 56 && hs < 108;
        if (os2 && dib.compression == 3) return false;  // OS/2 Huffman 1D fax coding
        if (os2 && dib.compression == 4) {
            dib.compression = kRle8;  // run structure of RLE8 with 3-byte pixels
            dib.rle24 = true;
            if (dib.bpp != 24) return false;
        }
    }
    size_t pos = hs;
    if (dib.compression == kBitFields || dib.compression == kAlphaBitFields) {
        const size_t count = dib.compression == kAlphaBitFields ? 4 : 3;
        if (hs >= 52) {
            for (size_t i = 0; i < 3; ++i) dib.masks[i] = ReadLe32(d + 40 + 4 * i);
            if (hs >= 56) dib.masks[3] = ReadLe32(d + 52);
        } else {
            if (size < pos + 4 * count) return false;
            for (size_t i = 0; i < count; ++i) dib.masks[i] = ReadLe32(d + pos + 4 * i);
            pos += 4 * count;
        }
        if (dib.bpp != 16 && dib.bpp != 32) return false;
    }
    if (icon) {
        dib.height /= 2;
        if (dib.bpp == 32 && dib.compression == kRgb) dib.masks[3] = 0xFF000000u;
    }
    if (dib.height < 0) {
        dib.topDown = true;
        dib.height = -dib.height;
    }
    if (!CSkinImage::SizeAllowed(dib.width, dib.height)) return false;
    if (!icon && (dib.compression == kJpeg || dib.compression == kPng)) {
        // A wrapped JPEG or PNG stream: its own header says the rest.
        dib.tableEnd = pos;
        return true;
    }
    switch (dib.bpp) {
    case 1: case 2: case 4: case 8: case 16: case 24: case 32: break;
    default: return false;
    }
    if ((dib.compression == kRle8 && !dib.rle24 && dib.bpp != 8) || (dib.compression == kRle4 && dib.bpp != 4))
        return false;
    if (dib.compression > kAlphaBitFields) return false;

    // Colour table: a palette for up to 8 bits; optional (and skipped) above.
    uint64_t entries = clrUsed;
    if (dib.bpp <= 8) {
        if (entries == 0 || (hs == 12)) entries = uint64_t(1) << dib.bpp;
    }
    if (entries > 65536) return false;
    const uint64_t avail = (size - pos) / entrySize;
    const uint64_t used = dib.bpp <= 8 ? std::min<uint64_t>(entries, uint64_t(1) << dib.bpp) : 0;
    if (used > avail) return false;
    for (uint64_t i = 0; i < used; ++i) {
        const uint8_t* e = d + pos + i * entrySize;
        dib.palette.push_back(MakeRgb(e[2], e[1], e[0]));
    }
    dib.tableEnd = pos + size_t(std::min(entries, avail) * entrySize);
    return true;
}

uint32_t PaletteColor(const Dib& dib, uint32_t index)
{
    return index < dib.palette.size() ? dib.palette[index] : CSkinImage::kBlack;
}

size_t ImageRow(const Dib& dib, int64_t fileRow)
{
    return size_t(dib.topDown ? fileRow : dib.height - 1 - fileRow);
}

// Bytes the uncompressed pixels need (the last row's padding may be missing).
uint64_t UncompressedSize(const Dib& dib)
{
    const uint64_t rowBits = uint64_t(dib.width) * dib.bpp;
    return (rowBits + 31) / 32 * 4 * uint64_t(dib.height - 1) + (rowBits + 7) / 8;
}

void DecodeUncompressed(const uint8_t* p, const Dib& dib, CSkinImage& out, std::vector<uint8_t>& alpha)
{
    const uint64_t stride = (uint64_t(dib.width) * dib.bpp + 31) / 32 * 4;
    uint32_t masks[4] = {dib.masks[0], dib.masks[1], dib.masks[2], dib.masks[3]};
    if (dib.compression == kRgb && dib.bpp == 16) { masks[0] = 0x7C00; masks[1] = 0x03E0; masks[2] = 0x001F; }
    if (dib.compression == kRgb && dib.bpp == 32) { masks[0] = 0xFF0000; masks[1] = 0xFF00; masks[2] = 0xFF; }
    const Channel r(masks[0]), g(masks[1]), b(masks[2]), a(masks[3]);
    if (masks[3] != 0) alpha.assign(size_t(dib.width * dib.height), 0);
    for (int64_t fr = 0; fr < dib.height; ++fr) {
        const uint8_t* s = p + stride * fr;
        const size_t y = ImageRow(dib, fr);
        uint32_t* dst = out.Row(int(y));
        for (int64_t x = 0; x < dib.width; ++x) {
            uint32_t c;
            if (dib.bpp < 8) {
                const uint64_t bit = uint64_t(x) * dib.bpp;
                const unsigned shift = 8 - dib.bpp - unsigned(bit % 8);
                c = PaletteColor(dib, (s[bit / 8] >> shift) & ((1u << dib.bpp) - 1));
            } else if (dib.bpp == 8) {
                c = PaletteColor(dib, s[x]);
            } else if (dib.bpp == 24) {
                c = MakeRgb(s[3 * x + 2], s[3 * x + 1], s[3 * x]);
            } else {
                const uint32_t v = dib.bpp == 16 ? ReadLe16(s + 2 * x) : ReadLe32(s + 4 * x);
                c = MakeRgb(r.Get(v), g.Get(v), b.Get(v));
                if (!alpha.empty()) alpha[y * size_t(dib.width) + size_t(x)] = uint8_t(a.Get(v));
            }
            dst[x] = c;
        }
    }
}

// Runs of RLE8, RLE4 and OS/2 RLE24. Pixels the stream never reaches stay
// black; a stream that ends early keeps what it drew.
void DecodeRle(const uint8_t* p, size_t n, const Dib& dib, CSkinImage& out)
{
    const bool rle4 = dib.compression == kRle4;
    const size_t pixelBytes = dib.rle24 ? 3 : 1;
    int64_t x = 0, fr = 0;
    auto put = [&](uint32_t c) {
        if (x < dib.width && fr < dib.height) out.Row(int(ImageRow(dib, fr)))[x] = c;
        ++x;
    };
    size_t i = 0;
    while (fr < dib.height && i < n) {
        const unsigned count = p[i++];
        if (count > 0) {
            if (i + pixelBytes > n) return;
            const uint8_t* v = p + i;
            i += pixelBytes;
            for (unsigned k = 0; k < count && x < dib.width; ++k) {
                if (dib.rle24) put(MakeRgb(v[2], v[1], v[0]));
                else if (rle4) put(PaletteColor(dib, (k & 1) ? (v[0] & 15) : (v[0] >> 4)));
                else put(PaletteColor(dib, v[0]));
            }
            continue;
        }
        if (i >= n) return;
        const unsigned code = p[i++];
        if (code == 0) {
            x = 0;
            ++fr;
        } else if (code == 1) {
            return;
        } else if (code == 2) {
            if (i + 2 > n) return;
            x += p[i];
            fr += p[i + 1];
            i += 2;
        } else {
            const size_t bytes = rle4 ? (code + 1) / 2 : code * pixelBytes;
            const size_t avail = std::min(bytes, n - i);
            for (unsigned k = 0; k < code; ++k) {
                if (dib.rle24) {
                    if (3 * size_t(k) + 3 > avail) break;
                    const uint8_t* v = p + i + 3 * k;
                    put(MakeRgb(v[2], v[1], v[0]));
                } else if (rle4) {
                    if (k / 2 >= avail) break;
                    const uint8_t v = p[i + k / 2];
                    put(PaletteColor(dib, (k & 1) ? (v & 15) : (v >> 4)));
                } else {
                    if (k >= avail) break;
                    put(PaletteColor(dib, p[i + k]));
                }
            }
            if (avail < bytes) return;
            i += bytes + (bytes & 1);
        }
    }
}

// Applies straight alpha over black, unless every pixel's alpha is 0: many
// writers leave the alpha byte unset, and such an image is meant opaque.
bool ApplyAlpha(CSkinImage& out, const std::vector<uint8_t>& alpha)
{
    bool any = false;
    for (uint8_t a : alpha) any |= a != 0;
    if (!any) return false;
    uint32_t* px = out.Pixels();
    for (size_t i = 0; i < alpha.size(); ++i) {
        const uint32_t c = px[i];
        px[i] = OverBlack(c >> 16, (c >> 8) & 255, c & 255, alpha[i]);
    }
    return true;
}

// The icon's AND mask: 1 bits are transparent, which over black is black.
// A missing or short mask leaves the image as it is.
void ApplyIconMask(const uint8_t* p, size_t avail, const Dib& dib, CSkinImage& out)
{
    const uint64_t stride = (uint64_t(dib.width) + 31) / 32 * 4;
    if (stride * uint64_t(dib.height) > avail) return;
    for (int64_t fr = 0; fr < dib.height; ++fr) {
        const uint8_t* s = p + stride * fr;
        uint32_t* dst = out.Row(int(ImageRow(dib, fr)));
        for (int64_t x = 0; x < dib.width; ++x)
            if (s[x / 8] & (0x80 >> (x % 8))) dst[x] = CSkinImage::kBlack;
    }
}

}  // namespace

int DecodeDib(const uint8_t* d, size_t size, size_t pixelOffset, bool iconMask, CSkinImage& out)
{
    out.Destroy();
    Dib dib;
    if (!ParseHeader(d, size, iconMask, dib)) return 0;
    const size_t start = pixelOffset ? pixelOffset : dib.tableEnd;
    if (start >= size) return 0;
    const uint8_t* p = d + start;
    const size_t avail = size - start;
    if (dib.compression == kJpeg || dib.compression == kPng) {
        if (iconMask) return 0;
        return dib.compression == kJpeg ? DecodeJpeg(p, avail, out) : DecodePng(p, avail, out);
    }
    const bool rle = dib.compression == kRle8 || dib.compression == kRle4;
    // Compressed bitmaps are bottom-up by definition; a negative height is corrupt.
    if (rle && dib.topDown && !dib.rle24) return 0;
    // Check the data is there before allocating for it.
    if (!rle && UncompressedSize(dib) > avail) return 0;
    if (!out.Create(int(dib.width), int(dib.height))) return 0;
    std::vector<uint8_t> alpha;
    if (rle) DecodeRle(p, avail, dib, out);
    else DecodeUncompressed(p, dib, out, alpha);
    const bool alphaUsed = !alpha.empty() && ApplyAlpha(out, alpha);
    if (iconMask && !alphaUsed) {
        const uint64_t rowBits = uint64_t(dib.width) * dib.bpp;
        const uint64_t bytes = (rowBits + 31) / 32 * 4 * uint64_t(dib.height);
        if (dib.compression == kRgb && bytes < avail) ApplyIconMask(p + bytes, avail - size_t(bytes), dib, out);
    }
    return 1;
}

int DecodeBmp(const uint8_t* data, size_t size, CSkinImage& out)
{
    out.Destroy();
    size_t file = 0;
    // An OS/2 bitmap array: decode its first bitmap (offsets count from the file start).
    if (size >= 14 && data[0] == 'B' && data[1] == 'A') file = 14;
    if (size < file + 14 + 12 || data[file] != 'B' || data[file + 1] != 'M') return 0;
    const size_t dibStart = file + 14;
    const uint32_t offBits = ReadLe32(data + file + 10);
    const uint32_t hs = ReadLe32(data + dibStart);
    if (offBits >= size || offBits < dibStart + std::min<uint32_t>(hs, 12)) return 0;
    return DecodeDib(data + dibStart, size - dibStart, offBits - dibStart, false, out);
}
