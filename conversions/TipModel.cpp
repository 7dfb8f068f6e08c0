#include "conversions/TipModel.h"

#include "conversions/FormatDouble.h"
#include "strings/Language.h"

namespace {

const int kPercentages[CTipModel::kPercentItems] = {
    0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 22, 25, 30, 35, 40, 45, 50};

constexpr int kPeopleTextId = 363;
constexpr int kPersonTextId = 364;

std::string LocalText(int id, const char* english)
{
    std::string text;
    if (!LoadResString(LocalizedId(id), text)) text = english;
    return text;
}

} // namespace

bool CTipModel::SetBill(const char* text)
{
    m_bill = ReadNumber(text);
    Recompute();
    return true;
}

bool CTipModel::SelectPercent(int index)
{
    if (index < 0 || index >= kPercentItems) return false;
    m_percent = kPercentages[index];
    Recompute();
    return true;
}

bool CTipModel::SelectPeople(int index)
{
    if (index < 0 || index >= kPeopleItems) return false;
    m_people = index + 1;
    Recompute();
    return true;
}

std::string CTipModel::PercentItemText(int index)
{
    if (index < 0 || index >= kPercentItems) return std::string();
    return std::to_string(kPercentages[index]) + " % ";
}

std::string CTipModel::PeopleItemText(int index)
{
    if (index < 0 || index >= kPeopleItems) return std::string();
    std::string word = index == 0 ? LocalText(kPersonTextId, " Person ") : LocalText(kPeopleTextId, " People ");
    return std::to_string(index + 1) + word;
}

std::string CTipModel::PercentText() const { return std::to_string(m_percent) + " %"; }

std::string CTipModel::PeopleText() const { return std::to_string(m_people); }

void CTipModel::Recompute()
{
    m_tip = m_percent * m_bill * 0.01;
    m_total = m_bill + m_tip;
    m_perPerson = m_total / m_people;
}
