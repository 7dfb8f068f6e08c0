#pragma once
// The individual decoders behind DecodeImage, and the small helpers they
// share. Each decoder takes the whole file in memory, refuses oversized images
// before allocating, and returns 1 with out filled or 0 with out empty.

#include <cstddef>
#include <cstdint>

#include "skins/image/SkinImage.h"

int DecodeBmp(const uint8_t* data, size_t size, CSkinImage& out);
int DecodeIco(const uint8_t* data, size_t size, CSkinImage& out);
int DecodePcx(const uint8_t* data, size_t size, CSkinImage& out);
int DecodeTga(const uint8_t* data, size_t size, CSkinImage& out);
int DecodeWbmp(const uint8_t* data, size_t size, CSkinImage& out);
int DecodePng(const uint8_t* data, size_t size, CSkinImage& out);
int DecodeJpeg(const uint8_t* data, size_t size, CSkinImage& out);
int DecodeGif(const uint8_t* data, size_t size, CSkinImage& out);
int DecodeTiff(const uint8_t* data, size_t size, CSkinImage& out);
int DecodeJpeg2000(const uint8_t* data, size_t size, CSkinImage& out);
// A metafile is rendered at dpi dots per inch (96, the screen's, by default).
int DecodeWmf(const uint8_t* data, size_t size, CSkinImage& out, int dpi = 96);

// Shared by BMP and ICO: a device-independent bitmap (info header, colour
// table, pixels) at dib. pixelOffset is where the pixel bits start counting
// from dib, or 0 for "right after the colour table". In an icon the header's
// height covers the image and its AND mask; iconMask applies that mask.
int DecodeDib(const uint8_t* dib, size_t size, size_t pixelOffset, bool iconMask, CSkinImage& out);

// Recognisers for the two formats without a signature: a header that holds
// together (and, for WBMP, data enough for the declared size).
bool ParseWbmpHeader(const uint8_t* d, size_t size, uint32_t& width, uint32_t& height, size_t& bits);
bool IsPlausibleTga(const uint8_t* d, size_t size);

// Little-endian reads; the caller has checked the bounds.
inline uint32_t ReadLe16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
inline uint32_t ReadLe32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline uint32_t ReadBe32(const uint8_t* p)
{
    return uint32_t(p[3]) | uint32_t(p[2]) << 8 | uint32_t(p[1]) << 16 | uint32_t(p[0]) << 24;
}

inline uint32_t MakeRgb(uint32_t r, uint32_t g, uint32_t b) { return (r << 16) | (g << 8) | b; }

// A colour with straight alpha a (0..255) laid over black.
inline uint32_t OverBlack(uint32_t r, uint32_t g, uint32_t b, uint32_t a)
{
    return MakeRgb((r * a + 127) / 255, (g * a + 127) / 255, (b * a + 127) / 255);
}
