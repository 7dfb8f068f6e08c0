#include "ui/pages/KeypadPage.h"

#include <QMouseEvent>

#include "calculator/CalcController.h"
#include "calculator/CommandNames.h"
#include "calculator/KeyFeedback.h"
#include "settings/SettingsStore.h"
#include "skins/SkinResources.h"
#include "ui/pages/PageBand.h"

CKeypadPage::CKeypadPage(QWidget* parent, CSkinResources& resources, CPageBand* band)
    : CSkinPage(parent), m_resources(resources), m_band(band), m_group(&resources)
{
}

CKeypadPage::~CKeypadPage()
{
    if (m_band) m_band->Forget(this);
}

int CKeypadPage::Load(const char* section, IMessageTarget* target, int preferLarge, int compact,
                      int width, int height, int offsetX, int offsetY)
{
    m_offsetX = m_resources.Scaled(offsetX);
    m_offsetY = m_resources.Scaled(offsetY);
    SetPageSize(m_resources.Scaled(width), m_resources.Scaled(height));
    return m_group.Load(kMsgButton, this, target, section, preferLarge, compact);
}

void CKeypadPage::AcquireBuffers()
{
    m_surface.Setup(ArtWidth(), ArtHeight(), m_resources.BackgroundWide(), m_offsetX, m_offsetY);
}

void CKeypadPage::ReleaseBuffers() { m_surface.Buffer().Destroy(); }

void CKeypadPage::SetBackgroundFlag()
{
    m_surface.SetBackgroundFlag();
    update();
}

void CKeypadPage::PaintPage(const SkinRect& clip)
{
    CPageSwitch* band = m_band ? &m_band->Switch() : nullptr;
    if (m_surface.Paint(clip, m_group, m_screen, band, CSettingsStore::Instance().Scrolling(),
                        m_resources.DoubleScale()))
        m_band->FramesStarted(this, 0, m_screen.Height());
    if (ButtonAt(m_keyFocus) && !(band && band->IsRunning())) DrawFocusMark(m_screen, AccessibleRect(m_keyFocus));
}

void CKeypadPage::SetKeyFocus(int index)
{
    if (index == m_keyFocus) return;
    if (ButtonAt(m_keyFocus)) SetBackgroundFlag();
    m_keyFocus = index;
    update();
}

void CKeypadPage::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    const QPoint p = ArtPoint(event);
    m_group.MouseDown(p.x(), p.y());
}

void CKeypadPage::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    const QPoint p = ArtPoint(event);
    m_group.MouseUp(p.x(), p.y());
}

void CKeypadPage::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = ArtPoint(event);
    m_group.MouseMove(p.x(), p.y());
}

std::string ButtonAccessibleName(const CSkinButton& button)
{
    return CommandName(button.Type(), button.Id());
}

std::string CKeypadPage::AccessibleName(int index) const
{
    const CSkinButton* b = ButtonAt(index);
    return b ? ButtonAccessibleName(*b) : std::string();
}

int CKeypadPage::AccessibleChecked(int index) const
{
    const CSkinButton* b = ButtonAt(index);
    if (!b || !m_calculator || b->Type() != kCmdMemoryMode) return -1;
    return MemoryModeKeyOn(b->Id(), m_calculator->GetMemoryMode());
}

SkinRect CKeypadPage::AccessibleRect(int index) const
{
    const CSkinButton* b = ButtonAt(index);
    return b ? b->ButtonRect() : SkinRect{};
}

void CKeypadPage::AccessiblePress(int index)
{
    const CSkinButton* b = ButtonAt(index);
    if (!b) return;
    // The same road as a click: press and release at the button's centre.
    const SkinRect r = b->ButtonRect();
    const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    m_group.MouseDown(x, y);
    m_group.MouseUp(x, y);
}
