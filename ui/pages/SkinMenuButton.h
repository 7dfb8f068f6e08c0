#pragma once
// The skin button that opens the group menu: a popup whose items the button
// measures and draws itself, in the skin's background, font and colours. The
// chosen item's index is posted to the target window (group-select message).

#include <string>
#include <vector>

#include "skins/SkinButton.h"
#include "ui/pages/GroupMenuItems.h"

class QWidget;

// Owner-draw actions: the whole item, or its selection changed.
enum EMenuDrawAction { kDrawEntire = 1, kDrawSelect = 2 };

class CSkinMenuButton : public CSkinButton {
public:
    // hostWidget: the page that shows the button (the popup opens under it).
    CSkinMenuButton(CSkinResources* resources, QWidget* hostWidget);

    // Reads the button definition section and creates the button with the
    // Large set. items: owned by the main window, must outlive the button.
    // 1 on success; 0 when a key or the background image is missing.
    int CreateMenuButton(const std::vector<GroupMenuItem>* items, int x, int y, const char* section,
                         ISkinHost* host, IMessageTarget* target, unsigned message);

    // Opens the menu when the point is inside (1), else 0.
    int OnMouseDown(int x, int y) override;
    int OnMouseUp(int, int) override { return 0; }
    int OnMouseMove(int, int) override { return 1; }

    // Size of item index (popup pixels, scaled).
    void MeasureItem(int index, int& width, int& height) const;
    // Draws item command - 1 into dc at rect for the action.
    void DrawItem(CSkinImage& dc, int command, int action, const SkinRect& rect);
    // Forgets the highlighted item (a new opening starts without one).
    void ClearHighlight() { m_hasHighlight = 0; }
    int HighlightedCommand() const { return m_hasHighlight ? m_highlightCommand : 0; }

    const std::vector<GroupMenuItem>& Items() const { return *m_items; }
    // Shows the menu and returns the chosen command (0: none). Tests replace it.
    virtual int TrackMenu(int screenX, int screenY);
    // Opens the menu from the event loop, its current group highlighted (the
    // keyboard's and a screen reader's press: the caller returns at once).
    void OpenLater();
    // The menu was opened by the keyboard: it starts on the current group.
    int OpenedByKeyboard() const { return m_byKeyboard; }

private:
    void DrawBackground(CSkinImage& dc, const SkinRect& rect) const;

    QWidget* m_hostWidget;
    const std::vector<GroupMenuItem>* m_items = nullptr;
    CSkinImage* m_background = nullptr;
    CSkinImage m_checkMark;
    uint32_t m_textColor = 0;
    std::string m_textFont;
    int m_textHeight = 0;
    int m_textWeight = 0;
    int m_itemHeight = 0;
    int m_itemWidth = 0;
    int m_byKeyboard = 0;
    int m_hasHighlight = 0;
    int m_highlightCommand = 0;
    SkinRect m_highlightRect;
};

// What a screen reader calls the menu button, in the current language.
std::string MenuButtonAccessibleName();
