#pragma once
// How the main window gets the page of a converter kind (5 tip calculator,
// 7 unit converter, 8 currency converter, 16 history): the pages live in ui/converters,
// a layer above the pages, so the program hands the window their factory.

class CCalcController;
class CConverterPage;
class CPageBand;
class CSkinResources;
class QWidget;

// The new page (owned by the caller), or null for a kind it does not make.
using ConverterPageFactory = CConverterPage* (*)(int kind, QWidget* parent, CSkinResources& resources,
                                                 CPageBand& band, CCalcController& calculator);
