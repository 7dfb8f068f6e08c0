#pragma once
// The group menu while it is open: a popup window whose items the menu button
// measures and draws. Exec shows it under the button and returns the chosen
// command (item index + 1), or 0 when the user dismissed it. To a screen
// reader it is a menu of menu items (the current group checked) whose
// highlighted item has the focus.

#include <vector>

#include "ui/pages/SkinPage.h"

class CSkinMenuButton;
class QEventLoop;

class CGroupMenuPopup : public CSkinPage {
public:
    CGroupMenuPopup(CSkinMenuButton& button, QWidget* owner);

    int Exec(int screenX, int screenY);
    // Chooses item index + 1 and closes (also the accessible press).
    void Choose(int command);
    // The item at a point of the popup; 0 for none.
    int CommandAt(int x, int y) const;
    // Highlights command as the pointer or the arrow keys select it.
    void Select(int command);

    int AccessibleCount() const override;
    std::string AccessibleName(int index) const override;
    SkinRect AccessibleRect(int index) const override;
    void AccessiblePress(int index) override { Choose(index + 1); }
    EAccessRole AccessibleRole(int index) const override;
    int AccessibleChecked(int index) const override;
    int AccessibleEnabled(int index) const override { return Selectable(index + 1); }
    int AccessibleFocus() const override { return m_selected - 1; }
    // The page whose menu button opened the menu (may be null).
    CSkinPage* Owner() const { return m_owner; }

    // The popup that is open now, if any (for tests and the accessibility tree).
    static CGroupMenuPopup* Current();

protected:
    void PaintPage(const SkinRect&) override {}
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    int Selectable(int command) const;
    void MoveSelection(int step);

    CSkinMenuButton& m_button;
    CSkinPage* m_owner;
    std::vector<SkinRect> m_rects;
    int m_chosen = 0;
    int m_selected = 0;
    QEventLoop* m_loop = nullptr;
};
