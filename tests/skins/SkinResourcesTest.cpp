#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "skins/SkinResources.h"
#include "tests/skins/SkinTestKit.h"

namespace {

const std::string kButtonIni = "[Init]\nBtnDimensionLarge=10,10\n";

std::string SolidBmp(uint32_t color, int w = 4, int h = 2)
{
    return EncodeBmp(MakeImage(w, h, [&](int, int) { return color; }));
}

struct SkinFixture : ::testing::Test {
    ScratchFolder dir;
    RecordingMessageBox boxes;
    CSkinResources res;
    SkinLoadResult result;

    void SetUp() override { res.SetProgramFolder(dir.Path()); }
    void WriteSkin(const std::string& ini, const std::string& init, const std::string& folder)
    {
        dir.Write("Skins/" + ini, "[Init]\n" + init);
        dir.Write("Skins/" + folder + "/Button.ini", kButtonIni);
        dir.Write("Skins/" + folder + "/vga_Button.ini", kButtonIni + "[Vga]\nSeen=1\n");
    }
    int Load(const std::string& iniFile, int vga = 0)
    {
        SkinLoadRequest request;
        request.iniFile = iniFile;
        request.doubleScale = vga;
        return res.LoadSkin(request, result);
    }
};

TEST(SkinPaths, FolderAndVgaNames)
{
    struct Row { const char* in; const char* folder; const char* vga; } rows[] = {
        {"/p/Skins/default.ini", "/p/Skins/default/", "/p/Skins/vga_default.ini"},
        {"/p/Skins/my.skin.ini", "/p/Skins/my.skin/", "/p/Skins/vga_my.skin.ini"},
        {"/p/Skins/dark/keys.bmp", "/p/Skins/dark/keys/", "/p/Skins/dark/vga_keys.bmp"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(SkinFolderOf(r.in), r.folder) << r.in;
        EXPECT_EQ(VgaPath(r.in), r.vga) << r.in;
    }
}

TEST_F(SkinFixture, MissingIniFileFallsBackToDefaultAndReportsTheSetting)
{
    WriteSkin("default.ini", "BackgroundWide=\n", "default");
    ASSERT_EQ(Load("gone.ini"), 1);
    EXPECT_EQ(result.iniFile, "default.ini");
    EXPECT_EQ(result.iniFileChanged, 1);
    EXPECT_EQ(res.SkinFolder(), dir.Path() + "Skins/default/");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(SkinFixture, NoSkinAtAllShowsTheLastPathAndStops)
{
    EXPECT_EQ(Load("gone.ini"), 0);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].first,
              "Error: Unable to read configuration file located in " + dir.Path() +
                  "Skins/default.ini");
    EXPECT_EQ(boxes.shown[0].second, "Tallix");
}

TEST_F(SkinFixture, FailedReloadLeavesNoSkin)
{
    WriteSkin("default.ini", "BackgroundWide=back.bmp\n", "default");
    dir.Write("Skins/default/back.bmp", SolidBmp(0x112233));
    ASSERT_EQ(Load("default.ini"), 1);
    ASSERT_NE(res.BackgroundWide(), nullptr);
    dir.Remove("Skins/default.ini");
    EXPECT_EQ(Load("default.ini"), 0);
    std::string s;
    EXPECT_EQ(res.GetSkinString(s, "Init", "BackgroundWide", "none"), 0);
    EXPECT_EQ(s, "none");
    EXPECT_EQ(res.BackgroundWide(), nullptr);
    EXPECT_EQ(res.ImageCount(), 0);
    EXPECT_EQ(res.ButtonDefinitions().FindSection("Init"), -1);
}

TEST_F(SkinFixture, ConverterBackgroundsKeepTheirPlacesButDecodeAtFirstUse)
{
    WriteSkin("default.ini",
              "BackgroundWide=back.bmp\nConvBackground=conv.bmp\nTipCalcBackground=junk.bmp\n"
              "CurrencyBackground=back.bmp\n",
              "default");
    dir.Write("Skins/default/back.bmp", SolidBmp(0x112233));
    dir.Write("Skins/default/conv.bmp", SolidBmp(0x445566, 6));
    dir.Write("Skins/default/junk.bmp", "not an image");
    dir.Write("Skins/default/face.bmp", SolidBmp(0x778899));
    ASSERT_EQ(Load("default.ini"), 1);
    EXPECT_TRUE(boxes.shown.empty());
    // wide, converter, tip: the shared file takes one place, as before.
    EXPECT_EQ(res.ImageCount(), 3);
    EXPECT_NE(res.LoadImage(res.SkinPath("face.bmp")), nullptr);
    EXPECT_EQ(res.ImageCount(), 4);
    ASSERT_NE(res.ConvBackground(), nullptr);
    EXPECT_EQ(res.ConvBackground()->Width(), 6);
    EXPECT_EQ(res.CurrencyBackground(), res.BackgroundWide());
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(res.TipCalcBackground(), nullptr);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].first, "Unable to load File: " + res.SkinPath("junk.bmp"));
    // Told once: the place stays, empty.
    EXPECT_EQ(res.TipCalcBackground(), nullptr);
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(res.ImageCount(), 4);
}

