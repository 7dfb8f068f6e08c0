#include "tests/skins/SkinTestKit.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder()
{
    static std::atomic<int> counter{0};
    fs::path p = fs::temp_directory_path() /
                 ("tallix-skin-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    fs::remove_all(p);
    fs::create_directories(p);
    m_path = p.string() + "/";
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ec;
    fs::remove_all(m_path, ec);
}

void ScratchFolder::Write(const std::string& relative, const std::string& content) const
{
    fs::path p = fs::path(m_path) / relative;
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << content;
}

void ScratchFolder::Remove(const std::string& relative) const { fs::remove(fs::path(m_path) / relative); }

std::string EncodeBmp(const CSkinImage& image)
{
    const int w = image.Width(), h = image.Height();
    const int rowBytes = (w * 3 + 3) & ~3;
    const uint32_t dataSize = static_cast<uint32_t>(rowBytes * h);
    std::string out;
    auto put16 = [&](uint32_t v) { out += char(v & 0xFF); out += char((v >> 8) & 0xFF); };
    auto put32 = [&](uint32_t v) { put16(v & 0xFFFF); put16(v >> 16); };
    out += "BM";
    put32(54 + dataSize); put32(0); put32(54);
    put32(40); put32(static_cast<uint32_t>(w)); put32(static_cast<uint32_t>(h));
    put16(1); put16(24); put32(0); put32(dataSize); put32(2835); put32(2835); put32(0); put32(0);
    for (int y = h - 1; y >= 0; --y) {
        int n = 0;
        for (int x = 0; x < w; ++x, n += 3) {
            uint32_t p = image.GetPixel(x, y);
            out += char(p & 0xFF);
            out += char((p >> 8) & 0xFF);
            out += char((p >> 16) & 0xFF);
        }
        for (; n < rowBytes; ++n) out += '\0';
    }
    return out;
}

std::string SourceDir()
{
    const char* s = std::getenv("TALLIX_SOURCE_DIR");
    return s ? s : ".";
}
