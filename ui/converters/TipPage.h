#pragma once
// The tip calculator page: the calculator's value is the bill; a percentage
// list and a people list choose the tip and how many share the bill; five
// rows show the bill, the percentage, the people, the tip and the total per
// person, amounts in the user's currency format. The choices live in the
// settings (TipCalc: Percentage, NumPeople).

#include "conversions/TipModel.h"
#include "ui/pages/ConverterPage.h"

class CCalcController;

class CTipPage : public CConverterPage {
public:
    // The lists' messages to the page (item index as first parameter).
    enum : unsigned { kMsgPercentage = 1044, kMsgNumPeople = 1045 };

    CTipPage(QWidget* parent, CSkinResources& resources, CPageBand* band, CCalcController& calculator);

    void Setup(const std::vector<GroupMenuItem>* items, IMessageTarget* target, uint32_t backgroundColor) override;
    const CTipModel& Model() const { return m_model; }
    CSkinListButton* PercentageList() const { return m_percentage; }
    CSkinListButton* PeopleList() const { return m_people; }

    // What the rows show (UTF-8), after reading the bill from the calculator.
    struct Rows {
        std::string bill, billExponent, percent, people, tip, perPerson;
    };
    Rows RowTexts() const;
    std::string AccessibleValue() const override;

protected:
    void OnMessage(unsigned msg, intptr_t wParam, intptr_t lParam) override;
    void PaintContent(CSkinImage& dc) override;
    void AddControls(std::vector<PageControl>& controls) const override;
    // Speaks the amounts the choice changed, each with its label.
    void ListChosen() override;

private:
    CCalcController& m_calculator;
    // The bill follows the display: it is read at every paint.
    mutable CTipModel m_model;
    TextStyle m_text;
    CSkinListButton* m_percentage = nullptr;
    CSkinListButton* m_people = nullptr;
    Rows m_beforeChoice;  // the rows as they were before a list's choice
};

// The two texts of the page's amounts: a value in the user's currency format
// ("#" beyond 9 characters), and the bill ("$" in front unless regional; "#"
// beyond 13 characters).
std::string TipAmountText(double value);
std::string TipBillText(const std::string& mantissa, int regional);
