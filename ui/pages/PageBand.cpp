#include "ui/pages/PageBand.h"

#include "ui/pages/SkinPage.h"

CPageBand::CPageBand()
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(1);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        const int64_t elapsed = m_clock.nsecsElapsed() / 1000;
        m_clock.restart();
        Tick(elapsed);
    });
}

void CPageBand::FramesStarted(CSkinPage* page, int bandTop, int bandHeight)
{
    m_page = page;
    m_bandTop = bandTop;
    m_bandHeight = bandHeight;
    m_clock.start();
    m_timer.start();
}

int CPageBand::Tick(int64_t elapsedMicros)
{
    if (!m_page || !m_switch.IsRunning()) {
        m_timer.stop();
        return 0;
    }
    const int running = m_switch.Advance(m_page->Screen(), elapsedMicros);
    m_page->InvalidateRect({0, m_bandTop, m_page->ArtWidth(), m_bandTop + m_bandHeight});
    if (!running) {
        m_timer.stop();
        // The next paint takes the new band as the snapshot.
        m_page->InvalidateAll();
        m_page = nullptr;
    }
    return running;
}

void CPageBand::Forget(CSkinPage* page)
{
    if (m_page != page) return;
    // Let the frames end without a page to draw on.
    CSkinImage scratch;
    while (m_switch.IsRunning() && scratch.Create(1, 1) && m_switch.Step(scratch)) {
    }
    m_timer.stop();
    m_page = nullptr;
}
