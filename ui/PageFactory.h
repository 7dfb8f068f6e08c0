#pragma once
// Makes the page of a converter kind: 5 tip calculator, 7 unit converter,
// 8 currency converter.

class CCalcController;
class CConverterPage;
class CPageBand;
class CSkinResources;
class QWidget;

CConverterPage* CreateConverterPage(int kind, QWidget* parent, CSkinResources& resources, CPageBand& band,
                                    CCalcController& calculator);
