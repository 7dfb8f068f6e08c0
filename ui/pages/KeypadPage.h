#pragma once
// A keypad page: the main keypad or one group's page. It paints from its
// off-screen buffer (skin background, then the buttons) and routes the mouse
// to its buttons, which post their command pairs to the main window. A group
// page also shows the page-switch band when it is newly shown.

#include <memory>

#include "skins/ButtonGroup.h"
#include "skins/KeypadSurface.h"
#include "ui/pages/SkinPage.h"

class CCalcController;
class CPageBand;

class CKeypadPage : public CSkinPage {
public:
    // band: the program's band for a group page; null for the main keypad.
    CKeypadPage(QWidget* parent, CSkinResources& resources, CPageBand* band);
    ~CKeypadPage() override;

    // Loads the group section and makes the buffer of width x height (scaled)
    // over the wide background at the given (unscaled) offset. 1 when every
    // button was made.
    int Load(const char* section, IMessageTarget* target, int preferLarge, int compact, int width,
             int height, int offsetX, int offsetY);
    CButtonGroup& Group() { return m_group; }
    // The background must be copied again at the next paint.
    void SetBackgroundFlag();

    // The calculator whose memory-mode keys show as checked while in effect.
    void SetCalculator(const CCalcController* calculator) { m_calculator = calculator; }
    // The button with the keyboard focus (-1: none), marked on the page.
    void SetKeyFocus(int index);
    int AccessibleCount() const override { return m_group.Count(); }
    std::string AccessibleName(int index) const override;
    SkinRect AccessibleRect(int index) const override;
    void AccessiblePress(int index) override;
    int AccessibleFocus() const override { return m_keyFocus; }
    int AccessibleChecked(int index) const override;

protected:
    void PaintPage(const SkinRect& clip) override;
    void AcquireBuffers() override;
    void ReleaseBuffers() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    const CSkinButton* ButtonAt(int index) const { return m_group.Button(index); }

    CSkinResources& m_resources;
    const CCalcController* m_calculator = nullptr;
    int m_keyFocus = -1;
    CPageBand* m_band;
    CButtonGroup m_group;
    CKeypadSurface m_surface;
    int m_offsetX = 0;
    int m_offsetY = 0;
};

// The accessible name of a skin button: its command in the current language.
std::string ButtonAccessibleName(const CSkinButton& button);
