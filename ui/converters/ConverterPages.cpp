#include "ui/converters/ConverterPages.h"

#include "skins/ButtonGroup.h"
#include "ui/converters/CurrencyConverterPage.h"
#include "ui/converters/HistoryPage.h"
#include "ui/converters/TipPage.h"
#include "ui/converters/UnitConverterPage.h"

CConverterPage* CreateConverterPage(int kind, QWidget* parent, CSkinResources& resources, CPageBand& band,
                                    CCalcController& calculator)
{
    switch (kind) {
    case 5: return new CTipPage(parent, resources, &band, calculator);
    case 7: return new CUnitConverterPage(parent, resources, &band, calculator);
    case 8: return new CCurrencyConverterPage(parent, resources, &band, calculator, *CCurrencyTable::Instance());
    case kHistoryKind: return new CHistoryPage(parent, resources, &band, calculator);
    default: return nullptr;
    }
}

void StartAutomaticDownload(CSkinPage* page)
{
    if (auto* currency = dynamic_cast<CCurrencyConverterPage*>(page)) currency->StartAutomaticDownload();
}
