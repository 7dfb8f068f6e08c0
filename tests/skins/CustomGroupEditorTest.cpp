// The Customize page's edits of the custom groups, on the shipped default
// skin's description (in memory) and on descriptions with full sections.
#include <gtest/gtest.h>

#include "skins/CustomGroupEditor.h"
#include "skins/SkinResources.h"
#include "tests/skins/SkinTestKit.h"

namespace {

using EEdit = CCustomGroupEditor::EEdit;

class CustomGroupEditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        res.SetProgramFolder(SourceDir() + "/resources/");
        SkinLoadRequest request;
        SkinLoadResult result;
        ASSERT_EQ(1, res.LoadSkin(request, result));
    }
    std::string Button(const char* section, int n)
    {
        std::string name;
        res.GetSkinString(name, section, ("Btn" + std::to_string(n)).c_str(), "");
        return name;
    }
    // Clicks the middle of a slot of the current layout.
    EEdit ClickSlot(CCustomGroupEditor& editor, int slot)
    {
        const CCustomGroupEditor::Slot& s = editor.Slots()[static_cast<size_t>(slot)];
        return editor.Click(s.x + 5, s.y + 5);
    }
    RecordingMessageBox boxes;
    CSkinResources res;
};

TEST_F(CustomGroupEditorTest, SlotTablesAndSelectionFrames)
{
    const struct {
        int screenHeight;
        int target;
        CCustomGroupEditor::ELayout layout;
        int count;
        CCustomGroupEditor::Slot first;
        SkinRect frame;
    } rows[] = {
        {1080, 0, CCustomGroupEditor::kSmall, 21, {1, 90}, {-2, 87, 33, 114}},  // 34 x 26, one more each
        {1080, 1, CCustomGroupEditor::kLarge, 10, {3, 91}, {0, 88, 47, 126}},   // 47 x 38
        {320, 1, CCustomGroupEditor::kLarge, 10, {2, 91}, {0, 89, 47, 127}},    // short screen
    };
    for (const auto& row : rows) {
        CCustomGroupEditor editor(res, row.screenHeight);
        editor.SelectTarget(row.target);
        EXPECT_EQ(editor.Layout(), row.layout);
        EXPECT_EQ(editor.Count(), row.count);
        EXPECT_EQ(editor.Slots()[0].x, row.first.x);
        EXPECT_EQ(editor.Slots()[0].y, row.first.y);
        EXPECT_EQ(editor.SelectionFrame(), row.frame);
    }
}

TEST_F(CustomGroupEditorTest, ClicksSelectSlotsBelowTheControlsOnly)
{
    CCustomGroupEditor editor(res, 1080);
    editor.SelectTarget(1);
    const struct {
        int x, y, selected;
    } clicks[] = {{60, 100, 1}, {60, 86, 1}, {10, 135, 5}, {230, 300, 5}, {3, 91, 5}, {4, 92, 0}};
    for (const auto& c : clicks) {
        editor.Click(c.x, c.y);
        EXPECT_EQ(editor.SelectedSlot(), c.selected) << c.x << "," << c.y;
    }
}

TEST_F(CustomGroupEditorTest, AddSwitchAndAddGroup)
{
    CCustomGroupEditor editor(res, 1080);
    editor.SelectTarget(1);
    ClickSlot(editor, 3);
    EXPECT_EQ(editor.Add("Cube"), EEdit::Changed);
    EXPECT_EQ(Button("Custom2", 4), "Cube");

    editor.Switch();
    EXPECT_EQ(ClickSlot(editor, 3), EEdit::Unchanged);  // the same slot
    EXPECT_EQ(Button("Custom2", 4), "Cube");
    editor.Switch();
    EXPECT_EQ(ClickSlot(editor, 0), EEdit::Changed);
    EXPECT_EQ(Button("Custom2", 1), "Cube");
    EXPECT_EQ(Button("Custom2", 4), "Square");

    // From slot 8 only two of the ten fit.
    ClickSlot(editor, 8);
    EXPECT_EQ(editor.AddGroup(editor.SourceButtons("Trig1")), EEdit::Changed);
    EXPECT_EQ(Button("Custom2", 9), "Sin");
    EXPECT_EQ(Button("Custom2", 10), "Cos");
    EXPECT_EQ(Button("Custom2", 11), "");
}

TEST_F(CustomGroupEditorTest, SmallLayoutOnALargeGroupFillsTheFirstEmptySlot)
{
    CCustomGroupEditor editor(res, 1080);
    editor.SelectTarget(1);
    ASSERT_EQ(editor.SetLayout(CCustomGroupEditor::kSmall), EEdit::Changed);
    std::string location;
    res.GetSkinString(location, "Custom2", "Location", "");
    EXPECT_EQ(location, "SmallButtonLocations");
    EXPECT_EQ(editor.Count(), 21);
    EXPECT_EQ(editor.FilledCount(), 10);
    ClickSlot(editor, 15);
    EXPECT_EQ(editor.Add("Tan"), EEdit::Changed);
    EXPECT_EQ(Button("Custom2", 11), "Tan");
    EXPECT_EQ(editor.SelectedSlot(), 10);
    editor.Switch();
    EXPECT_EQ(ClickSlot(editor, 15), EEdit::Unchanged);  // no button there to swap with
    EXPECT_EQ(editor.FilledCount(), 11);
}

TEST_F(CustomGroupEditorTest, AFullSectionRefusesWithNoRoom)
{
    ScratchFolder folder;
    std::string text = "[Custom1]\nLocation=LargeButtonLocations\n";
    for (int k = 1; k <= 81; ++k) text += "Note" + std::to_string(k) + "=x\n";
    text += "[Custom2]\nBtn1=Sin\n[LargeButtonLocations]\nNumberOfButtons=2\nCoord1=4,3\nCoord2=51,3\n";
    folder.Write("full.ini", text);
    ASSERT_EQ(1, res.LoadSkinDescription((folder.Path() + "full.ini").c_str()));
    CCustomGroupEditor editor(res, 1080);
    EXPECT_EQ(editor.Add("Cos"), EEdit::NoRoom);
    EXPECT_EQ(editor.SetLayout(CCustomGroupEditor::kLarge), EEdit::Changed);  // Location exists
    editor.SelectTarget(1);
    EXPECT_EQ(editor.SetLayout(CCustomGroupEditor::kLarge), EEdit::Changed);  // Location appended
    EXPECT_EQ(editor.Add("Cos"), EEdit::Changed);
    EXPECT_EQ(Button("Custom2", 1), "Cos");
}

TEST_F(CustomGroupEditorTest, SourceButtonsDefaultToTheirNumbers)
{
    CCustomGroupEditor editor(res, 1080);
    const std::vector<std::string> trig = editor.SourceButtons("Trig1");
    ASSERT_EQ(trig.size(), 10u);
    EXPECT_EQ(trig.front(), "Sin");
    const std::vector<std::string> none = editor.SourceButtons("NoSuchGroup");
    ASSERT_EQ(none.size(), 10u);
    EXPECT_EQ(none[9], "10");
    EXPECT_EQ(editor.SourceButtons("Algebra").size(), 21u);
}

}  // namespace
