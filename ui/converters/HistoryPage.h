#pragma once
// The history page: the calculations of every mode, the newest at the
// bottom, over the display's art. The display box shows the selected entry
// whole; the band lists five entries at a time. The wheel, the arrows, Page
// Up and Page Down, Home and End move through them; Enter or a click puts the
// selected result (in the expression mode: the calculation) into the entry,
// Ctrl+C copies "expression = result", Delete or "Clear history" empties it.
// Each listed entry is an accessible list item; the selected one has the
// screen reader's focus.

#include "ui/pages/ConverterPage.h"

#include <cstdint>

class CCalcController;

class CHistoryPage : public CConverterPage {
public:
    static constexpr int kRows = 5;

    CHistoryPage(QWidget* parent, CSkinResources& resources, CPageBand* band, CCalcController& calculator);

    void Setup(const std::vector<GroupMenuItem>* items, IMessageTarget* target, uint32_t backgroundColor) override;
    // The selected entry's index in the history (-1: the history is empty)
    // and the first listed one.
    int Selected() const;
    int FirstShown() const;
    // What an entry reads: "2 + 3 = 5" and, to a screen reader, "2 + 3 equals 5".
    std::string EntryText(size_t index) const;
    std::string EntrySpoken(size_t index) const;
    std::string AccessibleValue() const override;
    int AccessibleFocus() const override;
    bool TakesArrowKeys() const override { return true; }

    void Select(int index);
    // Puts the selected entry into the calculator; 1 when it took it.
    int RecallSelected();
    int CopySelected() const;
    void ClearHistory();

protected:
    int OnPageKey(int key, int modifiers) override;
    int OnPress(int x, int y) override;
    void PaintContent(CSkinImage& dc) override;
    void AddControls(std::vector<PageControl>& controls) const override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // Follows the history: a new entry is selected and shown.
    void Follow() const;
    SkinRect RowRect(int row) const;
    SkinRect ClearRect() const;
    int ShownRows() const;
    void Changed();

    CCalcController& m_calculator;
    TextStyle m_text;
    mutable uint64_t m_revision = ~uint64_t(0);
    mutable int m_selected = -1;
    mutable int m_first = 0;
};
