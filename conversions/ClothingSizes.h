#pragma once
// Clothing sizes of four regions as row-aligned text tables: row r of every
// column is the same size. Cells are Windows-1252 text (the fractions are the
// single bytes of one half, one quarter and three quarters).
#include <string>

enum ClothingRegion { kRegionUS = 0, kRegionUK = 1, kRegionEurope = 2, kRegionJapan = 3 };

class CClothingSizes {
public:
    static constexpr int kTypes = 10;
    static constexpr int kRegions = 4;
    static constexpr int kFirstTypeNameId = 314; // localised names of the types, in order

    // The type shown; rows are reset to 0 in every list. 0 for an index outside 0..9.
    int SetType(int type);
    int Type() const { return m_type; }
    // Blouses, hats and underwear have only U.S. and European sizes.
    static bool HasRegion(int type, int region);
    // Rows of a type in a region (0 when the region has no list for the type).
    static int RowCount(int type, int region);
    // Text of one cell; empty for a cell outside the table.
    static std::string Cell(int type, int region, int row);

    // A size chosen in one list selects the same row in the others.
    void SelectRow(int row) { m_row = row; }
    // The row a region's list shows selected, or -1 when it has no such row.
    int SelectedRow(int region) const;

private:
    int m_type = 0;
    int m_row = 0;
};
