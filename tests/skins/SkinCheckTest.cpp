#include <gtest/gtest.h>

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

    std::vector<SkinIssue> Check(const std::string& desc, const std::string& defs)
    {
        dir.Write("Skins/c.ini", desc);
        dir.Write("Skins/c/Button.ini", defs);
        dir.Write("Skins/c/face.bmp", EncodeBmp(MakeImage(90, 20, [](int, int) { return 0u; })));
        dir.Write("Skins/c/font.bmp", EncodeBmp(MakeImage(10, 12, [](int, int) { return 0u; })));
        dir.Write("Skins/c/back.bmp", EncodeBmp(MakeImage(4, 4, [](int, int) { return 0u; })));
        SkinCheckOptions options;
        options.isKnownCommand = KnowsTypeOne;
        options.checkDoubleScale = 0;
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

}  // namespace
