#include <gtest/gtest.h>

#include "skins/ButtonGroup.h"
#include "skins/SkinResources.h"
#include "tests/skins/SkinTestKit.h"

namespace {

// Button sizes differ per set so the chosen set shows in the widths.
const char* kDefinitions =
    "[Init]\n"
    "BtnDimensionLarge=30,20\nFntDimensionLarge=10,6\nFntOffSetLarge=2,3\n"
    "BtnDimensionMedium=24,16\nFntDimensionMedium=10,6\nFntOffSetMedium=2,3\n"
    "BtnDimensionSmall=16,12\nFntDimensionSmall=10,6\nFntOffSetSmall=2,3\n"
    "[Key]\nBtnType=1\nBtnId=2\nBtnStyle=0\nFontStyle=0\n"
    "BtnImageLarge=face.bmp\nFontImageLarge=font.bmp\n"
    "BtnImageMedium=face.bmp\nFontImageMedium=font.bmp\n"
    "BtnImageSmall=face.bmp\nFontImageSmall=font.bmp\n"
    "[Other]\nBtnType=5\nBtnId=0\nBtnStyle=0\nFontStyle=0\n"
    "BtnImageLarge=face.bmp\nFontImageLarge=font.bmp\n"
    "[NoStyle]\nBtnType=5\nBtnId=0\nFontStyle=0\n"
    "BtnImageLarge=face.bmp\nFontImageLarge=font.bmp\n";

std::string Buttons(const char* name, int n)
{
    std::string s;
    for (int i = 1; i <= n; ++i) s += "Btn" + std::to_string(i) + "=" + name + "\n";
    return s;
}

struct GroupFixture : ::testing::Test {
    ScratchFolder dir;
    RecordingMessageBox boxes;
    CSkinResources res;
    RecordingHost host;
    RecordingTarget target;
    CButtonGroup group{&res};