TEST_F(SkinFixture, MissingButtonFileNamesItsPath)
{
    dir.Write("Skins/bare.ini", "[Init]\nButton=Buttons.ini\n");
    EXPECT_EQ(Load("bare.ini"), 0);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].first, "Error: Unable to read configuration file located in " +
                                         dir.Path() + "Skins/bare/Buttons.ini");
}

TEST_F(SkinFixture, DoubleScaleReadsVgaFilesAndSkinFolderOfDottedName)
{
    WriteSkin("my.skin.ini", "BackgroundWide=back.bmp\n", "my.skin");
    dir.Write("Skins/my.skin/back.bmp", SolidBmp(0x112233));
    dir.Write("Skins/my.skin/vga_back.bmp", SolidBmp(0x445566, 8, 4));
    ASSERT_EQ(Load("my.skin.ini", 1), 1);
    EXPECT_EQ(res.SkinFolder(), dir.Path() + "Skins/my.skin/");
    int seen = 0;
    res.ButtonDefinitions().GetInt(seen, "Vga", "Seen", 0);
    EXPECT_EQ(seen, 1);
    ASSERT_NE(res.BackgroundWide(), nullptr);
    EXPECT_EQ(res.BackgroundWide()->Width(), 8);
    EXPECT_EQ(res.BackgroundWide()->GetPixel(0, 0), 0x445566u);
}

TEST_F(SkinFixture, LookupsGiveDefaultsBeforeAnyLoad)
{
    std::string s;
    int i = 0, x = 0, y = 0;
    uint32_t c = 0;
    EXPECT_EQ(res.GetSkinString(s, "Init", "Button", "Button.ini"), 0);
    EXPECT_EQ(s, "Button.ini");
    EXPECT_EQ(res.GetSkinInt(i, "Display", "TextHeight", 20), 0);
    EXPECT_EQ(i, 20);
    EXPECT_EQ(res.GetSkinPair(x, y, "Display", "BtnMenuLocation", 3, 4), 0);
    EXPECT_EQ(x * 10 + y, 34);
    EXPECT_EQ(res.GetSkinColor(c, "Display", "TextColor", 0x010203), 0);
    EXPECT_EQ(c, 0x010203u);
}

struct ImageCache : SkinFixture {
    void SetUp() override
    {
        SkinFixture::SetUp();
        WriteSkin("default.ini", "", "default");
        ASSERT_EQ(Load("default.ini"), 1);
    }
    std::string Folder() const { return dir.Path() + "Skins/default/"; }
};

TEST_F(ImageCache, NamesDifferingInCaseShareOneDecode)
{
    dir.Write("Skins/default/keys.bmp", SolidBmp(0xFF0000));
    CSkinImage* a = res.LoadImage(Folder() + "Keys.BMP");
    CSkinImage* b = res.LoadImage(Folder() + "keys.bmp");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, b);
    EXPECT_EQ(res.ImageCount(), 1);
    EXPECT_EQ(a->GetPixel(1, 1), 0xFF0000u);
}

