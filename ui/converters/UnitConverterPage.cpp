#include "ui/converters/UnitConverterPage.h"

#include "calculator/CalcController.h"
#include "calculator/NumberText.h"
#include "settings/SettingsStore.h"
#include "skins/SkinResources.h"
#include "skins/SkinText.h"
#include "strings/Language.h"
#include "strings/StringIds.h"
#include "ui/converters/ClothingDialog.h"
#include "ui/pages/SkinListButton.h"

namespace {
std::string ProgramFile(CSkinResources& resources, const char* name)
{
    std::string folder;
    resources.GetProgramFolder(folder);
    return folder + name;
}
}  // namespace

CUnitConverterPage::CUnitConverterPage(QWidget* parent, CSkinResources& resources, CPageBand* band,
                                       CCalcController& calculator)
    : CTwoSlotPage(parent, resources, band, "UnitConverter", resources.ConvBackground(), calculator),
      m_converter(std::make_unique<CUnitConverter>(ProgramFile(resources, "UnitLib.txt")))
{
}

int CUnitConverterPage::FromIsTop() const { return CSettingsStore::Instance().ConvertorFromSelect() ? 1 : 0; }

void CUnitConverterPage::Setup(const std::vector<GroupMenuItem>* items, IMessageTarget* target,
                               uint32_t backgroundColor)
{
    CTwoSlotPage::Setup(items, target, backgroundColor);
    ReadSlotStyle();
    const int compact = CompactScreen();
    if ((m_category = AddList("BtnConversionLocation", "BtnConversion", "ConversionButton", kMsgCategory, 165, StringId::LabelCategory)))
        if ((m_top = AddList("BtnFromLocation", "BtnFrom", "ConvertFromButton", kMsgTopUnit, compact ? 120 : 150, StringId::LabelFrom)))
            m_bottom = AddList("BtnToLocation", "BtnTo", "ConvertToButton", kMsgBottomUnit, compact ? 75 : 150, StringId::LabelTo);

    // A hand-edited registry may hold anything: out of range means the defaults.
    CSettingsStore& settings = CSettingsStore::Instance();
    if (!m_converter->SetCategory(settings.ConvertorSection()) || settings.ConvertorSection() == kClothingItem) {
        // Units stored for no category mean nothing either.
        settings.SetConvertorSection(0);
        settings.SetConvertorFrom(0);
        settings.SetConvertorTo(1);
        m_converter->SetCategory(0);
    }
    if (!m_converter->SetToUnit(settings.ConvertorTo())) settings.SetConvertorTo(m_converter->ToUnit());
    if (!m_converter->SetFromUnit(settings.ConvertorFrom())) settings.SetConvertorFrom(m_converter->FromUnit());
    if (settings.ConvertorFromSelect() != 0 && settings.ConvertorFromSelect() != 1) settings.SetConvertorFromSelect(1);

    if (m_category) {
        for (int c = 0; c < CUnitConverter::kCategories; ++c) {
            std::string name;
            m_converter->CategoryName(c, name);
            m_category->AddEntry(c, name);
        }
        m_category->AddEntry(kClothingItem, LocalizedText(StringId::ClothingMenuItem, "Clothing..."));
        m_category->SelectEntry(settings.ConvertorSection());
    }
    FillUnitLists();
    SelectUnits();
}

void CUnitConverterPage::FillUnitLists()
{
    for (CSkinListButton* list : {m_top, m_bottom}) {
        if (!list) continue;
        list->ResetEntries();
        for (int u = 0; u < m_converter->UnitCount(); ++u) {
            std::string name;
            m_converter->UnitName(u, name);
            list->AddEntry(u, name);
        }
    }
}

void CUnitConverterPage::SelectUnits()
{
    const CSettingsStore& settings = CSettingsStore::Instance();
    SelectSlotEntries(m_top, m_bottom, settings.ConvertorFrom(), settings.ConvertorTo());
}

