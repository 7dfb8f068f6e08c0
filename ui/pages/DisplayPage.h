#pragma once
// The calculator's read-out above the keypad: the value with its exponent,
// the memory signs M1 to M8, the angle mode or the base, the pending operator,
// and the group menu button. Everything it shows is asked of the controller
// at each paint.

#include <memory>
#include <string>

#include "ui/pages/SkinPage.h"

class CCalcController;
class CSkinMenuButton;
class CSkinResources;
struct GroupMenuItem;

// What the display shows, computed from the controller (also what a screen
// reader reads).
struct DisplayContent {
    std::string mantissa;  // UTF-8
    std::string exponent;
    std::string modeText;  // "DEG", "RAD", "GRAD" or empty (another base)
    std::string signText;  // the pending operator, or the base's name
    int memory[8] = {};    // registers 0 to 7 in use
};

class CDisplayPage : public CSkinPage {
public:
    CDisplayPage(QWidget* parent, CSkinResources& resources, CCalcController& calculator);
    ~CDisplayPage() override;

    // Hands the display's fonts to the text painter to get ready, before the
    // display exists: they are the first paint's slowest part.
    static void PrepareFonts(CSkinResources& resources);
    // Reads the [Display] keys and makes the menu button.
    void Setup(const std::vector<GroupMenuItem>* items, IMessageTarget* target, uint32_t backgroundColor);
    CSkinMenuButton* MenuButton() { return m_menu.get(); }
    DisplayContent Content() const;

    // Its controls: the read-out (0) and the group menu button (1).
    static constexpr int kMenuControl = 1;
    int AccessibleCount() const override;
    std::string AccessibleName(int index) const override;
    std::string AccessibleDescription(int index) const override;
    EAccessRole AccessibleRole(int index) const override;
    SkinRect AccessibleRect(int index) const override;
    void AccessiblePress(int index) override;
    std::string AccessibleValue() const override;
    // The keyboard's focus on the read-out (0), the menu button (1, marked)
    // or nowhere (-1).
    void SetKeyFocus(int index);
    int AccessibleFocus() const override { return m_keyFocus; }
    // The value as a listener understands it ("1.5 times ten to the 25", in
    // the current language), and the indicators shown beside it.
    std::string SpokenValue() const;
    std::string SpokenIndicators() const;
    // In R.P.N. the stack from Y up ("Y: 3, Z: 0, T: 0"); else empty.
    std::string SpokenStack() const;

protected:
    void PaintPage(const SkinRect& clip) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    static void ReadFont(CSkinResources& resources, std::string& face, int& height, int& weight);
    // The leftmost pixel a value drawn in rows [top, top + height) may use.
    int ValueLeft(int top, int height) const;
    // The expression mode's line along the top row.
    void DrawExpressionLine(const std::string& line);
    // Draws text right-aligned at right, as large as fits up to height.
    void DrawValueText(const std::string& text, int right, int top, int height);

    CSkinResources& m_resources;
    CCalcController& m_calculator;
    std::unique_ptr<CSkinMenuButton> m_menu;
    uint32_t m_backgroundColor = 0x8C8C8C;
    std::string m_font;
    uint32_t m_textColor = 0;
    int m_textHeight = 20;
    int m_textWeight = 700;
    int m_menuTookPress = 0;
    int m_keyFocus = -1;
    // The operand shown while an operator waits (the calculator shows nothing then).
    mutable std::string m_lastMantissa, m_lastExponent;
};

// "BIN", "OCT", "HEX", or "Base N" for a base other than 10.
std::string BaseName(int base);
