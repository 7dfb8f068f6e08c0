// TIFF through libtiff, first page, from memory. libtiff's RGBA interface
// turns every photometric kind into 8-bit RGBA with premultiplied alpha,
// which is the colour over black as it stands.
#include <tiffio.h>

#include <cstring>

#include "skins/image/ImageFormats.h"
#include "skins/image/LibraryDecoders.h"

namespace {

// A single allocation inside libtiff never needs more than our largest image
// (plus slack for strips); beyond that the file is lying.
constexpr tmsize_t kTiffSingleAlloc = 256 * 1024 * 1024;

struct TiffSource {
    const uint8_t* data;
    toff_t size;
    toff_t pos;
};

tmsize_t ReadProc(thandle_t h, void* buf, tmsize_t n)
{
    auto* s = static_cast<TiffSource*>(h);
    if (n <= 0 || s->pos >= s->size) return 0;
    const toff_t count = std::min<toff_t>(toff_t(n), s->size - s->pos);
    std::memcpy(buf, s->data + s->pos, size_t(count));
    s->pos += count;
    return tmsize_t(count);
}

tmsize_t WriteProc(thandle_t, void*, tmsize_t) { return -1; }

toff_t SeekProc(thandle_t h, toff_t off, int whence)
{
    auto* s = static_cast<TiffSource*>(h);
    if (whence != SEEK_SET && whence != SEEK_CUR && whence != SEEK_END) return toff_t(-1);
    // Offsets are unsigned: a backward relative seek wraps and lands right.
    const toff_t base = whence == SEEK_CUR ? s->pos : whence == SEEK_END ? s->size : 0;
    s->pos = base + off;
    return s->pos;
}

int CloseProc(thandle_t) { return 0; }
toff_t SizeProc(thandle_t h) { return static_cast<TiffSource*>(h)->size; }
// The whole file is in memory already: hand it to libtiff as a mapping
// (it reads through mappings more leniently than through reads).
int MapProc(thandle_t h, void** base, toff_t* size)
{
    auto* s = static_cast<TiffSource*>(h);
    *base = const_cast<uint8_t*>(s->data);
    *size = s->size;
    return 1;
}
void UnmapProc(thandle_t, void*, toff_t) {}

int Silent(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct TiffCloser {
    TIFF* tif = nullptr;
    TIFFOpenOptions* opts = nullptr;
    ~TiffCloser()
    {
        if (tif) TIFFClose(tif);
        if (opts) TIFFOpenOptionsFree(opts);
    }
};

}  // namespace

int DecodeTiffWithLibrary(const uint8_t* data, size_t size, CSkinImage& out)
{
    out.Destroy();
    if (size < 8 || !((data[0] == 'I' && data[1] == 'I') || (data[0] == 'M' && data[1] == 'M'))) return 0;
    TiffSource src{data, toff_t(size), 0};
    TiffCloser h;
    h.opts = TIFFOpenOptionsAlloc();
    if (!h.opts) return 0;
    TIFFOpenOptionsSetMaxSingleMemAlloc(h.opts, kTiffSingleAlloc);
    TIFFOpenOptionsSetErrorHandlerExtR(h.opts, Silent, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(h.opts, Silent, nullptr);
    h.tif = TIFFClientOpenExt("skin image", "r", &src, ReadProc, WriteProc, SeekProc, CloseProc, SizeProc,
                              MapProc, UnmapProc, h.opts);
    if (!h.tif) return 0;
    uint32_t w = 0, hgt = 0;
    if (!TIFFGetField(h.tif, TIFFTAG_IMAGEWIDTH, &w) || !TIFFGetField(h.tif, TIFFTAG_IMAGELENGTH, &hgt)) return 0;
    if (!CSkinImage::SizeAllowed(w, hgt)) return 0;
    char emsg[1024];
    if (!TIFFRGBAImageOK(h.tif, emsg)) return 0;
    if (!out.Create(int(w), int(hgt))) return 0;
    // RGBA comes packed as A<<24 | B<<16 | G<<8 | R; read straight into our buffer.
    auto* raster = reinterpret_cast<uint32_t*>(out.Pixels());
    if (!TIFFReadRGBAImageOriented(h.tif, w, hgt, raster, ORIENTATION_TOPLEFT, 0)) {
        out.Destroy();
        return 0;
    }
    for (size_t i = 0, n = size_t(w) * hgt; i < n; ++i) {
        const uint32_t p = raster[i];
        raster[i] = MakeRgb(TIFFGetR(p), TIFFGetG(p), TIFFGetB(p));
    }
    return 1;
}
