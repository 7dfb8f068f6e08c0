#include "conversions/ClothingSizes.h"
#include "conversions/TipModel.h"

#include <gtest/gtest.h>

namespace {

struct TipRow {
    const char* bill;
    int percentIndex, peopleIndex;
    double tip, total, perPerson;
};

const TipRow kTips[] = {
    {"100", 15, 2, 15, 115, 115.0 / 3},
    {"100", 0, 3, 0, 100, 25},
    {"80", 27, 0, 40, 120, 120},
    {"12.5", 22, 19, 3.125, 15.625, 0.78125},
    {"syntax error", 10, 0, 0, 0, 0},
};

TEST(TipModel, ComputesTipTotalAndShare)
{
    for (const TipRow& row : kTips) {
        CTipModel model;
        model.SetBill(row.bill);
        ASSERT_TRUE(model.SelectPercent(row.percentIndex));
        ASSERT_TRUE(model.SelectPeople(row.peopleIndex));
        EXPECT_DOUBLE_EQ(model.Tip(), row.tip) << row.bill;
        EXPECT_DOUBLE_EQ(model.Total(), row.total) << row.bill;
        EXPECT_DOUBLE_EQ(model.PerPerson(), row.perPerson) << row.bill;
    }
}

TEST(TipModel, RefusesIndexesOutsideTheLists)
{
    CTipModel model;
    EXPECT_EQ(model.Percent(), 10);
    EXPECT_EQ(model.People(), 1);
    for (int bad : {-1, 28}) EXPECT_FALSE(model.SelectPercent(bad));
    for (int bad : {-1, 20}) EXPECT_FALSE(model.SelectPeople(bad));
    EXPECT_EQ(model.PercentText(), "10 %");
    EXPECT_EQ(model.PeopleText(), "1");
    model.SelectPercent(23);
    model.SelectPeople(2);
    EXPECT_EQ(model.PercentText(), "30 %");
    EXPECT_EQ(model.PeopleText(), "3");
}

TEST(TipModel, ItemTexts)
{
    struct { int index; const char* percent; const char* people; } rows[] = {
        {0, "0 % ", "1 Person "}, {1, "1 % ", "2 People "}, {15, "15 % ", "16 People "},
        {19, "19 % ", "20 People "}, {20, "20 % ", ""}, {27, "50 % ", ""}, {28, "", ""}, {-1, "", ""}};
    for (auto& row : rows) {
        EXPECT_EQ(CTipModel::PercentItemText(row.index), row.percent) << row.index;
        EXPECT_EQ(CTipModel::PeopleItemText(row.index), row.people) << row.index;
    }
}

struct SizeRow {
    int type, row;
    const char* us;
    const char* uk;
    const char* europe;
    const char* japan;
};

const SizeRow kSizes[] = {
    {1, 6, "9", "7.5", "41", "26"},          // women's shoes
    {6, 2, "38", "38", "48", "M"},           // suits: U.S. 38 is Japan M
    {6, 1, "36", "36", "46", "-"},
    {5, 1, "14\xBD", "14\xBD", "37", "37"},  // men's shirts, one half
    {8, 2, "7\xBC", "", "58", ""},           // hats: no U.K. or Japan sizes
    {8, 4, "7\xBE", "", "62", ""},
    {0, 7, "46", "", "52", ""},
    {9, 0, "34", "", "5", ""},
    {2, 6, "15", "17", "42", "14"},
};

TEST(ClothingSizes, RowsLineUpAcrossRegions)
{
    for (const SizeRow& row : kSizes) {
        SCOPED_TRACE("type " + std::to_string(row.type) + " row " + std::to_string(row.row));
        EXPECT_EQ(CClothingSizes::Cell(row.type, kRegionUS, row.row), row.us);
        EXPECT_EQ(CClothingSizes::Cell(row.type, kRegionUK, row.row), row.uk);
        EXPECT_EQ(CClothingSizes::Cell(row.type, kRegionEurope, row.row), row.europe);
        EXPECT_EQ(CClothingSizes::Cell(row.type, kRegionJapan, row.row), row.japan);
    }
}

TEST(ClothingSizes, ListsPerType)
{
    const int kRows[10] = {8, 8, 7, 8, 8, 8, 8, 8, 5, 8};
    for (int type = 0; type < 10; ++type) {
        bool onlyTwo = type == 0 || type == 8 || type == 9;
        EXPECT_EQ(CClothingSizes::RowCount(type, kRegionUS), kRows[type]);
        EXPECT_EQ(CClothingSizes::RowCount(type, kRegionEurope), kRows[type]);
        EXPECT_EQ(CClothingSizes::HasRegion(type, kRegionUK), !onlyTwo) << type;
        EXPECT_EQ(CClothingSizes::HasRegion(type, kRegionJapan), !onlyTwo) << type;
        EXPECT_EQ(CClothingSizes::Cell(type, kRegionUS, kRows[type]), "");
    }
    EXPECT_EQ(CClothingSizes::RowCount(10, kRegionUS), 0);
    EXPECT_EQ(CClothingSizes::Cell(-1, kRegionUS, 0), "");
}

TEST(ClothingSizes, ChoosingASizeSelectsTheSameRowEverywhere)
{
    CClothingSizes sizes;
    EXPECT_EQ(sizes.Type(), 0);
    EXPECT_EQ(sizes.SelectedRow(kRegionUK), -1); // hidden list
    ASSERT_EQ(sizes.SetType(1), 1);
    sizes.SelectRow(6);
    for (int region = 0; region < 4; ++region) EXPECT_EQ(sizes.SelectedRow(region), 6);
    ASSERT_EQ(sizes.SetType(8), 1);
    EXPECT_EQ(sizes.SelectedRow(kRegionUS), 0); // a new type starts at row 0
    sizes.SelectRow(7);
    EXPECT_EQ(sizes.SelectedRow(kRegionUS), -1); // no such row: no selection
    EXPECT_EQ(sizes.SetType(10), 0);
    EXPECT_EQ(sizes.Type(), 8);
}

} // namespace
