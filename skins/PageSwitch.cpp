#include "skins/PageSwitch.h"

int CPageSwitch::WaitCounts(int scrolling)
{
    switch (scrolling) {
    case 1: return 7000;
    case 2: return 50000;
    case 3: return 0;
    default: return 20000;
    }
}

int64_t CPageSwitch::FrameIntervalMicros(int scrolling)
{
    return static_cast<int64_t>(WaitCounts(scrolling)) * 1000000 / kCounterRate;
}

void CPageSwitch::BeginSwitch(int direction)
{
    m_snapshotPending = 1;
    m_animationPending = 1;
    m_direction = direction ? 1 : 0;
}

int CPageSwitch::MakeWayForSwitch()
{
    if (m_running) return 0;
    // The last frame showed the new band whole: that is what the next paint
    // would have captured.
    if (m_snapshotPending && !m_animationPending && !m_newBand.IsEmpty()) {
        TakeSnapshot(m_newBand, m_newBand.Width(), m_newBand.Height(), 0);
        m_snapshotPending = 0;
    }
    return CanSwitch() || m_animationPending;
}

void CPageSwitch::TakeSnapshot(const CSkinImage& src, int width, int height, int top)
{
    if (!m_snapshot.Create(width, height)) return;
    m_snapshot.Transfer(0, 0, width, height, src, 0, top, ERasterOp::Copy);
}

int CPageSwitch::OnBandPaint(CSkinImage& screen, const CSkinImage& buffer, const SkinRect& clip,
                             int bandTop, int scrolling, int doubleScale)
{
    int scale = doubleScale ? 2 : 1;
    if (m_snapshotPending && !m_animationPending) {
        TakeSnapshot(buffer, kBandWidth * scale, kBandHeight * scale, bandTop);
        m_snapshotPending = 0;
    }
    if (!m_animationPending) return 0;
    m_animationPending = 0;
    if (RunPageSwitch(screen, buffer, clip, m_direction, bandTop, scrolling, doubleScale)) return 1;
    // No frames (Scrolling Off): the buffer already holds the new band that
    // the next paint would capture. Take it now, since nothing need repaint
    // the page before the next group change, which would be refused till then.
    TakeSnapshot(buffer, kBandWidth * scale, kBandHeight * scale, bandTop);
    m_snapshotPending = 0;
    return 0;
}

int CPageSwitch::RunPageSwitch(CSkinImage& screen, const CSkinImage& buffer, const SkinRect& clip,
                               int direction, int bandTop, int scrolling, int doubleScale)
{
    m_running = 0;
    if (scrolling == 3) return 0;
    m_bandHeight = kBandHeight * (doubleScale ? 2 : 1);
    m_bandTop = bandTop;
    m_clipTop = clip.top;
    m_clipLeft = clip.left;
    m_columns = clip.right - clip.left;
    m_frameDirection = direction ? 1 : 0;
    m_intervalMicros = FrameIntervalMicros(scrolling);
    m_pendingMicros = 0;
    m_nextFrame = 0;
    if (m_columns <= 0 || !m_newBand.Create(m_columns, m_bandHeight)) return 0;
    m_newBand.Transfer(0, 0, m_columns, m_bandHeight, buffer, 0, bandTop, ERasterOp::Copy);
    // Until the first wait is over the band shows the old group, as the
    // screen did before the switch (the page's own image may be stale).
    if (!m_snapshot.IsEmpty())
        screen.Transfer(m_clipLeft, m_clipTop + m_bandTop, m_columns, m_bandHeight, m_snapshot, 0, 0,
                        ERasterOp::Copy);
    m_running = 1;
    return 1;
}

void CPageSwitch::DrawFrame(CSkinImage& screen, int i) const
{
    const int h = m_bandHeight, y = m_clipTop + m_bandTop, x = m_clipLeft, w = m_columns;
    // Before the first snapshot exists only the new band's part is drawn;
    // the rest of the screen stays as it was.
    const bool old = !m_snapshot.IsEmpty();
    if (m_frameDirection == 1) {
        // The new band slides down from the top and pushes the old one out.
        screen.Transfer(x, y, w, i, m_newBand, 0, h - i, ERasterOp::Copy);
        if (old) screen.Transfer(x, y + i, w, h - i, m_snapshot, 0, 0, ERasterOp::Copy);
    } else {
        // The new band rises from the bottom.
        screen.Transfer(x, y + h - i, w, i, m_newBand, 0, 0, ERasterOp::Copy);
        if (old) screen.Transfer(x, y, w, h - i, m_snapshot, 0, i, ERasterOp::Copy);
    }
}

int CPageSwitch::Step(CSkinImage& screen)
{
    if (!m_running) return 0;
    DrawFrame(screen, m_nextFrame++);
    if (m_nextFrame > m_bandHeight) m_running = 0;
    return m_running;
}

int CPageSwitch::Advance(CSkinImage& screen, int64_t elapsedMicros)
{
    if (!m_running) return 0;
    m_pendingMicros += elapsedMicros > 0 ? elapsedMicros : 0;
    // Each frame waits its interval first, as the counter loop did.
    while (m_running && m_pendingMicros >= m_intervalMicros) {
        m_pendingMicros -= m_intervalMicros;
        Step(screen);
    }
    return m_running;
}
