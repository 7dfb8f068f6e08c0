#include "conversions/ClothingSizes.h"

namespace {

struct SizeTable {
    int rows;
    const char* cells[8][4]; // U.S., U.K., Europe, Japan; null where a region has no list
};

// "\xBD" one half, "\xBC" one quarter, "\xBE" three quarters (Windows-1252).
const SizeTable kTables[CClothingSizes::kTypes] = {
    {8, {{"32", nullptr, "38", nullptr}, {"34", nullptr, "40", nullptr}, {"36", nullptr, "42", nullptr},
         {"38", nullptr, "44", nullptr}, {"40", nullptr, "46", nullptr}, {"42", nullptr, "48", nullptr},
         {"44", nullptr, "50", nullptr}, {"46", nullptr, "52", nullptr}}},
    {8, {{"3", "1.5", "35", "20"}, {"4", "2.5", "36", "21"}, {"5", "3.5", "37", "22"}, {"6", "4.5", "38", "23"},
         {"7", "5.5", "39", "24"}, {"8", "6.5", "40", "25"}, {"9", "7.5", "41", "26"}, {"10", "8.5", "42", "27"}}},
    {7, {{"3", "5", "30", "2"}, {"5", "7", "32", "4"}, {"7", "9", "34", "6"}, {"9", "11", "36", "8"},
         {"11", "13", "38", "10"}, {"13", "15", "40", "12"}, {"15", "17", "42", "14"}}},
    {8, {{"4", "6", "34", "3"}, {"6", "8", "36", "5"}, {"8", "10", "38", "7"}, {"10", "12", "40", "9"},
         {"12", "14", "42", "11"}, {"14", "16", "44", "13"}, {"16", "18", "46", "15"}, {"18", "20", "48", "17"}}},
    {8, {{"32", "34", "42", "31"}, {"34", "36", "44", "33"}, {"36", "38", "46", "35"}, {"38", "40", "48", "37"},
         {"40", "42", "50", "39"}, {"42", "44", "52", "41"}, {"44", "46", "54", "43"}, {"46", "48", "56", "45"}}},
    {8, {{"14", "14", "36", "36"}, {"14\xBD", "14\xBD", "37", "37"}, {"15", "15", "38", "38"},
         {"15\xBD", "15\xBD", "39", "39"}, {"16", "16", "41", "41"}, {"16\xBD", "16\xBD", "42", "42"},
         {"17", "17", "43", "43"}, {"17\xBD", "17\xBD", "44", "44"}}},
    {8, {{"34", "34", "44", "S"}, {"36", "36", "46", "-"}, {"38", "38", "48", "M"}, {"40", "40", "50", "L"},
         {"42", "42", "52", "-"}, {"44", "44", "54", "LL"}, {"46", "46", "56", "-"}, {"48", "48", "58", "-"}}},
    {8, {{"6", "5.5", "38", "25"}, {"7", "6.5", "39", "26"}, {"8", "7.5", "40", "27"}, {"9", "8.5", "41", "28"},
         {"10", "9.5", "42", "29"}, {"11", "10.5", "43", "30"}, {"12", "11.5", "44", "31"}, {"13", "12.5", "45", "32"}}},
    {5, {{"6", nullptr, "54", nullptr}, {"7", nullptr, "56", nullptr}, {"7\xBC", nullptr, "58", nullptr},
         {"7\xBD", nullptr, "60", nullptr}, {"7\xBE", nullptr, "62", nullptr}}},
    {8, {{"34", nullptr, "5", nullptr}, {"36", nullptr, "6", nullptr}, {"38", nullptr, "7", nullptr},
         {"40", nullptr, "8", nullptr}, {"42", nullptr, "9", nullptr}, {"44", nullptr, "10", nullptr},
         {"46", nullptr, "11", nullptr}, {"48", nullptr, "12", nullptr}}},
};

bool ValidType(int type) { return type >= 0 && type < CClothingSizes::kTypes; }

} // namespace

int CClothingSizes::SetType(int type)
{
    if (!ValidType(type)) return 0;
    m_type = type;
    m_row = 0;
    return 1;
}

bool CClothingSizes::HasRegion(int type, int region)
{
    if (!ValidType(type) || region < 0 || region >= kRegions) return false;
    return kTables[type].cells[0][region] != nullptr;
}

int CClothingSizes::RowCount(int type, int region)
{
    return HasRegion(type, region) ? kTables[type].rows : 0;
}

std::string CClothingSizes::Cell(int type, int region, int row)
{
    if (row < 0 || row >= RowCount(type, region)) return std::string();
    return kTables[type].cells[row][region];
}

int CClothingSizes::SelectedRow(int region) const
{
    return m_row >= 0 && m_row < RowCount(m_type, region) ? m_row : -1;
}
