#pragma once
// Decoding of skin images. A skin is untrusted input: the format is taken from
// the content, never from the file name, and a malformed, truncated or
// hostile file is refused (result 0) without a crash, an overread or a
// runaway allocation. Images wider or taller than CSkinImage::kMaxSide or
// with more than CSkinImage::kMaxPixels pixels are refused before any pixel
// buffer is allocated.
//
// Accepted: BMP (including OS/2 headers, RLE and bitfields), JPEG, PNG, GIF
// (first frame), TIFF (first page), JPEG 2000 (JP2 files and bare J2K
// codestreams), PCX, TGA, WBMP, WMF (rendered to a bitmap) and ICO/CUR (the
// largest image of the directory). Alpha is flattened over black.

#include <cstddef>
#include <cstdint>
#include <string>

#include "skins/image/SkinImage.h"

enum class EImageFormat {
    Unknown,
    Bmp,
    Jpeg,
    Png,
    Gif,
    Tiff,
    Jpeg2000,
    Pcx,
    Tga,
    Wbmp,
    Wmf,
    Ico,
};

// The format recognised from the first bytes (TGA and WBMP, which carry no
// signature, only when their headers are plausible). Unknown when none fits.
EImageFormat DetectImageFormat(const uint8_t* data, size_t size);

// Short lower-case name of a format ("bmp", "png", ... "unknown").
const char* ImageFormatName(EImageFormat format);

// Decodes an image held in memory into out. Returns 1 on success; 0 on any
// refusal, with out left empty. data may be null when size is 0.
int DecodeImage(const uint8_t* data, size_t size, CSkinImage& out);

// Reads and decodes a file. path is a file-system path as the operating
// system takes it (UTF-8 on Linux; callers convert from Windows-1252 first).
// Files larger than kMaxImageFileBytes are refused unread. 1 or 0 as above.
inline constexpr size_t kMaxImageFileBytes = 128u * 1024u * 1024u;
int DecodeImageFile(const std::string& path, CSkinImage& out);
