#include "ui/pages/DisplayPage.h"

#include <QMouseEvent>

#include <algorithm>

#include "calculator/CalcController.h"
#include "calculator/KeyFeedback.h"
#include "engine/CalcEngine.h"
#include "platform/RegionalFormat.h"
#include "settings/SettingsStore.h"
#include "skins/SkinResources.h"
#include "skins/SkinText.h"
#include "strings/Language.h"
#include "strings/StringIds.h"
#include "ui/pages/SkinMenuButton.h"

namespace {
const char* const kAngleNames[] = {"DEG", "RAD", "GRAD"};
static_assert(sizeof(DisplayContent::memory) / sizeof(int) == kMemoryRegisters);

// M1 to M5 along the top; M6 to M8 below M3 to M5, under the value.
const int kMemoryRight[kMemoryRegisters] = {151, 171, 191, 211, 231, 191, 211, 231};
const int kMemoryTop[kMemoryRegisters] = {6, 6, 6, 6, 6, 39, 39, 39};
// The expression line takes the top row: every sign goes under the value.
const int kLineMemoryRight[kMemoryRegisters] = {91, 111, 131, 151, 171, 191, 211, 231};
const int kLineModeRight = 40;
}  // namespace

std::string BaseName(int base)
{
    switch (base) {
    case 2: return "BIN";
    case 8: return "OCT";
    case 16: return "HEX";
    default: return "Base " + std::to_string(base);
    }
}

CDisplayPage::CDisplayPage(QWidget* parent, CSkinResources& resources, CCalcController& calculator)
    : CSkinPage(parent), m_resources(resources), m_calculator(calculator)
{
    SetPageSize(resources.Scaled(240), resources.Scaled(54));
}

CDisplayPage::~CDisplayPage() = default;

void CDisplayPage::ReadFont(CSkinResources& resources, std::string& face, int& height, int& weight)
{
    resources.GetSkinInt(weight, "Display", "TextWeight", 700);
    resources.GetSkinInt(height, "Display", "TextHeight", 20);
    resources.GetSkinString(face, "Display", "TextFont", "Tahoma");
}

void CDisplayPage::PrepareFonts(CSkinResources& resources)
{
    std::string face;
    int height = 20, weight = 700;
    ReadFont(resources, face, height, weight);
    // In the order the first paint draws them: indicators, value, exponent.
    PrepareSkinText(resources.Scaled(12), 400, face);
    PrepareSkinText(resources.Scaled(height), weight, face);
    PrepareSkinText(resources.Scaled(height - 6), weight, face);
}

void CDisplayPage::Setup(const std::vector<GroupMenuItem>* items, IMessageTarget* target,
                         uint32_t backgroundColor)
{
    m_backgroundColor = backgroundColor;
    int x = 0, y = 0;
    std::string name;
    m_resources.GetSkinPair(x, y, "Display", "BtnMenuLocation", 0, 0);
    m_resources.GetSkinString(name, "Display", "BtnMenu", "MenuButton");
    ReadFont(m_resources, m_font, m_textHeight, m_textWeight);
    m_resources.GetSkinColor(m_textColor, "Display", "TextColor", 0);
    m_menu = std::make_unique<CSkinMenuButton>(&m_resources, this);
    if (!m_menu->CreateMenuButton(items, m_resources.Scaled(x), m_resources.Scaled(y), name.c_str(), this,
                                  target, kMsgGroupSelect))
        m_menu.reset();
}