TEST_F(ImageCache, DoubleScaleReadsTheVgaImage)
{
    dir.Write("Skins/default/keys.bmp", SolidBmp(0x00FF00));
    dir.Write("Skins/default/vga_keys.bmp", SolidBmp(0x0000FF));
    res.SetDoubleScale(1);
    CSkinImage* img = res.LoadImage(Folder() + "keys.bmp");
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(img->GetPixel(0, 0), 0x0000FFu);
}

TEST_F(ImageCache, FortyFirstImageIsNotLoadedAndClearEmptiesTheCache)
{
    for (int i = 0; i < 41; ++i)
        dir.Write("Skins/default/i" + std::to_string(i) + ".bmp", SolidBmp(uint32_t(i)));
    for (int i = 0; i < 40; ++i)
        ASSERT_NE(res.LoadImage(Folder() + "i" + std::to_string(i) + ".bmp"), nullptr) << i;
    EXPECT_EQ(res.LoadImage(Folder() + "i40.bmp"), nullptr);
    // A full cache still hands out the images it holds.
    EXPECT_NE(res.LoadImage(Folder() + "I0.bmp"), nullptr);
    EXPECT_TRUE(boxes.shown.empty());
    res.ClearImages();
    EXPECT_EQ(res.ImageCount(), 0);
    EXPECT_NE(res.LoadImage(Folder() + "i40.bmp"), nullptr);
}

TEST_F(ImageCache, MissingEmptyAndUndecodableFiles)
{
    dir.Write("Skins/default/vga_junk.bmp", "not an image at all");
    EXPECT_EQ(res.LoadImage(""), nullptr);
    EXPECT_EQ(res.LoadImage(Folder() + "absent.bmp"), nullptr);
    EXPECT_TRUE(boxes.shown.empty());
    res.SetDoubleScale(1);
    EXPECT_EQ(res.LoadImage(Folder() + "junk.bmp"), nullptr);
    ASSERT_EQ(boxes.shown.size(), 1u);
    // The message names the path as the caller gave it, without "vga_".
    EXPECT_EQ(boxes.shown[0].first, "Unable to load File: " + Folder() + "junk.bmp");
    EXPECT_EQ(boxes.shown[0].second, "Error");
    EXPECT_EQ(res.ImageCount(), 0);
}

TEST(SkinFiles, FileExistsAndCaseResolution)
{
    ScratchFolder dir;
    dir.Write("Face.BMP", "x");
    dir.Write("Dark/Keys/Label.png", "x");
    const std::string p = dir.Path();
    struct Row { std::string in, resolved; int exists; } rows[] = {
        {p + "Face.BMP", p + "Face.BMP", 1},
        {p + "face.bmp", p + "Face.BMP", 0},
        {p + "other.bmp", p + "other.bmp", 0},
        // Folders may differ in case as well.
        {p + "dark/keys/label.PNG", p + "Dark/Keys/Label.png", 0},
        {p + "dark/none/label.png", p + "Dark/none/label.png", 0},
        // A folder opens, but is no file to read.
        {p + "Dark", p + "Dark", 0},
        {p + "dark/", p + "Dark/", 0},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(CSkinResources::FileExists(r.in), r.exists) << r.in;
        EXPECT_EQ(ResolveFileCase(r.in), r.resolved) << r.in;
    }
}

// Skins made on systems that ignore case name "INIT.BMP" as "init.bmp"; a
// Turkish LC_CTYPE must not make the capital I a different letter.
TEST(SkinFiles, CaseResolutionIgnoresTheLocale)
{
    ScratchFolder dir;
    dir.Write("INIT/ICON.BMP", "x");
    const char* saved = std::setlocale(LC_CTYPE, nullptr);
    std::string restore = saved ? saved : "C";
    if (!std::setlocale(LC_CTYPE, "tr_TR.UTF-8")) GTEST_SKIP() << "tr_TR.UTF-8 not installed";
    const std::string resolved = ResolveFileCase(dir.Path() + "init/icon.bmp");
    std::setlocale(LC_CTYPE, restore.c_str());
    EXPECT_EQ(resolved, dir.Path() + "INIT/ICON.BMP");
}

