#pragma once
// The page-switch animation: when the user changes the group, the band under
// the display (80 rows, 160 at double scale) slides from the old group to the
// new one, one row per frame, H + 1 frames. The program has one of these.
//
// Time is pushed in: the window's timer calls Advance with the time that has
// passed, and tests call Step frame by frame. Waits are given in counts of a
// high-resolution counter, converted at kCounterRate counts per second.
//
// Use by a page that owns the band (group pages: band top 0; converter and
// tip pages: 54, 108 at double scale), in its paint after the buttons:
//   OnBandPaint(...) -> 1: frames started; keep the band rows of the screen
//   as the frames leave them (PaintKeypadPage does) until Advance/Step
//   returns 0, then invalidate the whole page so that the next paint takes
//   the new snapshot.

#include <cstdint>

#include "skins/SkinButton.h"

class CPageSwitch {
public:
    static constexpr int kBandWidth = 240;
    static constexpr int kBandHeight = 80;
    static constexpr int64_t kCounterRate = 10000000;  // counts per second

    // Counter counts waited before each frame: Scrolling 0 Normal 20,000,
    // 1 Fast 7,000, 2 Slow 50,000; 3 (Off) has no frames (0).
    static int WaitCounts(int scrolling);
    static int64_t FrameIntervalMicros(int scrolling);

    // Keyboard and wheel group changes are refused (0) while a snapshot or an
    // animation is pending or frames are still running.
    int CanSwitch() const { return !m_snapshotPending && !m_animationPending && !m_running; }
    // A group change: the next paint of the new page animates from the snapshot.
    void BeginSwitch(int direction);
    // Another change asked for while the band is busy, so that no key is
    // lost: once the caller has drawn the running frames (Step until 0), the
    // band they ended on becomes the snapshot; a change whose frames have not
    // started yet is simply redirected by the next BeginSwitch. 1 when the
    // change may go ahead now, 0 while frames still run.
    int MakeWayForSwitch();

    int SnapshotPending() const { return m_snapshotPending; }
    int AnimationPending() const { return m_animationPending; }
    int Direction() const { return m_direction; }
    int HasSnapshot() const { return !m_snapshot.IsEmpty(); }
    const CSkinImage& Snapshot() const { return m_snapshot; }

    // Replaces the snapshot with the band (width x height from row top) of src.
    void TakeSnapshot(const CSkinImage& src, int width, int height, int top);

    // The band owner's paint after its buttons: takes a pending snapshot, or
    // starts a pending switch. Returns 1 when frames started; a switch without
    // frames (Scrolling Off) snapshots the new band at once and returns 0.
    int OnBandPaint(CSkinImage& screen, const CSkinImage& buffer, const SkinRect& clip,
                    int bandTop, int scrolling, int doubleScale);

    // Starts the frames (Scrolling 3: none, returns 0). The new band is
    // copied from buffer now, so the buffer may change while frames run; the
    // screen's band shows the snapshot until the first frame.
    int RunPageSwitch(CSkinImage& screen, const CSkinImage& buffer, const SkinRect& clip,
                      int direction, int bandTop, int scrolling, int doubleScale);
    // Draws the next frame onto screen. Returns 1 while frames remain.
    int Step(CSkinImage& screen);
    // Draws every frame that fell due in elapsedMicros. Returns 1 while running.
    int Advance(CSkinImage& screen, int64_t elapsedMicros);

    int IsRunning() const { return m_running; }
    int FrameCount() const { return m_bandHeight + 1; }
    int FramesDrawn() const { return m_nextFrame; }
    int64_t IntervalMicros() const { return m_intervalMicros; }
    // Screen rows the frames own while running (top inclusive, bottom exclusive).
    int BandScreenTop() const { return m_clipTop + m_bandTop; }
    int BandScreenBottom() const { return m_clipTop + m_bandTop + m_bandHeight; }

    // Frame i (0 to H) of the current sequence, for tests and redraws.
    void DrawFrame(CSkinImage& screen, int i) const;

private:
    int m_snapshotPending = 1;
    int m_animationPending = 0;
    int m_direction = 1;
    CSkinImage m_snapshot;

    int m_running = 0;
    int m_nextFrame = 0;
    int m_bandHeight = kBandHeight;
    int m_bandTop = 0;
    int m_clipTop = 0;
    int m_clipLeft = 0;
    int m_columns = 0;
    int m_frameDirection = 1;
    int64_t m_intervalMicros = 0;
    int64_t m_pendingMicros = 0;
    CSkinImage m_newBand;
};
