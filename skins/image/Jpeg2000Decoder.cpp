// JPEG 2000 through OpenJPEG, from memory: JP2 files and bare codestreams.
// Components are scaled to 8 bits and sampled back to full resolution; YCbCr
// is converted to RGB; of exactly four (or two) components the last is alpha.
#include <openjpeg.h>

#include <algorithm>
#include <cstring>

#include "skins/image/ImageFormats.h"
#include "skins/image/LibraryDecoders.h"

namespace {

struct J2kSource {
    const uint8_t* data;
    size_t size;
    size_t pos;
};

OPJ_SIZE_T ReadProc(void* buf, OPJ_SIZE_T n, void* user)
{
    auto* s = static_cast<J2kSource*>(user);
    if (s->pos >= s->size) return OPJ_SIZE_T(-1);
    const size_t count = std::min<size_t>(n, s->size - s->pos);
    std::memcpy(buf, s->data + s->pos, count);
    s->pos += count;
    return count;
}

OPJ_OFF_T SkipProc(OPJ_OFF_T n, void* user)
{
    auto* s = static_cast<J2kSource*>(user);
    if (n < 0 ? size_t(-n) > s->pos : size_t(n) > s->size - s->pos) return -1;
    s->pos = size_t(OPJ_OFF_T(s->pos) + n);
    return n;
}

OPJ_BOOL SeekProc(OPJ_OFF_T n, void* user)
{
    auto* s = static_cast<J2kSource*>(user);
    if (n < 0 || size_t(n) > s->size) return OPJ_FALSE;
    s->pos = size_t(n);
    return OPJ_TRUE;
}

void Quiet(const char*, void*) {}

struct J2kHandles {
    opj_codec_t* codec = nullptr;
    opj_stream_t* stream = nullptr;
    opj_image_t* image = nullptr;
    ~J2kHandles()
    {
        if (image) opj_image_destroy(image);
        if (stream) opj_stream_destroy(stream);
        if (codec) opj_destroy_codec(codec);
    }
};

// Component value at canvas pixel (x, y) of the image area, scaled to 0..255.
int Sample(const opj_image_t* img, const opj_image_comp_t& c, uint32_t x, uint32_t y)
{
    const uint32_t dx = c.dx ? c.dx : 1, dy = c.dy ? c.dy : 1;
    const uint64_t cx0 = (uint64_t(img->x0) + dx - 1) / dx, cy0 = (uint64_t(img->y0) + dy - 1) / dy;
    uint64_t cx = (uint64_t(img->x0) + x) / dx, cy = (uint64_t(img->y0) + y) / dy;
    cx = cx > cx0 ? cx - cx0 : 0;
    cy = cy > cy0 ? cy - cy0 : 0;
    if (c.w == 0 || c.h == 0 || !c.data) return 0;
    cx = std::min<uint64_t>(cx, c.w - 1);
    cy = std::min<uint64_t>(cy, c.h - 1);
    const uint32_t prec = std::clamp<uint32_t>(c.prec, 1, 31);
    int64_t v = c.data[cy * c.w + cx];
    if (c.sgnd) v += int64_t(1) << (prec - 1);
    const int64_t max = (int64_t(1) << prec) - 1;
    v = std::clamp<int64_t>(v, 0, max);
    return int((v * 255 + max / 2) / max);
}

uint32_t FromYcc(int y, int cb, int cr)
{
    const double r = y + 1.402 * (cr - 128), g = y - 0.344136 * (cb - 128) - 0.714136 * (cr - 128),
                 b = y + 1.772 * (cb - 128);
    auto clip = [](double v) { return uint32_t(std::clamp(int(v + 0.5), 0, 255)); };
    return MakeRgb(clip(r), clip(g), clip(b));
}

}  // namespace

int DecodeJpeg2000WithLibrary(const uint8_t* data, size_t size, CSkinImage& out)
{
    out.Destroy();
    static const uint8_t kJp2[12] = {0, 0, 0, 12, 'j', 'P', ' ', ' ', 0x0D, 0x0A, 0x87, 0x0A};
    static const uint8_t kJ2k[4] = {0xFF, 0x4F, 0xFF, 0x51};
    OPJ_CODEC_FORMAT format;
    if (size >= 12 && std::memcmp(data, kJp2, 12) == 0) format = OPJ_CODEC_JP2;
    else if (size >= 4 && std::memcmp(data, kJ2k, 4) == 0) format = OPJ_CODEC_J2K;
    else return 0;

    J2kSource src{data, size, 0};
    J2kHandles h;
    h.codec = opj_create_decompress(format);
    if (!h.codec) return 0;
    opj_set_info_handler(h.codec, Quiet, nullptr);
    opj_set_warning_handler(h.codec, Quiet, nullptr);
    opj_set_error_handler(h.codec, Quiet, nullptr);
    opj_dparameters_t params;
    opj_set_default_decoder_parameters(&params);
    if (!opj_setup_decoder(h.codec, &params)) return 0;
    h.stream = opj_stream_create(64 * 1024, OPJ_TRUE);
    if (!h.stream) return 0;
    opj_stream_set_user_data(h.stream, &src, nullptr);
    opj_stream_set_user_data_length(h.stream, size);
    opj_stream_set_read_function(h.stream, ReadProc);
    opj_stream_set_skip_function(h.stream, SkipProc);
    opj_stream_set_seek_function(h.stream, SeekProc);
    if (!opj_read_header(h.stream, h.codec, &h.image) || !h.image) return 0;
    const opj_image_t* img = h.image;
    if (img->x1 <= img->x0 || img->y1 <= img->y0 || img->numcomps == 0) return 0;
    const int64_t w = int64_t(img->x1) - img->x0, hgt = int64_t(img->y1) - img->y0;
    if (!CSkinImage::SizeAllowed(w, hgt)) return 0;
    // Every component costs a buffer of up to the image's size: allow extra
    // components (we show the first three or four) only within that budget.
    if (uint64_t(img->numcomps) * uint64_t(w * hgt) > 4 * uint64_t(CSkinImage::kMaxPixels)) return 0;
    if (!opj_decode(h.codec, h.stream, h.image) || !opj_end_decompress(h.codec, h.stream)) return 0;
    const uint32_t n = img->numcomps;
    for (uint32_t i = 0; i < n; ++i)
        if (!img->comps[i].data) return 0;
    const bool color = n >= 3;
    const bool ycc = color && (img->color_space == OPJ_CLRSPC_SYCC || img->color_space == OPJ_CLRSPC_EYCC);
    const bool alpha = n == 2 || n == 4;
    if (!out.Create(int(w), int(hgt))) return 0;
    for (uint32_t y = 0; y < hgt; ++y) {
        uint32_t* row = out.Row(int(y));
        for (uint32_t x = 0; x < w; ++x) {
            const int a = Sample(img, img->comps[0], x, y);
            uint32_t r = uint32_t(a), g = r, b = r;
            if (color) {
                const int c1 = Sample(img, img->comps[1], x, y), c2 = Sample(img, img->comps[2], x, y);
                const uint32_t rgb = ycc ? FromYcc(a, c1, c2) : MakeRgb(uint32_t(a), uint32_t(c1), uint32_t(c2));
                r = rgb >> 16;
                g = (rgb >> 8) & 255;
                b = rgb & 255;
            }
            const uint32_t al = alpha ? uint32_t(Sample(img, img->comps[color ? 3 : 1], x, y)) : 255;
            row[x] = OverBlack(r, g, b, al);
        }
    }
    return 1;
}
