#pragma once
// The base of the pages that take the place of the display and the group
// band: unit converter, currency converter and tip calculator. Each paints
// its skin background, the group menu button and its list buttons; rows 54
// to 133 (108 to 267 at double scale) are the page-switch band.
//
// The page's controls are its accessible children, in reading order (rows
// from the top, left to right). The pressable ones can be reached from the
// keyboard: Tab or Right and Shift+Tab or Left move a focus mark over them,
// Space or F4 presses the marked one, Up and Down change the value of a
// marked list (as on any combo box). A mouse press on the page drops the
// mark, and so does leaving the page.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/pages/SkinPage.h"

class CMessageReceiver;
class CPageBand;
class CSkinListButton;
class CSkinMenuButton;
class CSkinResources;
struct GroupMenuItem;

class CConverterPage : public CSkinPage {
public:
    // section: the page's skin section; background: its image (may be null).
    CConverterPage(QWidget* parent, CSkinResources& resources, CPageBand* band, const char* section,
                   const CSkinImage* background);
    ~CConverterPage() override;

    // Makes the menu button (at the section's BtnMenuLocation); pages add
    // their own controls after it.
    virtual void Setup(const std::vector<GroupMenuItem>* items, IMessageTarget* target, uint32_t backgroundColor);
    CSkinMenuButton* MenuButton() { return m_menu.get(); }
    const std::string& Section() const { return m_section; }
    // The page's list buttons, in the order they were made.
    const std::vector<std::unique_ptr<CSkinListButton>>& Lists() const { return m_lists; }

    int AccessibleCount() const override;
    std::string AccessibleName(int index) const override;
    SkinRect AccessibleRect(int index) const override;
    void AccessiblePress(int index) override;
    EAccessRole AccessibleRole(int index) const override;
    std::string AccessibleDescription(int index) const override;
    int AccessibleFocus() const override { return m_keyFocus; }

    // A key the main window offers the shown page first; 1 when it took it.
    int OnKey(int key, int modifiers);
    // A page that moves through its own rows with Up and Down keeps them
    // from switching the group; so does a page whose list is marked.
    virtual bool TakesArrowKeys() const { return ListHasFocus() != 0; }
    // The accessible index of the control with the focus mark, -1 for none.
    int KeyFocus() const { return m_keyFocus; }
    // 1 while the focus mark is on a list: Up and Down are the list's.
    int ListHasFocus() const;
    // What the page last spoke of a change through the screen reader, UTF-8.
    const std::string& Announced() const { return m_announced; }

    // Where the page's own controls send their messages; what is still
    // queued when the page goes is dropped with it.
    IMessageTarget* Messages();

protected:
    // One control as a screen reader and the keyboard see it.
    struct PageControl {
        SkinRect rect;
        std::string name;                // UTF-8
        std::function<void()> press;     // empty: the control only shows something
        EAccessRole role = EAccessRole::Button;
        std::string shown = {};          // a combo box's choice
        CSkinListButton* list = nullptr; // the list a combo box is
        // Last, in the order given, wherever it shows: a control whose place
        // moves (the result slot) stays the same child for a screen reader.
        bool keepsPlace = false;
    };
    // The controls beside the menu button and the lists (slots, rows).
    virtual void AddControls(std::vector<PageControl>&) const {}

    // Makes a list button from the section's keys locationKey (x,y pair) and
    // nameKey (definition name, defaultName when absent); choices come to
    // OnMessage as `message`. maxHeight at normal scale (doubled here). Null
    // when the button cannot be made. labelId: the string a screen reader
    // names the list by ("From"); 0 for its choice.
    CSkinListButton* AddList(const char* locationKey, const char* nameKey, const char* defaultName,
                             unsigned message, int maxHeight, int labelId = 0);
    // A message to the page (a list's choice, a download's news).
    virtual void OnMessage(unsigned, intptr_t, intptr_t) {}
    // After a list's choice was handled: tells the screen reader what it changed.
    virtual void ListChosen() { Announce(AccessibleValue()); }
    // Draws the page's own content over the background, the menu button and the lists.
    virtual void PaintContent(CSkinImage&) {}
    // A key the page takes before its controls' Tab and Space; 1 when taken.
    virtual int OnPageKey(int, int) { return 0; }
    // Where the background image's part for the page starts (a wide image).
    void SetBackgroundLeft(int x) { m_backgroundLeft = x; }
    // A press the page takes itself before the lists and the menu see it (a slot); 1 when taken.
    virtual int OnPress(int, int) { return 0; }

    void PaintPage(const SkinRect& clip) override;
    void AcquireBuffers() override;
    void ReleaseBuffers() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    int Scaled(int v) const;
    // 1 on a landscape or square screen (shorter lists).
    int CompactScreen() const;

    // The skin's text keys of the page's section.
    struct TextStyle {
        std::string font = "Tahoma";
        int height = 20;
        int weight = 700;
        uint32_t color = 0;
    };
    void ReadTextStyle(TextStyle& style);
    // The text height, from `height` down to two thirds of it, at which text
    // fits into room pixels (long translations of a label).
    int FitTextHeight(const std::string& face, int height, int weight, const std::string& text, int room) const;
    // Right edge of the menu button (0 without one).
    int MenuButtonRight() const;
    // How many of a list's entries the arrow keys step through (an entry that
    // opens a dialog is left to an explicit choice).
    virtual int ArrowEntries(const CSkinListButton* list) const;
    // Speaks a change the user made (a new conversion) through the screen reader.
    void Announce(const std::string& text);


    CSkinResources& m_resources;
    std::string m_section;

private:
    std::vector<PageControl> Controls() const;
    void CloseLists();
    void HandleMessage(unsigned msg, intptr_t wParam, intptr_t lParam);
    // Moves the focus mark to the control at index and tells the screen reader.
    void MoveKeyFocus(int index);
    // Up (-1) or Down (1) on the marked list: its neighbouring entry is chosen.
    void StepList(CSkinListButton* list, int step);

    CPageBand* m_band;
    const CSkinImage* m_background;
    int m_backgroundLeft = 0;
    uint32_t m_backgroundColor = 0xFF0000;
    std::unique_ptr<CSkinMenuButton> m_menu;
    std::vector<std::unique_ptr<CSkinListButton>> m_lists;
    std::vector<int> m_listLabels;
    std::vector<unsigned> m_listMessages;
    CSkinImage m_buffer;
    int m_menuTookPress = 0;
    int m_keyFocus = -1;
    std::string m_announced;
    std::string m_stepped;  // a list's value chosen by an arrow, said first
    CMessageReceiver* m_messages;  // a child of the page
};
