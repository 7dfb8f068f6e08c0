#pragma once
// The base of the pages that take the place of the display and the group
// band: unit converter, currency converter and tip calculator. Each paints
// its skin background and the group menu button; rows 54 to 133 (108 to 267
// at double scale) are the page-switch band.

#include <memory>
#include <string>
#include <vector>

#include "ui/SkinPage.h"

class CPageBand;
class CSkinMenuButton;
class CSkinResources;
struct GroupMenuItem;

class CConverterPage : public CSkinPage {
public:
    // section: the page's skin section; background: its image (may be null).
    CConverterPage(QWidget* parent, CSkinResources& resources, CPageBand* band, const char* section,
                   const CSkinImage* background);
    ~CConverterPage() override;

    // Makes the buffer and the menu button (at the section's BtnMenuLocation).
    virtual void Setup(const std::vector<GroupMenuItem>* items, IMessageTarget* target, uint32_t backgroundColor);
    CSkinMenuButton* MenuButton() { return m_menu.get(); }
    const std::string& Section() const { return m_section; }

    int AccessibleCount() const override { return m_menu ? 1 : 0; }
    std::string AccessibleName(int index) const override;
    SkinRect AccessibleRect(int index) const override;
    void AccessiblePress(int index) override;

protected:
    // Draws the page's own content over the background and the menu button.
    virtual void PaintContent(CSkinImage&) {}
    void PaintPage(const SkinRect& clip) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Presses that the menu button did not take.
    virtual void OnPress(int, int) {}
    virtual void OnRelease(int, int) {}
    int Scaled(int v) const;

    CSkinResources& m_resources;
    std::string m_section;

private:
    CPageBand* m_band;
    const CSkinImage* m_background;
    uint32_t m_backgroundColor = 0xFF0000;
    std::unique_ptr<CSkinMenuButton> m_menu;
    CSkinImage m_buffer;
    int m_menuTookPress = 0;
};