void CUnitConverterPage::ChooseCategory(int index)
{
    CSettingsStore& settings = CSettingsStore::Instance();
    if (index == kClothingItem) {
        CClothingDialog dialog(window());
        dialog.exec();
        // The dialog is no category: the units shown before stay.
        if (m_category) m_category->SelectEntry(settings.ConvertorSection());
        return;
    }
    if (!m_converter->SetCategory(index)) return;
    settings.SetConvertorSection(index);
    FillUnitLists();
    settings.SetConvertorFrom(m_converter->FromUnit());
    settings.SetConvertorTo(m_converter->ToUnit());
    SelectUnits();
    update();
}

void CUnitConverterPage::ChooseUnit(int top, int index)
{
    if (index < 0 || index >= m_converter->UnitCount()) return;
    CSettingsStore& settings = CSettingsStore::Instance();
    int from = m_converter->FromUnit(), to = m_converter->ToUnit();
    // The top list names the from unit while the top slot is the from slot.
    ChooseSlotEntry(top == FromIsTop(), index, from, to);
    m_converter->SetFromUnit(from);
    m_converter->SetToUnit(to);
    settings.SetConvertorFrom(from);
    settings.SetConvertorTo(to);
    SelectUnits();
    update();
}

int CUnitConverterPage::ArrowEntries(const CSkinListButton* list) const
{
    // The arrows stop before "Clothing...": stepping past it would open a dialog.
    return list == m_category ? kClothingItem : CConverterPage::ArrowEntries(list);
}

void CUnitConverterPage::OnMessage(unsigned msg, intptr_t wParam, intptr_t)
{
    const int index = static_cast<int>(wParam);
    switch (msg) {
    case kMsgCategory: ChooseCategory(index); break;
    case kMsgTopUnit: ChooseUnit(1, index); break;
    case kMsgBottomUnit: ChooseUnit(0, index); break;
    default: break;
    }
}

void CUnitConverterPage::PaintContent(CSkinImage& dc)
{
    PaintSlots(dc);
    std::string name;
    m_converter->CategoryName(m_converter->Category(), name);
    // Right of the category button; a long name gets smaller rather than run under it.
    const int left = (m_category ? m_category->ButtonRect().right : MenuButtonRight()) + Scaled(4);
    const int height = FitTextHeight(m_text.font, m_text.height - Scaled(2), m_text.weight, name, Scaled(231) - left);
    DrawSkinTextUtf8(Scaled(231), Scaled(10), height, m_text.weight, m_text.font, name, dc, m_text.color,
                     kAlignRight);
}

CTwoSlotPage::SlotValue CUnitConverterPage::FromValue() const
{
    SlotValue v;
    DisplayValue(v.mantissa, v.exponent);
    m_converter->FromAbbreviation(v.label);
    return v;
}

CTwoSlotPage::SlotValue CUnitConverterPage::ToValue() const
{
    SlotValue v;
    std::string result, full;
    if (m_converter->BelowAbsoluteZero(PlainValue().c_str())) {
        v.message = LocalizedText(StringId::BelowAbsoluteZero, "Below absolute zero");
        m_converter->ToAbbreviation(v.label);
        return v;
    }
    m_converter->ConvertPart(&result, PlainValue().c_str(), 0);
    CNumberText* text = CNumberText::GetInstance();
    text->FormatDisplay(result, full, v.mantissa, v.exponent, CSettingsStore::Instance().RegionalSettings(),
                        m_calculator.GetDisplayDigits());
    // The display's decimal comma applies to the converted value too.
    if (text->GetDecimalComma())
        for (char& c : v.mantissa)
            if (c == '.') c = ',';
    m_converter->ToAbbreviation(v.label);
    return v;
}

void CUnitConverterPage::Reverse(int top)
{
    // No temperature to take over; the direction stays.
    if (m_converter->BelowAbsoluteZero(PlainValue().c_str())) return;
    std::string result;
    m_converter->ConvertPart(&result, PlainValue().c_str(), 0);
    SetCalculatorValue(result);
    CSettingsStore& settings = CSettingsStore::Instance();
    const int from = m_converter->FromUnit(), to = m_converter->ToUnit();
    m_converter->SetFromUnit(to);
    m_converter->SetToUnit(from);
    settings.SetConvertorFrom(to);
    settings.SetConvertorTo(from);
    settings.SetConvertorFromSelect(top);
}
