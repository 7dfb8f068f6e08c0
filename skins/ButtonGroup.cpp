#include "skins/ButtonGroup.h"

#include <cstdio>

#include "platform/MessageBox.h"
#include "platform/TextCodec.h"
#include "skins/SkinResources.h"

const GroupKind kGroupKinds[kGroupKindCount] = {
    {1, "Default", 327, "Default", EGroupPage::Keypad, "BGDefault"},
    {2, "Algebra", 330, "Algebra", EGroupPage::Keypad, "BGAlgebra"},
    {3, "Trig1", 332, "Trigonometry 1", EGroupPage::Keypad, "BGTrig1"},
    {4, "Trig2", 333, "Trigonometry 2", EGroupPage::Keypad, "BGTrig2"},
    {5, "TipCalculator", 331, "Tip Calculator", EGroupPage::TipCalculator, "TipCalc"},
    {6, "Memory", 329, "Memory", EGroupPage::Keypad, "BGMemory"},
    {7, "UnitConverter", 328, "Unit Converter", EGroupPage::UnitConverter, "Unit"},
    {8, "Currency", 337, "Currency Converter", EGroupPage::Currency, "Currency"},
    {9, "OppAndRpn", 437, "RPN & Boolean", EGroupPage::Keypad, "BGRpn"},
    {10, "Custom1", 338, "Custom 1", EGroupPage::Keypad, "Custom"},
    {11, "Custom2", 339, "Custom 2", EGroupPage::Keypad, "Custom"},
    {12, "Custom3", 340, "Custom 3", EGroupPage::Keypad, "Custom"},
    {13, "BaseConversions", 334, "Base Conversions", EGroupPage::Keypad, "BGBase"},
    {14, "Constants", 335, "Constants", EGroupPage::Keypad, "BGConstants"},
    {15, "StatsConversion", 336, "Stats & Conversions", EGroupPage::Keypad, "BGStats"},
    {16, "History", 940, "History", EGroupPage::History, "History"},
};

const GroupKind* FindGroupKind(int kind)
{
    return kind >= 1 && kind <= kGroupKindCount ? &kGroupKinds[kind - 1] : nullptr;
}

int ChooseSizeSet(int count, int preferLarge, int compact)
{
    if (compact) return kSizeMedium;
    if (preferLarge) return kSizeLarge;
    return count >= 12 ? kSizeSmall : kSizeLarge;
}

CButtonGroup::CButtonGroup(CSkinResources* resources)
    : m_resources(resources ? resources : &CSkinResources::Instance())
{
}

CButtonGroup::~CButtonGroup() = default;

CSkinButton* CButtonGroup::Button(int index) const
{
    return index >= 0 && index < Count() ? m_buttons[index].get() : nullptr;
}

void CButtonGroup::Clear()
{
    m_buttons.clear();
    m_captured = 0;
    m_capturedIndex = 0;
}

int CButtonGroup::Load(unsigned message, ISkinHost* host, IMessageTarget* target,
                       const char* section, int preferLarge, int compact)
{
    Clear();
    CSkinResources& res = *m_resources;
    res.GetSkinString(m_location, section, "Location", "MainButtonLocations");
    if (m_location == "MainButtonLocations" && compact) m_location += "Small";

    int count = 0;
    res.GetSkinInt(count, m_location.c_str(), "NumberOfButtons", 0);
    if (count <= 0) {
        MessageBoxService().Show("Error", "Num of Buttons = 0", MessageKind::Error,
                                 MessageButtons::Ok);
        return 0;
    }
    m_sizeSet = ChooseSizeSet(count, preferLarge, compact);
    // A page holds 80 buttons; further ones are ignored quietly.
    int wanted = count < kMaxButtons ? count : kMaxButtons;

    int x = 0, y = 0;
    for (int n = 1; n <= wanted; ++n) {
        char key[24];
        std::snprintf(key, sizeof key, "Coord%d", n);
        res.GetSkinPair(x, y, m_location.c_str(), key, x, y);
        std::snprintf(key, sizeof key, "Btn%d", n);
        std::string name;
        res.GetSkinString(name, section, key, "");
        if (name.empty()) return 0;

        x = ClampSkinValue(x, -kSkinMaxCoord, kSkinMaxCoord);
        y = ClampSkinValue(y, -kSkinMaxCoord, kSkinMaxCoord);
        auto button = std::make_unique<CSkinButton>(m_resources);
        if (!button->Create(res.Scaled(x), res.Scaled(y), name.c_str(), host, target, message,
                            m_sizeSet)) {
            char text[400];
            std::snprintf(text, sizeof text, "Button Name: %s\nIndex: %i\n Num of Buttons: %i",
                          Cp1252ToUtf8(name).c_str(), n - 1, count);
            MessageBoxService().Show(text, "Error", MessageKind::Error, MessageButtons::Ok);
            return 0;
        }
        m_buttons.push_back(std::move(button));
    }
    return 1;
}

void CButtonGroup::MouseDown(int x, int y)
{
    // A press whose release happened outside the page would otherwise stay
    // drawn pressed for good once another button takes the capture.
    if (m_captured) {
        m_buttons[m_capturedIndex]->CancelPress();
        m_captured = 0;
    }
    for (int i = 0; i < Count(); ++i) {
        if (m_buttons[i]->OnMouseDown(x, y)) {
            m_captured = 1;
            m_capturedIndex = i;
            return;
        }
    }
}

void CButtonGroup::MouseUp(int x, int y)
{
    if (m_captured && m_buttons[m_capturedIndex]->OnMouseUp(x, y)) m_captured = 0;
}

void CButtonGroup::MouseMove(int x, int y)
{
    if (m_captured && !m_buttons[m_capturedIndex]->OnMouseMove(x, y)) m_captured = 0;
}

void CButtonGroup::DrawAll(CSkinImage& dc, const SkinRect& update, int force, int absolute)
{
    for (auto& button : m_buttons) button->Draw(dc, update, force, absolute);
}

void CButtonGroup::DrawButtonAt(int index, CSkinImage& dc, const SkinRect& update, int x, int y)
{
    if (CSkinButton* button = Button(index)) button->DrawAt(dc, update, x, y);
}
