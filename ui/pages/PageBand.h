#pragma once
// The program's page-switch band: the animation state shared by every page
// that shows the 80-row band, and the timer that runs its frames. The timer
// pushes elapsed time into Tick; tests call Tick themselves.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include "skins/PageSwitch.h"

class CSkinPage;

class CPageBand : public QObject {
public:
    CPageBand();

    CPageSwitch& Switch() { return m_switch; }
    // Keyboard and wheel switches are refused while this is 0.
    int CanSwitch() const { return m_switch.CanSwitch(); }

    // A page's paint started frames on its screen, band at bandTop: run them.
    void FramesStarted(CSkinPage* page, int bandTop, int bandHeight);
    // Draws the frames due after elapsedMicros; 1 while frames remain.
    int Tick(int64_t elapsedMicros);
    // Runs every remaining frame at once.
    void Finish() { Tick(INT64_MAX / 4); }
    // Readies the band for a group change asked for while it is busy: the
    // running frames end at once. 0 when the change must wait.
    int MakeWay()
    {
        if (m_switch.IsRunning()) Finish();
        return m_switch.MakeWayForSwitch();
    }
    // The page is going away: stop drawing on it.
    void Forget(CSkinPage* page);

private:
    CPageSwitch m_switch;
    QTimer m_timer;
    QElapsedTimer m_clock;
    CSkinPage* m_page = nullptr;
    int m_bandTop = 0;
    int m_bandHeight = 0;
};
