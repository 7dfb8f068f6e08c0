#pragma once
// The converter pages as the window gets them: their factory (the program
// hands it to the window, which knows only the page base class).

class CCalcController;
class CConverterPage;
class CPageBand;
class CSkinPage;
class CSkinResources;
class QWidget;

// The page of kind 5 (tip calculator), 7 (unit converter) or 8 (currency
// converter, over the program's currency table) or 16 (history); null for
// another kind.
CConverterPage* CreateConverterPage(int kind, QWidget* parent, CSkinResources& resources, CPageBand& band,
                                    CCalcController& calculator);

// The automatic rates download check of the currency converter page, if the
// page is one (the window runs it at the end of start-up and at every focus
// gain).
void StartAutomaticDownload(CSkinPage* page);
