#pragma once
// What the unit and the currency pages share: two slots, top and bottom, one
// showing the calculator's value (the from slot), the other that value
// converted, with the marker over the converted one. A tap on the converted
// value moves it into the calculator and turns the direction round.

#include <string>

#include "ui/pages/ConverterPage.h"

class CCalcController;

class CTwoSlotPage : public CConverterPage {
public:
    CTwoSlotPage(QWidget* parent, CSkinResources& resources, CPageBand* band, const char* section,
                 const CSkinImage* background, CCalcController& calculator);

    // 1 when the top slot shows the calculator's value.
    virtual int FromIsTop() const = 0;
    // The tap area of a slot (top 1, bottom 0).
    SkinRect SlotRect(int top) const;
    // What a slot shows, UTF-8: the value (mantissa, "e" and the exponent
    // when there is one), a blank and the label.
    std::string SlotText(int top) const;
    // The converted value, as a screen reader reads the page.
    std::string AccessibleValue() const override { return SlotText(FromIsTop() ? 0 : 1); }
    // The whole conversion, as it is spoken after a change: "100 °C = 212 °F".
    std::string ConversionText() const;

protected:
    struct SlotValue {
        std::string mantissa;  // UTF-8
        std::string exponent;
        std::string label;
        std::string message; // UTF-8; shown instead of a value that can't be given
    };
    virtual SlotValue FromValue() const = 0;
    virtual SlotValue ToValue() const = 0;
    // The result slot was tapped: the slot `top` becomes the from slot.
    virtual void Reverse(int top) = 0;
    // 1: a point on a slot's right or bottom edge is inside it.
    virtual int EdgesInside() const { return 1; }

    // The list of one slot chose index: it becomes the from (choosingFrom)
    // or the to entry; the entry the other slot showed already is swapped
    // in, as two slots naming one unit would convert nothing.
    static void ChooseSlotEntry(bool choosingFrom, int index, int& from, int& to);
    // Shows from and to in the top and bottom lists (either may be null).
    void SelectSlotEntries(CSkinListButton* top, CSkinListButton* bottom, int from, int to) const;

    // Reads the text keys and the marker image.
    void ReadSlotStyle();
    // The marker over the result slot, then both slots' labels and values.
    void PaintSlots(CSkinImage& dc);
    int OnPress(int x, int y) override;
    void AddControls(std::vector<PageControl>& controls) const override;
    void ListChosen() override { Announce(ConversionText()); }

    // The calculator's value as plain text ("." and an optional exponent).
    std::string PlainValue() const;
    // The calculator's value as the display shows it.
    void DisplayValue(std::string& mantissa, std::string& exponent) const;
    // Makes a plain number text the calculator's value.
    void SetCalculatorValue(const std::string& plain);

    CCalcController& m_calculator;
    TextStyle m_text;

private:
    int InSlot(int top, int x, int y) const;
    // The result slot `top` was pressed: the direction turns round.
    void PressResult(int top);
    void DrawSlot(CSkinImage& dc, const SlotValue& value, int top) const;
    // While an operator waits the calculator shows nothing; the operand stays.
    int ShowsNothing(const std::string& text) const;

    const CSkinImage* m_marker = nullptr;
    mutable std::string m_lastPlain = "0";
    mutable std::string m_lastMantissa = "0";
    mutable std::string m_lastExponent;
};
