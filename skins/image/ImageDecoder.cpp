#include "skins/image/ImageDecoder.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/FileText.h"
#include "skins/image/ImageFormats.h"

namespace {

bool StartsWith(const uint8_t* d, size_t size, const void* sig, size_t n)
{
    return size >= n && std::memcmp(d, sig, n) == 0;
}

bool IsPcx(const uint8_t* d, size_t size)
{
    return size >= 128 && d[0] == 0x0A && d[1] <= 5 && d[2] <= 1 &&
           (d[3] == 1 || d[3] == 2 || d[3] == 4 || d[3] == 8) && d[64] == 0;
}

bool IsWmf(const uint8_t* d, size_t size)
{
    static const uint8_t kPlaceable[4] = {0xD7, 0xCD, 0xC6, 0x9A};
    if (StartsWith(d, size, kPlaceable, 4)) return true;
    // A bare metafile header: type 1 (memory) or 2 (disk), 9 words long.
    return size >= 18 && (ReadLe16(d) == 1 || ReadLe16(d) == 2) && ReadLe16(d + 2) == 9 &&
           (ReadLe16(d + 4) == 0x0100 || ReadLe16(d + 4) == 0x0300);
}

struct FormatEntry {
    EImageFormat format;
    const char* name;
    int (*decode)(const uint8_t*, size_t, CSkinImage&);
};

int DecodeWmfForSkin(const uint8_t* d, size_t size, CSkinImage& out) { return DecodeWmf(d, size, out); }

const FormatEntry kFormats[] = {
    {EImageFormat::Unknown, "unknown", nullptr},
    {EImageFormat::Bmp, "bmp", DecodeBmp},
    {EImageFormat::Jpeg, "jpeg", DecodeJpeg},
    {EImageFormat::Png, "png", DecodePng},
    {EImageFormat::Gif, "gif", DecodeGif},
    {EImageFormat::Tiff, "tiff", DecodeTiff},
    {EImageFormat::Jpeg2000, "jpeg2000", DecodeJpeg2000},
    {EImageFormat::Pcx, "pcx", DecodePcx},
    {EImageFormat::Tga, "tga", DecodeTga},
    {EImageFormat::Wbmp, "wbmp", DecodeWbmp},
    {EImageFormat::Wmf, "wmf", DecodeWmfForSkin},
    {EImageFormat::Ico, "ico", DecodeIco},
};

const FormatEntry& Entry(EImageFormat f)
{
    for (const FormatEntry& e : kFormats)
        if (e.format == f) return e;
    return kFormats[0];
}

}  // namespace

EImageFormat DetectImageFormat(const uint8_t* d, size_t size)
{
    if (!d) return EImageFormat::Unknown;
    static const uint8_t kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    static const uint8_t kJpeg[3] = {0xFF, 0xD8, 0xFF};
    static const uint8_t kJp2[12] = {0, 0, 0, 12, 'j', 'P', ' ', ' ', 0x0D, 0x0A, 0x87, 0x0A};
    static const uint8_t kJ2k[4] = {0xFF, 0x4F, 0xFF, 0x51};
    if (StartsWith(d, size, kPng, 8)) return EImageFormat::Png;
    if (StartsWith(d, size, kJpeg, 3)) return EImageFormat::Jpeg;
    if (StartsWith(d, size, "GIF87a", 6) || StartsWith(d, size, "GIF89a", 6)) return EImageFormat::Gif;
    if (StartsWith(d, size, "II*\0", 4) || StartsWith(d, size, "MM\0*", 4) || StartsWith(d, size, "II+\0", 4) ||
        StartsWith(d, size, "MM\0+", 4))
        return EImageFormat::Tiff;
    if (StartsWith(d, size, kJp2, 12) || StartsWith(d, size, kJ2k, 4)) return EImageFormat::Jpeg2000;
    if (StartsWith(d, size, "BM", 2) || StartsWith(d, size, "BA", 2)) return EImageFormat::Bmp;
    if (IsWmf(d, size)) return EImageFormat::Wmf;
    if (size >= 6 && ReadLe16(d) == 0 && (ReadLe16(d + 2) == 1 || ReadLe16(d + 2) == 2) && ReadLe16(d + 4) > 0)
        return EImageFormat::Ico;
    if (IsPcx(d, size)) return EImageFormat::Pcx;
    if (IsPlausibleTga(d, size)) return EImageFormat::Tga;
    uint32_t w, h;
    size_t bits;
    if (ParseWbmpHeader(d, size, w, h, bits)) return EImageFormat::Wbmp;
    return EImageFormat::Unknown;
}

const char* ImageFormatName(EImageFormat format) { return Entry(format).name; }

int DecodeImage(const uint8_t* data, size_t size, CSkinImage& out)
{
    out.Destroy();
    const FormatEntry& e = Entry(DetectImageFormat(data, size));
    if (!e.decode) return 0;
    if (e.decode(data, size, out)) return 1;
    // TGA has no signature, and its first bytes can look like an icon
    // directory; a TGA header that holds together gets its chance.
    if (e.format != EImageFormat::Tga && IsPlausibleTga(data, size) && DecodeTga(data, size, out)) return 1;
    out.Destroy();
    return 0;
}

int DecodeImageFile(const std::string& path, CSkinImage& out)
{
    out.Destroy();
    std::string bytes;
    int error = 0;
    if (!ReadFileText(path, bytes, error, kMaxImageFileBytes)) return 0;
    return DecodeImage(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), out);
}
