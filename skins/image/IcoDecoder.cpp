// ICO and CUR: a directory of images, each a PNG stream or a DIB with an AND
// mask. The largest image (then the deepest, then the first) is taken; if it
// does not decode, the next best is tried.
#include <algorithm>
#include <cstring>
#include <vector>

#include "skins/image/ImageFormats.h"

namespace {

constexpr size_t kDirEntry = 16;

struct IcoEntry {
    size_t offset, length, order;
    uint64_t area;
    unsigned bpp;
};

}  // namespace

int DecodeIco(const uint8_t* data, size_t size, CSkinImage& out)
{
    out.Destroy();
    if (size < 6 || ReadLe16(data) != 0) return 0;
    const unsigned type = ReadLe16(data + 2), count = ReadLe16(data + 4);
    if ((type != 1 && type != 2) || count == 0) return 0;
    std::vector<IcoEntry> entries;
    for (unsigned i = 0; i < count; ++i) {
        const size_t at = 6 + size_t(i) * kDirEntry;
        if (at + kDirEntry > size) break;
        const uint8_t* e = data + at;
        const size_t offset = ReadLe32(e + 12);
        if (offset >= size) continue;
        // Some writers get the length wrong; never read past the file.
        const size_t length = std::min<size_t>(ReadLe32(e + 8), size - offset);
        const uint64_t w = e[0] ? e[0] : 256, h = e[1] ? e[1] : 256;
        // For cursors the bit-count field holds the hotspot; depth is then unknown.
        const unsigned bpp = type == 1 ? ReadLe16(e + 6) : 0;
        entries.push_back({offset, length, i, w * h, bpp});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const IcoEntry& a, const IcoEntry& b) {
        return a.area != b.area ? a.area > b.area : a.bpp > b.bpp;
    });
    static const uint8_t kPngSig[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    // A hostile directory may list thousands of entries pointing at one
    // expensive image; a handful of attempts is plenty for a real icon.
    if (entries.size() > 8) entries.resize(8);
    for (const IcoEntry& e : entries) {
        const uint8_t* p = data + e.offset;
        int ok = e.length >= 8 && std::memcmp(p, kPngSig, 8) == 0 ? DecodePng(p, e.length, out)
                                                                  : DecodeDib(p, e.length, 0, true, out);
        if (ok) return 1;
    }
    out.Destroy();
    return 0;
}
