// PNG through libpng. libpng reports errors by longjmp, so the frame that
// calls setjmp holds only plain C state: no C++ object with a destructor may
// live across it. Rows are expanded to 8-bit colour plus a fourth byte and
// written straight into the image in its own pixel order; only an image with
// transparency then has its pixels laid over black.
#include <png.h>

#include <bit>
#include <cstdlib>
#include <cstring>

#include "skins/image/ImageFormats.h"

namespace {

struct PngSource {
    const uint8_t* data;
    size_t size;
    size_t pos;
};

struct PngJob {
    PngSource src;
    png_structp png;
    png_infop info;
    png_bytepp rows;      // malloc'd row pointers into out
    CSkinImage* out;
};

void ReadFromMemory(png_structp png, png_bytep dst, png_size_t length)
{
    auto* src = static_cast<PngSource*>(png_get_io_ptr(png));
    if (length > src->size - src->pos) png_error(png, "read past end of data");
    std::memcpy(dst, src->data + src->pos, length);
    src->pos += length;
}

void IgnoreWarning(png_structp, png_const_charp) {}
void FailOnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// Runs inside setjmp: plain C state only (see above).
int ReadPng(PngJob* job)
{
    if (setjmp(png_jmpbuf(job->png))) return 0;
    png_structp png = job->png;
    png_set_read_fn(png, &job->src, ReadFromMemory);
    png_set_user_limits(png, CSkinImage::kMaxSide, CSkinImage::kMaxSide);
    png_set_chunk_malloc_max(png, 8u * 1024u * 1024u);
    png_set_benign_errors(png, 0);
    png_read_info(png, job->info);
    const png_uint_32 w = png_get_image_width(png, job->info);
    const png_uint_32 h = png_get_image_height(png, job->info);
    if (!CSkinImage::SizeAllowed(w, h)) return 0;
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    // The fourth byte of each pixel is its alpha, or 0 where there is none,
    // placed so that the four bytes read as one 0x00RRGGBB-style word.
    const bool alpha = (png_get_color_type(png, job->info) & PNG_COLOR_MASK_ALPHA) ||
                       png_get_valid(png, job->info, PNG_INFO_tRNS);
    if constexpr (std::endian::native == std::endian::little) {
        png_set_bgr(png);
        if (!alpha) png_set_filler(png, 0, PNG_FILLER_AFTER);
    } else {
        if (alpha) png_set_swap_alpha(png);
        else png_set_filler(png, 0, PNG_FILLER_BEFORE);
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, job->info);
    if (png_get_rowbytes(png, job->info) != size_t(w) * 4) return 0;
    if (!job->out->Create(int(w), int(h))) return 0;
    job->rows = static_cast<png_bytepp>(std::malloc(sizeof(png_bytep) * h));
    if (!job->rows) return 0;
    for (png_uint_32 y = 0; y < h; ++y) job->rows[y] = reinterpret_cast<png_bytep>(job->out->Row(int(y)));
    png_read_image(png, job->rows);
    png_read_end(png, nullptr);
    if (alpha) {
        uint32_t* p = job->out->Pixels();
        for (size_t i = 0, n = size_t(w) * h; i < n; ++i) {
            const uint32_t v = p[i], a = v >> 24;
            p[i] = a == 255 ? v & 0x00FFFFFFu : OverBlack((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF, a);
        }
    }
    return 1;
}

}  // namespace

int DecodePng(const uint8_t* data, size_t size, CSkinImage& out)
{
    out.Destroy();
    if (size < 8 || png_sig_cmp(data, 0, 8) != 0) return 0;
    PngJob job{{data, size, 0}, nullptr, nullptr, nullptr, &out};
    job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, FailOnError, IgnoreWarning);
    if (!job.png) return 0;
    job.info = png_create_info_struct(job.png);
    const int ok = job.info ? ReadPng(&job) : 0;
    png_destroy_read_struct(&job.png, job.info ? &job.info : nullptr, nullptr);
    std::free(job.rows);
    if (!ok) out.Destroy();
    return ok;
}
