// Load any bytes, look them up, save, and check that a saved file reads back
// to the same text.
#include "datafiles/IniStore.h"
#include "tests/datafiles/TempFolder.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// In a folder under TMPDIR that goes when the process ends.
std::string ScratchPath(const char* name)
{
    static TempFolder folder;
    return folder.File(name);
}

bool WriteBytes(const std::string& path, const uint8_t* data, size_t size)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = std::fwrite(data, 1, size, file) == size;
    return (std::fclose(file) == 0) && ok;
}

std::string ReadBytes(const std::string& path)
{
    std::string text;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return text;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
    std::fclose(file);
    return text;
}

// Names to look up: the pieces of the input between brackets, equals signs and line ends.
void LookUpPieces(CIniStore& store, const std::string& text)
{
    size_t start = 0;
    std::string section = "S";
    for (size_t i = 0; i <= text.size() && i < 4096; ++i) {
        if (i < text.size() && text[i] != '\n' && text[i] != '=' && text[i] != '[' && text[i] != ']') continue;
        std::string piece = text.substr(start, i - start);
        start = i + 1;
        std::string s;
        int n = 0, x = 0, y = 0;
        uint32_t colour = 0;
        double d = 0;
        store.GetString(s, section.c_str(), piece.c_str(), "d");
        store.GetInt(n, section.c_str(), piece.c_str(), 1);
        store.GetIntPair(x, y, section.c_str(), piece.c_str(), 2, 3);
        store.GetColor(colour, section.c_str(), piece.c_str(), 4);
        store.GetDouble(d, section.c_str(), piece.c_str(), 5.0);
        store.SetValue(section.c_str(), piece.c_str(), piece.c_str());
        if (store.FindSection(piece.c_str()) >= 0) section = piece;
        store.FindKey(store.FindSection(section.c_str()), piece.c_str());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string input = ScratchPath("in.ini"), first = ScratchPath("a.ini"), second = ScratchPath("b.ini");
    if (!WriteBytes(input, data, size)) return 0;
    CIniStore store;
    if (!store.Load(input.c_str())) std::abort();
    LookUpPieces(store, std::string(reinterpret_cast<const char*>(data), size));
    if (!store.Save(first.c_str())) std::abort();
    CIniStore again;
    if (!again.Load(first.c_str()) || !again.Save(second.c_str())) std::abort();
    std::string a = ReadBytes(first), b = ReadBytes(second);
    // A saved text longer than the reader's 30,000 bytes cannot come back whole.
    if (a.size() <= 30000 && a != b) std::abort();
    return 0;
}
