#include "conversions/pages/ConverterPages.h"

#include "conversions/pages/CurrencyConverterPage.h"
#include "conversions/pages/TipPage.h"
#include "conversions/pages/UnitConverterPage.h"
#include "ui/MainWindow.h"

CConverterPage* CreateConverterPage(int kind, QWidget* parent, CSkinResources& resources, CPageBand& band,
                                    CCalcController& calculator)
{
    switch (kind) {
    case 5: return new CTipPage(parent, resources, &band, calculator);
    case 7: return new CUnitConverterPage(parent, resources, &band, calculator);
    case 8: return new CCurrencyConverterPage(parent, resources, &band, calculator, *CCurrencyTable::Instance());
    default: return nullptr;
    }
}

void InstallConverterPages(CMainWindow& window)
{
    window.converterPageFactory = &CreateConverterPage;
    window.onFocusGained = [&window] {
        if (auto* page = dynamic_cast<CCurrencyConverterPage*>(window.PageOfKind(8))) page->StartAutomaticDownload();
    };
}
