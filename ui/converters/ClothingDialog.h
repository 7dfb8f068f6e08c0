#pragma once
// The clothing sizes dialog: a type list and one size list per region (U.S.,
// U.K., Europe, Japan). The lists are row-aligned: choosing a size in one
// shows the same row in the others. Types with only U.S. and European sizes
// hide the U.K. and Japan lists. Nothing is kept between runs.

#include <QDialog>

#include "conversions/ClothingSizes.h"

class QComboBox;
class QGroupBox;

class CClothingDialog : public QDialog {
public:
    explicit CClothingDialog(QWidget* parent);

    QComboBox* TypeList() const { return m_type; }
    // The size list of a region (ClothingRegion).
    QComboBox* SizeList(int region) const { return m_sizes[region]; }
    // Whether a region's list is offered for the type shown.
    bool RegionShown(int region) const;

private:
    void FillSizes(int type);
    void ChooseSize(int row);
    // What the user's change of `from` (the type or a size list) showed: its
    // value and every shown size with its region, spoken; a change the
    // program made says nothing. The text, UTF-8 (empty when not spoken).
    std::string SpeakSizes(QComboBox* from);

public:
    // The last sizes spoken, UTF-8.
    const std::string& Spoken() const { return m_spoken; }

private:
    std::string m_spoken;

    CClothingSizes m_model;
    QComboBox* m_type = nullptr;
    QComboBox* m_sizes[CClothingSizes::kRegions] = {};
    QGroupBox* m_groups[CClothingSizes::kRegions] = {};
};
