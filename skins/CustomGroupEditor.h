#pragma once
// Fills the three custom groups ("Custom1" to "Custom3") of the loaded skin
// description with buttons of the other groups: the Customize options page
// without its controls. Every edit changes the in-memory description at once;
// the caller reloads the custom group's page after each change, and the
// description counts as edited (CSkinResources::SaveSkinDescription).
//
// Slots are numbered from 0 here (key "Btn" + (slot + 1)). Positions are in
// the page's coordinates: the slot tables' "Coord" pairs moved right by -1
// (-2 on a screen 320 or fewer pixels high) and down by 88.
//
// A group's buttons end at its first missing "Btn" key, so edits never leave
// a gap: a button added to an empty slot goes to the first empty one, and a
// swap needs two filled slots.

#include <string>
#include <vector>

#include "skins/SkinButton.h"

class CSkinResources;

class CCustomGroupEditor {
public:
    enum ELayout { kLarge, kSmall };
    enum class EEdit { Unchanged, Changed, NoRoom };
    struct Slot {
        int x;
        int y;
    };

    // The target sections and the groups whose buttons can be taken.
    static const char* const kTargets[3];
    static const char* const kSources[9];

    // screenHeight: the screen's height in pixels (the slot offsets depend on it).
    CCustomGroupEditor(CSkinResources& resources, int screenHeight);

    // Makes custom group `index` (0..2) the target: its layout follows its
    // `Location` (a count of 12 or more buttons means small when it names
    // neither table); slot 0 selected, no switch pending.
    void SelectTarget(int index);
    // Uses the layout's slot table for the target and writes its `Location`.
    EEdit SetLayout(ELayout layout);
    // Puts `button` into the selected slot (the first empty one when the
    // selected slot is empty).
    EEdit Add(const std::string& button);
    // Puts the buttons one after the other from the selected slot on, as
    // many as there are slots.
    EEdit AddGroup(const std::vector<std::string>& buttons);
    // The next slot click swaps the selected slot's button with the clicked one's.
    void Switch() { m_switchPending = 1; }
    // A click at a page point: selects the slot under it (the selection stays
    // when none is), and swaps when a switch is pending.
    EEdit Click(int x, int y);

    // The button names of a group section (for the source list): Btn1..BtnN,
    // N the NumberOfButtons of its location (10 when missing), each defaulting
    // to its own number.
    std::vector<std::string> SourceButtons(const char* section);

    const char* Target() const { return kTargets[m_target]; }
    ELayout Layout() const { return m_layout; }
    // Slots of the current layout (its NumberOfButtons).
    int Count() const { return static_cast<int>(Slots().size()); }
    // Buttons the target group holds: its "Btn" keys up to the first missing one.
    int FilledCount();
    int SelectedSlot() const { return m_selected; }
    int SwitchPending() const { return m_switchPending; }
    const std::vector<Slot>& Slots() const { return m_layout == kSmall ? m_small : m_large; }
    // The selection frame around the selected slot, page coordinates.
    SkinRect SelectionFrame() const;

private:
    void ReadSlotTables();
    std::vector<Slot> ReadSlotTable(const char* section, int defaultCount);
    void ComputeGeometry();
    std::string ButtonKey(int slot) const;
    EEdit Write(int slot, const std::string& button);

    CSkinResources& m_resources;
    int m_shortScreen;
    std::vector<Slot> m_small;
    std::vector<Slot> m_large;
    int m_target = 0;
    ELayout m_layout = kLarge;
    int m_selected = 0;
    int m_switchPending = 0;
    int m_slotWidth = 0;
    int m_rowHeight = 0;
};
