#pragma once
// Display text from result text: notation (Normal, Fixed, Scientific,
// Engineering), tidying, the split into mantissa and exponent, the cut to the
// display width, translated error words, regional separators, and currency
// amounts for the currency page.
//
// Value texts come in as the engine writes them (Windows-1252, in practice
// ASCII); every output is UTF-8, because translated error words and some
// locales' separators have no 1252 byte. The exponent text holds digits with a
// "-" for negative exponents and no "+" ("005", "-005"), empty when there is
// no exponent; the full text is mantissa, then "e", sign and exponent.
#include "platform/RegionalFormat.h"

#include <string>

enum Notation { kNotationNormal = 0, kNotationFixed = 1, kNotationScientific = 2, kNotationEngineering = 3 };

class CNumberText {
public:
    // Created on first use; reads the user's locale data once, then.
    static CNumberText* GetInstance();
    static void ReleaseInstance();

    // Notation, tidy, width cut (width, or width - 2 with an exponent) and,
    // when regional is set, the locale's decimal and thousands separators.
    void FormatDisplay(const std::string& valueText, std::string& fullText, std::string& mantissaText,
                       std::string& exponentText, int regional, int width);
    // Tidy and split only: no notation, no width, no translation.
    void FormatPlain(const std::string& valueText, std::string& fullText, std::string& mantissaText,
                     std::string& exponentText);
    // A value longer than width shows "Display too large", an error word its
    // translation; the exponent is empty.
    void CheckWidth(const std::string& valueText, std::string& fullText, std::string& mantissaText,
                    std::string& exponentText, int width);
    // A currency amount with currencySymbol (1252) in front, or in the
    // locale's currency format when regional is set. Width 0 means no limit.
    void FormatCurrency(const std::string& valueText, const std::string& currencySymbol,
                        std::string& fullText, std::string& mantissaText, std::string& exponentText,
                        int regional, int width);

    // 0 Normal, 1 Fixed, 2 Scientific, 3 Engineering; other values are refused (0).
    int SetNotation(int notation);
    int GetNotation() const { return notation_; }

    // Normal and Fixed texts through the locale's number format.
    void SetRegionalNumberFormat(int on) { regionalNumberFormat_ = on != 0; }
    int GetRegionalNumberFormat() const { return regionalNumberFormat_ ? 1 : 0; }
    // Every "." of a display text (and of a copied expression) becomes ",".
    void SetDecimalComma(int on) { decimalComma_ = on != 0; }
    int GetDecimalComma() const { return decimalComma_ ? 1 : 0; }

    // The locale data in use; tests and tools may replace it.
    const RegionalData& GetLocaleData() const { return locale_; }
    void SetLocaleData(const RegionalData& data) { locale_ = data; }

    // The digit count used by Normal and Fixed.
    int GetNotationDigits() const { return notationDigits_; }

private:
    CNumberText();

    int notation_ = kNotationNormal;
    int notationDigits_ = 13;
    bool regionalNumberFormat_ = false;
    bool decimalComma_ = false;
    RegionalData locale_;
};