DisplayContent CDisplayPage::Content() const
{
    DisplayContent c;
    std::string full;
    m_calculator.GetDisplay(full, c.mantissa, c.exponent, 1, CSettingsStore::Instance().RegionalSettings());
    c.signText = m_calculator.GetSignText();
    const int mode = m_calculator.CalcMode();
    if (c.mantissa.empty() && c.exponent.empty() && !c.signText.empty() &&
        (mode == kModeAlgebraic || mode == kModeDal)) {
        c.mantissa = m_lastMantissa;
        c.exponent = m_lastExponent;
    } else {
        m_lastMantissa = c.mantissa;
        m_lastExponent = c.exponent;
    }
    const int base = m_calculator.CalcBase();
    if (base == 10) {
        const int angle = CCalcEngine::GetInstance()->GetAngleMode();
        c.modeText = kAngleNames[angle >= 0 && angle <= 2 ? angle : 0];
    } else {
        c.signText = BaseName(base);
    }
    for (int i = 0; i < kMemoryRegisters; ++i) c.memory[i] = m_calculator.IsMemoryInUse(i);
    return c;
}

void CDisplayPage::PaintPage(const SkinRect&)
{
    const auto s = [this](int v) { return m_resources.Scaled(v); };
    if (CSkinImage* wide = m_resources.BackgroundWide())
        m_screen.Transfer(0, 0, m_screen.Width(), m_screen.Height(), *wide, s(40), y(), ERasterOp::Copy);
    else
        m_screen.Fill(0, 0, m_screen.Width(), m_screen.Height(), m_backgroundColor);
    if (m_menu) m_menu->Draw(m_screen, {0, 0, m_screen.Width(), m_screen.Height()}, 1, 1);
    if (m_menu && m_keyFocus == kMenuControl) DrawFocusMark(m_screen, m_menu->ButtonRect());

    const DisplayContent c = Content();
    const auto indicator = [&](int right, const std::string& text, int top = 6) {
        DrawSkinTextUtf8(s(right), s(top), s(12), 400, m_font, text, m_screen, m_textColor, kAlignRight);
    };
    if (m_calculator.CalcMode() == kModeExpression && m_calculator.CalcBase() == 10) {
        DrawExpressionLine(c.signText);
        if (!c.modeText.empty()) indicator(kLineModeRight, c.modeText, 39);
        for (int i = 0; i < kMemoryRegisters; ++i)
            if (c.memory[i]) indicator(kLineMemoryRight[i], "M" + std::to_string(i + 1), 39);
    } else {
        if (!c.modeText.empty()) indicator(110, c.modeText);
        indicator(75, c.signText);
        for (int i = 0; i < kMemoryRegisters; ++i)
            if (c.memory[i]) indicator(kMemoryRight[i], "M" + std::to_string(i + 1), kMemoryTop[i]);
    }

    const int height = s(m_textHeight);
    if (!c.exponent.empty()) {
        // The exponent keeps its place; the mantissa ends clear of it.
        const int expHeight = s(m_textHeight - 6);
        DrawSkinTextUtf8(s(230), s(13), expHeight, m_textWeight, m_font, c.exponent, m_screen, m_textColor,
                         kAlignRight);
        const int expLeft = s(230) - MeasureSkinTextUtf8(expHeight, m_textWeight, m_font, c.exponent);
        DrawValueText(c.mantissa, std::min(s(193), expLeft - s(3)), s(13), height);
    } else if (Utf8Length(c.mantissa) < 15) {
        DrawValueText(c.mantissa, s(230), s(13), height);
    } else {
        DrawValueText(c.mantissa, s(230), s(28), s(12));
    }
}

void CDisplayPage::DrawExpressionLine(const std::string& line)
{
    // The end of a long line is where typing goes on: it is the part shown.
    const int height = m_resources.Scaled(12), right = m_resources.Scaled(230);
    const std::string shown = FitSkinTextTail(height, 400, m_font, line, right - m_resources.Scaled(4));
    DrawSkinTextUtf8(right, m_resources.Scaled(5), height, 400, m_font, shown, m_screen, m_textColor, kAlignRight);
}

int CDisplayPage::ValueLeft(int top, int height) const
{
    const int margin = m_resources.Scaled(2);
    if (!m_menu) return margin;
    const SkinRect button = m_menu->ButtonRect();
    const bool sharesRows = button.top < top + height && top < button.bottom;
    return sharesRows ? std::max(margin, button.right + 2 * margin) : margin;
}