TEST_F(ImageCache, BackslashNamesSubfolders)
{
    dir.Write("Skins/default/faces/keys.bmp", SolidBmp(0x00FF00));
    dir.Write("Skins/default/faces/vga_keys.bmp", SolidBmp(0x0000FF));
    EXPECT_EQ(res.SkinPath("faces\\keys.bmp"), Folder() + "faces/keys.bmp");
    struct Row { int vga; uint32_t pixel; } rows[] = {{0, 0x00FF00u}, {1, 0x0000FFu}};
    for (const Row& r : rows) {
        res.ClearImages();
        res.SetDoubleScale(r.vga);
        CSkinImage* img = res.LoadImage(res.SkinPath("faces\\keys.bmp"));
        ASSERT_NE(img, nullptr) << r.vga;
        EXPECT_EQ(img->GetPixel(0, 0), r.pixel);
    }
}

TEST_F(ImageCache, AFolderNamedAsAnImageIsMissingWithoutAMessage)
{
    dir.Write("Skins/default/faces/keys.bmp", SolidBmp(0x00FF00));
    EXPECT_EQ(res.LoadImage(Folder() + "faces"), nullptr);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(res.ImageCount(), 0);
}

TEST_F(SkinFixture, SkinFolderFoundWhateverTheCaseOfItsName)
{
    dir.Write("Skins/Dark.ini", "[Init]\nBackgroundWide=Back.bmp\n");
    dir.Write("Skins/dark/button.ini", kButtonIni);
    dir.Write("Skins/dark/back.bmp", SolidBmp(0x112233));
    ASSERT_EQ(Load("dark.ini"), 1);
    EXPECT_TRUE(boxes.shown.empty());
    ASSERT_NE(res.BackgroundWide(), nullptr);
    EXPECT_EQ(res.BackgroundWide()->GetPixel(0, 0), 0x112233u);
}

}  // namespace

namespace {

// The largest description the program keeps: 125 sections, 30,000 bytes in
// the form the program saves, loads whole and saves back byte for byte.
TEST_F(SkinFixture, LargestDescriptionLoadsAndSavesWithoutLoss)
{
    constexpr int kSections = 125;
    constexpr size_t kBytes = 30000;
    std::vector<std::string> sections;
    size_t size = 0;
    for (int s = 0; s < kSections; ++s) {
        std::string text = "[Group" + std::to_string(s) + "]\r\nLocation=L" + std::to_string(s) + "\r\n";
        for (int k = 1; k <= 3; ++k) text += "Btn" + std::to_string(k) + "=Button" + std::to_string(s * 3 + k) + "\r\n";
        sections.push_back(text + "\r\n");
        size += sections.back().size();
    }
    // The remaining bytes pad values up to exactly the size read.
    ASSERT_LT(size, kBytes);
    size_t missing = kBytes - size;
    for (std::string& section : sections) {
        const size_t add = std::min<size_t>(missing, 200);
        section.insert(section.find("\r\nBtn1="), std::string(add, 'x'));
        missing -= add;
    }
    std::string text;
    for (const std::string& section : sections) text += section;
    ASSERT_EQ(kBytes, text.size());
    dir.Write("Skins/big.ini", text);

    const std::string path = dir.Path() + "Skins/big.ini";
    ASSERT_EQ(1, res.LoadSkinDescription(path.c_str()));
    std::string value;
    EXPECT_EQ(1, res.GetSkinString(value, "Group124", "Btn3", ""));
    EXPECT_EQ("Button375", value);
    ASSERT_EQ(1, res.SaveSkinDescription());
    std::ifstream saved(path, std::ios::binary);
    EXPECT_EQ(text, std::string(std::istreambuf_iterator<char>(saved), {}));
    EXPECT_TRUE(boxes.shown.empty());
}

} // namespace

namespace {

struct UserSkinFixture : SkinFixture {
    void SetUp() override
    {
        SkinFixture::SetUp();
        res.SetUserFolder(dir.Path() + "user/");
        dir.Write("Skins/default/Button.ini", kButtonIni);
    }
    std::string Copy() const { return dir.Path() + "user/Customized/default.ini"; }
};

} // namespace

