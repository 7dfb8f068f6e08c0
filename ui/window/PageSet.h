#pragma once
// The pages of the window: the display, the main keypad and one page per
// group kind, made from the skin on demand. Keypad groups are made here;
// every other kind of page comes from the factory the program hands over,
// so a new kind of page needs no change to the window.

#include <array>
#include <cstdint>
#include <vector>

#include "skins/ButtonGroup.h"
#include "ui/pages/GroupMenuItems.h"
#include "ui/pages/PageFactory.h"

class CCalcController;
class CDisplayPage;
class CKeypadPage;
class CPageBand;
class CSkinPage;
class CSkinResources;
class IMessageTarget;
class QWidget;

class CPageSet {
public:
    // host: the parent of every page; target: where their buttons send;
    // items: the group menu the display and converter pages offer.
    CPageSet(QWidget* host, IMessageTarget* target, CSkinResources& resources, CPageBand& band,
             CCalcController& calculator, const std::vector<GroupMenuItem>* items);
    ~CPageSet();
    CPageSet(const CPageSet&) = delete;
    CPageSet& operator=(const CPageSet&) = delete;

    ConverterPageFactory factory = nullptr;

    // Where the pages start from the left edge, in art pixels (landscape: 40).
    void SetOffset(int artX) { m_offset = artX; }
    // The main keypad (shown) and the display (hidden until a keypad group shows).
    void BuildFixed(int compact);
    // The page of a kind, made now if need be; null for a kind without one.
    CSkinPage* Create(int kind);
    // A keypad group read again from the skin description; 0 when not built.
    int Reload(int kind);
    void Destroy();

    // The page of a group kind, or null when it is not built.
    CSkinPage* OfKind(int kind) const;
    CDisplayPage* Display() const { return m_display; }
    CKeypadPage* MainKeypad() const { return m_mainKeypad; }
    // Keypads repaint their background at the next paint.
    void SetBackgroundFlags();
    // The calculator's value changed: every page that shows it repaints, and
    // one in view tells the screen reader.
    void InvalidateValues();

private:
    void LoadGroup(CKeypadPage* page, const char* section);

    QWidget* m_host;
    IMessageTarget* m_target;
    CSkinResources& m_resources;
    CPageBand& m_band;
    CCalcController& m_calculator;
    const std::vector<GroupMenuItem>* m_items;
    int m_offset = 0;
    std::array<CSkinPage*, std::size(kGroupKinds) + 1> m_pages{};
    CDisplayPage* m_display = nullptr;
    CKeypadPage* m_mainKeypad = nullptr;
};
