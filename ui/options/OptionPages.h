#pragma once
// The six pages of the Options dialog and the one way the program opens it.
#include <vector>

#include "ui/options/OptionsDialog.h"

class IOptionsHost;
class QGroupBox;
class QRadioButton;

// The factory the dialog makes its pages with.
QWidget* CreateOptionPage(EOptionPage page, QWidget* parent, OptionsContext& context);

// Opens the dialog modally over the window (on its Currency tab when
// startOnCurrency), and when it has closed lets the window rebuild what the
// pages changed.
void RunOptionsDialog(IOptionsHost& window, int startOnCurrency);

// A group box of radio buttons, one per text, stacked; buttons come back in
// the order of the texts.
QGroupBox* MakeRadioGroup(const QString& title, const std::vector<QString>& texts, int columns,
                          std::vector<QRadioButton*>& buttons);
// Tab reaches a group of radio buttons on its checked one (the first while
// none is checked), as the arrows select at once: only that one takes Tab.
void TabLandsOnChecked(const std::vector<QRadioButton*>& buttons);
