#include <gtest/gtest.h>

#include "skins/PageSwitch.h"
#include "tests/skins/SkinTestKit.h"

namespace {

// Rows of the new band carry 1000 + row, of the old band 2000 + row; the
// screen starts as 7. A frame is read back row by row in the first column.
constexpr uint32_t kScreen = 7;

CSkinImage Band(int w, int h, int top, uint32_t base)
{
    return MakeImage(w, top + h, [=](int, int y) { return y < top ? 9u : base + uint32_t(y - top); });
}

std::vector<uint32_t> Column(const CSkinImage& img, int x, int top, int h)
{
    std::vector<uint32_t> out;
    for (int y = top; y < top + h; ++y) out.push_back(img.GetPixel(x, y));
    return out;
}

// What frame i must show: direction 1 puts the new band's last i rows on top
// of the snapshot's first h - i rows; direction 0 the snapshot's rows i..h
// on top of the new band's first i rows.
std::vector<uint32_t> Expected(int dir, int i, int h, bool haveSnapshot)
{
    std::vector<uint32_t> out;
    for (int r = 0; r < h; ++r) {
        uint32_t oldRow = haveSnapshot ? 2000u : kScreen;
        if (dir == 1)
            out.push_back(r < i ? 1000u + uint32_t(h - i + r) : (haveSnapshot ? oldRow + uint32_t(r - i) : kScreen));
        else
            out.push_back(r >= h - i ? 1000u + uint32_t(r - (h - i)) : (haveSnapshot ? oldRow + uint32_t(r + i) : kScreen));
    }
    return out;
}

TEST(PageSwitch, WaitsPerSpeed)
{
    struct Row { int scrolling, counts; int64_t micros; } rows[] = {
        {0, 20000, 2000}, {1, 7000, 700}, {2, 50000, 5000}, {3, 0, 0},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(CPageSwitch::WaitCounts(r.scrolling), r.counts);
        EXPECT_EQ(CPageSwitch::FrameIntervalMicros(r.scrolling), r.micros);
    }
}

TEST(PageSwitch, EveryFrameInBothDirectionsAndScales)
{
    for (int vga : {0, 1}) {
        for (int dir : {0, 1}) {
            const int w = 240 * (vga + 1), h = 80 * (vga + 1), top = 54 * (vga + 1);
            CPageSwitch anim;
            anim.TakeSnapshot(Band(w, h, top, 2000), w, h, top);
            CSkinImage screen = MakeImage(w, top + h, [](int, int) { return kScreen; });
            CSkinImage buffer = Band(w, h, top, 1000);
            ASSERT_EQ(anim.RunPageSwitch(screen, buffer, {0, 0, w, top + h}, dir, top, 0, vga), 1);
            EXPECT_EQ(anim.FrameCount(), h + 1);
            EXPECT_EQ(Column(screen, 0, top, h), Expected(dir, 0, h, true)) << "old band until the first wait";
            int frames = 0;
            bool more = true;
            while (more) {
                more = anim.Step(screen);
                EXPECT_EQ(Column(screen, w - 1, top, h), Expected(dir, frames, h, true))
                    << "vga " << vga << " dir " << dir << " frame " << frames;
                ++frames;
            }
            EXPECT_EQ(frames, h + 1);
            EXPECT_EQ(screen.GetPixel(0, top - 1), kScreen) << "rows above the band untouched";
        }
    }
}

TEST(PageSwitch, FirstSwitchWithoutSnapshotDrawsOnlyTheNewBand)
{
    CPageSwitch anim;
    CSkinImage screen = MakeImage(240, 80, [](int, int) { return kScreen; });
    CSkinImage buffer = Band(240, 80, 0, 1000);
    ASSERT_EQ(anim.RunPageSwitch(screen, buffer, {0, 0, 240, 80}, 1, 0, 0, 0), 1);
    for (int i = 0; i <= 30; ++i) anim.Step(screen);
    EXPECT_EQ(Column(screen, 0, 0, 80), Expected(1, 30, 80, false));
}

TEST(PageSwitch, ScrollingOffHasNoFrames)
{
    CPageSwitch anim;
    CSkinImage screen = MakeImage(240, 80, [](int, int) { return kScreen; });
    EXPECT_EQ(anim.RunPageSwitch(screen, Band(240, 80, 0, 1000), {0, 0, 240, 80}, 1, 0, 3, 0), 0);
    EXPECT_EQ(anim.IsRunning(), 0);
    EXPECT_EQ(anim.Step(screen), 0);
    EXPECT_EQ(screen.GetPixel(0, 0), kScreen);
}

TEST(PageSwitch, TimeDrivesTheFrames)
{
    CPageSwitch anim;
    CSkinImage screen = MakeImage(240, 80, [](int, int) { return kScreen; });
    ASSERT_EQ(anim.RunPageSwitch(screen, Band(240, 80, 0, 1000), {0, 0, 240, 80}, 1, 0, 2, 0), 1);
    struct Row { int64_t elapsed; int drawnAfter; } rows[] = {
        {4999, 0}, {1, 1}, {15000, 4}, {2500, 4}, {2500, 5}, {1000000, 81},
    };
    for (const Row& r : rows) {
        anim.Advance(screen, r.elapsed);
        EXPECT_EQ(anim.FramesDrawn(), r.drawnAfter) << r.elapsed;
    }
    EXPECT_EQ(anim.IsRunning(), 0);
}

TEST(PageSwitch, EverySpeedTakesItsFramesAtItsOwnPace)
{
    for (int vga : {0, 1}) {
        for (int scrolling : {0, 1, 2}) {
            CPageSwitch anim;
            const int w = 240 * (vga + 1), h = 80 * (vga + 1);
            CSkinImage screen = MakeImage(w, h, [](int, int) { return kScreen; });
            ASSERT_EQ(anim.RunPageSwitch(screen, Band(w, h, 0, 1000), {0, 0, w, h}, 1, 0, scrolling, vga), 1);
            const int64_t interval = CPageSwitch::FrameIntervalMicros(scrolling);
            anim.Advance(screen, interval * h - 1);
            EXPECT_EQ(anim.FramesDrawn(), h - 1) << scrolling;
            EXPECT_EQ(anim.IsRunning(), 1);
            anim.Advance(screen, interval + 1);
            EXPECT_EQ(anim.FramesDrawn(), h + 1) << scrolling;
            EXPECT_EQ(anim.IsRunning(), 0);
            EXPECT_EQ(Column(screen, 0, 0, h), Expected(1, h, h, false)) << "last frame is the new band";
        }
    }
}

TEST(PageSwitch, SwitchRequestsAndSnapshotsThroughThePaint)
{
    CPageSwitch anim;
    CSkinImage screen = MakeImage(240, 80, [](int, int) { return kScreen; });
    CSkinImage oldBuffer = Band(240, 80, 0, 2000), newBuffer = Band(240, 80, 0, 1000);
    const SkinRect all{0, 0, 240, 80};
    EXPECT_EQ(anim.CanSwitch(), 0) << "no snapshot taken yet";
    EXPECT_EQ(anim.OnBandPaint(screen, oldBuffer, all, 0, 0, 0), 0);
    EXPECT_EQ(anim.HasSnapshot(), 1);
    EXPECT_EQ(anim.CanSwitch(), 1);

    anim.BeginSwitch(0);
    EXPECT_EQ(anim.CanSwitch(), 0) << "a second change waits for the first";
    EXPECT_EQ(anim.OnBandPaint(screen, newBuffer, all, 0, 0, 0), 1);
    EXPECT_EQ(anim.Snapshot().GetPixel(0, 0), 2000u) << "the old band is kept for the frames";
    EXPECT_EQ(anim.CanSwitch(), 0) << "refused while frames run";
    while (anim.Step(screen)) {
    }
    EXPECT_EQ(anim.CanSwitch(), 0) << "the new band is not captured yet";
    EXPECT_EQ(anim.OnBandPaint(screen, newBuffer, all, 0, 0, 0), 0);
    EXPECT_EQ(anim.Snapshot().GetPixel(0, 0), 1000u);
    EXPECT_EQ(anim.CanSwitch(), 1);
}

TEST(PageSwitch, EachSpeedLetsTheNextChangeInOnceItsBandIsCaptured)
{
    // Paints after a change, until the next change is accepted: frames need
    // one more paint to capture the new band; Scrolling Off captures it at once.
    struct Row { int scrolling, started, paintsAfter; } rows[] = {{0, 1, 1}, {1, 1, 1}, {2, 1, 1}, {3, 0, 0}};
    for (const Row& r : rows) {
        CPageSwitch anim;
        CSkinImage screen = MakeImage(240, 80, [](int, int) { return kScreen; });
        CSkinImage oldBuffer = Band(240, 80, 0, 2000), newBuffer = Band(240, 80, 0, 1000);
        const SkinRect all{0, 0, 240, 80};
        anim.OnBandPaint(screen, oldBuffer, all, 0, r.scrolling, 0);
        anim.BeginSwitch(1);
        EXPECT_EQ(anim.OnBandPaint(screen, newBuffer, all, 0, r.scrolling, 0), r.started) << r.scrolling;
        while (anim.Step(screen)) {
        }
        for (int i = 0; i < r.paintsAfter; ++i) {
            EXPECT_EQ(anim.CanSwitch(), 0) << r.scrolling;
            anim.OnBandPaint(screen, newBuffer, all, 0, r.scrolling, 0);
        }
        EXPECT_EQ(anim.CanSwitch(), 1) << r.scrolling;
        EXPECT_EQ(anim.Snapshot().GetPixel(0, 0), 1000u) << r.scrolling;
    }
}

// A change asked for while the band is busy goes ahead once the running
// frames are drawn: from the band they ended on, or, before its frames
// started, from the band shown before the first change.
TEST(PageSwitch, ChangeWhileBusyStartsFromTheBandOnScreen)
{
    struct Row { const char* when; int framesDone; uint32_t snapshot; } rows[] = {
        {"before the frames start", -1, 2000u},
        {"while the frames run", 10, 1000u},
        {"after the frames, before the capture", 81, 1000u},
    };
    for (const Row& r : rows) {
        CPageSwitch anim;
        CSkinImage screen = MakeImage(240, 80, [](int, int) { return kScreen; });
        CSkinImage oldBuffer = Band(240, 80, 0, 2000), newBuffer = Band(240, 80, 0, 1000);
        const SkinRect all{0, 0, 240, 80};
        anim.OnBandPaint(screen, oldBuffer, all, 0, 0, 0);
        anim.BeginSwitch(1);
        if (r.framesDone >= 0) anim.OnBandPaint(screen, newBuffer, all, 0, 0, 0);
        for (int i = 0; i < r.framesDone; ++i) anim.Step(screen);
        const int mustFinish = anim.IsRunning();
        EXPECT_EQ(anim.MakeWayForSwitch(), mustFinish ? 0 : 1) << r.when;
        while (anim.Step(screen)) {
        }
        ASSERT_EQ(anim.MakeWayForSwitch(), 1) << r.when;
        EXPECT_EQ(anim.Snapshot().GetPixel(0, 0), r.snapshot) << r.when;
    }
}

}  // namespace
