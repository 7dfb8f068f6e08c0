#include "ui/PageFactory.h"

#include "skins/SkinResources.h"
#include "ui/ConverterPage.h"

CConverterPage* CreateConverterPage(int kind, QWidget* parent, CSkinResources& resources, CPageBand& band,
                                    CCalcController&)
{
    switch (kind) {
    case 5: return new CConverterPage(parent, resources, &band, "TipCalculator", resources.TipCalcBackground());
    case 7: return new CConverterPage(parent, resources, &band, "UnitConverter", resources.ConvBackground());
    default: return new CConverterPage(parent, resources, &band, "Currency", resources.CurrencyBackground());
    }
}
