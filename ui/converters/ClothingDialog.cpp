#include "ui/converters/ClothingDialog.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "platform/TextCodec.h"
#include "ui/common/ChoiceSpeech.h"
#include "strings/Language.h"
#include "strings/StringIds.h"

namespace {
QString Text(int id, const char* english) { return QString::fromStdString(LocalizedText(id, english)); }

struct RegionLabel {
    int stringId;
    const char* english;
};
const RegionLabel kRegionLabels[CClothingSizes::kRegions] = {
    {StringId::ClothingUS, "U.S."}, {StringId::ClothingUK, "U.K."},
    {StringId::ClothingEurope, "Europe"}, {StringId::ClothingJapan, "Japan"}};
}  // namespace

CClothingDialog::CClothingDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(Text(StringId::ClothingCaption, "Tallix"));
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(Text(StringId::ClothingTitle, "International Clothing Size Conversions"), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    layout->addWidget(title);
    auto* typeLabel = new QLabel(Text(StringId::ClothingSelectType, "Select Clothing Type"), this);
    m_type = new QComboBox(this);
    typeLabel->setBuddy(m_type);
    for (int type = 0; type < CClothingSizes::kTypes; ++type)
        m_type->addItem(Text(CClothingSizes::kFirstTypeNameId + type, ""));
    layout->addWidget(typeLabel);
    layout->addWidget(m_type);

    // U.S. and U.K. on the first row, Europe and Japan on the second.
    auto* grid = new QGridLayout();
    for (int region = 0; region < CClothingSizes::kRegions; ++region) {
        m_groups[region] = new QGroupBox(Text(kRegionLabels[region].stringId, kRegionLabels[region].english), this);
        auto* box = new QVBoxLayout(m_groups[region]);
        m_sizes[region] = new QComboBox(m_groups[region]);
        m_sizes[region]->setAccessibleName(m_groups[region]->title());
        box->addWidget(m_sizes[region]);
        grid->addWidget(m_groups[region], region / 2, region % 2);
        connect(m_sizes[region], &QComboBox::activated, this, [this, region](int row) {
            ChooseSize(row);
            SpeakSizes(m_sizes[region]);
        });
    }
    layout->addLayout(grid);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(Text(StringId::DialogOk, "OK"), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);

    connect(m_type, &QComboBox::currentIndexChanged, this, [this](int type) {
        FillSizes(type);
        SpeakSizes(m_type);
    });
    m_type->setCurrentIndex(0);
    FillSizes(0);
}

bool CClothingDialog::RegionShown(int region) const { return CClothingSizes::HasRegion(m_model.Type(), region); }

void CClothingDialog::FillSizes(int type)
{
    if (!m_model.SetType(type)) return;
    for (int region = 0; region < CClothingSizes::kRegions; ++region) {
        QComboBox* list = m_sizes[region];
        const QSignalBlocker quiet(list);
        list->clear();
        m_groups[region]->setVisible(RegionShown(region));
        for (int row = 0; row < CClothingSizes::RowCount(type, region); ++row)
            list->addItem(QString::fromStdString(Cp1252ToUtf8(CClothingSizes::Cell(type, region, row))));
    }
    ChooseSize(0);
}

std::string CClothingDialog::SpeakSizes(QComboBox* from)
{
    if (!from->hasFocus() || from->view()->isVisible()) return {};
    QStringList said{from->currentText()};
    for (int region = 0; region < CClothingSizes::kRegions; ++region)
        if (RegionShown(region) && m_sizes[region] != from)
            said << m_groups[region]->title() + " " + m_sizes[region]->currentText();
    SpeakFor(this, said.join(", "));
    return m_spoken = said.join(", ").toStdString();
}

void CClothingDialog::ChooseSize(int row)
{
    m_model.SelectRow(row);
    for (int region = 0; region < CClothingSizes::kRegions; ++region) {
        const QSignalBlocker quiet(m_sizes[region]);
        m_sizes[region]->setCurrentIndex(m_model.SelectedRow(region));
    }
}
