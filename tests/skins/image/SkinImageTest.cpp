// The pixel buffer and its rectangle transfers: clipping at every edge, the
// three raster operations, overlapping transfers within one image, and the
// masked transfer that draws buttons of any shape.
#include <gtest/gtest.h>

#include <vector>

#include "skins/image/SkinImage.h"

namespace {

// An image whose pixel (x, y) holds a value unique to it.
CSkinImage Numbered(int w, int h, uint32_t base)
{
    CSkinImage img;
    EXPECT_EQ(img.Create(w, h), 1);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.SetPixel(x, y, base + uint32_t(y * 256 + x));
    return img;
}

// What a transfer must produce, computed pixel by pixel with bounds checks.
CSkinImage Reference(const CSkinImage& dst, int dx, int dy, int w, int h, const CSkinImage& src, int sx, int sy,
                     ERasterOp op)
{
    CSkinImage r = dst;
    // Walk the destination (never the requested size, which may be huge).
    for (int y = 0; y < dst.Height(); ++y)
        for (int x = 0; x < dst.Width(); ++x) {
            const int64_t i = int64_t(x) - dx, j = int64_t(y) - dy, u = sx + i, v = sy + j;
            if (i < 0 || j < 0 || i >= w || j >= h) continue;
            if (u < 0 || v < 0 || u >= src.Width() || v >= src.Height()) continue;
            const uint32_t s = src.GetPixel(int(u), int(v)), d = dst.GetPixel(x, y);
            r.SetPixel(x, y, op == ERasterOp::Copy ? s : op == ERasterOp::Xor ? (d ^ s) : (d & s));
        }
    return r;
}

void ExpectSame(const CSkinImage& a, const CSkinImage& b)
{
    ASSERT_EQ(a.Width(), b.Width());
    ASSERT_EQ(a.Height(), b.Height());
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            ASSERT_EQ(a.GetPixel(x, y), b.GetPixel(x, y)) << "at " << x << "," << y;
}

TEST(SkinImage, CreateHonoursTheSizeLimits)
{
    struct Case { int w, h, ok; } cases[] = {
        {1, 1, 1}, {8192, 1, 1}, {1, 8192, 1}, {4096, 4096, 1}, {8193, 1, 0}, {1, 8193, 0},
        {8192, 2049, 0}, {0, 5, 0}, {5, 0, 0}, {-1, 5, 0}, {5, -7, 0},
    };
    for (const Case& c : cases) {
        CSkinImage img;
        EXPECT_EQ(img.Create(c.w, c.h), c.ok) << c.w << "x" << c.h;
        EXPECT_EQ(img.IsEmpty(), c.ok == 0);
        if (c.ok) {
            EXPECT_EQ(img.Width(), c.w);
            EXPECT_EQ(img.GetPixel(c.w - 1, c.h - 1), CSkinImage::kBlack);
        }
    }
}

TEST(SkinImage, PixelAccessOutsideTheImageIsHarmless)
{
    CSkinImage img;
    ASSERT_EQ(img.Create(3, 2), 1);
    img.SetPixel(-1, 0, 0x123456);
    img.SetPixel(3, 0, 0x123456);
    img.SetPixel(0, 2, 0x123456);
    img.SetPixel(2, 1, 0xFF123456);  // the top byte is not part of a colour
    EXPECT_EQ(img.GetPixel(2, 1), 0x123456u);
    EXPECT_EQ(img.GetPixel(-1, 0), 0u);
    EXPECT_EQ(img.GetPixel(0, 5), 0u);
    EXPECT_EQ(img.GetPixel(0, 0), 0u);
}

TEST(SkinImage, FillIsClippedToTheImage)
{
    struct Case { int x, y, w, h, filled; } cases[] = {
        {0, 0, 4, 4, 16}, {-2, -2, 4, 4, 4}, {3, 3, 10, 10, 1}, {4, 0, 2, 2, 0}, {1, 1, 0, 3, 0}, {1, 1, -3, 3, 0},
        {-2147483647, -2147483647, 2147483647, 2147483647, 0}, {2, 2, 2147483647, 2147483647, 4},
    };
    for (const Case& c : cases) {
        CSkinImage img;
        ASSERT_EQ(img.Create(4, 4), 1);
        img.Fill(c.x, c.y, c.w, c.h, 0x00ABCDEF);
        int count = 0;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) count += img.GetPixel(x, y) == 0x00ABCDEF;
        EXPECT_EQ(count, c.filled) << c.x << "," << c.y << " " << c.w << "x" << c.h;
    }
}

TEST(SkinImage, TransfersClipAtEveryEdgeOfBothImages)
{
    struct Case { int dx, dy, w, h, sx, sy; } cases[] = {
        {0, 0, 5, 4, 0, 0},      {2, 1, 5, 4, 0, 0},     {-3, -2, 5, 4, 0, 0},   {0, 0, 5, 4, -2, -1},
        {6, 4, 5, 4, 0, 0},      {0, 0, 5, 4, 3, 2},     {-1, 0, 9, 9, 1, -1},   {7, 5, 5, 4, 0, 0},
        {0, 0, 0, 4, 0, 0},      {0, 0, 5, -4, 0, 0},    {-100, -100, 3, 3, 0, 0}, {2, 2, 2147483647, 2147483647, 1, 1},
        {-2147483647, 0, 2147483647, 3, 0, 0}, {0, 0, 3, 3, -2147483647, 2147483647},
    };
    const ERasterOp ops[] = {ERasterOp::Copy, ERasterOp::Xor, ERasterOp::And};
    const CSkinImage src = Numbered(5, 4, 0x00F00000);
    for (const Case& c : cases) {
        for (ERasterOp op : ops) {
            CSkinImage dst = Numbered(8, 6, 0x000F0F00);
            const CSkinImage expected = Reference(dst, c.dx, c.dy, c.w, c.h, src, c.sx, c.sy, op);
            dst.Transfer(c.dx, c.dy, c.w, c.h, src, c.sx, c.sy, op);
            SCOPED_TRACE(testing::Message() << "dst " << c.dx << "," << c.dy << " size " << c.w << "x" << c.h
                                            << " src " << c.sx << "," << c.sy << " op " << int(op));
            ExpectSame(dst, expected);
        }
    }
}

