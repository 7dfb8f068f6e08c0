#include "ui/pages/DisplayPage.h"

#include <QMouseEvent>

#include "calculator/CalcController.h"
#include "engine/CalcEngine.h"
#include "platform/RegionalFormat.h"
#include "settings/SettingsStore.h"
#include "skins/SkinResources.h"
#include "skins/SkinText.h"
#include "ui/pages/SkinMenuButton.h"

namespace {
const char* const kAngleNames[] = {"DEG", "RAD", "GRAD"};
const int kMemoryRight[5] = {151, 171, 191, 211, 231};
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
    for (int i = 0; i < 5; ++i) c.memory[i] = m_calculator.IsMemoryInUse(i);
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

    const DisplayContent c = Content();
    const auto indicator = [&](int right, const std::string& text) {
        DrawSkinTextUtf8(s(right), s(6), s(12), 400, m_font, text, m_screen, m_textColor, kAlignRight);
    };
    if (!c.modeText.empty()) indicator(110, c.modeText);
    indicator(75, c.signText);
    for (int i = 0; i < 5; ++i)
        if (c.memory[i]) indicator(kMemoryRight[i], "M" + std::to_string(i + 1));

    if (!c.exponent.empty()) {
        DrawSkinTextUtf8(s(193), s(13), s(m_textHeight), m_textWeight, m_font, c.mantissa, m_screen, m_textColor,
                         kAlignRight);
        DrawSkinTextUtf8(s(230), s(13), s(m_textHeight - 6), m_textWeight, m_font, c.exponent, m_screen,
                         m_textColor, kAlignRight);
    } else if (Utf8Length(c.mantissa) < 15) {
        DrawSkinTextUtf8(s(230), s(13), s(m_textHeight), m_textWeight, m_font, c.mantissa, m_screen, m_textColor,
                         kAlignRight);
    } else {
        DrawSkinTextUtf8(s(230), s(28), s(12), m_textWeight, m_font, c.mantissa, m_screen, m_textColor,
                         kAlignRight);
    }
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

int CDisplayPage::AccessibleCount() const { return m_menu ? 1 : 0; }

std::string CDisplayPage::AccessibleName(int) const { return MenuButtonAccessibleName(); }

SkinRect CDisplayPage::AccessibleRect(int) const { return m_menu ? m_menu->ButtonRect() : SkinRect{}; }

void CDisplayPage::AccessiblePress(int)
{
    if (!m_menu) return;
    const SkinRect r = m_menu->ButtonRect();
    m_menu->OnMouseDown((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

std::string CDisplayPage::AccessibleValue() const
{
    const DisplayContent c = Content();
    return c.exponent.empty() ? c.mantissa : c.mantissa + " " + c.exponent;
}
