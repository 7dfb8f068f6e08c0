#include "skins/KeypadSurface.h"

#include <algorithm>

#include "skins/PageSwitch.h"

int CKeypadSurface::Setup(int width, int height, const CSkinImage* background, int offsetX,
                          int offsetY)
{
    m_background = background;
    m_offsetX = offsetX;
    m_offsetY = offsetY;
    m_backgroundFlag = 1;
    m_lastUpdate = {};
    return m_buffer.Create(width, height);
}

void CopyClipRows(CSkinImage& dst, const CSkinImage& src, const SkinRect& clip, int top, int bottom)
{
    top = std::max(top, clip.top);
    bottom = std::min(bottom, clip.bottom);
    if (bottom > top)
        dst.Transfer(clip.left, top, clip.Width(), bottom - top, src, clip.left, top,
                     ERasterOp::Copy);
}

int CKeypadSurface::Paint(const SkinRect& clip, CButtonGroup& group, CSkinImage& screen,
                          CPageSwitch* band, int scrolling, int doubleScale)
{
    if (m_backgroundFlag && m_background)
        m_buffer.Transfer(clip.left, clip.top, clip.Width(), clip.Height(), *m_background,
                          clip.left + m_offsetX, clip.top + m_offsetY, ERasterOp::Copy);
    m_lastUpdate = clip;
    group.DrawAll(m_buffer, clip, m_backgroundFlag, 1);

    int started = 0;
    if (band && !band->IsRunning())
        started = band->OnBandPaint(screen, m_buffer, clip, 0, scrolling, doubleScale);
    if (band && band->IsRunning()) {
        // The running frames own the band rows of the screen.
        CopyClipRows(screen, m_buffer, clip, clip.top, band->BandScreenTop());
        CopyClipRows(screen, m_buffer, clip, band->BandScreenBottom(), clip.bottom);
    } else {
        CopyClipRows(screen, m_buffer, clip, clip.top, clip.bottom);
    }
    m_backgroundFlag = 0;
    return started;
}
