#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "skins/ButtonGroup.h"
#include "skins/SkinCheck.h"
#include "skins/SkinResources.h"
#include "tests/skins/SkinTestKit.h"

namespace {

using Pair = std::pair<int, int>;

// Every command a user must be able to reach from the keypads, by type:
// digits and letters, every operator, function and constant, the
// parentheses, the register keys of all eight registers with clear, store,
// recall, add and subtract of register 0, equals (ENTER in R.P.N.), answer
// and saved-Y recall, every memory-operation mode, clear all, clear entry,
// backspace, the clipboard, bases 2, 8, 10 and 16, and the stack.
std::set<Pair> RequiredPairs()
{
    struct Range { int type, first, last; } ranges[] = {
        {0, 0, 16}, {1, 0, 17}, {2, 0, 31}, {3, 0, 1}, {4, 25, 32}, {4, 8, 8}, {4, 16, 16},
        {4, 33, 34}, {5, 0, 0}, {6, 0, 19}, {6, 98, 99}, {7, 0, 0}, {7, 3, 5}, {8, 0, 0},
        {8, 2, 3}, {9, 0, 2}, {10, 2, 2}, {10, 8, 8}, {10, 10, 10}, {10, 16, 16}, {11, 0, 3},
    };
    std::set<Pair> out;
    for (const Range& r : ranges)
        for (int id = r.first; id <= r.last; ++id) out.insert({r.type, id});
    return out;
}

std::set<Pair> g_required = RequiredPairs();
int KnownInTable(int type, int id) { return g_required.count({type, id}) ? 1 : 0; }

struct ShippedSkin : ::testing::TestWithParam<const char*> {
    RecordingMessageBox boxes;
    RecordingHost host;
    RecordingTarget target;
    std::string Folder() const { return SourceDir() + "/resources/"; }
};

TEST_P(ShippedSkin, EveryGroupLoadsAtBothScalesAndReachesEveryCommand)
{
    for (int vga : {0, 1}) {
        CSkinResources res;
        res.SetProgramFolder(Folder());
        SkinLoadRequest request;
        request.iniFile = GetParam();
        request.doubleScale = vga;
        SkinLoadResult result;
        ASSERT_EQ(res.LoadSkin(request, result), 1) << GetParam();
        EXPECT_EQ(result.iniFileChanged, 0);
        ASSERT_NE(res.BackgroundWide(), nullptr);
        EXPECT_EQ(res.BackgroundWide()->Width(), 320 * (vga + 1));
        EXPECT_EQ(res.BackgroundWide()->Height(), 294 * (vga + 1));
        for (CSkinImage* page : {res.ConvBackground(), res.CurrencyBackground(), res.TipCalcBackground()}) {
            ASSERT_NE(page, nullptr);
            EXPECT_EQ(page->Width(), 240 * (vga + 1));
        }

        std::set<Pair> reached;
        for (const char* section : kSkinGroupSections) {
            const bool main = std::string(section) == "Main";
            for (int compact : {0, 1}) {
                if (compact && !main) continue;
                CButtonGroup group(&res);
                EXPECT_EQ(group.Load(kMsgButton, &host, &target, section, main, compact), 1)
                    << GetParam() << " " << section << " compact " << compact << " vga " << vga;
                EXPECT_GE(group.Count(), 10) << section;
                for (int i = 0; i < group.Count(); ++i)
                    reached.insert({group.Button(i)->Type(), group.Button(i)->Id()});
            }
        }
        for (const Pair& p : g_required)
            EXPECT_TRUE(reached.count(p)) << GetParam() << " lacks " << p.first << "," << p.second;
        EXPECT_TRUE(boxes.shown.empty()) << boxes.shown.front().first;
    }
}

TEST_P(ShippedSkin, CheckerFindsNothing)
{
    SkinCheckOptions options;
    options.isKnownCommand = KnownInTable;
    std::vector<SkinIssue> issues;
    EXPECT_EQ(CheckSkin(Folder() + "Skins/" + GetParam(), options, issues), 0);
    for (const SkinIssue& i : issues) ADD_FAILURE() << i.where << ": " << i.what;
}

TEST_P(ShippedSkin, GroupKindsHaveTheirSections)
{
    CSkinResources res;
    ASSERT_EQ(res.LoadSkinDescription((Folder() + "Skins/" + GetParam()).c_str()), 1);
    for (const GroupKind& kind : kGroupKinds)
        EXPECT_GE(res.Description().FindSection(kind.section), 0) << kind.section;
    for (const char* s : {"Init", "MainButtonLocations", "MainButtonLocationsSmall", "SmallButtonLocations",
                          "LargeButtonLocations", "Display"})
        EXPECT_GE(res.Description().FindSection(s), 0) << s;
}

INSTANTIATE_TEST_SUITE_P(Skins, ShippedSkin, ::testing::Values("default.ini", "dark.ini"));

}  // namespace
