#pragma once
// The group menu while it is open: a popup window whose items the menu button
// measures and draws. Exec shows it under the button and returns the chosen
// command (item index + 1), or 0 when the user dismissed it.

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
    std::vector<SkinRect> m_rects;
    int m_chosen = 0;
    int m_selected = 0;
    QEventLoop* m_loop = nullptr;
};
