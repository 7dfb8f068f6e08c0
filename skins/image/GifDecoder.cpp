// GIF through giflib, first frame only, read line by line (never slurped: a
// hostile file can declare frames of 65535 x 65535 pixels). The frame is laid
// onto a canvas of the logical screen size; what it leaves uncovered, and its
// transparent pixels, are black.
#include <gif_lib.h>

#include <cstring>
#include <vector>

#include "skins/image/ImageFormats.h"
#include "skins/image/LibraryDecoders.h"

namespace {

struct GifSource {
    const uint8_t* data;
    size_t size;
    size_t pos;
};

int ReadFromMemory(GifFileType* gif, GifByteType* dst, int length)
{
    auto* src = static_cast<GifSource*>(gif->UserData);
    if (length <= 0) return 0;
    const size_t n = std::min(size_t(length), src->size - src->pos);
    std::memcpy(dst, src->data + src->pos, n);
    src->pos += n;
    return int(n);
}

struct GifCloser {
    GifFileType* gif;
    ~GifCloser()
    {
        int err = 0;
        if (gif) DGifCloseFile(gif, &err);
    }
};

// The graphic control extension that applies to the next image.
struct Control {
    bool present = false;
    int transparent = -1;
};

Control ReadControl(const GifByteType* ext)
{
    GraphicsControlBlock gcb;
    if (ext && ext[0] == 4 && DGifExtensionToGCB(4, ext + 1, &gcb) == GIF_OK) return {true, gcb.TransparentColor};
    return {};
}

// Reads the frame's rows into the canvas. Returns false on a defect; data
// that simply ends early keeps the rows already read, as viewers show them.
bool ReadFrame(GifFileType* gif, CSkinImage& out, int transparent)
{
    const GifImageDesc& d = gif->Image;
    const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
    // A file with no colour table at all: the two-colour default of viewers.
    static const GifColorType kDefault[2] = {{0, 0, 0}, {255, 255, 255}};
    const GifColorType* colors = map ? map->Colors : kDefault;
    const int count = map ? map->ColorCount : 2;
    std::vector<GifPixelType> line(size_t(d.Width));
    static const int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
    const int passes = d.Interlace ? 4 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        for (int row = d.Interlace ? kStart[pass] : 0; row < d.Height; row += d.Interlace ? kStep[pass] : 1) {
            if (DGifGetLine(gif, line.data(), d.Width) != GIF_OK) return gif->Error == D_GIF_ERR_READ_FAILED;
            const int y = d.Top + row;
            if (y < 0 || y >= out.Height()) continue;
            uint32_t* dst = out.Row(y);
            for (int i = 0; i < d.Width; ++i) {
                const int x = d.Left + i;
                const int c = line[size_t(i)];
                if (c == transparent) continue;
                if (c >= count) return false;
                if (x >= 0 && x < out.Width()) dst[x] = MakeRgb(colors[c].Red, colors[c].Green, colors[c].Blue);
            }
        }
    }
    return true;
}

}  // namespace

// The first frame: the images up to the first one that has a graphic
// control block (an animation frame). Images without one are drawn together
// as parts of one picture, as viewers do; in GIF87a every image is a frame.
int DecodeGifWithLibrary(const uint8_t* data, size_t size, CSkinImage& out)
{
    out.Destroy();
    if (size < 6 || std::memcmp(data, "GIF8", 4) != 0) return 0;
    const bool gif87 = data[4] == '7';
    GifSource src{data, size, 0};
    int err = 0;
    GifCloser gif{DGifOpen(&src, ReadFromMemory, &err)};
    if (!gif.gif) return 0;
    if (!out.Create(gif.gif->SWidth, gif.gif->SHeight)) return 0;
    Control control;
    bool drawn = false;
    for (;;) {
        GifRecordType type;
        if (DGifGetRecordType(gif.gif, &type) != GIF_OK || type == TERMINATE_RECORD_TYPE) break;
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* ext = nullptr;
            if (DGifGetExtension(gif.gif, &code, &ext) != GIF_OK) break;
            if (code == GRAPHICS_EXT_FUNC_CODE) control = ReadControl(ext);
            while (ext)
                if (DGifGetExtensionNext(gif.gif, &ext) != GIF_OK) ext = nullptr;
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE) continue;
        const bool described = DGifGetImageDesc(gif.gif) == GIF_OK;
        const GifImageDesc& d = gif.gif->Image;
        // An image of no pixels covers nothing (it may even lack its data).
        if (d.Width == 0 || d.Height == 0) {
            if (described) continue;
            break;
        }
        if (!described) break;
        if (d.Width < 0 || d.Height < 0 || d.Width > CSkinImage::kMaxSide || d.Height > CSkinImage::kMaxSide ||
            int64_t(d.Width) * d.Height > CSkinImage::kMaxPixels || !ReadFrame(gif.gif, out, control.transparent)) {
            if (drawn) break;  // a later image of the frame is bad: show what came before
            out.Destroy();
            return 0;
        }
        drawn = true;
        if (gif87 || control.present) break;
        control = {};
    }
    // A file whose first frame has no image shows its empty canvas.
    return 1;
}
