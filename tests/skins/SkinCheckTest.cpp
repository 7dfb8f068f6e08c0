#include <gtest/gtest.h>

#include <algorithm>

#include "skins/SkinCheck.h"
#include "tests/skins/SkinTestKit.h"

namespace {

int KnowsTypeOne(int type, int) { return type == 1; }

// A small skin that is clean, and the one-line damages that the checker must name.
struct CheckFixture : ::testing::Test {
    ScratchFolder dir;
    std::string description =
        "[Init]\nBackgroundWide=back.bmp\n"
        "[Main]\nBtn1=Key\nBtn2=Key\n"
        "[MainButtonLocations]\nNumberOfButtons=2\nCoord1=0,0\nCoord2=40,0\n"
        "[MainButtonLocationsSmall]\nNumberOfButtons=2\nCoord1=0,0\nCoord2=40,0\n";
    std::string definitions =
        "[Init]\nBtnDimensionLarge=30,20\nFntDimensionLarge=10,6\nFntOffSetLarge=2,3\n"
        "BtnDimensionMedium=30,20\nFntDimensionMedium=10,6\nFntOffSetMedium=2,3\n"
        "BtnDimensionSmall=30,20\nFntDimensionSmall=10,6\nFntOffSetSmall=2,3\n"
        "[Key]\nBtnType=1\nBtnId=2\nBtnStyle=0\nFontStyle=0\n"
        "BtnImageLarge=face.bmp\nFontImageLarge=font.bmp\nBtnImageMedium=face.bmp\nFontImageMedium=font.bmp\n";

