// JPEG through libjpeg. Its errors arrive by longjmp, so the frame that calls
// setjmp holds only plain C state (no C++ object with a destructor).
#include <cstdio>  // jpeglib.h needs FILE and size_t first
#include <csetjmp>
#include <cstdlib>

#include <jpeglib.h>

#include "skins/image/ImageFormats.h"
#include "skins/image/LibraryDecoders.h"

namespace {

// Enough for any image within our size limits, with progressive coefficients.
constexpr long kJpegMemoryLimit = 512L * 1024 * 1024;
// A progressive file may carry absurdly many scans, each one a full pass.
constexpr int kMaxScans = 1000;

struct JpegError {
    jpeg_error_mgr mgr;
    jmp_buf jump;
};

struct JpegJob {
    jpeg_decompress_struct cinfo;
    JpegError err;
    jpeg_progress_mgr progress;
    JSAMPLE* row;  // malloc'd scanline
    CSkinImage* out;
};

void ExitWithJump(j_common_ptr cinfo)
{
    longjmp(reinterpret_cast<JpegError*>(cinfo->err)->jump, 1);
}

void Quiet(j_common_ptr, int) {}

void LimitScans(j_common_ptr cinfo)
{
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > kMaxScans) ExitWithJump(cinfo);
}

// Runs inside setjmp: plain C state only.
int ReadJpeg(JpegJob* job, const uint8_t* data, size_t size)
{
    j_decompress_ptr c = &job->cinfo;
    if (setjmp(job->err.jump)) return 0;
    jpeg_create_decompress(c);
    c->mem->max_memory_to_use = kJpegMemoryLimit;
    job->progress.progress_monitor = LimitScans;
    c->progress = &job->progress;
    jpeg_mem_src(c, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(c, TRUE) != JPEG_HEADER_OK) return 0;
    if (!CSkinImage::SizeAllowed(c->image_width, c->image_height)) return 0;
    const bool cmyk = c->jpeg_color_space == JCS_CMYK || c->jpeg_color_space == JCS_YCCK;
    c->out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(c);
    const int comps = c->output_components;
    if ((cmyk && comps != 4) || (!cmyk && comps != 3)) return 0;
    if (!job->out->Create(int(c->output_width), int(c->output_height))) return 0;
    job->row = static_cast<JSAMPLE*>(std::malloc(size_t(c->output_width) * comps));
    if (!job->row) return 0;
    while (c->output_scanline < c->output_height) {
        const int y = int(c->output_scanline);
        JSAMPROW rows[1] = {job->row};
        if (jpeg_read_scanlines(c, rows, 1) != 1) return 0;
        uint32_t* d = job->out->Row(y);
        const JSAMPLE* s = job->row;
        for (JDIMENSION x = 0; x < c->output_width; ++x, s += comps) {
            if (cmyk) {
                // Adobe writes CMYK inverted: each byte is 255 minus the ink.
                d[x] = MakeRgb(s[0] * s[3] / 255u, s[1] * s[3] / 255u, s[2] * s[3] / 255u);
            } else {
                d[x] = MakeRgb(s[0], s[1], s[2]);
            }
        }
    }
    jpeg_finish_decompress(c);
    return 1;
}

}  // namespace

int DecodeJpegWithLibrary(const uint8_t* data, size_t size, CSkinImage& out)
{
    out.Destroy();
    if (size < 3 || data[0] != 0xFF || data[1] != 0xD8) return 0;
    auto* job = static_cast<JpegJob*>(std::calloc(1, sizeof(JpegJob)));
    if (!job) return 0;
    job->out = &out;
    job->cinfo.err = jpeg_std_error(&job->err.mgr);
    job->err.mgr.error_exit = ExitWithJump;
    job->err.mgr.emit_message = Quiet;
    const int ok = ReadJpeg(job, data, size);
    jpeg_destroy_decompress(&job->cinfo);
    std::free(job->row);
    std::free(job);
    if (!ok) out.Destroy();
    return ok;
}
