#include "skins/CustomGroupEditor.h"

#include <cstdio>

#include "skins/SkinResources.h"

const char* const CCustomGroupEditor::kTargets[3] = {"Custom1", "Custom2", "Custom3"};
const char* const CCustomGroupEditor::kSources[9] = {"Default", "Algebra", "Trig1", "Trig2", "Memory",
                                                      "Constants", "BaseConversions", "StatsConversion",
                                                      "OppAndRpn"};

namespace {
const char kSmallTable[] = "SmallButtonLocations";
const char kLargeTable[] = "LargeButtonLocations";

std::string Numbered(const char* prefix, int n)
{
    char key[32];
    std::snprintf(key, sizeof key, "%s%d", prefix, n);
    return key;
}
}  // namespace

CCustomGroupEditor::CCustomGroupEditor(CSkinResources& resources, int screenHeight)
    : m_resources(resources), m_shortScreen(screenHeight > 0 && screenHeight <= 320 ? 1 : 0)
{
    ReadSlotTables();
    SelectTarget(0);
}

std::vector<CCustomGroupEditor::Slot> CCustomGroupEditor::ReadSlotTable(const char* section, int defaultCount)
{
    int n = 0;
    m_resources.GetSkinInt(n, section, "NumberOfButtons", defaultCount);
    std::vector<Slot> slots;
    for (int i = 1; i <= n && i <= 80; ++i) {
        int x = 0, y = 0;
        m_resources.GetSkinPair(x, y, section, Numbered("Coord", i).c_str(), 0, 0);
        slots.push_back({x - (m_shortScreen ? 2 : 1), y + 88});
    }
    return slots;
}

void CCustomGroupEditor::ReadSlotTables()
{
    m_small = ReadSlotTable(kSmallTable, 0);
    m_large = ReadSlotTable(kLargeTable, static_cast<int>(m_small.size()));
}

void CCustomGroupEditor::ComputeGeometry()
{
    const std::vector<Slot>& slots = Slots();
    // A table too short to tell falls back to the size of its buttons.
    int w = 0, h = 0;
    m_resources.ButtonDefinitions().GetIntPair(w, h, "Init", m_layout == kSmall ? "BtnDimensionSmall"
                                                                              : "BtnDimensionLarge", 32, 24);
    m_slotWidth = slots.size() > 1 && slots[1].x > slots[0].x ? slots[1].x - slots[0].x : w;
    m_rowHeight = h;
    for (const Slot& s : slots)
        if (!slots.empty() && s.y != slots[0].y) {
            m_rowHeight = s.y - slots[0].y;
            break;
        }
}

void CCustomGroupEditor::SelectTarget(int index)
{
    m_target = index >= 0 && index < 3 ? index : 0;
    std::string location;
    m_resources.GetSkinString(location, Target(), "Location", "");
    if (location == kSmallTable) m_layout = kSmall;
    else if (location == kLargeTable) m_layout = kLarge;
    else m_layout = FilledCount() >= 12 ? kSmall : kLarge;
    ComputeGeometry();
    m_selected = 0;
    m_switchPending = 0;
}

std::string CCustomGroupEditor::ButtonKey(int slot) const { return Numbered("Btn", slot + 1); }

int CCustomGroupEditor::FilledCount()
{
    int n = 0;
    std::string name;
    while (n < 80 && m_resources.GetSkinString(name, Target(), ButtonKey(n).c_str(), "") && !name.empty()) ++n;
    return n;
}

CCustomGroupEditor::EEdit CCustomGroupEditor::SetLayout(ELayout layout)
{
    if (!m_resources.Description().AddValue(Target(), "Location", layout == kSmall ? kSmallTable : kLargeTable))
        return EEdit::NoRoom;
    m_layout = layout;
    ComputeGeometry();
    m_selected = 0;
    m_resources.MarkDescriptionEdited();
    return EEdit::Changed;
}

CCustomGroupEditor::EEdit CCustomGroupEditor::Write(int slot, const std::string& button)
{
    if (slot < 0 || slot >= Count() || button.empty()) return EEdit::Unchanged;
    // No gaps: beyond the group's last button, the next free slot takes it.
    const int filled = FilledCount();
    if (slot > filled) slot = filled;
    if (!m_resources.Description().AddValue(Target(), ButtonKey(slot).c_str(), button.c_str())) return EEdit::NoRoom;
    m_selected = slot;
    m_resources.MarkDescriptionEdited();
    return EEdit::Changed;
}

CCustomGroupEditor::EEdit CCustomGroupEditor::Add(const std::string& button) { return Write(m_selected, button); }

CCustomGroupEditor::EEdit CCustomGroupEditor::AddGroup(const std::vector<std::string>& buttons)
{
    const int first = m_selected;
    EEdit result = EEdit::Unchanged;
    for (size_t i = 0; i < buttons.size() && first + static_cast<int>(i) < Count(); ++i) {
        const EEdit one = Write(first + static_cast<int>(i), buttons[i]);
        if (one == EEdit::NoRoom) return one;
        if (one == EEdit::Changed) result = one;
    }
    m_selected = first;
    return result;
}

CCustomGroupEditor::EEdit CCustomGroupEditor::Click(int x, int y)
{
    if (y <= 86) return EEdit::Unchanged;
    const int previous = m_selected;
    const std::vector<Slot>& slots = Slots();
    for (size_t i = 0; i < slots.size(); ++i) {
        const Slot& s = slots[i];
        if (x > s.x && x < s.x + m_slotWidth && y > s.y && y < s.y + m_rowHeight) {
            m_selected = static_cast<int>(i);
            break;
        }
    }
    if (!m_switchPending) return EEdit::Unchanged;
    m_switchPending = 0;
    const int filled = FilledCount();
    if (previous == m_selected || previous >= filled || m_selected >= filled) return EEdit::Unchanged;
    std::string a, b;
    m_resources.GetSkinString(a, Target(), ButtonKey(previous).c_str(), "");
    m_resources.GetSkinString(b, Target(), ButtonKey(m_selected).c_str(), "");
    CIniStore& description = m_resources.Description();
    description.SetValue(Target(), ButtonKey(previous).c_str(), b.c_str());
    description.SetValue(Target(), ButtonKey(m_selected).c_str(), a.c_str());
    m_resources.MarkDescriptionEdited();
    return EEdit::Changed;
}

std::vector<std::string> CCustomGroupEditor::SourceButtons(const char* section)
{
    std::string location;
    m_resources.GetSkinString(location, section, "Location", "");
    int n = 0;
    m_resources.GetSkinInt(n, location.c_str(), "NumberOfButtons", 10);
    std::vector<std::string> names;
    for (int i = 1; i <= n && i <= 80; ++i) {
        std::string name;
        m_resources.GetSkinString(name, section, Numbered("Btn", i).c_str(), std::to_string(i).c_str());
        names.push_back(name);
    }
    return names;
}

SkinRect CCustomGroupEditor::SelectionFrame() const
{
    const std::vector<Slot>& slots = Slots();
    if (m_selected < 0 || m_selected >= static_cast<int>(slots.size())) return {};
    const int inset = m_shortScreen ? 2 : 3;
    const int extra = m_layout == kSmall ? 1 : 0;
    const Slot& s = slots[static_cast<size_t>(m_selected)];
    return {s.x - inset, s.y - inset, s.x - inset + m_slotWidth + extra, s.y - inset + m_rowHeight + extra};
}
