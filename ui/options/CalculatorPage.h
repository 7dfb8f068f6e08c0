#pragma once
// The Calculator page: notation, calculator mode, R.P.N. stack size, repeated
// equals and regional separators, handed to the calculator at once.
#include <QWidget>

#include "ui/options/OptionsDialog.h"

class CCalculatorPage : public QWidget {
public:
    CCalculatorPage(QWidget* parent, OptionsContext& context);
};
