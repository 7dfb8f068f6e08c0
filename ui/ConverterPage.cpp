#include "ui/ConverterPage.h"

#include <QMouseEvent>

#include "settings/Language.h"
#include "settings/SettingsStore.h"
#include "skins/KeypadSurface.h"
#include "skins/SkinResources.h"
#include "ui/PageBand.h"
#include "ui/SkinMenuButton.h"

CConverterPage::CConverterPage(QWidget* parent, CSkinResources& resources, CPageBand* band,
                               const char* section, const CSkinImage* background)
    : CSkinPage(parent), m_resources(resources), m_section(section), m_band(band), m_background(background)
{
    SetPageSize(resources.Scaled(240), resources.Scaled(134));
    m_buffer.Create(m_screen.Width(), m_screen.Height());
}

CConverterPage::~CConverterPage()
{
    if (m_band) m_band->Forget(this);
}

int CConverterPage::Scaled(int v) const { return m_resources.Scaled(v); }

void CConverterPage::Setup(const std::vector<GroupMenuItem>* items, IMessageTarget* target,
                           uint32_t backgroundColor)
{
    m_backgroundColor = backgroundColor;
    int x = 0, y = 0;
    std::string name;
    m_resources.GetSkinPair(x, y, m_section.c_str(), "BtnMenuLocation", 0, 0);
    m_resources.GetSkinString(name, m_section.c_str(), "BtnMenu", "MenuButton");
    m_menu = std::make_unique<CSkinMenuButton>(&m_resources, this);
    if (!m_menu->CreateMenuButton(items, Scaled(x), Scaled(y), name.c_str(), this, target, kMsgGroupSelect))
        m_menu.reset();
}

void CConverterPage::PaintPage(const SkinRect& clip)
{
    if (m_background)
        m_buffer.Transfer(0, 0, m_buffer.Width(), m_buffer.Height(), *m_background, 0, 0, ERasterOp::Copy);
    else
        m_buffer.Fill(0, 0, m_buffer.Width(), m_buffer.Height(), m_backgroundColor);
    if (m_menu) m_menu->Draw(m_buffer, {0, 0, m_buffer.Width(), m_buffer.Height()}, 1, 1);
    PaintContent(m_buffer);

    CPageSwitch& band = m_band->Switch();
    const int bandTop = Scaled(54);
    if (!band.IsRunning() &&
        band.OnBandPaint(m_screen, m_buffer, clip, bandTop, CSettingsStore::Instance().Scrolling(),
                         m_resources.DoubleScale()))
        m_band->FramesStarted(this, bandTop, Scaled(80));
    if (band.IsRunning()) {
        // The running frames own the band rows of the screen.
        CopyClipRows(m_screen, m_buffer, clip, clip.top, band.BandScreenTop());
        CopyClipRows(m_screen, m_buffer, clip, band.BandScreenBottom(), clip.bottom);
    } else {
        CopyClipRows(m_screen, m_buffer, clip, clip.top, clip.bottom);
    }
}

void CConverterPage::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    const QPoint p = event->position().toPoint();
    m_menuTookPress = m_menu && m_menu->OnMouseDown(p.x(), p.y());
    if (!m_menuTookPress) OnPress(p.x(), p.y());
}

void CConverterPage::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    const QPoint p = event->position().toPoint();
    if (m_menuTookPress) {
        m_menuTookPress = 0;
        return;
    }
    OnRelease(p.x(), p.y());
}

std::string CConverterPage::AccessibleName(int) const { return MenuButtonAccessibleName(); }

SkinRect CConverterPage::AccessibleRect(int) const { return m_menu ? m_menu->ButtonRect() : SkinRect{}; }

void CConverterPage::AccessiblePress(int)
{
    if (!m_menu) return;
    const SkinRect r = m_menu->ButtonRect();
    m_menu->OnMouseDown((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}