// The skin's own description is never written; an edit goes to the user's
// copy, and only from a description read whole.
TEST_F(UserSkinFixture, OnlyAnEditIsSavedAndOnlyFromAWholeRead)
{
    const std::string sections = "[Init]\r\nButton=Button.ini\r\n\r\n[Custom1]\r\nBtn1=Sin\r\n";
    const struct {
        const char* what;
        std::string text;
        bool whole;
    } rows[] = {
        {"a comment", "; made by hand\r\n" + sections, true},
        {"two empty lines", sections + "\r\n\r\n[Later]\r\nKey=1\r\n", false},
        {"past 30,000 bytes", sections + "[Big]\r\nKey=" + std::string(30000, 'x') + "\r\n", false},
        {"a garbled line", sections + "no equals sign here\r\n", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        boxes.shown.clear();
        std::remove(Copy().c_str());
        dir.Write("Skins/default.ini", row.text);
        ASSERT_EQ(Load("default.ini"), 1);
        EXPECT_EQ(res.SaveSkinDescription(), 1); // nothing edited: nothing written
        EXPECT_FALSE(CSkinResources::FileExists(Copy()));
        res.Description().SetValue("Custom1", "Btn1", "Cos");
        res.MarkDescriptionEdited();
        EXPECT_EQ(res.SaveSkinDescription(), row.whole ? 1 : 0);
        EXPECT_EQ(boxes.shown.size(), row.whole ? 0u : 1u);
        EXPECT_EQ(CSkinResources::FileExists(Copy()), row.whole ? 1 : 0);
        std::ifstream own(dir.Path() + "Skins/default.ini", std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(own), {}), row.text);
    }
    // The copy is what the next start reads.
    dir.Write("Skins/default.ini", "; made by hand\r\n" + sections);
    ASSERT_EQ(Load("default.ini"), 1);
    res.Description().SetValue("Custom1", "Btn1", "Tan");
    res.MarkDescriptionEdited();
    ASSERT_EQ(res.SaveSkinDescription(), 1);
    CSkinResources next;
    next.SetProgramFolder(dir.Path());
    next.SetUserFolder(dir.Path() + "user/");
    ASSERT_EQ(next.LoadSkin(SkinLoadRequest{}, result), 1);
    std::string button;
    next.GetSkinString(button, "Custom1", "Btn1", "");
    EXPECT_EQ(button, "Tan");
    EXPECT_EQ(next.SkinFolder(), dir.Path() + "Skins/default/");
    // A skin removed is gone, whatever copy of its description is left.
    dir.Write("user/Customized/gone.ini", "[Init]\r\nButton=Button.ini\r\n");
    ASSERT_EQ(next.LoadSkin(SkinLoadRequest{"gone.ini"}, result), 1);
    EXPECT_EQ(result.iniFile, "default.ini");
}

// The IniFile setting names a file in the skins folder, nothing else.
// A save that fails keeps the edit for the next one, and says so once.
TEST_F(UserSkinFixture, AFailedSaveIsTriedAgainAndReportedOnce)
{
    dir.Write("Skins/default.ini", "[Init]\r\nButton=Button.ini\r\n\r\n[Custom1]\r\nBtn1=Sin\r\n");
    ASSERT_EQ(Load("default.ini"), 1);
    std::filesystem::create_directories(Copy()); // the copy's place is taken: the write fails
    res.Description().SetValue("Custom1", "Btn1", "Cos");
    res.MarkDescriptionEdited();
    EXPECT_EQ(res.SaveSkinDescription(), 0);
    EXPECT_EQ(res.SaveSkinDescription(), 0);
    EXPECT_EQ(boxes.shown.size(), 1u);
    std::filesystem::remove(Copy());
    EXPECT_EQ(res.SaveSkinDescription(), 1);
    std::ifstream copy(Copy(), std::ios::binary);
    EXPECT_NE(std::string(std::istreambuf_iterator<char>(copy), {}).find("Btn1=Cos"), std::string::npos);
    EXPECT_EQ(boxes.shown.size(), 1u);
}

