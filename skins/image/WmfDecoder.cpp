// WMF through libwmf: the metafile is played onto libwmf's own true-colour
// canvas (its GD device in "image" mode) at the requested resolution, and the
// canvas is copied into our buffer. Areas the picture does not paint are
// white, as on a fresh Windows bitmap a metafile is played onto.
#include <libwmf/api.h>
#include <libwmf/gd.h>
#include <libwmf/gd/gd.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "skins/image/ImageFormats.h"
#include "skins/image/LibraryDecoders.h"

namespace {

// In "image" mode libwmf hands its canvas over to the caller, who must free
// it; the library exports no destroy call for it, so this mirrors GD's own.
void DestroyGdImage(gdImagePtr im)
{
    if (!im) return;
    if (im->pixels) {
        for (int y = 0; y < im->sy; ++y) std::free(im->pixels[y]);
        std::free(im->pixels);
    }
    if (im->tpixels) {
        if (!im->_tpixels)
            for (int y = 0; y < im->sy; ++y) std::free(im->tpixels[y]);
        std::free(im->tpixels);
    }
    std::free(im->_tpixels);
    std::free(im->polyInts);
    std::free(im->style);
    if (im->clip) {
        std::free(im->clip->list);
        std::free(im->clip);
    }
    std::free(im);
}

struct WmfApi {
    wmfAPI* api = nullptr;
    gdImagePtr canvas = nullptr;
    ~WmfApi()
    {
        DestroyGdImage(canvas);
        if (api) wmf_api_destroy(api);
    }
};

// libwmf looks fonts up under their PostScript names and, out of the box,
// only finds the Ghostscript Type 1 files. A Ghostscript-style font map
// pointing the standard names at DejaVu (always installed with Tallix) lets
// it draw a metafile's text. The map is written once per run to a private
// temporary file and removed at exit.
const char* const kFontDir = "/usr/share/fonts/truetype/dejavu/";
const char* const kFontMap[][2] = {
    {"Times-Roman", "DejaVuSerif.ttf"},          {"Times-Italic", "DejaVuSerif-Italic.ttf"},
    {"Times-Bold", "DejaVuSerif-Bold.ttf"},      {"Times-BoldItalic", "DejaVuSerif-BoldItalic.ttf"},
    {"Helvetica", "DejaVuSans.ttf"},             {"Helvetica-Oblique", "DejaVuSans-Oblique.ttf"},
    {"Helvetica-Bold", "DejaVuSans-Bold.ttf"},   {"Helvetica-BoldOblique", "DejaVuSans-BoldOblique.ttf"},
    {"Courier", "DejaVuSansMono.ttf"},           {"Courier-Oblique", "DejaVuSansMono-Oblique.ttf"},
    {"Courier-Bold", "DejaVuSansMono-Bold.ttf"}, {"Courier-BoldOblique", "DejaVuSansMono-BoldOblique.ttf"},
    {"Symbol", "DejaVuSans.ttf"},                {"ZapfDingbats", "DejaVuSans.ttf"},
};

std::string g_fontMapPath;

void RemoveFontMap()
{
    if (!g_fontMapPath.empty()) unlink(g_fontMapPath.c_str());
}

// Path of the font map, or empty when it could not be written.
const std::string& FontMapPath()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/tallix-wmf-fontmap-XXXXXX";
        const int fd = mkostemp(path.data(), O_CLOEXEC);
        if (fd < 0) return;
        FILE* f = fdopen(fd, "w");
        if (!f) {
            close(fd);
            unlink(path.c_str());
            return;
        }
        for (const auto& m : kFontMap) std::fprintf(f, "/%s (%s%s) ;\n", m[0], kFontDir, m[1]);
        if (std::fclose(f) != 0) {
            unlink(path.c_str());
            return;
        }
        g_fontMapPath = path;
        std::atexit(RemoveFontMap);
    });
    return g_fontMapPath;
}

// libwmf trusts the header: it allocates a buffer of the declared largest
// record before reading any, so a few bytes could ask for gigabytes. No
// record can be larger than the file that holds it.
bool HeaderPlausible(const uint8_t* data, size_t size)
{
    const size_t at = ReadLe32(data) == 0x9AC6CDD7u ? 22 : 0;
    if (size < at + 18) return false;
    const uint8_t* h = data + at;
    const uint32_t type = ReadLe16(h), headerWords = ReadLe16(h + 2), maxRecordWords = ReadLe32(h + 12);
    return (type == 1 || type == 2) && headerWords == 9 && uint64_t(maxRecordWords) * 2 <= size - at;
}

}  // namespace

int DecodeWmfWithLibrary(const uint8_t* data, size_t size, CSkinImage& out, int dpi)
{
    out.Destroy();
    if (size < 18 || dpi <= 0 || dpi > 1200 || !HeaderPlausible(data, size)) return 0;
    wmfAPI_Options options;
    std::memset(&options, 0, sizeof options);
    options.function = wmf_gd_function;
    unsigned long flags = WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    const std::string& fontMap = FontMapPath();
    if (!fontMap.empty()) {
        options.gs_fontmap_file = const_cast<char*>(fontMap.c_str());
        flags |= WMF_OPT_GS_FONTMAP;
    }
    WmfApi h;
    if (wmf_api_create(&h.api, flags, &options) != wmf_E_None) {
        h.api = nullptr;  // libwmf has already released a failed API
        return 0;
    }
    // libwmf only reads the buffer; its signature predates const.
    if (wmf_mem_open(h.api, const_cast<unsigned char*>(data), long(size)) != wmf_E_None) return 0;
    wmfD_Rect bbox;
    if (wmf_scan(h.api, 0, &bbox) != wmf_E_None) return 0;
    unsigned int w = 0, hgt = 0;
    if (wmf_display_size(h.api, &w, &hgt, dpi, dpi) != wmf_E_None) return 0;
    if (!CSkinImage::SizeAllowed(w, hgt)) return 0;
    wmf_gd_t* dev = WMF_GD_GetData(h.api);
    dev->type = wmf_gd_image;
    dev->bbox = bbox;
    dev->width = w;
    dev->height = hgt;
    const wmf_error_t played = wmf_play(h.api, 0, &bbox);
    h.canvas = static_cast<gdImagePtr>(dev->gd_image);
    if (played != wmf_E_None || !h.canvas || !h.canvas->trueColor || !h.canvas->tpixels) return 0;
    // The canvas may differ a little from the size asked for; take it as it is.
    if (!out.Create(h.canvas->sx, h.canvas->sy)) return 0;
    // GD true colour: 7-bit alpha on top (0 opaque, 127 transparent), then RGB.
    for (int y = 0; y < h.canvas->sy; ++y) {
        uint32_t* row = out.Row(y);
        for (int x = 0; x < h.canvas->sx; ++x) row[x] = uint32_t(h.canvas->tpixels[y][x]) & CSkinImage::kWhite;
    }
    return 1;
}
