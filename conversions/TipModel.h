#pragma once
// The tip calculator's arithmetic: a bill, a tip percentage chosen from a fixed
// list and a number of people, 1 to 20. No rounding here; the page rounds.
#include <string>

class CTipModel {
public:
    static constexpr int kPercentItems = 28;
    static constexpr int kPeopleItems = 20;

    // bill = the leading number of the text (0 when there is none); recomputes.
    bool SetBill(const char* text);
    // Index into the percentage list; false (nothing changed) outside 0..27.
    bool SelectPercent(int index);
    // Index into the people list (people = index + 1); false outside 0..19.
    bool SelectPeople(int index);

    // "15 % " for index 15; empty outside the list.
    static std::string PercentItemText(int index);
    // "1 Person " / "3 People " in the current language (UTF-8); empty outside the list.
    static std::string PeopleItemText(int index);
    // "15 %" and "3" for the current choice.
    std::string PercentText() const;
    std::string PeopleText() const;

    int Percent() const { return m_percent; }
    int People() const { return m_people; }
    double Bill() const { return m_bill; }
    double Tip() const { return m_tip; }
    double Total() const { return m_total; }
    double PerPerson() const { return m_perPerson; }

private:
    void Recompute();

    double m_bill = 0;
    double m_tip = 0;
    double m_total = 0;
    double m_perPerson = 0;
    int m_percent = 10;
    int m_people = 1;
};