TEST(SkinImage, TransfersWithinOneImageReadTheSourceFirst)
{
    struct Case { int dx, dy, sx, sy; } cases[] = {
        {1, 0, 0, 0}, {0, 0, 1, 0}, {0, 1, 0, 0}, {0, 0, 0, 1}, {2, 2, 1, 1}, {1, 1, 2, 2}, {3, 0, 0, 2},
    };
    const ERasterOp ops[] = {ERasterOp::Copy, ERasterOp::Xor, ERasterOp::And};
    for (const Case& c : cases) {
        for (ERasterOp op : ops) {
            CSkinImage img = Numbered(6, 5, 0x00300000);
            const CSkinImage snapshot = img;
            const CSkinImage expected = Reference(img, c.dx, c.dy, 4, 3, snapshot, c.sx, c.sy, op);
            img.Transfer(c.dx, c.dy, 4, 3, img, c.sx, c.sy, op);
            SCOPED_TRACE(testing::Message() << c.dx << "," << c.dy << " from " << c.sx << "," << c.sy << " op " << int(op));
            ExpectSame(img, expected);
        }
    }
}

TEST(SkinImage, TransfersWithAnEmptyImageDoNothing)
{
    CSkinImage empty, img = Numbered(3, 3, 0x100);
    const CSkinImage before = img;
    img.Transfer(0, 0, 3, 3, empty, 0, 0, ERasterOp::Copy);
    ExpectSame(img, before);
    empty.Transfer(0, 0, 3, 3, img, 0, 0, ERasterOp::Copy);
    EXPECT_TRUE(empty.IsEmpty());
}

// A face strip laid out as a skin has it: normal face, pressed face and mask
// side by side. The mask is a diamond of black on white.
TEST(SkinImage, MaskedTransferShowsTheFaceOnlyWhereTheMaskIsBlack)
{
    const int W = 7, H = 5;
    CSkinImage strip;
    ASSERT_EQ(strip.Create(3 * W, H), 1);
    strip.Fill(0, 0, W, H, 0x00C04020);          // normal face
    strip.Fill(W, 0, W, H, 0x00102030);          // pressed face
    strip.Fill(2 * W, 0, W, H, CSkinImage::kWhite);
    auto inside = [&](int x, int y) { return std::abs(x - W / 2) + std::abs(y - H / 2) <= 2; };
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (inside(x, y)) strip.SetPixel(2 * W + x, y, CSkinImage::kBlack);

    const struct { int faceX; uint32_t face; } faces[] = {{0, 0x00C04020}, {W, 0x00102030}};
    for (const auto& f : faces) {
        CSkinImage page = Numbered(12, 9, 0x00051000);  // a busy background
        const CSkinImage background = page;
        const int at = 3, top = 2;
        page.MaskedTransfer(at, top, W, H, strip, f.faceX, 0, strip, 2 * W, 0);
        for (int y = 0; y < page.Height(); ++y)
            for (int x = 0; x < page.Width(); ++x) {
                const int u = x - at, v = y - top;
                const bool covered = u >= 0 && v >= 0 && u < W && v < H && inside(u, v);
                ASSERT_EQ(page.GetPixel(x, y), covered ? f.face : background.GetPixel(x, y)) << x << "," << y;
            }
    }
}

TEST(SkinImage, MaskedTransferIsExactForEveryMaskAndColourBit)
{
    // Each bit of the mask decides its own bit: XOR, AND, XOR is bitwise.
    const uint32_t values[] = {0x000000, 0xFFFFFF, 0x123456, 0xA5A5A5, 0x0F0F0F};
    for (uint32_t d : values)
        for (uint32_t s : values)
            for (uint32_t m : values) {
                CSkinImage dst, src, mask;
                ASSERT_EQ(dst.Create(1, 1) & src.Create(1, 1) & mask.Create(1, 1), 1);
                dst.SetPixel(0, 0, d);
                src.SetPixel(0, 0, s);
                mask.SetPixel(0, 0, m);
                dst.MaskedTransfer(0, 0, 1, 1, src, 0, 0, mask, 0, 0);
                EXPECT_EQ(dst.GetPixel(0, 0), (d & m) | (s & ~m & 0xFFFFFF)) << std::hex << d << " " << s << " " << m;
            }
}

TEST(SkinImage, MaskedTransferClippedByAShortMaskLeavesTheRestAlone)
{
    CSkinImage dst = Numbered(6, 6, 0x00200000), src, mask;
    ASSERT_EQ(src.Create(6, 6), 1);
    src.Fill(0, 0, 6, 6, 0x0000FF00);
    ASSERT_EQ(mask.Create(2, 2), 1);  // black: opaque, but only 2 x 2 of it
    const CSkinImage before = dst;
    dst.MaskedTransfer(0, 0, 6, 6, src, 0, 0, mask, 0, 0);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(dst.GetPixel(x, y), (x < 2 && y < 2) ? 0x0000FF00u : before.GetPixel(x, y)) << x << "," << y;
}

}  // namespace
