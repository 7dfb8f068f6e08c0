#include "ui/converters/SlotPage.h"

#include "calculator/CalcController.h"
#include "conversions/UnitNames.h"
#include "settings/SettingsStore.h"
#include "skins/SkinResources.h"
#include "skins/SkinText.h"
#include "strings/Language.h"
#include "strings/StringIds.h"
#include "ui/pages/SkinListButton.h"

namespace {
const int kValueChars = 14;  // a value longer than this is cut
}  // namespace

CTwoSlotPage::CTwoSlotPage(QWidget* parent, CSkinResources& resources, CPageBand* band, const char* section,
                           const CSkinImage* background, CCalcController& calculator)
    : CConverterPage(parent, resources, band, section, background), m_calculator(calculator)
{
}

void CTwoSlotPage::ChooseSlotEntry(bool choosingFrom, int index, int& from, int& to)
{
    int& chosen = choosingFrom ? from : to;
    int& other = choosingFrom ? to : from;
    if (index == other) other = chosen;
    chosen = index;
}

void CTwoSlotPage::SelectSlotEntries(CSkinListButton* top, CSkinListButton* bottom, int from, int to) const
{
    if (top) top->SelectEntry(FromIsTop() ? from : to);
    if (bottom) bottom->SelectEntry(FromIsTop() ? to : from);
}

void CTwoSlotPage::ReadSlotStyle()
{
    ReadTextStyle(m_text);
    std::string marker;
    m_resources.GetSkinString(marker, "Init", "ConvMarkerImage", "conversion_marker");
    m_marker = m_resources.LoadImage(m_resources.SkinPath(marker));
}

SkinRect CTwoSlotPage::SlotRect(int top) const
{
    const SkinRect rect = top ? SkinRect{48, 54, 237, 91} : SkinRect{48, 94, 237, 131};
    return {Scaled(rect.left), Scaled(rect.top), Scaled(rect.right), Scaled(rect.bottom)};
}

int CTwoSlotPage::InSlot(int top, int x, int y) const
{
    const SkinRect r = SlotRect(top);
    if (EdgesInside()) return x >= r.left && x <= r.right && y >= r.top && y <= r.bottom;
    return r.Contains(x, y);
}

int CTwoSlotPage::ShowsNothing(const std::string& text) const
{
    return text.empty() && !m_calculator.GetSignText().empty();
}

std::string CTwoSlotPage::PlainValue() const
{
    std::string full, mantissa, exponent;
    m_calculator.GetDisplay(full, mantissa, exponent, 0, 0);
    if (ShowsNothing(full)) return m_lastPlain;
    return m_lastPlain = full.empty() ? "0" : full;
}

void CTwoSlotPage::DisplayValue(std::string& mantissa, std::string& exponent) const
{
    std::string full;
    m_calculator.GetDisplay(full, mantissa, exponent, 1, CSettingsStore::Instance().RegionalSettings());
    if (ShowsNothing(full)) {
        mantissa = m_lastMantissa;
        exponent = m_lastExponent;
        return;
    }
    m_lastMantissa = mantissa;
    m_lastExponent = exponent;
}

void CTwoSlotPage::SetCalculatorValue(const std::string& plain) { m_calculator.ActiveMode().SetEntry(plain); }

int CTwoSlotPage::OnPress(int x, int y)
{
    const int top = InSlot(1, x, y) ? 1 : InSlot(0, x, y) ? 0 : -1;
    if (top < 0) return 0;
    // The slot that already holds the calculator's value takes the tap and does nothing.
    if (top != FromIsTop()) PressResult(top);
    return 1;
}

void CTwoSlotPage::PaintSlots(CSkinImage& dc)
{
    const int fromTop = FromIsTop();
    if (m_marker) {
        const SkinRect r = SlotRect(fromTop ? 0 : 1);
        dc.Transfer(r.left, r.top, m_marker->Width(), m_marker->Height(), *m_marker, 0, 0, ERasterOp::Copy);
    }
    DrawSlot(dc, FromValue(), fromTop);
    DrawSlot(dc, ToValue(), !fromTop);
}

void CTwoSlotPage::DrawSlot(CSkinImage& dc, const SlotValue& value, int top) const
{
    const int labelY = Scaled(top ? 55 : 95), valueY = Scaled(top ? 62 : 102);
    DrawSkinTextUtf8(Scaled(230), labelY, Scaled(12), 400, m_text.font, value.label, dc, m_text.color, kAlignRight);
    if (!value.message.empty()) {
        // Smaller rather than cut: the whole message is wanted.
        const SkinRect slot = SlotRect(top);
        const int height = FitTextHeight(m_text.font, m_text.height, m_text.weight, value.message,
                                         slot.right - slot.left - Scaled(10));
        DrawSkinTextUtf8(Scaled(230), valueY + m_text.height - height, height, m_text.weight, m_text.font,
                         value.message, dc, m_text.color, kAlignRight);
        return;
    }
    const std::string mantissa = CutUtf8(value.mantissa, kValueChars);
    if (value.exponent.empty()) {
        DrawSkinTextUtf8(Scaled(230), valueY, m_text.height, m_text.weight, m_text.font, mantissa, dc, m_text.color,
                         kAlignRight);
        return;
    }
    DrawSkinTextUtf8(Scaled(193), valueY, m_text.height, m_text.weight, m_text.font, mantissa, dc, m_text.color,
                     kAlignRight);
    DrawSkinTextUtf8(Scaled(230), valueY, m_text.height - Scaled(6), m_text.weight, m_text.font, value.exponent, dc,
                     m_text.color, kAlignRight);
}

std::string CTwoSlotPage::SlotText(int top) const
{
    const SlotValue v = top == FromIsTop() ? FromValue() : ToValue();
    if (!v.message.empty()) return v.message;
    std::string text = CutUtf8(v.mantissa, kValueChars);
    if (!v.exponent.empty()) text += "e" + v.exponent;
    return v.label.empty() ? text : text + " " + v.label;
}

void CTwoSlotPage::AddControls(std::vector<PageControl>& controls) const
{
    auto* self = const_cast<CTwoSlotPage*>(this);
    // The calculator's value, then the result: a reversal swaps their places
    // on the page, not their order.
    for (int top : {FromIsTop(), 1 - FromIsTop()}) {
        PageControl slot{SlotRect(top), SlotText(top), {}};
        slot.keepsPlace = true;
        if (top != FromIsTop()) {
            // Named for what it does: the value it shows moves with the result.
            slot.name = LocalizedText(StringId::ReverseConversion, "Reverse");
            slot.shown = SlotText(top);
            slot.press = [self, top] { self->PressResult(top); };
        }
        controls.push_back(slot);
    }
}

std::string CTwoSlotPage::ConversionText() const { return SlotText(FromIsTop()) + " = " + SlotText(!FromIsTop()); }

void CTwoSlotPage::PressResult(int top)
{
    Reverse(top);
    update();
    Announce(ConversionText());
}
