#pragma once
// Skin pages as assistive technology sees them: a page is a grouping named
// after its group whose children are its painted controls (role, name in the
// current language, description, states, the press action); a page out of
// view shows no children. The open group menu is a menu of menu items, a
// child of the page that opened it. InstallPageAccessibility registers the
// factory once per program.

class CSkinPage;

void InstallPageAccessibility();
// Tells screen readers that the page's value changed (after a key).
void NotifyValueChanged(CSkinPage* page);
// Sends a name or description change for every control of the page whose
// text differs from what screen readers were last told.
void RefreshAccessibleNames(CSkinPage* page);
// Moves the screen reader's focus to the page's focused control (its
// AccessibleFocus), or to the page itself.
void NotifyAccessibleFocus(CSkinPage* page);