void CDisplayPage::DrawValueText(const std::string& text, int right, int top, int height)
{
    // A value too wide for its row gets smaller, on the same baseline, rather
    // than running under the menu button or off the page.
    const int room = right - ValueLeft(top, height);
    const int fitted = FitSkinTextHeight(height, std::min(height, m_resources.Scaled(6)), m_textWeight, m_font,
                                         text, room);
    DrawSkinTextUtf8(right, top + height - fitted, fitted, m_textWeight, m_font, text, m_screen, m_textColor,
                     kAlignRight);
}

void CDisplayPage::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    const QPoint p = ArtPoint(event);
    m_menuTookPress = m_menu && m_menu->OnMouseDown(p.x(), p.y());
}

void CDisplayPage::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    if (m_menuTookPress) {
        m_menuTookPress = 0;
        return;
    }
    // A tap on the display shows the R.P.N. stack.
    if (m_calculator.CalcMode() == kModeRpn) m_calculator.ShowStack();
}

// Control 0 is the read-out (the value, its signs in the description), 1 the
// group menu button.
int CDisplayPage::AccessibleCount() const { return m_menu ? 2 : 1; }

std::string CDisplayPage::AccessibleName(int index) const
{
    return index == 0 ? SpokenValue() : MenuButtonAccessibleName();
}

std::string CDisplayPage::AccessibleDescription(int index) const
{
    if (index != 0) return {};
    // In R.P.N. the levels above X too: the stack is read from the keyboard.
    const std::string signs = SpokenIndicators(), stack = SpokenStack();
    return signs.empty() || stack.empty() ? signs + stack : signs + ", " + stack;
}

EAccessRole CDisplayPage::AccessibleRole(int index) const
{
    return index == 0 ? EAccessRole::ReadOut : EAccessRole::Button;
}

SkinRect CDisplayPage::AccessibleRect(int index) const
{
    if (index == 0) return {0, 0, ArtWidth(), ArtHeight()};
    return m_menu ? m_menu->ButtonRect() : SkinRect{};
}

void CDisplayPage::SetKeyFocus(int index)
{
    if (index == m_keyFocus) return;
    m_keyFocus = index;
    update();
}

void CDisplayPage::AccessiblePress(int index)
{
    if (m_menu && index == kMenuControl) m_menu->OpenLater();
}

std::string CDisplayPage::AccessibleValue() const
{
    const DisplayContent c = Content();
    return c.exponent.empty() ? c.mantissa : c.mantissa + " " + c.exponent;
}

std::string CDisplayPage::SpokenValue() const
{
    const DisplayContent c = Content();
    if (c.exponent.empty()) return c.mantissa;
    // "025", "+25" or "-025" as the number a listener expects.
    std::string power = c.exponent;
    const bool negative = power.find('-') != std::string::npos;
    power.erase(0, power.find_first_of("0123456789"));
    power.erase(0, std::min(power.find_first_not_of('0'), power.size() - 1));
    if (negative) power.insert(0, "-");
    std::string format = "%s times ten to the %s";
    LoadResString(LocalizedId(StringId::SpokenPowerOfTen), format);
    const size_t first = format.find("%s"), second = format.find("%s", first + 2);
    if (first == std::string::npos || second == std::string::npos) return c.mantissa + " " + c.exponent;
    return format.substr(0, first) + c.mantissa + format.substr(first + 2, second - first - 2) + power +
           format.substr(second + 2);
}

std::string CDisplayPage::SpokenIndicators() const
{
    const DisplayContent c = Content();
    std::string text;
    const auto add = [&text](const std::string& part) {
        if (part.empty()) return;
        if (!text.empty()) text += ", ";
        text += part;
    };
    add(c.modeText);
    add(c.signText);
    for (int i = 0; i < kMemoryRegisters; ++i)
        if (c.memory[i]) add("M" + std::to_string(i + 1));
    return text;
}

std::string CDisplayPage::SpokenStack() const
{
    return StackWords(m_calculator, {});
}
