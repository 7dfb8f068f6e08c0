#pragma once
// The converter pages as the window gets them: their factory, and the
// automatic rates download check the window runs at the end of start-up and
// at every focus gain.

class CCalcController;
class CConverterPage;
class CMainWindow;
class CPageBand;
class CSkinResources;
class QWidget;

// The page of kind 5 (tip calculator), 7 (unit converter) or 8 (currency
// converter, over the program's currency table); null for another kind.
CConverterPage* CreateConverterPage(int kind, QWidget* parent, CSkinResources& resources, CPageBand& band,
                                    CCalcController& calculator);

// Hands the window the page factory and the download check; call it before
// the window's Initialise.
void InstallConverterPages(CMainWindow& window);
