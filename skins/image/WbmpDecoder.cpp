// WBMP type 0: a one-bit image, 1 = white, rows padded to whole bytes.
#include "skins/image/ImageFormats.h"

namespace {

// A multi-byte integer: 7 bits per byte, high bit = more follows. Anything
// longer than four bytes cannot be a size we accept.
bool ReadMultiByte(const uint8_t* d, size_t size, size_t& pos, uint32_t& value)
{
    value = 0;
    for (int n = 0; n < 4; ++n) {
        if (pos >= size) return false;
        const uint8_t b = d[pos++];
        value = (value << 7) | (b & 0x7F);
        if (!(b & 0x80)) return true;
    }
    return false;
}

}  // namespace

// Header fields of a type-0 WBMP; also used to recognise one.
bool ParseWbmpHeader(const uint8_t* d, size_t size, uint32_t& width, uint32_t& height, size_t& bits)
{
    size_t pos = 0;
    uint32_t type = 0;
    if (!ReadMultiByte(d, size, pos, type) || type != 0) return false;
    // Fixed header: no extension headers are defined for type 0.
    if (pos >= size || d[pos++] != 0) return false;
    if (!ReadMultiByte(d, size, pos, width) || !ReadMultiByte(d, size, pos, height)) return false;
    if (!CSkinImage::SizeAllowed(width, height)) return false;
    const uint64_t stride = (uint64_t(width) + 7) / 8;
    if (stride * height > size - pos) return false;
    bits = pos;
    return true;
}

int DecodeWbmp(const uint8_t* data, size_t size, CSkinImage& out)
{
    out.Destroy();
    uint32_t w = 0, h = 0;
    size_t pos = 0;
    if (!ParseWbmpHeader(data, size, w, h, pos)) return 0;
    if (!out.Create(int(w), int(h))) return 0;
    const size_t stride = (size_t(w) + 7) / 8;
    for (uint32_t y = 0; y < h; ++y) {
        const uint8_t* s = data + pos + y * stride;
        uint32_t* dst = out.Row(int(y));
        for (uint32_t x = 0; x < w; ++x)
            dst[x] = (s[x / 8] & (0x80 >> (x % 8))) ? CSkinImage::kWhite : CSkinImage::kBlack;
    }
    return 1;
}
