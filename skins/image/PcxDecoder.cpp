// PCX: run-length coded scanlines of one or more planes. Handles 1-bit mono,
// 1-bit multi-plane EGA, 2-bit CGA, 4-bit packed, 8-bit paletted (the
// 256-colour table at the end of the file) and 24/32-bit planar colour.
#include <vector>

#include "skins/image/ImageFormats.h"

namespace {

constexpr size_t kHeader = 128;

struct PcxHeader {
    unsigned bpp, planes, bytesPerLine;
    int64_t width, height;
    bool rle;
};

bool ParseHeader(const uint8_t* d, size_t size, PcxHeader& h)
{
    if (size < kHeader || d[0] != 0x0A || d[1] > 5 || d[2] > 1) return false;
    h.rle = d[2] == 1;
    h.bpp = d[3];
    const int64_t xmin = ReadLe16(d + 4), ymin = ReadLe16(d + 6), xmax = ReadLe16(d + 8), ymax = ReadLe16(d + 10);
    h.planes = d[65];
    h.bytesPerLine = ReadLe16(d + 66);
    h.width = xmax - xmin + 1;
    h.height = ymax - ymin + 1;
    if (!CSkinImage::SizeAllowed(h.width, h.height)) return false;
    const bool known = (h.bpp == 1 && h.planes >= 1 && h.planes <= 4) || (h.bpp == 2 && h.planes == 1) ||
                       (h.bpp == 4 && h.planes == 1) || (h.bpp == 8 && (h.planes == 1 || h.planes == 3 || h.planes == 4));
    return known && uint64_t(h.bytesPerLine) * 8 >= uint64_t(h.width) * h.bpp;
}

// Unpacks one scanline (all planes) from the stream; runs may carry over
// from one line into the next, which many writers do.
class CRunReader {
public:
    CRunReader(const uint8_t* p, size_t n, bool rle) : m_p(p), m_n(n), m_rle(rle) {}
    bool Line(std::vector<uint8_t>& line)
    {
        for (auto& b : line) {
            while (m_count == 0) {  // zero-length runs are skipped
                if (m_i >= m_n) return false;
                const uint8_t c = m_p[m_i++];
                if (m_rle && c >= 0xC0) {
                    if (m_i >= m_n) return false;
                    m_count = c & 0x3F;
                    m_value = m_p[m_i++];
                } else {
                    m_count = 1;
                    m_value = c;
                }
            }
            b = m_value;
            --m_count;
        }
        return true;
    }

private:
    const uint8_t* m_p;
    size_t m_n;
    bool m_rle;
    size_t m_i = 0;
    unsigned m_count = 0;
    uint8_t m_value = 0;
};

}  // namespace

int DecodePcx(const uint8_t* data, size_t size, CSkinImage& out)
{
    out.Destroy();
    PcxHeader h;
    if (!ParseHeader(data, size, h)) return 0;
    uint32_t palette[256];
    for (unsigned i = 0; i < 16; ++i) palette[i] = MakeRgb(data[16 + 3 * i], data[17 + 3 * i], data[18 + 3 * i]);
    const bool mono = h.bpp == 1 && h.planes == 1;
    size_t end = size;
    if (h.bpp == 8 && h.planes == 1) {
        // 256-colour table: 0x0C and 768 bytes at the very end; grey without it.
        if (size >= kHeader + 769 && data[size - 769] == 0x0C) {
            const uint8_t* p = data + size - 768;
            for (unsigned i = 0; i < 256; ++i) palette[i] = MakeRgb(p[3 * i], p[3 * i + 1], p[3 * i + 2]);
            end = size - 769;
        } else {
            for (unsigned i = 0; i < 256; ++i) palette[i] = MakeRgb(i, i, i);
        }
    }
    // Even at the longest runs (63 bytes per 2) the data must be able to
    // cover the image; otherwise refuse before allocating for it.
    const uint64_t total = uint64_t(h.bytesPerLine) * h.planes * uint64_t(h.height);
    if (uint64_t(end - kHeader) < (h.rle ? (total + 62) / 63 * 2 : total)) return 0;
    if (!out.Create(int(h.width), int(h.height))) return 0;
    std::vector<uint8_t> line(size_t(h.bytesPerLine) * h.planes);
    CRunReader reader(data + kHeader, end - kHeader, h.rle);
    const size_t bpl = h.bytesPerLine;
    for (int64_t y = 0; y < h.height; ++y) {
        // A file that ends early keeps the lines already read.
        if (!reader.Line(line)) break;
        uint32_t* dst = out.Row(int(y));
        for (int64_t x = 0; x < h.width; ++x) {
            const size_t xi = size_t(x);
            if (h.bpp == 8 && h.planes >= 3) {
                const uint32_t a = h.planes == 4 ? line[3 * bpl + xi] : 255;
                dst[x] = OverBlack(line[xi], line[bpl + xi], line[2 * bpl + xi], a);
            } else if (h.bpp == 8) {
                dst[x] = palette[line[xi]];
            } else if (h.bpp == 4) {
                dst[x] = palette[(line[xi / 2] >> ((xi & 1) ? 0 : 4)) & 15];
            } else if (h.bpp == 2) {
                dst[x] = palette[(line[xi / 4] >> (6 - 2 * (xi & 3))) & 3];
            } else {
                unsigned index = 0;
                for (unsigned p = 0; p < h.planes; ++p) index |= ((line[p * bpl + xi / 8] >> (7 - (xi & 7))) & 1u) << p;
                dst[x] = mono ? (index ? CSkinImage::kWhite : CSkinImage::kBlack) : palette[index];
            }
        }
    }
    return 1;
}
