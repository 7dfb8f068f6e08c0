#pragma once
// Values that the settings store loads and saves but does not own. The store
// hands them over in LoadSettings and asks for them in SaveSettings; each
// owner's interface lives with the owner (the calculator's in
// calculator/CalculatorSettingsOwner.h), so the store sits above them all.
#include "calculator/CalculatorSettingsOwner.h"

// Implemented by whoever holds the skin's double scale (the `VGA` setting):
// handed over by LoadSettings before the menu values, asked by SaveSettings.
class DoubleScaleOwner {
public:
    virtual ~DoubleScaleOwner() = default;
    virtual void SetDoubleScale(int on) = 0;
    virtual int DoubleScale() const = 0;
};