    std::vector<SkinIssue> Check(const std::string& desc, const std::string& defs,
                                 const std::vector<std::pair<std::string, std::string>>& extra = {}, int doubleScale = 0)
    {
        dir.Write("Skins/c.ini", desc);
        dir.Write("Skins/c/Button.ini", defs);
        dir.Write("Skins/c/face.bmp", EncodeBmp(MakeImage(90, 20, [](int, int) { return 0u; })));
        dir.Write("Skins/c/font.bmp", EncodeBmp(MakeImage(10, 12, [](int, int) { return 0u; })));
        dir.Write("Skins/c/back.bmp", EncodeBmp(MakeImage(4, 4, [](int, int) { return 0u; })));
        for (const auto& [name, content] : extra) dir.Write(name, content);
        SkinCheckOptions options;
        options.isKnownCommand = KnowsTypeOne;
        options.checkDoubleScale = doubleScale;
        std::vector<SkinIssue> issues;
        CheckSkin(dir.Path() + "Skins/c.ini", options, issues);
        return issues;
    }
    static std::string Replace(std::string s, const std::string& from, const std::string& to)
    {
        size_t at = s.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? s : s.replace(at, from.size(), to);
    }
};

// Issues about the groups and pages this small skin leaves out on purpose.
bool AboutAbsentParts(const SkinIssue& i)
{
    return i.where.find("[Main]") != 0 && i.where != "files" && i.where != "[Init]";
}

std::vector<std::string> Relevant(const std::vector<SkinIssue>& issues)
{
    std::vector<std::string> out;
    for (const SkinIssue& i : issues)
        if (!AboutAbsentParts(i) && i.what.find("Small") == std::string::npos &&
            i.what.find("ConvMarkerImage") == std::string::npos)
            out.push_back(i.where + ": " + i.what);
    return out;
}

TEST_F(CheckFixture, CleanSkinHasNoIssuesInItsOwnParts)
{
    EXPECT_EQ(Relevant(Check(description, definitions)), std::vector<std::string>{});
}

TEST_F(CheckFixture, EachDamageIsNamed)
{
    struct Row { const char* name; std::string desc, defs; const char* expected; } rows[] = {
        {"missing key", description, Replace(definitions, "BtnStyle=0\n", ""),
         "[Main]: button Key: missing key BtnStyle"},
        {"unknown pair", description, Replace(definitions, "BtnType=1", "BtnType=4"),
         "[Main]: button Key: the calculator does not know the command pair BtnType=4, BtnId=2"},
        {"overlap", Replace(description, "Coord2=40,0\n[MainButtonLocationsSmall]", "Coord2=20,10\n[MainButtonLocationsSmall]"),
         definitions, "[Main]: Btn2 (Key) overlaps Btn1 (Key)"},
        {"outside", Replace(description, "Coord2=40,0\n[MainButtonLocationsSmall]", "Coord2=230,0\n[MainButtonLocationsSmall]"),
         definitions, "[Main]: Btn2 (Key) at 230,0 reaches outside the 240x162 page"},
        {"missing image", description, Replace(definitions, "BtnImageLarge=face.bmp", "BtnImageLarge=gone.bmp"),
         "[Main]: button Key: face image gone.bmp is missing"},
        {"undecodable image", description, Replace(definitions, "FontImageLarge=font.bmp", "FontImageLarge=Button.ini"),
         "[Main]: button Key: label image Button.ini does not decode"},
        {"style beyond the image", description, Replace(definitions, "BtnStyle=0", "BtnStyle=1"),
         "[Main]: button Key: face image face.bmp is 90x20, too small for BtnStyle 1 of 30x20 buttons"},
        {"missing Btn", Replace(description, "Btn2=Key\n", ""), definitions,
         "[Main]: Btn2 is missing: the group stops after 1 of 2 buttons"},
        {"no buttons", Replace(description, "[MainButtonLocations]\nNumberOfButtons=2", "[MainButtonLocations]\nNumberOfButtons=0"),
         definitions, "[Main]: NumberOfButtons of [MainButtonLocations] is 0 or missing"},
        {"size keys", description, Replace(definitions, "FntOffSetLarge=2,3\n", ""),
         "files: missing key FntOffSetLarge in [Init] of Button.ini"},
        {"background", Replace(description, "back.bmp", "nothing.bmp"), definitions,
         "[Init]: BackgroundWide image nothing.bmp is missing"},
    };
    for (const Row& r : rows) {
        std::vector<std::string> found = Relevant(Check(r.desc, r.defs));
        bool seen = false;
        for (const std::string& f : found) seen |= f == r.expected;
        EXPECT_TRUE(seen) << r.name << "; got:\n" << ::testing::PrintToString(found);
    }
}

TEST_F(CheckFixture, UnreadableDescription)
{
    SkinCheckOptions options;
    std::vector<SkinIssue> issues;
    EXPECT_EQ(CheckSkin(dir.Path() + "Skins/none.ini", options, issues), 1);
    EXPECT_EQ(issues.at(0).what, "cannot read the skin description " + dir.Path() + "Skins/none.ini");
}

TEST_F(CheckFixture, OversizedButtonFileIsReported)
{
    std::string big = definitions;
    for (int i = 0; i < 130; ++i) big += "[Extra" + std::to_string(i) + "]\nBtnType=1\n";
    bool seen = false;
    for (const SkinIssue& i : Check(description, big))
        seen |= i.what.find("sections; only the first 125 are kept") != std::string::npos;
    EXPECT_TRUE(seen);
}

// The 1-based line of the first line holding `part`.
int LineHolding(const std::string& text, const std::string& part)
{
    size_t at = text.find(part);
    return at == std::string::npos ? 0 : 1 + static_cast<int>(std::count(text.begin(), text.begin() + at, '\n'));
}

// Each issue of a row must appear exactly once, in the file and at the line
// that holds the text named.
struct PlacedRow {
    const char* name;
    std::string desc, defs;
    const char* expected;  // where: what
    const char* file;
    std::string lineText;  // found in the description or the definitions
};

void ExpectPlacedOnce(const std::vector<SkinIssue>& issues, const PlacedRow& r)
{
    int seen = 0;
    for (const SkinIssue& i : issues) {
        if (i.where + ": " + i.what != r.expected) continue;
        ++seen;
        EXPECT_EQ(i.file, r.file) << r.name;
        const std::string& text = i.file == "c.ini" ? r.desc : r.defs;
        EXPECT_EQ(i.line, r.lineText.empty() ? 0 : LineHolding(text, r.lineText)) << r.name;
    }
    EXPECT_EQ(seen, 1) << r.name << "; got:\n" << ::testing::PrintToString(Relevant(issues));
}

TEST_F(CheckFixture, ValuesAreCheckedWhereTheyStand)
{
    const std::string twoKeys = Replace(description, "Btn2=Key", "Btn2=Key2");
    const std::string secondKey = "[Key2]\nBtnType=1\nBtnId=3\nBtnStyle=0\nFontStyle=0\nBtnImageLarge=face.bmp\n"
                                  "FontImageLarge=font.bmp\n";
    const PlacedRow rows[] = {
        {"letters for a number", description, Replace(definitions, "BtnId=2", "BtnId=abc"),
         "[Main]: button Key: BtnId=abc is not a whole number", "c/Button.ini", "BtnId=abc"},
        {"a word for a type", description, Replace(definitions, "BtnType=1", "BtnType=banana"),
         "[Main]: button Key: BtnType=banana is not a whole number", "c/Button.ini", "BtnType=banana"},
        {"a negative style", description, Replace(definitions, "BtnStyle=0", "BtnStyle=-1"),
         "[Main]: button Key: BtnStyle=-1 is not a whole number from 0 up", "c/Button.ini", "BtnStyle=-1"},
        {"an empty size", description, Replace(definitions, "BtnDimensionLarge=30,20", "BtnDimensionLarge=0,0"),
         "files: [Init]: BtnDimensionLarge=0,0 is not two whole numbers above 0, width,height", "c/Button.ini",
         "BtnDimensionLarge"},
        {"a garbled size", description, Replace(definitions, "BtnDimensionLarge=30,20", "BtnDimensionLarge=-44,abc"),
         "files: [Init]: BtnDimensionLarge=-44,abc is not two whole numbers above 0, width,height", "c/Button.ini",
         "BtnDimensionLarge"},
        {"one number for a place", Replace(description, "Coord2=40,0\n[MainButtonLocationsSmall]", "Coord2=40\n[MainButtonLocationsSmall]"),
         definitions, "[Main]: [MainButtonLocations]: Coord2=40 is not two whole numbers x,y", "c.ini", "Coord2=40\n"},
        {"a missing key, at its section", description, Replace(definitions, "BtnStyle=0\n", ""),
         "[Main]: button Key: missing key BtnStyle", "c/Button.ini", "[Key]"},
        {"one bad image for two buttons", twoKeys,
         Replace(definitions, "BtnImageLarge=face.bmp", "BtnImageLarge=Button.ini") + secondKey +
             "BtnImageMedium=Button.ini\n",
         "[Main]: button Key: face image Button.ini does not decode", "c/Button.ini", "BtnImageLarge=Button.ini"},
    };
    for (const PlacedRow& r : rows) {
        std::vector<SkinIssue> issues = Check(r.desc, r.defs);
        ExpectPlacedOnce(issues, r);
        size_t decodes = 0;
        for (const SkinIssue& i : issues) decodes += i.what.find("does not decode") != std::string::npos;
        EXPECT_LE(decodes, 1u) << r.name;
    }
}

TEST_F(CheckFixture, TextTheReaderNeverSeesIsExplained)
{
    std::string crlf = definitions;
    for (size_t at = crlf.find('\n'); at != std::string::npos; at = crlf.find('\n', at + 2)) crlf.replace(at, 1, "\r\n");
    const PlacedRow rows[] = {
        {"byte-order mark", "\xEF\xBB\xBF" + description, definitions,
         "files: starts with a UTF-8 byte-order mark: its first line is not read as a section header, so what follows "
         "it is lost; save the file without the mark",
         "c.ini", "[Init]"},
        {"two empty lines", description, Replace(crlf, "[Key]", "\r\n\r\n[Key]"),
         "files: two empty lines in a row end the file here: nothing after them is read", "c/Button.ini",
         "\r\n[Key]"},  // the second empty line
    };
    for (const PlacedRow& r : rows) ExpectPlacedOnce(Check(r.desc, r.defs), r);
}

TEST_F(CheckFixture, FilesAreNamedAsRead)
{
    // At double scale the vga_ twin is read, and is the one named.
    const std::string vgaDefs = Replace(definitions, "BtnDimensionLarge=30,20", "BtnDimensionLarge=60,40");
    const std::vector<std::pair<std::string, std::string>> vga = {
        {"Skins/c/vga_Button.ini", vgaDefs}, {"Skins/c/vga_back.bmp", "not an image"}};
    bool seen = false;
    for (const SkinIssue& i : Check(description, definitions, vga, 1))
        seen |= i.where + ": " + i.what == "[Init] at double scale: BackgroundWide image vga_back.bmp does not decode";
    EXPECT_TRUE(seen);

    // A file whose name does not end in .ini has no skin folder.
    dir.Write("Skins/tallix", "\x7F" "ELF binary");
    std::vector<SkinIssue> issues;
    EXPECT_EQ(CheckSkin(dir.Path() + "Skins/tallix", SkinCheckOptions(), issues), 1);
    EXPECT_NE(issues.at(0).what.find("must end in .ini"), std::string::npos);
}

}  // namespace
