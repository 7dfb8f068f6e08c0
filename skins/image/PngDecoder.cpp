// PNG through libpng. libpng reports errors by longjmp, so the frame that
// calls setjmp holds only plain C state: no C++ object with a destructor may
// live across it. Every row is expanded to 8-bit RGBA, then laid over black.
#include <png.h>

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
    png_bytep pixels;     // malloc'd RGBA rows
    png_bytepp rows;      // malloc'd row pointers
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
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, job->info);
    if (png_get_rowbytes(png, job->info) != size_t(w) * 4) return 0;
    job->pixels = static_cast<png_bytep>(std::malloc(size_t(w) * h * 4));
    job->rows = static_cast<png_bytepp>(std::malloc(sizeof(png_bytep) * h));
    if (!job->pixels || !job->rows) return 0;
    for (png_uint_32 y = 0; y < h; ++y) job->rows[y] = job->pixels + size_t(y) * w * 4;
    png_read_image(png, job->rows);
    png_read_end(png, nullptr);
    if (!job->out->Create(int(w), int(h))) return 0;
    for (png_uint_32 y = 0; y < h; ++y) {
        const png_bytep s = job->rows[y];
        uint32_t* d = job->out->Row(int(y));
        for (png_uint_32 x = 0; x < w; ++x) d[x] = OverBlack(s[4 * x], s[4 * x + 1], s[4 * x + 2], s[4 * x + 3]);
    }
    return 1;
}

}  // namespace

int DecodePng(const uint8_t* data, size_t size, CSkinImage& out)
{
    out.Destroy();
    if (size < 8 || png_sig_cmp(data, 0, 8) != 0) return 0;
    PngJob job{{data, size, 0}, nullptr, nullptr, nullptr, nullptr, &out};
    job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, FailOnError, IgnoreWarning);
    if (!job.png) return 0;
    job.info = png_create_info_struct(job.png);
    const int ok = job.info ? ReadPng(&job) : 0;
    png_destroy_read_struct(&job.png, job.info ? &job.info : nullptr, nullptr);
    std::free(job.pixels);
    std::free(job.rows);
    if (!ok) out.Destroy();
    return ok;
}
