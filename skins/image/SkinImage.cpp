#include "skins/image/SkinImage.h"

#include <algorithm>
#include <cstring>
#include <utility>

bool CSkinImage::SizeAllowed(int64_t width, int64_t height)
{
    return width >= 1 && height >= 1 && width <= kMaxSide && height <= kMaxSide &&
           width * height <= kMaxPixels;
}

CSkinImage::~CSkinImage() { Destroy(); }

CSkinImage::CSkinImage(const CSkinImage& other) { *this = other; }

CSkinImage& CSkinImage::operator=(const CSkinImage& other)
{
    if (this == &other) return *this;
    Destroy();
    if (other.IsEmpty()) return *this;
    m_pixels.assign(other.m_data, other.m_data + size_t(other.m_width) * size_t(other.m_height));
    m_data = m_pixels.data();
    m_width = other.m_width;
    m_height = other.m_height;
    return *this;
}

CSkinImage::CSkinImage(CSkinImage&& other) noexcept { *this = std::move(other); }

CSkinImage& CSkinImage::operator=(CSkinImage&& other) noexcept
{
    if (this == &other) return *this;
    Destroy();
    m_pixels = std::move(other.m_pixels);
    m_data = other.m_data;
    m_width = other.m_width;
    m_height = other.m_height;
    other.m_data = nullptr;
    other.m_width = other.m_height = 0;
    return *this;
}

int CSkinImage::Create(int width, int height)
{
    Destroy();
    if (!SizeAllowed(width, height)) return 0;
    m_pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), kBlack);
    m_data = m_pixels.data();
    m_width = width;
    m_height = height;
    return 1;
}

void CSkinImage::Destroy()
{
    std::vector<uint32_t>().swap(m_pixels);
    m_data = nullptr;
    m_width = 0;
    m_height = 0;
}

uint32_t CSkinImage::GetPixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return 0;
    return Row(y)[x];
}

void CSkinImage::SetPixel(int x, int y, uint32_t color)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return;
    Row(y)[x] = color & kWhite;
}

void CSkinImage::Fill(int x, int y, int width, int height, uint32_t color)
{
    int64_t l = std::max<int64_t>(x, 0), t = std::max<int64_t>(y, 0);
    int64_t r = std::min<int64_t>(int64_t(x) + width, m_width);
    int64_t b = std::min<int64_t>(int64_t(y) + height, m_height);
    if (l >= r || t >= b) return;
    for (int64_t row = t; row < b; ++row)
        std::fill(Row(int(row)) + l, Row(int(row)) + r, color & kWhite);
}

namespace {

// Narrows a rectangle pair so that both the destination and the source area
// lie inside their images; 64-bit arithmetic keeps extreme offsets from
// overflowing. Returns false when nothing is left.
bool ClipPair(int64_t& dx, int64_t& dy, int64_t& w, int64_t& h, int64_t& sx, int64_t& sy,
              int64_t dstW, int64_t dstH, int64_t srcW, int64_t srcH)
{
    auto clipAxis = [](int64_t& d, int64_t& s, int64_t& len, int64_t dLim, int64_t sLim) {
        int64_t cut = std::max<int64_t>({0, -d, -s});
        d += cut;
        s += cut;
        len -= cut;
        len = std::min({len, dLim - d, sLim - s});
        return len > 0;
    };
    return clipAxis(dx, sx, w, dstW, srcW) && clipAxis(dy, sy, h, dstH, srcH);
}

void CombineRow(uint32_t* dst, const uint32_t* src, size_t n, ERasterOp op)
{
    switch (op) {
    case ERasterOp::Copy:
        std::memmove(dst, src, n * sizeof(uint32_t));
        break;
    case ERasterOp::Xor:
        for (size_t i = 0; i < n; ++i) dst[i] ^= src[i];
        break;
    case ERasterOp::And:
        for (size_t i = 0; i < n; ++i) dst[i] &= src[i];
        break;
    }
}

}  // namespace

void CSkinImage::Transfer(int dx, int dy, int width, int height, const CSkinImage& src, int sx,
                          int sy, ERasterOp op)
{
    int64_t x = dx, y = dy, w = width, h = height, u = sx, v = sy;
    if (IsEmpty() || src.IsEmpty()) return;
    if (!ClipPair(x, y, w, h, u, v, m_width, m_height, src.m_width, src.m_height)) return;
    const size_t n = static_cast<size_t>(w);
    if (&src == this && y > v) {
        // Same image, destination below the source: walk bottom-up so no
        // source row is overwritten before it is read (memmove covers columns).
        for (int64_t i = h - 1; i >= 0; --i)
            CombineRow(Row(int(y + i)) + x, src.Row(int(v + i)) + u, n, op);
        return;
    }
    if (&src == this && y == v && x > u && op != ERasterOp::Copy) {
        // Same rows, shifted right: XOR/AND must not read pixels already changed.
        std::vector<uint32_t> tmp(n);
        for (int64_t i = 0; i < h; ++i) {
            std::memcpy(tmp.data(), src.Row(int(v + i)) + u, n * sizeof(uint32_t));
            CombineRow(Row(int(y + i)) + x, tmp.data(), n, op);
        }
        return;
    }
    for (int64_t i = 0; i < h; ++i) CombineRow(Row(int(y + i)) + x, src.Row(int(v + i)) + u, n, op);
}

void CSkinImage::MaskedTransfer(int dx, int dy, int width, int height, const CSkinImage& src,
                                int sx, int sy, const CSkinImage& mask, int mx, int my)
{
    Transfer(dx, dy, width, height, src, sx, sy, ERasterOp::Xor);
    Transfer(dx, dy, width, height, mask, mx, my, ERasterOp::And);
    Transfer(dx, dy, width, height, src, sx, sy, ERasterOp::Xor);
}