    int LoadSkin(const std::string& description, int vga = 0)
    {
        res.SetProgramFolder(dir.Path());
        dir.Write("Skins/t.ini", description);
        dir.Write("Skins/t/Button.ini", kDefinitions);
        dir.Write("Skins/t/vga_Button.ini", kDefinitions);
        CSkinImage face = MakeImage(90, 20, [](int, int) { return 0x808080u; });
        CSkinImage font = MakeImage(10, 12, [](int, int) { return 0u; });
        for (const char* prefix : {"", "vga_"}) {
            dir.Write(std::string("Skins/t/") + prefix + "face.bmp", EncodeBmp(face));
            dir.Write(std::string("Skins/t/") + prefix + "font.bmp", EncodeBmp(font));
        }
        SkinLoadRequest request;
        request.iniFile = "t.ini";
        request.doubleScale = vga;
        SkinLoadResult result;
        return res.LoadSkin(request, result);
    }
    int Load(const char* section, int preferLarge = 0, int compact = 0)
    {
        return group.Load(kMsgButton, &host, &target, section, preferLarge, compact);
    }
};

TEST(SizeSets, ChosenByCountAndFlags)
{
    struct Row { int count, preferLarge, compact, set; } rows[] = {
        {1, 0, 0, kSizeLarge},  {11, 0, 0, kSizeLarge},  {12, 0, 0, kSizeSmall},
        {40, 0, 0, kSizeSmall}, {12, 1, 0, kSizeLarge},  {12, 0, 1, kSizeMedium},
        {5, 1, 1, kSizeMedium}, {11, 0, 1, kSizeMedium},
    };
    for (const Row& r : rows)
        EXPECT_EQ(ChooseSizeSet(r.count, r.preferLarge, r.compact), r.set)
            << r.count << " " << r.preferLarge << " " << r.compact;
}

TEST_F(GroupFixture, ElevenButtonsAreLargeTwelveSmall)
{
    ASSERT_EQ(LoadSkin("[Init]\n[Eleven]\nLocation=L11\n" + Buttons("Key", 11) +
                       "[Twelve]\nLocation=L12\n" + Buttons("Key", 12) +
                       "[L11]\nNumberOfButtons=11\n[L12]\nNumberOfButtons=12\n"),
              1);
    ASSERT_EQ(Load("Eleven"), 1);
    EXPECT_EQ(group.Count(), 11);
    EXPECT_EQ(group.Button(0)->GetWidth(), 30);
    ASSERT_EQ(Load("Twelve"), 1);
    EXPECT_EQ(group.Count(), 12);
    EXPECT_EQ(group.Button(11)->GetWidth(), 16);
    EXPECT_EQ(group.SizeSet(), kSizeSmall);
}

TEST_F(GroupFixture, CompactMainKeypadUsesTheSmallLocationsAndMediumKeys)
{
    ASSERT_EQ(LoadSkin("[Main]\n" + Buttons("Key", 2) +
                       "[Odd]\nLocation=mainbuttonlocations\n" + Buttons("Key", 2) +
                       "[MainButtonLocations]\nNumberOfButtons=2\nCoord1=1,1\nCoord2=40,1\n"
                       "[MainButtonLocationsSmall]\nNumberOfButtons=2\nCoord1=5,6\nCoord2=50,6\n"
                       "[mainbuttonlocations]\nNumberOfButtons=2\nCoord1=7,7\n"),
              1);
    struct Row { const char* section; int compact; const char* location; int x, width; } rows[] = {
        {"Main", 0, "MainButtonLocations", 1, 30},
        {"Main", 1, "MainButtonLocationsSmall", 5, 24},
        // Only the exact name gets "Small"; the section look-up itself ignores case.
        {"Odd", 1, "mainbuttonlocations", 1, 24},
    };
    for (const Row& r : rows) {
        ASSERT_EQ(Load(r.section, 1, r.compact), 1) << r.section;
        EXPECT_EQ(group.LocationSection(), r.location);
        int x, y;
        group.Button(0)->GetPosition(x, y);
        EXPECT_EQ(x, r.x) << r.location;
        EXPECT_EQ(group.Button(0)->GetWidth(), r.width) << r.location;
    }
}

TEST_F(GroupFixture, MissingCoordinatesRepeatThePreviousOne)
{
    ASSERT_EQ(LoadSkin("[G]\nLocation=L\n" + Buttons("Key", 4) +
                       "[L]\nNumberOfButtons=4\nCoord2=10,20\nCoord4=3,4\n"),
              1);
    ASSERT_EQ(Load("G"), 1);
    const int expected[4][2] = {{0, 0}, {10, 20}, {10, 20}, {3, 4}};
    for (int i = 0; i < 4; ++i) {
        int x, y;
        group.Button(i)->GetPosition(x, y);
        EXPECT_EQ(x, expected[i][0]) << i;
        EXPECT_EQ(y, expected[i][1]) << i;
    }
}

TEST_F(GroupFixture, DoubleScaleDoublesCoordinatesButNotSizes)
{
    ASSERT_EQ(LoadSkin("[G]\nLocation=L\n" + Buttons("Key", 1) + "[L]\nNumberOfButtons=1\nCoord1=10,20\n", 1), 1);
    ASSERT_EQ(Load("G"), 1);
    EXPECT_EQ(group.Button(0)->ButtonRect(), (SkinRect{20, 40, 50, 60}));
    EXPECT_EQ(group.Button(0)->LabelRect(), (SkinRect{22, 43, 32, 49}));
}

TEST_F(GroupFixture, ExtremeNumbersAreClampedNotOverflowed)
{
    ASSERT_EQ(LoadSkin("[G]\nLocation=L\n" + Buttons("Key", 2) +
                       "[L]\nNumberOfButtons=2\nCoord1=2147483647,-2147483648\nCoord2=-40000,40000\n", 1), 1);
    ASSERT_EQ(Load("G"), 1);
    EXPECT_EQ(group.Button(0)->ButtonRect(), (SkinRect{65534, -65534, 65564, -65514}));
    EXPECT_EQ(group.Button(1)->ButtonRect(), (SkinRect{-65534, 65534, -65504, 65554}));
}

TEST_F(GroupFixture, LoadFailures)
{
    ASSERT_EQ(LoadSkin("[Gap]\nLocation=L3\nBtn1=Key\nBtn2=Key\n"
                       "[Bad]\nLocation=L3\nBtn1=Key\nBtn2=NoStyle\nBtn3=Key\n"
                       "[Unknown]\nLocation=L3\nBtn1=Nobody\n"
                       "[Empty]\nLocation=L0\nBtn1=Key\n"
                       "[Many]\nLocation=L85\n" + Buttons("Key", 85) +
                       "[L3]\nNumberOfButtons=3\n[L0]\nNumberOfButtons=0\n[L85]\nNumberOfButtons=85\n"),
              1);
    struct Row { const char* section; int result, count; const char* text; const char* caption; } rows[] = {
        {"Gap", 0, 2, nullptr, nullptr},
        {"Bad", 0, 1, "Button Name: NoStyle\nIndex: 1\n Num of Buttons: 3", "Error"},
        {"Unknown", 0, 0, "Button Name: Nobody\nIndex: 0\n Num of Buttons: 3", "Error"},
        {"Empty", 0, 0, "Error", "Num of Buttons = 0"},
        {"NoSuchGroup", 0, 0, "Error", "Num of Buttons = 0"},
        {"Many", 1, 80, nullptr, nullptr},
    };
    for (const Row& r : rows) {
        boxes.shown.clear();
        EXPECT_EQ(Load(r.section), r.result) << r.section;
        EXPECT_EQ(group.Count(), r.count) << r.section;
        if (r.text) {
            ASSERT_EQ(boxes.shown.size(), 1u) << r.section;
            EXPECT_EQ(boxes.shown[0].first, r.text);
            EXPECT_EQ(boxes.shown[0].second, r.caption);
        } else {
            EXPECT_TRUE(boxes.shown.empty()) << r.section;
        }
    }
}

TEST_F(GroupFixture, CreateNeedsHostAndTarget)
{
    ASSERT_EQ(LoadSkin("[G]\nLocation=L\nBtn1=Key\n[L]\nNumberOfButtons=1\n"), 1);
    CSkinButton button(&res);
    EXPECT_EQ(button.Create(0, 0, "Key", nullptr, &target, kMsgButton, kSizeLarge), 0);
    EXPECT_EQ(button.Create(0, 0, "Key", &host, nullptr, kMsgButton, kSizeLarge), 0);
    EXPECT_EQ(button.Create(0, 0, "Key", &host, &target, kMsgButton, kSizeLarge), 1);
    // "Other" has no Small images.
    EXPECT_EQ(button.Create(0, 0, "Other", &host, &target, kMsgButton, kSizeSmall), 0);
}

// Two buttons: "Key" (1,2) at 0,0 and "Other" (5,0) at 20,0, overlapping in x 20..29.
struct Mouse : GroupFixture {
    void SetUp() override
    {
        ASSERT_EQ(LoadSkin("[G]\nLocation=L\nBtn1=Key\nBtn2=Other\n"
                           "[L]\nNumberOfButtons=2\nCoord1=0,0\nCoord2=20,0\n"),
                  1);
        ASSERT_EQ(Load("G"), 1);
    }
};

TEST_F(Mouse, PressSequences)
{
    enum Kind { Down, Move, Up };
    struct Event { Kind kind; int x, y; };
    struct Row {
        const char* name;
        std::vector<Event> events;
        std::vector<PostedMessage> posted;
        int pressedAfter;
    } rows[] = {
        {"click", {{Down, 5, 5}, {Up, 5, 5}}, {{kMsgButton, 1, 2}}, 0},
        {"move inside", {{Down, 5, 5}, {Move, 15, 10}, {Up, 15, 10}}, {{kMsgButton, 1, 2}}, 0},
        {"out and back", {{Down, 5, 5}, {Move, 5, 50}, {Move, 5, 5}, {Up, 5, 5}}, {}, 0},
        {"release outside without a move", {{Down, 5, 5}, {Up, 200, 200}}, {{kMsgButton, 1, 2}}, 0},
        {"overlap goes to the first listed", {{Down, 25, 5}, {Up, 25, 5}}, {{kMsgButton, 1, 2}}, 0},
        {"second button", {{Down, 45, 5}, {Up, 45, 5}}, {{kMsgButton, 5, 0}}, 0},
        {"miss", {{Down, 5, 100}, {Up, 5, 5}}, {}, 0},
        {"held", {{Down, 5, 5}, {Move, 6, 6}}, {}, 1},
        {"new press drops an unreleased one", {{Down, 5, 5}, {Down, 45, 5}, {Up, 45, 5}}, {{kMsgButton, 5, 0}}, 0},
    };
    for (const Row& r : rows) {
        target.posted.clear();
        for (const Event& e : r.events) {
            if (e.kind == Down) group.MouseDown(e.x, e.y);
            if (e.kind == Move) group.MouseMove(e.x, e.y);
            if (e.kind == Up) group.MouseUp(e.x, e.y);
        }
        EXPECT_EQ(target.posted, r.posted) << r.name;
        EXPECT_EQ(group.Button(0)->IsPressed() + group.Button(1)->IsPressed(), r.pressedAfter) << r.name;
        group.MouseUp(0, 0);
        target.posted.clear();
    }
}

TEST_F(Mouse, PressAndReleaseRepaintTheButton)
{
    host.invalidated.clear();
    group.MouseDown(45, 5);
    group.MouseUp(45, 5);
    ASSERT_EQ(host.invalidated.size(), 2u);
    EXPECT_EQ(host.invalidated[0], (SkinRect{20, 0, 50, 20}));
    EXPECT_EQ(host.invalidated[1], host.invalidated[0]);
}

TEST(GroupKinds, TableRows)
{
    struct Row { int kind; const char* section; int stringId; EGroupPage page; const char* help; } rows[] = {
        {1, "Default", 327, EGroupPage::Keypad, "BGDefault"},
        {5, "TipCalculator", 331, EGroupPage::TipCalculator, "TipCalc"},
        {7, "UnitConverter", 328, EGroupPage::UnitConverter, "Unit"},
        {8, "Currency", 337, EGroupPage::Currency, "Currency"},
        {9, "OppAndRpn", 437, EGroupPage::Keypad, "BGRpn"},
        {12, "Custom3", 340, EGroupPage::Keypad, "Custom"},
        {15, "StatsConversion", 336, EGroupPage::Keypad, "BGStats"},
        {16, "History", 940, EGroupPage::History, "History"},
    };
    for (const Row& r : rows) {
        const GroupKind* k = FindGroupKind(r.kind);
        ASSERT_NE(k, nullptr);
        EXPECT_STREQ(k->section, r.section);
        EXPECT_EQ(k->stringId, r.stringId);
        EXPECT_EQ(k->page, r.page);
        EXPECT_STREQ(k->helpTopic, r.help);
    }
    for (int bad : {0, 17, -1}) EXPECT_EQ(FindGroupKind(bad), nullptr);
}

}  // namespace
