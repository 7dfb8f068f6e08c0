// Fuzz target: a skin description and its button definition file from the
// input (split at the first "\n@@\n"), loaded the way the program loads a
// skin; the group the first byte names is built, drawn and clicked, and the
// page-switch band or the checker runs when that byte asks for it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <string>

#include "platform/MessageBox.h"
#include "skins/ButtonGroup.h"
#include "skins/KeypadSurface.h"
#include "skins/PageSwitch.h"
#include "skins/SkinCheck.h"
#include "skins/SkinResources.h"
#include "tests/datafiles/TempFolder.h"

namespace {

struct Quiet : IMessageBox {
    MessageAnswer Show(const std::string&, const std::string&, MessageKind, MessageButtons) override
    {
        return MessageAnswer::Ok;
    }
};
struct NullHost : ISkinHost {
    void InvalidateRect(const SkinRect&) override {}
};
struct NullTarget : IMessageTarget {
    void PostMessage(unsigned, intptr_t, intptr_t) override {}
    intptr_t SendMessage(unsigned, intptr_t, intptr_t) override { return 0; }
};

void WriteFile(const std::string& path, const std::string& data)
{
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data.data(), 1, data.size(), f);
        std::fclose(f);
    }
}

// A small 24-bit BMP of one colour, for the images a fuzzed skin may name.
std::string Bmp(int w, int h)
{
    const int row = (w * 3 + 3) & ~3;
    std::string out = "BM";
    auto put = [&](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) out += char((v >> (8 * i)) & 0xFF);
    };
    put(54 + row * h, 4); put(0, 4); put(54, 4); put(40, 4); put(w, 4); put(h, 4);
    put(1, 2); put(24, 2); put(0, 4); put(row * h, 4);
    out.append(16, '\0');
    out.append(size_t(row) * h, '\x40');
    return out;
}

const std::string& Root()
{
    static std::string root = [] {
        // Under TMPDIR, removed when the process ends.
        static TempFolder folder;
        std::string r = folder.Path() + "/";
        std::error_code error;
        if (folder.Path().empty() || !std::filesystem::create_directories(r + "Skins/f", error)) std::abort();
        // Tiny images: decoding and drawing them costs next to nothing.
        for (const char* name : {"a.bmp", "vga_a.bmp"}) WriteFile(r + "Skins/f/" + name, Bmp(12, 8));
        for (const char* name : {"b.bmp", "vga_b.bmp"}) WriteFile(r + "Skins/f/" + name, Bmp(4, 4));
        return r;
    }();
    return root;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Quiet quiet;
    SetMessageBoxService(&quiet);
    std::string input(reinterpret_cast<const char*>(data), size);
    size_t split = input.find("\n@@\n");
    std::string description = input.substr(0, split);
    std::string buttons = split == std::string::npos ? "" : input.substr(split + 4);
    const std::string& root = Root();
    WriteFile(root + "Skins/f.ini", description);
    WriteFile(root + "Skins/f/Button.ini", buttons);
    WriteFile(root + "Skins/f/vga_Button.ini", buttons);

    NullHost host;
    NullTarget target;
    const int vga = size > 0 && (data[0] & 1);
    CSkinResources res;
    res.SetProgramFolder(root);
    SkinLoadRequest request;
    request.iniFile = "f.ini";
    request.doubleScale = vga;
    SkinLoadResult result;
    // The first byte picks the work, so each input stays small: one group
    // section at one size, the page-switch band and the checker when asked.
    const uint8_t choice = size > 0 ? data[0] : 0;
    if (res.LoadSkin(request, result)) {
        // A smaller page than the window's: buttons beyond it exercise the same
        // clipping, and each input allocates and clears a sixth of the pixels.
        CSkinImage screen;
        screen.Create(96 * (vga + 1), 66 * (vga + 1));
        CPageSwitch band;
        const int compact = (choice >> 5) & 1;
        CButtonGroup group(&res);
        group.Load(kMsgButton, &host, &target, kSkinGroupSections[(choice >> 1) % std::size(kSkinGroupSections)],
                   compact, compact);
        CKeypadSurface surface;
        surface.Setup(screen.Width(), screen.Height(), res.BackgroundWide(), 40, 54);
        // The band's snapshot is a full band of pixels, and the checker reads
        // the skin again: an input asks for one of them at most.
        const bool banded = (choice & 0xC0) == 0x40;
        surface.Paint({0, 0, screen.Width(), screen.Height()}, group, screen, banded ? &band : nullptr, 1, vga);
        if (banded) {
            while (band.Step(screen)) {
            }
        }
        for (int i = 0; i < group.Count(); ++i) {
            int x, y;
            group.Button(i)->GetPosition(x, y);
            group.MouseDown(x, y);
            group.MouseMove(x + 1000, y);
            group.MouseUp(x, y);
            group.DrawButtonAt(i, screen, {0, 0, 50, 50}, -3, 7);
        }
        group.DrawAll(screen, {-5, -5, 20000, 20000}, 1, 0);
    }
    if (choice & 0x80) {
        SkinCheckOptions options;
        options.checkDoubleScale = vga;
        std::vector<SkinIssue> issues;
        CheckSkin(root + "Skins/f.ini", options, issues);
    }
    SetMessageBoxService(nullptr);
    return 0;
}
