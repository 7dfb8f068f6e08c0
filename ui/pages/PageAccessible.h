#pragma once
// Skin pages as assistive technology sees them: a page is a grouping whose
// children are its painted buttons (role button, name from the command in the
// current language, the press action); the display page carries the shown
// value as its accessible value. InstallPageAccessibility registers the
// factory once per program.

class CSkinPage;

void InstallPageAccessibility();
// Tells screen readers that the page's value changed (after a key).
void NotifyValueChanged(CSkinPage* page);
