#include "ui/converters/TipPage.h"

#include <tuple>

#include "calculator/CalcController.h"
#include "calculator/NumberText.h"
#include "conversions/FormatDouble.h"
#include "settings/SettingsStore.h"
#include "skins/SkinResources.h"
#include "skins/SkinText.h"
#include "strings/Language.h"
#include "strings/StringIds.h"
#include "ui/pages/SkinListButton.h"

namespace {
const size_t kAmountChars = 9;
const size_t kBillChars = 13;


// The rows' places at normal scale: label right edge and top, value right edge
// and top, and the room a label has before it meets the control on its left.
struct RowPlace {
    int labelId;
    const char* english;
    int labelX, labelY, valueX, valueY, labelRoom;
};
const RowPlace kBill{StringId::TipBillAmount, "Bill Amount", 230, 5, 230, 13, 180};
const RowPlace kPercent{StringId::TipPercent, "Tip Percent", 109, 54, 111, 62, 59};
const RowPlace kPeople{StringId::TipPeople, "# of People", 230, 54, 230, 62, 60};
const RowPlace kTip{StringId::TipAmount, "Tip Amount", 109, 94, 111, 102, 103};
const RowPlace kPerPerson{StringId::TipTotalPerPerson, "Total Per Person", 230, 94, 230, 102, 106};
const int kLabelHeight = 12;

// An amount as it is spoken: its label first ("Total Per Person $3.07").
std::string Spoken(const RowPlace& place, const std::string& value)
{
    return LocalizedText(place.labelId, place.english) + " " + value;
}
}  // namespace

std::string TipAmountText(double value)
{
    const std::string plain = FormatDouble(value, 12);
    const RegionalData& locale = CNumberText::GetInstance()->GetLocaleData();
    std::string text;
    if (!FormatCurrencyText(plain, locale.currencySymbol, locale, text)) text = plain;
    return Utf8Length(text) > kAmountChars ? "#" : text;
}

std::string TipBillText(const std::string& mantissa, int regional)
{
    const RegionalData& locale = CNumberText::GetInstance()->GetLocaleData();
    std::string text = "$" + mantissa;
    if (regional && !FormatCurrencyText(mantissa, locale.currencySymbol, locale, text)) text = mantissa;
    return Utf8Length(text) > kBillChars ? "#" : text;
}

CTipPage::CTipPage(QWidget* parent, CSkinResources& resources, CPageBand* band, CCalcController& calculator)
    : CConverterPage(parent, resources, band, "TipCalculator", resources.TipCalcBackground()),
      m_calculator(calculator)
{
}

void CTipPage::Setup(const std::vector<GroupMenuItem>* items, IMessageTarget* target, uint32_t backgroundColor)
{
    CConverterPage::Setup(items, target, backgroundColor);
    ReadTextStyle(m_text);
    const int height = CompactScreen() ? 120 : 150;
    if ((m_percentage = AddList("BtnPercentageLocation", "BtnPercentage", "PercentageButton", kMsgPercentage, height, StringId::LabelTip)))
        m_people = AddList("BtnNumPeopleLocation", "BtnNumPeople", "NumPeopleButton", kMsgNumPeople, height, StringId::LabelSplit);

    // An index out of range leaves the model's 10 % and 1 person, and no selection.
    const CSettingsStore& settings = CSettingsStore::Instance();
    m_model.SelectPercent(settings.Percentage());
    m_model.SelectPeople(settings.NumPeople());
    if (m_percentage) {
        for (int i = 0; i < CTipModel::kPercentItems; ++i) m_percentage->AddEntry(i, CTipModel::PercentItemText(i));
        m_percentage->SelectEntry(settings.Percentage());
    }
    if (m_people) {
        for (int i = 0; i < CTipModel::kPeopleItems; ++i) m_people->AddEntry(i, CTipModel::PeopleItemText(i));
        m_people->SelectEntry(settings.NumPeople());
    }
}

void CTipPage::OnMessage(unsigned msg, intptr_t wParam, intptr_t)
{
    const int index = static_cast<int>(wParam);
    m_beforeChoice = RowTexts();
    CSettingsStore& settings = CSettingsStore::Instance();
    if (msg == kMsgPercentage && m_model.SelectPercent(index)) settings.SetPercentage(index);
    if (msg == kMsgNumPeople && m_model.SelectPeople(index)) settings.SetNumPeople(index);
    update();
}

CTipPage::Rows CTipPage::RowTexts() const
{
    Rows rows;
    std::string full, mantissa;
    m_calculator.GetDisplay(full, mantissa, rows.billExponent, 0, 0);
    m_model.SetBill(full.c_str());
    rows.bill = TipBillText(mantissa, CSettingsStore::Instance().RegionalCurrency());
    rows.percent = m_model.PercentText();
    rows.people = m_model.PeopleText();
    rows.tip = TipAmountText(m_model.Tip());
    rows.perPerson = TipAmountText(m_model.PerPerson());
    return rows;
}

void CTipPage::PaintContent(CSkinImage& dc)
{
    const Rows rows = RowTexts();
    const auto row = [&](const RowPlace& place, const std::string& value) {
        // A label too long for its room gets smaller, its foot kept on the value.
        const std::string label = LocalizedText(place.labelId, place.english);
        const int height = FitTextHeight(m_text.font, Scaled(kLabelHeight), 400, label, Scaled(place.labelRoom));
        DrawSkinTextUtf8(Scaled(place.labelX), Scaled(place.labelY + kLabelHeight) - height, height, 400, m_text.font,
                         label, dc, m_text.color, kAlignRight);
        DrawSkinTextUtf8(Scaled(place.valueX), Scaled(place.valueY), m_text.height, m_text.weight, m_text.font, value,
                         dc, m_text.color, kAlignRight);
    };
    if (rows.billExponent.empty()) {
        row(kBill, rows.bill);
    } else {
        row({kBill.labelId, kBill.english, kBill.labelX, kBill.labelY, 193, kBill.valueY, kBill.labelRoom}, rows.bill);
        DrawSkinTextUtf8(Scaled(230), Scaled(kBill.valueY), m_text.height - Scaled(6), m_text.weight, m_text.font,
                         rows.billExponent, dc, m_text.color, kAlignRight);
    }
    row(kPercent, rows.percent);
    row(kPeople, rows.people);
    row(kTip, rows.tip);
    row(kPerPerson, rows.perPerson);
}

void CTipPage::AddControls(std::vector<PageControl>& controls) const
{
    const Rows rows = RowTexts();
    const auto add = [&](const RowPlace& place, const std::string& value) {
        // The row's area: from its label's top to its value's bottom, left of its right edge.
        const SkinRect r{Scaled(place.valueX - 60), Scaled(place.labelY), Scaled(place.valueX),
                         Scaled(place.valueY) + m_text.height};
        controls.push_back({r, LocalizedText(place.labelId, place.english) + ": " + value, {}});
    };
    add(kBill, rows.billExponent.empty() ? rows.bill : rows.bill + "e" + rows.billExponent);
    add(kTip, rows.tip);
    add(kPerPerson, rows.perPerson);
}

std::string CTipPage::AccessibleValue() const { return Spoken(kPerPerson, RowTexts().perPerson); }

void CTipPage::ListChosen()
{
    const Rows rows = RowTexts();
    std::string said;
    for (const auto& [place, before, now] : {std::tuple{kTip, m_beforeChoice.tip, rows.tip},
                                             std::tuple{kPerPerson, m_beforeChoice.perPerson, rows.perPerson}})
        if (before != now) said += (said.empty() ? "" : ", ") + Spoken(place, now);
    Announce(said);
}
