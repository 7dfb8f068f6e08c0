#pragma once
// The unit converter page: a category list (its last item opens the clothing
// sizes dialog), a unit list beside each slot, and the calculator's value
// converted live between the two units. The choices live in the settings
// (Convertor: Section, From, To, FromSelect).

#include <memory>

#include "conversions/UnitConverter.h"
#include "ui/converters/SlotPage.h"

class CUnitConverterPage : public CTwoSlotPage {
public:
    // The lists' messages to the page (item index as first parameter).
    enum : unsigned { kMsgCategory = 1025, kMsgTopUnit = 1026, kMsgBottomUnit = 1027 };
    static constexpr int kClothingItem = CUnitConverter::kCategories;  // "Clothing..."

    CUnitConverterPage(QWidget* parent, CSkinResources& resources, CPageBand* band, CCalcController& calculator);

    // Reads the skin, makes the lists and fills them from the settings; stored
    // values outside their ranges fall back to category 0, units 0 and 1.
    void Setup(const std::vector<GroupMenuItem>* items, IMessageTarget* target, uint32_t backgroundColor) override;
    int FromIsTop() const override;
    const CUnitConverter& Converter() const { return *m_converter; }
    CSkinListButton* CategoryList() const { return m_category; }
    CSkinListButton* UnitList(int top) const { return top ? m_top : m_bottom; }

    // A category chosen in the list; kClothingItem runs the clothing dialog
    // and then chooses category 0.
    void ChooseCategory(int index);
    // A unit chosen in the top (1) or bottom (0) list.
    void ChooseUnit(int top, int index);

protected:
    void OnMessage(unsigned msg, intptr_t wParam, intptr_t lParam) override;
    void PaintContent(CSkinImage& dc) override;
    SlotValue FromValue() const override;
    SlotValue ToValue() const override;
    void Reverse(int top) override;
    int ArrowEntries(const CSkinListButton* list) const override;

private:
    void FillUnitLists();
    void SelectUnits();

    // The model remembers its last result, so even reading converts through it.
    std::unique_ptr<CUnitConverter> m_converter;
    CSkinListButton* m_category = nullptr;
    CSkinListButton* m_top = nullptr;
    CSkinListButton* m_bottom = nullptr;
};