TEST_F(UserSkinFixture, IniFileOutsideTheSkinsFolderFallsBackToDefault)
{
    dir.Write("Skins/default.ini", "[Init]\nButton=Button.ini\n");
    dir.Write("victim/notes.txt", "[Init]\nButton=../Skins/default/Button.ini\n");
    dir.Write("Skins/sub/inner.ini", "[Init]\nButton=../default/Button.ini\n");
    const std::vector<std::string> names = {"../victim/notes.txt", dir.Path() + "victim/notes.txt", "sub/inner.ini",
                                            "..\\victim\\notes.txt", "..", ""};
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        ASSERT_EQ(Load(name), 1);
        EXPECT_EQ(result.iniFile, "default.ini");
        EXPECT_EQ(result.iniFileChanged, 1);
        EXPECT_EQ(res.DescriptionPath(), dir.Path() + "Skins/default.ini");
    }
}

// A skin the user adds is listed with the shipped ones and read before a
// shipped skin of the same name.
TEST_F(UserSkinFixture, UsersSkinsAreListedAndReadFirst)
{
    dir.Write("Skins/default.ini", "[Init]\nButton=Button.ini\n");
    dir.Write("Skins/Dark.ini", "[Init]\nButton=Button.ini\n");
    dir.Write("Skins/Dark/Button.ini", kButtonIni);
    dir.Write("user/Skins/mine.ini", "[Init]\nButton=Button.ini\n");
    dir.Write("user/Skins/mine/Button.ini", kButtonIni);
    dir.Write("user/Skins/DEFAULT.INI", "[Init]\nButton=Button.ini\nMine=1\n");
    dir.Write("user/Skins/default/Button.ini", kButtonIni);
    dir.Write("user/Skins/notes.txt", "not a skin");
    EXPECT_EQ(res.ListSkins(0), (std::vector<std::string>{"Dark.ini", "DEFAULT.INI", "mine.ini"}));
    ASSERT_EQ(Load("mine.ini"), 1);
    EXPECT_EQ(res.SkinFolder(), dir.Path() + "user/Skins/mine/");
    ASSERT_EQ(Load("default.ini"), 1);
    int mine = 0;
    res.GetSkinInt(mine, "Init", "Mine", 0);
    EXPECT_EQ(mine, 1);
}

// A skin that cannot show its keys at this scale (a description copied without
// its folder, no double-size button file, a broken copy of the default) gives
// way to the shipped default, and is not offered.
TEST_F(UserSkinFixture, SkinWithoutItsButtonFileGivesWayToTheShippedDefault)
{
    dir.Write("Skins/default.ini", "[Init]\nButton=Button.ini\n");
    dir.Write("Skins/default/vga_Button.ini", kButtonIni);
    dir.Write("Skins/plain.ini", "[Init]\n");
    dir.Write("Skins/plain/Button.ini", kButtonIni);
    dir.Write("user/Skins/copied.ini", "[Init]\n");
    dir.Write("user/Skins/default.ini", "[Init]\nMine=1\n");
    const struct {
        const char* skin;
        int vga;
        const char* folder;  // of the skin loaded, under the test folder
        int changed;
        const char* told;    // the button file the message names; "" none
    } rows[] = {
        {"copied.ini", 0, "Skins/default/", 1, "user/Skins/copied/Button.ini"},
        {"plain.ini", 1, "Skins/default/", 1, "Skins/plain/vga_Button.ini"},
        {"plain.ini", 0, "Skins/plain/", 0, ""},
        {"default.ini", 1, "Skins/default/", 0, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.skin) + " vga " + std::to_string(row.vga));
        boxes.shown.clear();
        ASSERT_EQ(Load(row.skin, row.vga), 1);
        EXPECT_EQ(res.SkinFolder(), dir.Path() + row.folder);
        EXPECT_EQ(result.iniFileChanged, row.changed);
        EXPECT_EQ(res.ButtonDefinitions().FindSection("Init"), 0);
        ASSERT_EQ(boxes.shown.size(), *row.told ? 1u : 0u);
        if (*row.told) {
            EXPECT_EQ(boxes.shown[0].first,
                      "Error: Unable to read configuration file located in " + dir.Path() + row.told);
        }
    }
    EXPECT_EQ(res.ListSkins(0), (std::vector<std::string>{"default.ini", "plain.ini"}));
    EXPECT_EQ(res.ListSkins(1), (std::vector<std::string>{"default.ini"}));
}
