#pragma once
// How a keypad page paints: everything comes from an off-screen buffer of the
// page's size, the skin background first, then the buttons with their masks.
// The page never lets the platform erase its background.

#include "skins/ButtonGroup.h"

class CPageSwitch;

class CKeypadSurface {
public:
    // Background offsets at normal scale (doubled at double scale).
    static constexpr int kMainOffsetX = 40, kMainOffsetY = 134;
    static constexpr int kGroupOffsetX = 40, kGroupOffsetY = 54;

    // Makes the buffer of the page's size; background may be null. Offsets
    // are given already scaled. Sets the background flag.
    int Setup(int width, int height, const CSkinImage* background, int offsetX, int offsetY);

    // The background must be copied at the next paint (page made, window
    // moved, main keypad lost the focus or moved).
    void SetBackgroundFlag() { m_backgroundFlag = 1; }
    int BackgroundFlag() const { return m_backgroundFlag; }
    CSkinImage& Buffer() { return m_buffer; }
    const SkinRect& LastUpdate() const { return m_lastUpdate; }

    // Paint of the page for clip box clip onto screen (an image of the page's
    // size that the window shows). band: the program's page-switch state,
    // for group pages (band top 0); null for the main keypad. Returns 1 when
    // page-switch frames started (see CPageSwitch).
    int Paint(const SkinRect& clip, CButtonGroup& group, CSkinImage& screen, CPageSwitch* band,
              int scrolling, int doubleScale);

private:
    CSkinImage m_buffer;
    const CSkinImage* m_background = nullptr;
    int m_offsetX = 0;
    int m_offsetY = 0;
    int m_backgroundFlag = 1;
    SkinRect m_lastUpdate;
};

// Copies rows [top, bottom) of the clip box from src to dst at the same place.
void CopyClipRows(CSkinImage& dst, const CSkinImage& src, const SkinRect& clip, int top, int bottom);
