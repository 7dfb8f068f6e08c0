#pragma once
// Helpers shared by the image tests: the public image corpus, file bytes and
// pixel comparison.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "skins/image/SkinImage.h"

namespace imagetest {

// The corpus folder, or empty when this machine has none.
inline std::filesystem::path CorpusDir()
{
    const char* env = std::getenv("TALLIX_TESTDATA");
    std::filesystem::path dir = std::filesystem::path(env ? env : "/work/shared/testdata") / "images";
    return std::filesystem::is_directory(dir) ? dir : std::filesystem::path();
}

inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), {});
}

struct Difference {
    bool sameSize = false;
    int64_t pixels = 0;  // pixels differing by more than the tolerance
    int maxDelta = 0;    // largest channel difference seen
};

inline Difference Compare(const CSkinImage& a, const CSkinImage& b, int tolerance)
{
    Difference d;
    d.sameSize = a.Width() == b.Width() && a.Height() == b.Height();
    if (!d.sameSize) return d;
    for (int y = 0; y < a.Height(); ++y) {
        for (int x = 0; x < a.Width(); ++x) {
            const uint32_t p = a.Row(y)[x], q = b.Row(y)[x];
            int worst = 0;
            for (int s = 0; s < 24; s += 8) worst = std::max(worst, std::abs(int((p >> s) & 255) - int((q >> s) & 255)));
            d.maxDelta = std::max(d.maxDelta, worst);
            if (worst > tolerance) ++d.pixels;
        }
    }
    return d;
}

}  // namespace imagetest
